#include "valuation/ReportOrder.h"

#include "platform/NumberText.h"
#include "store/BondRecord.h"
#include "store/YearMonth.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string>
#include <utility>

namespace {

// What a cell stands for: up to two numbers compared in turn, then a text; none when the
// bond has no figure in the column.
struct SortKey {
    double first = 0.0;
    double second = 0.0;
    std::string text;

    auto operator<=>(const SortKey&) const = default;
};

std::optional<SortKey> numberKey(const std::optional<double>& number) {
    if (!number) {
        return std::nullopt;
    }
    return SortKey{*number, 0.0, {}};
}

std::optional<SortKey> numberKey(const std::optional<Amount>& amount) {
    if (!amount) {
        return std::nullopt;
    }
    // Amounts of the same size are equal keys, whatever face values and leaves they come from.
    return SortKey{static_cast<double>(amount->millionths()), 0.0, {}};
}

std::optional<SortKey> monthKey(const std::optional<YearMonth>& month) {
    if (!month) {
        return std::nullopt;
    }
    return SortKey{static_cast<double>(month->year), static_cast<double>(month->month), {}};
}

std::optional<SortKey> storedKey(const ReportColumn& column, const ReportRow& row,
                                 std::string cellText) {
    const Bond& bond = row.bond;
    if (column.identifier == kIssueYearKey) {
        // The issue date, as the report orders it; a year that is not four digits has none.
        const std::optional<int> year = fourDigitYear(bond.issueYear);
        if (!year) {
            return std::nullopt;
        }
        return monthKey(issueDateOrder(*year, bond.issueMonth));
    }
    if (column.identifier == kIssueMonthKey) {
        // The month of the year first, then the year.
        const std::optional<int> month = monthNumberOfName(bond.issueMonth);
        if (!month) {
            return std::nullopt;
        }
        return SortKey{static_cast<double>(*month),
                       static_cast<double>(fourDigitYear(bond.issueYear).value_or(0)),
                       {}};
    }
    if (column.identifier == kFaceValueKey) {
        if (bond.faceValue.empty()) {
            return std::nullopt;
        }
        return SortKey{doubleValueOfText(bond.faceValue), 0.0, {}};
    }
    // Serials, types and stored text the report does not know are compared as text.
    if (cellText.empty()) {
        return std::nullopt;
    }
    return SortKey{0.0, 0.0, std::move(cellText)};
}

std::optional<SortKey> sortKey(const ReportSnapshot& snapshot, const ReportColumn& column,
                               std::size_t position) {
    const ReportRow& row = snapshot.rows[position];
    const OwnerFigures& figures = row.figures;
    switch (column.cellRule) {
    case ReportCellRule::StoredText:
    case ReportCellRule::StoredAmount:
    case ReportCellRule::Kind:
        return storedKey(column, row, snapshot.cellText(column, static_cast<int>(position) + 2));
    case ReportCellRule::CurrentValue:
        return numberKey(figures.value);
    case ReportCellRule::IssuePrice:
        return numberKey(figures.issuePrice);
    case ReportCellRule::Interest:
        return numberKey(figures.interest);
    case ReportCellRule::InterestThisYear:
        return numberKey(figures.interestThisYear);
    case ReportCellRule::YieldSinceIssue:
        return numberKey(figures.yieldSinceIssue);
    case ReportCellRule::InterestRate:
        // A bond that stopped earning sorts as one earning nothing.
        if (figures.interestRate.kind == EarningRate::Kind::NotKnown) {
            return std::nullopt;
        }
        return numberKey(figures.interestRate.hundredthsOfPercent / 100.0);
    case ReportCellRule::NextAccrual:
        return monthKey(figures.nextAccrual.kind == NextAccrual::Kind::Month
                            ? std::optional<RedemptionMonth>(figures.nextAccrual.month)
                            : std::nullopt);
    case ReportCellRule::FinalMaturity:
        return monthKey(figures.finalMaturity);
    case ReportCellRule::Status: {
        // By the status's order, then by the month its note names: the soonest first.
        const std::optional<YearMonth> month =
            figures.statusMonth ? figures.statusMonth : figures.doublesIn;
        return SortKey{static_cast<double>(figures.status),
                       month ? static_cast<double>(month->year * 12 + month->month) : 0.0,
                       {}};
    }
    }
    return std::nullopt;
}

} // namespace

std::vector<std::size_t> bondRowOrder(const ReportSnapshot& snapshot, const ReportColumn& column,
                                      bool ascending) {
    std::vector<std::optional<SortKey>> keys;
    keys.reserve(snapshot.rows.size());
    for (std::size_t position = 0; position < snapshot.rows.size(); ++position) {
        keys.push_back(sortKey(snapshot, column, position));
    }
    std::vector<std::size_t> order(snapshot.rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&keys, ascending](std::size_t a, std::size_t b) {
        const std::optional<SortKey>& left = keys[a];
        const std::optional<SortKey>& right = keys[b];
        if (!left || !right) {
            return left.has_value() && !right.has_value();
        }
        return ascending ? *left < *right : *right < *left;
    });
    return order;
}

ReportSnapshot withBondRowOrder(ReportSnapshot snapshot, const std::vector<std::size_t>& order) {
    std::vector<ReportRow> rows;
    rows.reserve(order.size());
    for (const std::size_t position : order) {
        rows.push_back(snapshot.rows.at(position));
    }
    snapshot.rows = std::move(rows);
    return snapshot;
}
