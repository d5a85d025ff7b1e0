#pragma once

// The published savings bond rates the table builder computes values from, read from the
// tab-separated files in tools/data/ (copied from the project's rates.md, with their sources).
// Rates are kept in hundredths of a percent ("3.40" is 340) so that no rounding creeps in.

#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
    YearMonth finalMaturity;
    long long cents = 0;
};

// An official value per $100 face of the EE bonds issued `firstIssue` to `lastIssue`, each at
// `ageMonths` after its issue month, that the builder's rules must reproduce.
struct PublishedEEValue {
    YearMonth firstIssue;
    YearMonth lastIssue;
    int ageMonths = 0;
    long long centsPer100 = 0;
    std::string whereRead;
};

// The bonds issued `firstIssue` to `lastIssue` in their last extension, from `fromAgeMonths` to
// final maturity: the base per $25 face at its start, pinned by the official final value, for the
// Treasury rounding up and, where that rounding is not settled, for it rounding half up.
struct LastExtensionBase {
    BondSeries series = BondSeries::EE; // E or EE
    YearMonth firstIssue;
    YearMonth lastIssue;
    int fromAgeMonths = 0;
    long long roundUpCents = 0;
    std::optional<long long> halfUpCents; // empty: rounding up is settled
};

struct BondRates {
    // Keyed by the first issue month of each period; a rate holds until the next key.
    std::map<YearMonth, PublishedRate> iFixedByIssue;
    std::map<YearMonth, PublishedRate> eeFixedByIssue;
    // Keyed by the announcement's month (May or November).
    std::map<YearMonth, PublishedRate> iInflationByAnnouncement;
    std::map<YearMonth, PublishedRate> eeMarketByAnnouncement;
    // The rates of EE issued May 1995 - April 1997, by announcement: the short-term rate of their
    // first five years and the 85% long-term rate after them.
    std::map<YearMonth, PublishedRate> eeShortTermByAnnouncement;
    std::map<YearMonth, PublishedRate> eeLongTermByAnnouncement;
    // Monthly averages of the 5-year Treasury yield in hundredths of a percent, by month: what
    // the market-based value of EE issued before May 1995 is averaged from.
    std::map<YearMonth, int> fiveYearYieldByMonth;
    // The final values of EE issued December 1986 - April 1995, by issue month.
    std::map<YearMonth, PublishedFinalValue> eeFinalValuesByIssue;
    // Official values of EE issued before May 1997 at given ages.
    std::vector<PublishedEEValue> eePublishedValues;
    // The bases of the last extensions, in the order of the data file.
    std::vector<LastExtensionBase> lastExtensionBases;
    // The highest market-based rate used, for bounding values that need a missing one.
    int eeMarketHighest = 0;
    // The last issue month that the fixed-rate tables cover.
    YearMonth iFixedLastIssue;
    YearMonth eeFixedLastIssue;

    // The rate files, the final and published values, the last extensions' bases and the yields
    // in `dataDir`. On a malformed file, or two files giving one rate differently, answers
    // nothing, with `error` naming the file and line.
    static std::optional<BondRates> load(const std::filesystem::path& dataDir, std::string* error);
};

// The published rate in effect for `key` in a table keyed by the first month of each period, up to
// `lastCovered`; nullptr outside the table.
const PublishedRate* publishedRateInEffect(const std::map<YearMonth, PublishedRate>& table,
                                           YearMonth key, YearMonth lastCovered);

// The rate announced in `announcement`; nullptr when the table has no row for it.
const PublishedRate* publishedAnnouncedRate(const std::map<YearMonth, PublishedRate>& table,
                                            YearMonth announcement);

// "3.40" -> 340, "-2.78" -> -278; nothing unless the text is an optional minus, digits, a point
// and exactly two digits.
std::optional<int> parseHundredthsOfPercent(const std::string& text);
