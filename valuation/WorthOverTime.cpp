#include "valuation/WorthOverTime.h"

#include "valuation/OwnerFigures.h"

#include <algorithm>

namespace {

// The month's sum over the bonds issued by then; none when one of them has no value or none
// is issued yet. A bond of an impossible issue date counts nowhere, as in the report's totals.
std::optional<Amount> worthAtMonth(const std::vector<Bond>& bonds, const ValueTable* table,
                                   const YearMonth& month) {
    Amount sum;
    bool anyIssued = false;
    for (const Bond& bond : bonds) {
        const OwnerFigures figures = valueFiguresOfBond(table, bond, month);
        if (figures.status == BondStatus::NotIssuedYet ||
            figures.status == BondStatus::InvalidIssueDate) {
            continue;
        }
        if (!figures.value) {
            return std::nullopt;
        }
        anyIssued = true;
        sum += *figures.value;
    }
    return anyIssued ? std::optional<Amount>(sum) : std::nullopt;
}

} // namespace

WorthOverTime worthOverTime(const std::vector<Bond>& bonds, const ValueTable* table) {
    WorthOverTime result;
    // Valued at the table's last month, a bond of an impossible issue date has no maturity.
    const std::optional<YearMonth> last =
        table != nullptr && !table->redemptionMonths().empty()
            ? std::optional<YearMonth>(table->redemptionMonths().back())
            : std::nullopt;
    for (const Bond& bond : bonds) {
        if (const auto maturity = valueFiguresOfBond(table, bond, last).finalMaturity) {
            result.finalMaturities.push_back(*maturity);
        }
    }
    std::sort(result.finalMaturities.begin(), result.finalMaturities.end());
    result.finalMaturities.erase(
        std::unique(result.finalMaturities.begin(), result.finalMaturities.end()),
        result.finalMaturities.end());

    if (table == nullptr || table->redemptionMonths().empty()) {
        return result;
    }
    const YearMonth first = table->redemptionMonths().front();
    const int count = table->redemptionMonths().back().monthsSince(first) + 1;
    result.months.reserve(static_cast<std::size_t>(count));
    for (int offset = 0; offset < count; ++offset) {
        const YearMonth month = first.plusMonths(offset);
        result.months.push_back({month, worthAtMonth(bonds, table, month)});
    }
    return result;
}

std::vector<WorthRun> WorthOverTime::runs() const {
    std::vector<WorthRun> found;
    for (std::size_t index = 0; index < months.size(); ++index) {
        if (!months[index].worth) {
            continue;
        }
        if (found.empty() || found.back().first + found.back().count != index) {
            found.push_back({index, 0});
        }
        ++found.back().count;
    }
    return found;
}

std::optional<Amount> WorthOverTime::worthAt(const YearMonth& month) const {
    if (months.empty()) {
        return std::nullopt;
    }
    const int index = month.monthsSince(months.front().month);
    if (index < 0 || index >= static_cast<int>(months.size())) {
        return std::nullopt;
    }
    return months[static_cast<std::size_t>(index)].worth;
}
