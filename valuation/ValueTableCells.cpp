#include "valuation/ValueTable.h"

#include <algorithm>
#include <array>

namespace {

// Months counted from year 0, so that the distance between two months is a subtraction; in 64
// bits, as a bond's date may name any year.
std::int64_t monthIndex(const YearMonth& month) {
    return std::int64_t{month.year} * 12 + month.month - 1;
}

} // namespace

ValueCell valueCellOfLeaf(std::string_view leaf) {
    if (leaf == kNoPayLeaf) {
        return kNoPayCell;
    }
    if (leaf == kInvalidLeaf) {
        return kInvalidCell;
    }
    if (leaf.size() != 6) {
        return kMissingCell;
    }
    ValueCell cents = 0;
    for (char c : leaf) {
        if (c < '0' || c > '9') {
            return kMissingCell;
        }
        cents = cents * 10 + (c - '0');
    }
    return cents;
}

std::string leafOfValueCell(ValueCell cell) {
    switch (cell) {
    case kMissingCell:
        return {};
    case kNoPayCell:
        return std::string(kNoPayLeaf);
    case kInvalidCell:
        return std::string(kInvalidLeaf);
    default:
        break;
    }
    std::string leaf(6, '0');
    for (auto digit = leaf.rbegin(); digit != leaf.rend() && cell > 0; ++digit, cell /= 10) {
        *digit = static_cast<char>('0' + cell % 10);
    }
    return leaf;
}

void ValueTable::Builder::setCell(BondSeries series, YearMonth redemption, YearMonth issue,
                                  ValueCell cell) {
    holdMonth(redemption);
    // The keys of a table file and of a value file are four-digit years.
    rows_[{static_cast<int>(series), static_cast<int>(monthIndex(redemption))}].emplace_back(
        static_cast<int>(monthIndex(issue)), cell);
}

void ValueTable::Builder::holdMonth(YearMonth redemption) {
    if (months_.empty() || months_.back() != redemption) {
        months_.push_back(redemption);
    }
}

ValueTableRef ValueTable::Builder::build() {
    auto table = std::make_shared<ValueTable>();
    std::sort(months_.begin(), months_.end());
    months_.erase(std::unique(months_.begin(), months_.end()), months_.end());
    table->months_ = std::move(months_);
    if (rows_.empty()) {
        return table;
    }
    int first = rows_.begin()->first.second;
    int last = first;
    std::size_t cellCount = 0;
    for (const auto& [key, cells] : rows_) {
        first = std::min(first, key.second);
        last = std::max(last, key.second);
        const auto [low, high] = std::minmax_element(cells.begin(), cells.end());
        cellCount += static_cast<std::size_t>(high->first - low->first + 1);
    }
    table->firstRedemption_ = first;
    table->redemptionCount_ = last - first + 1;
    table->rows_.assign(static_cast<std::size_t>(kBondSeriesCount * table->redemptionCount_), {});
    table->cells_.reserve(cellCount);
    for (const auto& [key, cells] : rows_) {
        const auto [low, high] = std::minmax_element(cells.begin(), cells.end());
        Row& row = table->rows_[static_cast<std::size_t>(key.first * table->redemptionCount_ +
                                                         key.second - first)];
        row.start = static_cast<std::uint32_t>(table->cells_.size());
        row.firstIssue = low->first;
        row.count = static_cast<std::uint32_t>(high->first - low->first + 1);
        table->cells_.resize(table->cells_.size() + row.count, kMissingCell);
        // In the order set: a later leaf under the same keys replaces an earlier one.
        for (const auto& [issue, cell] : cells) {
            table->cells_[row.start + static_cast<std::uint32_t>(issue - row.firstIssue)] = cell;
        }
    }
    rows_.clear();
    return table;
}

ValueCell ValueTable::cell(BondSeries series, YearMonth redemption, YearMonth issue) const {
    const std::int64_t redemptionOffset = monthIndex(redemption) - firstRedemption_;
    if (redemptionOffset < 0 || redemptionOffset >= redemptionCount_) {
        return kMissingCell;
    }
    const Row& row = rows_[static_cast<std::size_t>(static_cast<int>(series)) *
                               static_cast<std::size_t>(redemptionCount_) +
                           static_cast<std::size_t>(redemptionOffset)];
    const std::int64_t issueOffset = monthIndex(issue) - row.firstIssue;
    if (issueOffset < 0 || issueOffset >= std::int64_t{row.count}) {
        return kMissingCell;
    }
    return cells_[row.start + static_cast<std::size_t>(issueOffset)];
}

bool ValueTable::holdsMonth(YearMonth redemption) const {
    return std::binary_search(months_.begin(), months_.end(), redemption);
}

std::size_t ValueTable::storageBytes() const {
    return rows_.capacity() * sizeof(Row) + cells_.capacity() * sizeof(ValueCell) +
           months_.capacity() * sizeof(YearMonth);
}
