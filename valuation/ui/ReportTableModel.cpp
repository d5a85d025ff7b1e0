#include "valuation/ui/ReportTableModel.h"

#include "valuation/ReportColumn.h"
#include "valuation/ReportOrder.h"
#include "valuation/ValueReport.h"

#include <QFont>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReportTableModel::ReportTableModel(const ValueReport& report, QObject* parent)
    : QAbstractTableModel(parent), report_(report) {
    applyOrder();
}

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
    const int row = snapshotRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(report_.snapshot().cellText(*column, row));
    case Qt::TextAlignmentRole:
        return column->isAmount ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (report_.snapshot().isHeadingRow(row) || report_.snapshot().isTotalsRow(row)) {
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
    if (orientation == Qt::Horizontal && column != nullptr) {
        if (role == Qt::DisplayRole) {
            return qText(column->title);
        }
        // A first click on a title sorts its column ascending.
        if (role == Qt::InitialSortOrderRole) {
            return Qt::AscendingOrder;
        }
    }
    return {};
}

Qt::ItemFlags ReportTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (report_.isSelectableRow(snapshotRow(index.row()))) {
        flags |= Qt::ItemIsSelectable;
    }
    return flags;
}

void ReportTableModel::reload() {
    beginResetModel();
    applyOrder();
    endResetModel();
}

void ReportTableModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Selected and current rows follow their bonds.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> snapshotRows;
    for (const QModelIndex& index : before) {
        snapshotRows.push_back(snapshotRow(index.row()));
    }
    sortColumn_ = reportColumnAt(column) != nullptr ? column : -1;
    ascending_ = order == Qt::AscendingOrder;
    applyOrder();
    std::vector<int> shownAt(order_.size());
    for (std::size_t shown = 0; shown < order_.size(); ++shown) {
        shownAt[order_[shown]] = static_cast<int>(shown);
    }
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = snapshotRows[static_cast<std::size_t>(i)];
        const bool isBond = row >= 2 && row < 2 + static_cast<int>(order_.size());
        after << index(isBond ? 2 + shownAt[static_cast<std::size_t>(row - 2)] : row,
                       before[i].column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ReportTableModel::snapshotRow(int row) const {
    const int bond = row - 2;
    if (bond < 0 || bond >= static_cast<int>(order_.size())) {
        return row;
    }
    return 2 + static_cast<int>(order_[static_cast<std::size_t>(bond)]);
}

void ReportTableModel::applyOrder() {
    const ReportColumn* column = reportColumnAt(sortColumn_);
    if (column != nullptr) {
        order_ = bondRowOrder(report_.snapshot(), *column, ascending_);
    } else {
        order_.resize(report_.snapshot().rows.size());
        for (std::size_t i = 0; i < order_.size(); ++i) {
            order_[i] = i;
        }
    }
}
