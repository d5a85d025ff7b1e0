#include "store/YearMonth.h"

#include <algorithm>

namespace {

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digitsValue(std::string_view text) {
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string twoDigits(int number) {
    return std::string(1, static_cast<char>('0' + number / 10)) +
           static_cast<char>('0' + number % 10);
}

} // namespace

YearMonth YearMonth::plusMonths(int count) const {
    const int index = year * 12 + (month - 1) + count;
    const int y = index >= 0 ? index / 12 : -((-index + 11) / 12);
    return YearMonth{y, index - y * 12 + 1};
}

int YearMonth::monthsSince(const YearMonth& earlier) const {
    return (year - earlier.year) * 12 + (month - earlier.month);
}

std::string YearMonth::keyText() const {
    std::string digits = std::to_string(year);
    if (digits.size() < 4) {
        digits.insert(0, 4 - digits.size(), '0');
    }
    return digits + "-" + twoDigits(month);
}

std::string YearMonth::name() const {
    return std::string(monthName(month)) + " " + std::to_string(year);
}

std::optional<YearMonth> YearMonth::fromKeyText(std::string_view text) {
    if (text.size() != 7 || text[4] != '-' || !isDigits(text.substr(0, 4)) ||
        !isDigits(text.substr(5, 2))) {
        return std::nullopt;
    }
    const int month = digitsValue(text.substr(5, 2));
    if (month < 1 || month > 12) {
        return std::nullopt;
    }
    return YearMonth{digitsValue(text.substr(0, 4)), month};
}

std::optional<YearMonth> YearMonth::fromYearAndMonthName(std::string_view year,
                                                         std::string_view monthName) {
    const std::optional<int> y = fourDigitYear(year);
    const std::optional<int> m = monthNumberOfName(monthName);
    if (!y || !m) {
        return std::nullopt;
    }
    return YearMonth{*y, *m};
}

std::string_view monthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[static_cast<std::size_t>(month - 1)]
                                     : std::string_view();
}

std::optional<int> monthNumberOfName(std::string_view name) {
    const auto found = std::find(kMonthNames.begin(), kMonthNames.end(), name);
    if (found == kMonthNames.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - kMonthNames.begin()) + 1;
}

std::optional<int> fourDigitYear(std::string_view text) {
    if (text.size() != 4 || !isDigits(text)) {
        return std::nullopt;
    }
    return digitsValue(text);
}
