#include "valuation/ValueTableMonths.h"

#include "store/BondRecord.h"

#include <algorithm>

namespace {

bool follows(const RedemptionMonth& earlier, const RedemptionMonth& later) {
    return earlier.month == 12 ? later.year == earlier.year + 1 && later.month == 1
                               : later.year == earlier.year && later.month == earlier.month + 1;
}

std::string monthText(const RedemptionMonth& month) {
    return std::string(kMonthNames[static_cast<std::size_t>(month.month - 1)]) + " " +
           std::to_string(month.year);
}

} // namespace

std::vector<RedemptionMonth> redemptionMonthsInTable(const ValueTable* table) {
    return table != nullptr ? table->redemptionMonths() : std::vector<RedemptionMonth>();
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
            ranges.push_back(monthText(months[runStart]) + " to " + monthText(months[i - 1]));
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
    const std::string opening = "The value table holds no values for " +
                                (chosen ? redemptionMonthName(*chosen) : "that month") + ".";
    const std::string held =
        months.empty() ? " It holds no redemption dates at all."
                       : " It holds values from " + redemptionMonthRangesText(months) + ".";
    return opening + held + " " + std::string(howToAdd);
}

StartingMonth startingRedemptionMonth(const std::vector<RedemptionMonth>& months,
                                      RedemptionMonth current,
                                      std::optional<RedemptionMonth> remembered) {
    if (remembered && holdsRedemptionMonth(months, remembered->year, remembered->month)) {
        return {*remembered, false};
    }
    if (months.empty() || holdsRedemptionMonth(months, current.year, current.month)) {
        return {current, false};
    }
    return {months.back(), true};
}

std::optional<RedemptionMonth> redemptionMonthFromText(std::string_view text) {
    if (text.size() != 7 || text[4] != '-') {
        return std::nullopt;
    }
    int year = 0;
    for (char c : text.substr(0, 4)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        year = year * 10 + (c - '0');
    }
    if (text[5] < '0' || text[5] > '9' || text[6] < '0' || text[6] > '9') {
        return std::nullopt;
    }
    const int month = (text[5] - '0') * 10 + (text[6] - '0');
    if (month < 1 || month > 12) {
        return std::nullopt;
    }
    return RedemptionMonth{year, month};
}

std::string redemptionMonthKeyText(RedemptionMonth month) {
    std::string year = std::to_string(month.year);
    if (year.size() < 4) {
        year.insert(0, 4 - year.size(), '0');
    }
    return year + (month.month < 10 ? "-0" : "-") + std::to_string(month.month);
}

std::string redemptionMonthName(RedemptionMonth month) {
    return std::string(kMonthNames[static_cast<std::size_t>(month.month - 1)]) + " " +
           std::to_string(month.year);
}
