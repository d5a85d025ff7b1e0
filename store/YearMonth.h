#pragma once

// A calendar month of a year: a bond's issue month and a redemption month alike. This is the one
// place that turns month numbers into their English names and back, and that reads and writes
// the "2009-06" form.

#include <array>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

struct YearMonth {
    int year = 0;
    int month = 0; // 1 to 12

    auto operator<=>(const YearMonth&) const = default;

    // The month `count` months later (earlier for a negative count).
    YearMonth plusMonths(int count) const;
    // Months from `earlier` to this month; negative when `earlier` comes after it.
    int monthsSince(const YearMonth& earlier) const;

    // "2009-06": the command line's and the settings' form (the year at least four digits).
    std::string keyText() const;
    // "June 2009".
    std::string name() const;

    // "2009-06" read as a month; nothing for any other text.
    static std::optional<YearMonth> fromKeyText(std::string_view text);
    // A four-digit year text and an English month name ("2009", "June"); nothing when either is
    // not one.
    static std::optional<YearMonth> fromYearAndMonthName(std::string_view year,
                                                         std::string_view monthName);
};

// "June" for 6; empty outside 1 to 12.
std::string_view monthName(int month);
// 6 for "June"; nothing for any other text (names are matched exactly, as stored).
std::optional<int> monthNumberOfName(std::string_view name);
// 2009 for "2009"; nothing unless the text is exactly four digits.
std::optional<int> fourDigitYear(std::string_view text);
