#include "valuation/ValueTableMonths.h"

#include "store/BondRecord.h"

#include <algorithm>

namespace {

bool follows(const RedemptionMonth& earlier, const RedemptionMonth& later) {
    return later == earlier.plusMonths(1);
}

} // namespace

std::vector<RedemptionMonth> redemptionMonthsInTable(const ValueTable* table) {
    return table != nullptr ? table->redemptionMonths() : std::vector<RedemptionMonth>();
}

bool tableValuesIssue(const ValueTable* table, std::string_view series, YearMonth issue) {
    const std::optional<BondSeries> typed = bondSeriesOfName(series);
    if (table == nullptr || !typed) {
        return false;
    }
    const std::vector<YearMonth>& months = table->redemptionMonths();
    // The latest months hold the most issues: they are asked first.
    return std::any_of(months.rbegin(), months.rend(), [&](const YearMonth& redemption) {
        const ValueCell cell = table->cell(*typed, redemption, issue);
        return cell >= 0 || cell == kNoPayCell;
    });
}

std::vector<std::string> redemptionYearTexts(const std::vector<RedemptionMonth>& months) {
    std::vector<std::string> years;
    for (const RedemptionMonth& month : months) {
        std::string text = std::to_string(month.year);
        text.insert(0, text.size() < 4 ? 4 - text.size() : 0, '0');
        if (years.empty() || years.back() != text) {
            years.push_back(std::move(text));
        }
    }
    return years;
}

bool holdsRedemptionMonth(const std::vector<RedemptionMonth>& months, int year, int month) {
    return std::binary_search(months.begin(), months.end(), RedemptionMonth{year, month});
}

std::string redemptionMonthRangesText(const std::vector<RedemptionMonth>& months) {
    std::vector<std::string> ranges;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= months.size(); ++i) {
        if (i == months.size() || !follows(months[i - 1], months[i])) {
            ranges.push_back(months[runStart].name() + " to " + months[i - 1].name());
            runStart = i;
        }
    }
    std::string joined;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (i > 0) {
            joined += i + 1 == ranges.size() ? " and " : ", ";
        }
        joined += ranges[i];
    }
    return joined;
}

std::string unsupportedRedemptionDateMessage(const std::vector<RedemptionMonth>& months,
                                             std::optional<RedemptionMonth> chosen,
                                             std::string_view howToAdd) {
    const std::string opening =
        "The value table holds no values for " + (chosen ? chosen->name() : "that month") + ".";
    const std::string held =
        months.empty() ? " It holds no redemption dates at all."
                       : " It holds values from " + redemptionMonthRangesText(months) + ".";
    return opening + held + " " + std::string(howToAdd);
}
