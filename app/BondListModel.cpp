#include "app/BondListModel.h"

#include "store/BondRecord.h"
#include "valuation/ReportOrder.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The list's columns by the report's identifiers; one the report does not hold yet is skipped.
// The optional ones, the kind and the registration, are hidden until the owner shows them.
constexpr std::array<std::string_view, 16> kListColumns = {
    kSerialKey,          kTypeKey,         kFaceValueKey,   kIssueYearKey,
    kCurrentValueColumn, "Interest",       "Interest Rate", "Next Accrual",
    "Final Maturity",    "Status",         kKindColumn,     kOwnerKey,
    kSecondNameKey,      kSecondNameIsKey, kKeptAtKey,      kNoteKey};

// The columns the filter looks in, shown or not.
constexpr std::array<std::string_view, 8> kFilteredColumns = {
    kSerialKey, kTypeKey, "Status", kKindColumn, kOwnerKey, kSecondNameKey, kKeptAtKey, kNoteKey};

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The report's first row of bonds: it has a heading and a blank row above them.
constexpr int kFirstBondRow = 2;

} // namespace

std::vector<ReportColumn> BondListModel::shownColumns() {
    std::vector<ReportColumn> columns;
    for (std::string_view identifier : kListColumns) {
        const auto found = std::find_if(
            kReportColumns.begin(), kReportColumns.end(),
            [identifier](const ReportColumn& c) { return c.identifier == identifier; });
        if (found != kReportColumns.end()) {
            columns.push_back(*found);
        }
    }
    return columns;
}

BondListModel::BondListModel(QObject* parent)
    : QAbstractTableModel(parent), columns_(shownColumns()) {}

void BondListModel::setSnapshot(std::shared_ptr<const ReportSnapshot> snapshot) {
    beginResetModel();
    snapshot_ = std::move(snapshot);
    ranks_.clear();
    endResetModel();
}

std::string BondListModel::serialAt(int row) const {
    if (!snapshot_ || row < 0 || row >= snapshot_->bondCount()) {
        return {};
    }
    return snapshot_->rows[static_cast<size_t>(row)].bond.serial;
}

int BondListModel::rankOf(int row, int section, bool ascending) const {
    std::vector<int>& ranks = ranks_[{section, ascending}];
    if (ranks.empty() && snapshot_) {
        const std::vector<std::size_t> order = bondRowOrder(*snapshot_, column(section), ascending);
        ranks.resize(order.size());
        for (std::size_t place = 0; place < order.size(); ++place) {
            ranks[order[place]] = static_cast<int>(place);
        }
    }
    return row >= 0 && row < static_cast<int>(ranks.size()) ? ranks[static_cast<size_t>(row)] : 0;
}

int BondListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !snapshot_ ? 0 : snapshot_->bondCount();
}

int BondListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant BondListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !snapshot_ || index.row() >= rowCount()) {
        return {};
    }
    const ReportColumn& shown = column(index.column());
    if (role == Qt::DisplayRole) {
        const int row = kFirstBondRow + index.row();
        const std::string text = snapshot_->cellText(shown, row);
        // The issue year's column stands for the issue date, and sorts as one.
        if (shown.identifier == kIssueYearKey) {
            const std::string month = snapshot_->cellText(reportColumnNamed(kIssueMonthKey), row);
            return QString::fromStdString(month.empty() ? text : month + " " + text);
        }
        return QString::fromStdString(text);
    }
    if (role == Qt::TextAlignmentRole) {
        return shown.isAmount ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                              : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant BondListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return column(section).identifier == kIssueYearKey ? QStringLiteral("Issue Date")
                                                           : qText(column(section).title);
    }
    if (role == Qt::InitialSortOrderRole) {
        return Qt::AscendingOrder;
    }
    return {};
}

BondListFilter::BondListFilter(BondListModel* list, QObject* parent)
    : QSortFilterProxyModel(parent), list_(list) {
    setSourceModel(list);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
}

bool BondListModel::cashedAt(int row) const {
    return snapshot_ && row >= 0 && row < snapshot_->bondCount() &&
           snapshot_->rows[static_cast<size_t>(row)].figures.status == BondStatus::Cashed;
}

void BondListFilter::setShowCashed(bool show) {
    if (show != showCashed_) {
        showCashed_ = show;
        invalidateRowsFilter();
    }
}

bool BondListFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (!showCashed_ && list_->cashedAt(sourceRow)) {
        return false;
    }
    const QRegularExpression& pattern = filterRegularExpression();
    if (pattern.pattern().isEmpty()) {
        return true;
    }
    for (int section = 0; section < list_->columnCount(); ++section) {
        const std::string_view identifier = list_->column(section).identifier;
        if (std::find(kFilteredColumns.begin(), kFilteredColumns.end(), identifier) !=
                kFilteredColumns.end() &&
            list_->index(sourceRow, section, sourceParent).data().toString().contains(pattern)) {
            return true;
        }
    }
    return false;
}

bool BondListFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // Descending, the view puts `right` first when this holds: the report's descending order
    // (bonds without a figure still last) read the other way round.
    const bool ascending = sortOrder() == Qt::AscendingOrder;
    const int a = list_->rankOf(left.row(), left.column(), ascending);
    const int b = list_->rankOf(right.row(), right.column(), ascending);
    return ascending ? a < b : a > b;
}
