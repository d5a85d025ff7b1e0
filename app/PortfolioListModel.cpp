#include "app/PortfolioListModel.h"

PortfolioListModel::PortfolioListModel(QObject* parent) : QAbstractTableModel(parent) {}

void PortfolioListModel::setNames(std::vector<std::string> names) {
    beginResetModel();
    names_ = std::move(names);
    endResetModel();
}

std::string PortfolioListModel::nameAt(int row) const {
    if (row < 0 || row >= static_cast<int>(names_.size())) {
        return {};
    }
    return names_[static_cast<std::size_t>(row)];
}

int PortfolioListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(names_.size());
}

int PortfolioListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant PortfolioListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdString(nameAt(index.row()));
}

QVariant PortfolioListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0) {
        return QStringLiteral("Portfolio");
    }
    return {};
}
