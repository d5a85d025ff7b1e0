#pragma once

// The published savings bond rates the table builder computes values from, read from the
// tab-separated files in tools/data/ (copied from the project's rates.md, with their sources).
// Rates are kept in hundredths of a percent ("3.40" is 340) so that no rounding creeps in.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// A month as a count of months since January of year 0: year * 12 + (month - 1).
using MonthIndex = int;

constexpr MonthIndex monthIndex(int year, int month) {
    return year * 12 + (month - 1);
}
constexpr int yearOf(MonthIndex index) {
    return index / 12;
}
constexpr int monthOf(MonthIndex index) {
    return index % 12 + 1;
}

struct PublishedRate {
    // The rate the table uses; empty when it was "not found" or is not used (see `unused`).
    std::optional<int> hundredthsOfPercent;
    std::string status; // e.g. "official", "unconfirmed (1 secondary)"
    // A rate given by one secondary source only, and one not known to match official values
    // elsewhere: kept in the data with its source, but no value is computed from it.
    bool unused = false;
};

// Whether a rate of this status, read where `whereRead` says, is one the table may use: official
// figures, figures derived from them or from the Treasury's formula, figures of two or more
// secondary sources, and figures of a single secondary source whose other figures match official
// values (data/README.md names them).
bool isUsableRate(const std::string& status, const std::string& whereRead);

// A final value the Treasury's rules give an EE bond at final maturity, published per issue
// month: what the built table must hold from that month on.
struct PublishedFinalValue {
    MonthIndex finalMaturity = 0;
    long long cents = 0;
};

struct BondRates {
    // Keyed by the first issue month of each period; a rate holds until the next key.
    std::map<MonthIndex, PublishedRate> iFixedByIssue;
    std::map<MonthIndex, PublishedRate> eeFixedByIssue;
    // Keyed by the announcement's month (May or November).
    std::map<MonthIndex, PublishedRate> iInflationByAnnouncement;
    std::map<MonthIndex, PublishedRate> eeMarketByAnnouncement;
    // The 85% long-term rate of EE issued May 1995 - April 1997, by announcement.
    std::map<MonthIndex, PublishedRate> eeLongTermByAnnouncement;
    // Monthly averages of the 5-year Treasury yield in hundredths of a percent, by month: what
    // bounds the market-based value of EE issued before May 1995.
    std::map<MonthIndex, int> fiveYearYieldByMonth;
    // The final values of EE issued December 1986 - April 1995, by issue month.
    std::map<MonthIndex, PublishedFinalValue> eeFinalValuesByIssue;
    // The highest market-based rate used, for bounding values that need a missing one.
    int eeMarketHighest = 0;
    // The last issue month that the fixed-rate tables cover.
    MonthIndex iFixedLastIssue = 0;
    MonthIndex eeFixedLastIssue = 0;

    // The five rate files, the final values and the yields in `dataDir`. On a malformed file
    // answers nothing, with `error` naming the file and line.
    static std::optional<BondRates> load(const std::filesystem::path& dataDir, std::string* error);
};

// The published rate in effect for `key` in a table keyed by the first month of each period, up to
// `lastCovered`; nullptr outside the table.
const PublishedRate* publishedRateInEffect(const std::map<MonthIndex, PublishedRate>& table,
                                           MonthIndex key, MonthIndex lastCovered);

// The rate announced in `announcement`; nullptr when the table has no row for it.
const PublishedRate* publishedAnnouncedRate(const std::map<MonthIndex, PublishedRate>& table,
                                            MonthIndex announcement);

// "3.40" -> 340, "-2.78" -> -278; nothing unless the text is an optional minus, digits, a point
// and exactly two digits.
std::optional<int> parseHundredthsOfPercent(const std::string& text);
