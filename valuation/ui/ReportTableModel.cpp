#include "valuation/ui/ReportTableModel.h"

#include "valuation/ReportColumn.h"
#include "valuation/ReportWindowController.h"

#include <QFont>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReportTableModel::ReportTableModel(ReportWindowController& controller, QObject* parent)
    : QAbstractTableModel(parent), controller_(controller) {}

int ReportTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : controller_.numberOfRowsInTableView();
}

int ReportTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kReportColumns.size());
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const {
    const ReportColumn* column = index.isValid() ? reportColumnAt(index.column()) : nullptr;
    if (column == nullptr) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(
            controller_.tableViewObjectValue(column->identifier, index.row()));
    case Qt::TextAlignmentRole:
        return column->isAmount ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (controller_.model().isHeadingRow(index.row()) ||
            controller_.model().isTotalsRow(index.row())) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const ReportColumn* column = reportColumnAt(section);
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && column != nullptr) {
        return qText(column->title);
    }
    return {};
}

Qt::ItemFlags ReportTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (controller_.tableViewShouldSelectRow(index.row())) {
        flags |= Qt::ItemIsSelectable;
    }
    return flags;
}

void ReportTableModel::reload() {
    beginResetModel();
    endResetModel();
}
