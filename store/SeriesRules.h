#pragma once

// The Treasury's rules of each series of savings bonds, in one place: the code its value files
// use, the month it was first issued and the last year it was sold, what a bond cost, when it
// stops earning interest and when cashing it early costs interest.
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

#include <array>
#include <optional>
#include <string_view>

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
};

// In the order the bond editor offers the series.
inline constexpr std::array<SeriesRules, 4> kSeriesRules = {{
    {"E", 'E', {1941, 5}, {1980, 6}, 1980, 750, {0, 0}},
    {"EE", 'N', {1980, 1}, {0, 0}, 2011, 500, {2003, 5}},
    {"I", 'I', {1998, 9}, {0, 0}, 2024, 1000, {2002, 10}},
    {"S", 'S', {1967, 5}, {1970, 10}, 1970, 810, {0, 0}},
}};

// The rules of `series`; nullptr for a series Orvelt does not know.
inline const SeriesRules* seriesRulesOf(std::string_view series) {
    for (const SeriesRules& rules : kSeriesRules) {
        if (rules.series == series) {
            return &rules;
        }
    }
    return nullptr;
}

// The first issue month of `series`; nothing for a series Orvelt does not know.
inline std::optional<YearMonth> firstIssueOf(std::string_view series) {
    const SeriesRules* rules = seriesRulesOf(series);
    return rules != nullptr ? std::optional<YearMonth>(rules->firstIssue) : std::nullopt;
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

// An electronic bond holds any amount to the cent from $25.00 (31 CFR 351.61, 363.53). Electronic
// EE bonds are bought at face value, paper ones at half (Treasury release of 4 April 2005); I
// bonds at par either way. Their value is the amount / 100 times the value of a $100 bond (for
// EE, of $100 principal: a $200-face paper bond), rounded to the nearest cent once
// (31 CFR 351.70, 359.55).
inline constexpr long long kSmallestElectronicCents = 2500;

// Final maturity: E bonds issued May 1941 to November 1965 run 40 years, those of December 1965
// on 30 years (31 CFR 316.8(b)); EE (31 CFR 351.5), I (31 CFR 359.5) and savings notes run 30.
inline YearMonth finalMaturityOf(std::string_view series, const YearMonth& issue) {
    const bool fortyYears = series == "E" && issue < YearMonth{1965, 12};
    return {issue.year + (fortyYears ? 40 : 30), issue.month};
}

// EE and I bonds issued May 1997 or later lose the last three months of interest when cashed
// before five years (31 CFR 351.31, 351.35(e), 359.7).
inline bool carriesEarlyRedemptionPenalty(std::string_view series, const YearMonth& issue,
                                          int monthsHeld) {
    return (series == "EE" || series == "I") && issue >= YearMonth{1997, 5} && monthsHeld < 60;
}

// EE and I bonds can be cashed six months after issue when issued January 2003 or earlier,
// twelve months after when issued February 2003 or later (31 CFR 359.6, 351.6, 360.35(b)).
inline std::optional<YearMonth> firstPayableMonth(std::string_view series, const YearMonth& issue) {
    if (series != "EE" && series != "I") {
        return std::nullopt;
    }
    return issue.plusMonths(issue >= YearMonth{2003, 2} ? 12 : 6);
}

// An EE bond is worth at least its face value, twice its price, at original maturity: 17 years
// for issues May 1995 - May 2003 (31 CFR 351.24, 351.29(a)(1), 351.32(b)), 20 years for issues
// of June 2003 on (351.29(a)(2), 351.35(f)). Earlier issues' original maturity guarantees a
// minimum rate, not face value.
inline std::optional<YearMonth> doublingMonth(std::string_view series, const YearMonth& issue) {
    if (series != "EE" || issue < YearMonth{1995, 5}) {
        return std::nullopt;
    }
    return issue.plusMonths((issue < YearMonth{2003, 6} ? 17 : 20) * 12);
}
