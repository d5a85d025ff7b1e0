#include "valuation/ui/ReportTableModel.h"

#include "valuation/ReportColumn.h"
#include "valuation/ValueReport.h"

#include <QFont>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReportTableModel::ReportTableModel(const ValueReport& report, QObject* parent)
    : QAbstractTableModel(parent), report_(report) {}

int ReportTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : report_.rowCount();
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
        return QString::fromStdString(report_.snapshot().cellText(*column, index.row()));
    case Qt::TextAlignmentRole:
        return column->isAmount ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (report_.snapshot().isHeadingRow(index.row()) ||
            report_.snapshot().isTotalsRow(index.row())) {
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
    if (report_.isSelectableRow(index.row())) {
        flags |= Qt::ItemIsSelectable;
    }
    return flags;
}

void ReportTableModel::reload() {
    beginResetModel();
    endResetModel();
}
