#pragma once

// The Treasury's rules of each series of savings bonds, in one place: the code its value files
// use, the month it was first issued and the last year it was sold, its paper denominations, what
// a bond cost, when it can first be cashed, when cashing it early costs interest, when it reaches
// face value and when it stops earning interest. The editor, the import, the value files, the
// report and the owner's figures all read this table.
//
// First issue: E May 1941 (31 CFR 316), savings notes May 1967 (31 CFR 342.0), EE January 1980
// (31 CFR 351), I September 1998 (31 CFR 359). A bond dated earlier cannot exist; the editor and
// the report say so.
//
// First sold electronically, in the Treasury's online accounts (TreasuryDirect): I bonds in
// October 2002 (Treasury release of 15 October 2002, "Electronic Series I Savings Bond Now
// Available"), EE bonds in May 2003 (release of 5 May 2003, "Electronic EE Savings Bonds Added to
// TreasuryDirect"). E bonds and savings notes were never sold electronically.

#include "store/YearMonth.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The series Orvelt knows, in the order the bond editor offers them; the value table file's key
// of each is its name ("EE").
enum class BondSeries : std::uint8_t { E, EE, I, S };
inline constexpr int kBondSeriesCount = 4;

// A term (in years or months) that changed once for bonds issued from `changedIn` on: `before`
// for earlier issues, `since` for those of that month or later.
struct IssueDatedTerm {
    int before;
    YearMonth changedIn;
    int since;

    constexpr int forIssue(const YearMonth& issue) const {
        return issue < changedIn ? before : since;
    }
};

// A term that never changed.
constexpr IssueDatedTerm unchangedTerm(int term) {
    return {term, {0, 0}, term};
}

// The face value guaranteed at original maturity: reached `years` after issue by bonds issued
// from `from` on.
struct DoublingRule {
    YearMonth from;
    IssueDatedTerm years;
};

// Paper denominations in dollars of face value, smallest first.
// E (31 CFR 316.2(b)): $25 to $10,000, and $10, sold only to members of the armed forces from
// 1944 to 1950, which that list no longer names. The $100,000 bond, sold only to trustees of
// employee savings plans, is not offered.
inline constexpr std::array<int, 9> kSeriesEDenominations = {10,  25,  50,   75,   100,
                                                             200, 500, 1000, 10000};
// EE (31 CFR 351.40) and I (31 CFR 359.25): $50 to $10,000.
inline constexpr std::array<int, 8> kSeriesEEAndIDenominations = {50,  75,   100,  200,
                                                                  500, 1000, 5000, 10000};
// Savings notes (31 CFR 342): $25 to $100.
inline constexpr std::array<int, 4> kSavingsNoteDenominations = {25, 50, 75, 100};

struct SeriesRules {
    std::string_view series;
    // The series' letter in the Treasury's value files ("N" stands for EE).
    char valueFileCode;
    YearMonth firstIssue;
    // The last issue month: E June 1980 (31 CFR 316), savings notes October 1970; {0, 0} while
    // the series is still sold.
    YearMonth lastIssue;
    // The last year of paper bonds: financial institutions stopped selling them at the end of
    // 2011, and paper I bonds bought with a tax refund ended with 2024.
    int lastPaperIssueYear;
    // Purchase price in thousandths of face value: E 75 % (31 CFR 316), EE 50 % (paper bonds,
    // 31 CFR 351.40), I at par (31 CFR 359.25), savings notes 81 % (31 CFR 342).
    int issuePricePerMille;
    // The first month of electronic bonds; {0, 0} for a series never sold electronically.
    YearMonth firstElectronicIssue;

    BondSeries bondSeries;
    std::span<const int> paperDenominations;
    // Purchase price of an electronic bond in thousandths of its face value: EE and I bonds at
    // face value (Treasury release of 4 April 2005; 31 CFR 351.61, 359.46); 0 for a series never
    // sold electronically.
    int electronicIssuePricePerMille;
    // Final maturity in years: E bonds issued May 1941 to November 1965 run 40 years, those of
    // December 1965 on 30 years (31 CFR 316.8(b)); EE (31 CFR 351.5), I (31 CFR 359.5) and
    // savings notes run 30.
    IssueDatedTerm finalMaturityYears;
    // EE and I bonds issued May 1997 or later lose the last three months of interest when cashed
    // before five years (31 CFR 351.31, 351.35(e), 359.7); nothing for a series without it.
    std::optional<YearMonth> earlyRedemptionPenaltyFrom;
    // EE and I bonds can be cashed six months after issue when issued January 2003 or earlier,
    // twelve months after when issued February 2003 or later (31 CFR 359.6, 351.6, 360.35(b));
    // nothing for a series payable at any time.
    std::optional<IssueDatedTerm> payableAfterMonths;
    // An EE bond is worth at least its face value, twice its price, at original maturity: 17
    // years for issues May 1995 - May 2003 (31 CFR 351.24, 351.29(a)(1), 351.32(b)), 20 years
    // for issues of June 2003 on (351.29(a)(2), 351.35(f)). Earlier issues' original maturity
    // guarantees a minimum rate, not face value.
    std::optional<DoublingRule> doubling;
    // The first issue whose value grows by six-month periods from the issue month at the bond's
    // own rate: EE bonds of May 1995 on (31 CFR 351, subpart C), every I bond (31 CFR 359).
    // Earlier EE bonds, E bonds and savings notes follow guaranteed paths of their own.
    std::optional<YearMonth> semiannualGrowthFrom;
    // Bonds whose interest can be excluded from income when paying for higher education: EE and
    // I bonds issued after 1989 (26 U.S.C. 135(c)(1), IRS Publication 970).
    std::optional<YearMonth> educationExclusionFrom;
};

// In the order of `BondSeries`, which is the order the bond editor offers the series.
inline constexpr std::array<SeriesRules, kBondSeriesCount> kSeriesRules = {{
    {.series = "E",
     .valueFileCode = 'E',
     .firstIssue = {1941, 5},
     .lastIssue = {1980, 6},
     .lastPaperIssueYear = 1980,
     .issuePricePerMille = 750,
     .firstElectronicIssue = {0, 0},
     .bondSeries = BondSeries::E,
     .paperDenominations = kSeriesEDenominations,
     .electronicIssuePricePerMille = 0,
     .finalMaturityYears = {40, {1965, 12}, 30},
     .earlyRedemptionPenaltyFrom = std::nullopt,
     .payableAfterMonths = std::nullopt,
     .doubling = std::nullopt,
     .semiannualGrowthFrom = std::nullopt,
     .educationExclusionFrom = std::nullopt},
    {.series = "EE",
     .valueFileCode = 'N',
     .firstIssue = {1980, 1},
     .lastIssue = {0, 0},
     .lastPaperIssueYear = 2011,
     .issuePricePerMille = 500,
     .firstElectronicIssue = {2003, 5},
     .bondSeries = BondSeries::EE,
     .paperDenominations = kSeriesEEAndIDenominations,
     .electronicIssuePricePerMille = 1000,
     .finalMaturityYears = unchangedTerm(30),
     .earlyRedemptionPenaltyFrom = YearMonth{1997, 5},
     .payableAfterMonths = IssueDatedTerm{6, {2003, 2}, 12},
     .doubling = DoublingRule{{1995, 5}, {17, {2003, 6}, 20}},
     .semiannualGrowthFrom = YearMonth{1995, 5},
     .educationExclusionFrom = YearMonth{1990, 1}},
    {.series = "I",
     .valueFileCode = 'I',
     .firstIssue = {1998, 9},
     .lastIssue = {0, 0},
     .lastPaperIssueYear = 2024,
     .issuePricePerMille = 1000,
     .firstElectronicIssue = {2002, 10},
     .bondSeries = BondSeries::I,
     .paperDenominations = kSeriesEEAndIDenominations,
     .electronicIssuePricePerMille = 1000,
     .finalMaturityYears = unchangedTerm(30),
     .earlyRedemptionPenaltyFrom = YearMonth{1997, 5},
     .payableAfterMonths = IssueDatedTerm{6, {2003, 2}, 12},
     .doubling = std::nullopt,
     // Every I bond, whatever its date: {0, 0} comes before any month.
     .semiannualGrowthFrom = YearMonth{0, 0},
     .educationExclusionFrom = YearMonth{0, 0}},
    {.series = "S",
     .valueFileCode = 'S',
     .firstIssue = {1967, 5},
     .lastIssue = {1970, 10},
     .lastPaperIssueYear = 1970,
     .issuePricePerMille = 810,
     .firstElectronicIssue = {0, 0},
     .bondSeries = BondSeries::S,
     .paperDenominations = kSavingsNoteDenominations,
     .electronicIssuePricePerMille = 0,
     .finalMaturityYears = unchangedTerm(30),
     .earlyRedemptionPenaltyFrom = std::nullopt,
     .payableAfterMonths = std::nullopt,
     .doubling = std::nullopt,
     .semiannualGrowthFrom = std::nullopt,
     .educationExclusionFrom = std::nullopt},
}};

static_assert(
    [] {
        for (std::size_t index = 0; index < kSeriesRules.size(); ++index) {
            if (static_cast<std::size_t>(kSeriesRules[index].bondSeries) != index) {
                return false;
            }
        }
        return true;
    }(),
    "kSeriesRules lists the series in the order of BondSeries");

constexpr const SeriesRules& seriesRules(BondSeries series) {
    return kSeriesRules[static_cast<std::size_t>(series)];
}

// The rules of `series`; nullptr for a series Orvelt does not know.
constexpr const SeriesRules* seriesRulesOf(std::string_view series) {
    for (const SeriesRules& rules : kSeriesRules) {
        if (rules.series == series) {
            return &rules;
        }
    }
    return nullptr;
}

// "E", "EE", "I" or "S" exactly; nothing for any other text.
constexpr std::optional<BondSeries> bondSeriesOfName(std::string_view name) {
    const SeriesRules* rules = seriesRulesOf(name);
    return rules != nullptr ? std::optional<BondSeries>(rules->bondSeries) : std::nullopt;
}

constexpr std::string_view bondSeriesName(BondSeries series) {
    return seriesRules(series).series;
}

// The first issue month of `series`; nothing for a series Orvelt does not know.
inline std::optional<YearMonth> firstIssueOf(std::string_view series) {
    const SeriesRules* rules = seriesRulesOf(series);
    return rules != nullptr ? std::optional<YearMonth>(rules->firstIssue) : std::nullopt;
}

// The first month any savings bond was issued (series E, May 1941).
inline constexpr YearMonth kFirstSavingsBondIssue =
    std::min_element(
        kSeriesRules.begin(), kSeriesRules.end(),
        [](const SeriesRules& a, const SeriesRules& b) { return a.firstIssue < b.firstIssue; })
        ->firstIssue;

// Every paper denomination of any series, smallest first, each once.
inline std::vector<int> paperDenominationsOfAllSeries() {
    std::vector<int> all;
    for (const SeriesRules& rules : kSeriesRules) {
        all.insert(all.end(), rules.paperDenominations.begin(), rules.paperDenominations.end());
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

inline bool soldElectronically(const SeriesRules& rules) {
    return rules.firstElectronicIssue.year != 0;
}

// Whether a bond of the series, paper or electronic, can have been issued in `issue`: not before
// the series' first issue, and an electronic one not before the series was first sold so.
inline bool issuedWithinItsSeries(const SeriesRules& rules, bool electronic,
                                  const YearMonth& issue) {
    if (issue < rules.firstIssue) {
        return false;
    }
    return !electronic || (soldElectronically(rules) && issue >= rules.firstElectronicIssue);
}

// An electronic bond holds any amount to the cent from $25.00 (31 CFR 351.61, 363.53). Its value
// is the amount / 100 times the value of the paper bond that $100 bought (for EE, a $200-face
// paper bond), rounded to the nearest cent once (31 CFR 351.70, 359.55).
inline constexpr long long kSmallestElectronicCents = 2500;

// The final maturity of a bond of `series` issued in `issue`; 30 years for a series Orvelt does
// not know.
inline YearMonth finalMaturityOf(std::string_view series, const YearMonth& issue) {
    const SeriesRules* rules = seriesRulesOf(series);
    const int years = rules != nullptr ? rules->finalMaturityYears.forIssue(issue) : 30;
    return {issue.year + years, issue.month};
}

// Cashed before five years, a bond that carries the penalty loses its last three months of
// interest.
inline constexpr int kPenaltyHeldMonths = 60;
inline constexpr int kPenaltyInterestMonths = 3;

inline bool carriesEarlyRedemptionPenalty(std::string_view series, const YearMonth& issue,
                                          int monthsHeld) {
    const SeriesRules* rules = seriesRulesOf(series);
    return rules != nullptr && rules->earlyRedemptionPenaltyFrom &&
           issue >= *rules->earlyRedemptionPenaltyFrom && monthsHeld < kPenaltyHeldMonths;
}

// The first month a bond of `series` issued in `issue` can be cashed; nothing for a series
// payable at any time or one Orvelt does not know.
inline std::optional<YearMonth> firstPayableMonth(std::string_view series, const YearMonth& issue) {
    const SeriesRules* rules = seriesRulesOf(series);
    if (rules == nullptr || !rules->payableAfterMonths) {
        return std::nullopt;
    }
    return issue.plusMonths(rules->payableAfterMonths->forIssue(issue));
}

// The month a bond of `series` issued in `issue` is guaranteed its face value; nothing when its
// series or its issue carries no such guarantee.
inline std::optional<YearMonth> doublingMonth(std::string_view series, const YearMonth& issue) {
    const SeriesRules* rules = seriesRulesOf(series);
    if (rules == nullptr || !rules->doubling || issue < rules->doubling->from) {
        return std::nullopt;
    }
    return issue.plusMonths(rules->doubling->years.forIssue(issue) * 12);
}

// Whether a bond of `series` issued in `issue` grows by six-month periods at its own rate.
inline bool growsBySemiannualPeriods(BondSeries series, const YearMonth& issue) {
    const std::optional<YearMonth>& from = seriesRules(series).semiannualGrowthFrom;
    return from && issue >= *from;
}

// Whether the interest of a bond of `series` issued in `issue` can be excluded from income for
// higher education, the owner's age apart.
inline bool seriesQualifiesForEducation(const SeriesRules& rules, const YearMonth& issue) {
    return rules.educationExclusionFrom && issue >= *rules.educationExclusionFrom;
}
