#pragma once

// Redemption values of Series I, Series EE and the last Series E issues computed by the
// Treasury's rules (31 CFR 359 and 351, as summarised in the project's rates.md, Sections 1-3, and
// rates-2010-2026.md, Sections 2.3 and 4):
//   - values are kept per unit: $25 face for I (price $25), $25 face for EE (price $12.50);
//   - each semiannual rate period starts from the rounded value at its start (PV) and the value
//     after m whole months is PV * (1 + rate/2)^(m/6), rounded to the cent half up;
//   - a period takes the rate announced most recently at its start (May or November);
//   - an I bond's rate is the composite of its fixed rate and the inflation rate, rounded to
//     0.01% and never below zero;
//   - an EE bond of May 1997 or later is worth at least its face value at original maturity (17
//     years for issues up to May 2003, 20 years after): the adjustment is made in the anniversary
//     month and accrual goes on from the adjusted value;
//   - EE issued May 1995 - April 1997 add interest only every six months (351.28), at the
//     short-term rate for their first five years and the 85% long-term rate after, chained from
//     the rounded value, and are worth at least face value at 17 years;
//   - EE issued November 1982 - April 1995 follow their guaranteed-minimum path (31 CFR 351.20,
//     351.21): each maturity period starts from the value at the end of the previous one, and
//     the Treasury rounds every value on that path UP to the cent (tools/data/README.md). Their
//     value is the higher of that path and their market-based value (351.20(b)(3), 351.21(b));
//   - EE issued January 1980 - October 1982 and E issued July 1979 - June 1980, in their last
//     extension, grow at 4% a year from a base pinned by their official final value;
//   - interest stops at final maturity (30 years) and the value stays the same after it;
//   - before five years the value is that of three months earlier (never below the price);
//   - a bond is not payable before 6 months (issued January 2003 or earlier) or 12 months.

#include "BondRates.h"

#include <optional>

// A `series` computed by the rules below is I or EE; one in its last extension is E or EE.

// The composite rate of an I bond in hundredths of a percent: fixed + 2 x inflation + fixed x
// inflation, rounded to 0.01% half up, zero when negative.
int compositeRate(int fixedHundredths, int inflationHundredths);

// The value in cents after `months` (0 to 6) of a period that starts at `startCents` and earns
// `rateHundredths` a year.
long long accrueWithinPeriod(long long startCents, int rateHundredths, int months);

// The announcement (May or November) whose rate a period starting in `periodStart` takes.
YearMonth governingAnnouncement(YearMonth periodStart);

// The unit's issue price in cents: 2500 for I, 1250 for EE.
long long issuePriceCents(BondSeries series);

// The rate of the period starting in `periodStart` of a bond issued in `issue` (May 1997 or
// later for EE), or nothing when a rate it needs is not known.
std::optional<int> periodRate(const BondRates& rates, BondSeries series, YearMonth issue,
                              YearMonth periodStart);

// The unit's accrued value `months` after issue (May 1997 or later for EE), without penalty;
// nothing when a rate it needs is not known.
std::optional<long long> accruedValueCents(const BondRates& rates, BondSeries series,
                                           YearMonth issue, int months);

// The months a bond of `ageMonths` has earned interest: none after final maturity.
int earningMonths(BondSeries series, YearMonth issue, int ageMonths);

// The guaranteed-minimum value in cents per $25 face of an EE bond issued November 1982 - April
// 1995 at `ageMonths`; nothing for other issue months.
std::optional<long long> minimumPathValueCents(YearMonth issue, int ageMonths);

// The market-based value in cents per $25 face of an EE bond issued November 1982 - April 1995
// at `ageMonths` (31 CFR 351.20(b)(3), 351.21(b)): $12.50 compounded for every whole half-year j
// since issue at y, 85% of the average of the j six-month averages of the monthly 5-year yields
// starting with the six-month period (May - October or November - April) that most recently
// ended before the issue month, y rounded half up to 0.01% and the value rounded up to the cent.
// Nothing when a yield it needs is missing.
std::optional<long long> marketBasedValueCents(const BondRates& rates, YearMonth issue,
                                               int ageMonths);

// Whether the market-based value is the one that counts for an EE bond issued November 1982 -
// April 1995 in `redemption`: it is above the guaranteed path in a month whose yields the table
// uses (to November 2016; later the path governs, tools/data/README.md).
bool marketBasedValueGoverns(const BondRates& rates, YearMonth issue, YearMonth redemption);

// The published rate of the six-month period starting in `periodStart` of an EE bond issued May
// 1995 - April 1997: the short-term rate in its first five years, the long-term rate after;
// nullptr when the data have no row for it.
const PublishedRate* earlyEEPeriodRate(const BondRates& rates, YearMonth issue,
                                       YearMonth periodStart);

// The value in cents per $25 face of a bond of `series` issued in `issue` in its last extension
// at `ageMonths` (final maturity ends it), where the data hold its base and, for a rounding not
// settled, both roundings give the same cent; nothing elsewhere.
std::optional<long long> lastExtensionValueCents(const BondRates& rates, BondSeries series,
                                                 YearMonth issue, int ageMonths);

// The last extension's base of `series` for `issue`; nullptr when the data have none.
const LastExtensionBase* lastExtensionBaseOf(const BondRates& rates, BondSeries series,
                                             YearMonth issue);

// The value in cents per $25 face at final maturity of a bond whose last extension has `base`,
// rounded up, or half up when `halfUp`; nothing for a half-up rounding the data give no base for.
std::optional<long long> lastExtensionFinalCents(const LastExtensionBase& base, bool halfUp);

// The value in cents per $25 face of an EE bond issued before May 1997 at `ageMonths`, by the
// rules of its issue month, whether or not it may be cashed then: what the Treasury's earnings
// reports print. Nothing where the rules give none.
std::optional<long long> earlyEEValueCents(const BondRates& rates, YearMonth issue, int ageMonths);

// The rules that value an EE bond, by issue month (see above).
enum class EERules {
    BeforeMinimumPath, // January 1980 - October 1982: their last extension and final values
    MinimumPath,       // November 1982 - April 1995
    ShortAndLongTerm,  // May 1995 - April 1997
    MarketBased,       // May 1997 - April 2005
    FixedRate,         // May 2005 on
};
EERules eeRulesOf(YearMonth issue);

// How many months apart an EE bond's value grows: 1 (monthly: May 1997 on, and November 1982 -
// April 1995 issues of the monthly band), 6 (every six months from the issue month).
int eeAccrualStepMonths(YearMonth issue);

// The guaranteed-minimum rate, in hundredths of a percent, of the maturity period that holds
// `ageMonths` (below 30 years) of an EE bond issued November 1982 - April 1995; nothing for
// other issue months and ages.
std::optional<int> minimumPathRate(YearMonth issue, int ageMonths);

struct RedemptionValue {
    enum class Kind {
        NotIssued,  // no bond of the series was issued that month, or it is after redemption
        NotPayable, // held for less than the minimum
        Unknown,    // the sourced data give no value
        Value,
    };
    Kind kind = Kind::Unknown;
    long long cents = 0;
};

// The unit's redemption value in month `redemption` of a bond issued in `issue`. EE issued
// before November 1982 have a value here only in their last extension (their final values come
// from the official file).
RedemptionValue redemptionValue(const BondRates& rates, BondSeries series, YearMonth issue,
                                YearMonth redemption);

// The value the rules give a Series I bond, or an EE bond issued May 1997 or later, in
// `redemption` whether or not it may be cashed yet (the three-month penalty counted): what the
// Treasury counts as its value at the end of a year in which it was not yet payable. Nothing when
// a rate it needs is not known.
std::optional<long long> valueIfPayableCents(const BondRates& rates, BondSeries series,
                                             YearMonth issue, YearMonth redemption);
