#include "app/PortfolioListModel.h"

#include "app/LoadPortfolioWindowController.h"

PortfolioListModel::PortfolioListModel(LoadPortfolioWindowController& controller)
    : QAbstractTableModel(&controller), controller_(controller) {}

int PortfolioListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : controller_.numberOfRowsInTableView();
}

int PortfolioListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant PortfolioListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdString(controller_.tableViewObjectValue(index.row()));
}

QVariant PortfolioListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0) {
        return QStringLiteral("Portfolio");
    }
    return {};
}

void PortfolioListModel::reload() {
    beginResetModel();
    endResetModel();
}
