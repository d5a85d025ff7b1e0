#pragma once

// Redemption values of Series I and Series EE (issued May 1997 or later) computed by the
// Treasury's rules (31 CFR 359 and 351, as summarised in the project's rates.md, Sections 1-3):
//   - values are kept per unit: $25 face for I (price $25), $25 face for EE (price $12.50);
//   - each semiannual rate period starts from the rounded value at its start (PV) and the value
//     after m whole months is PV * (1 + rate/2)^(m/6), rounded to the cent half up;
//   - a period takes the rate announced most recently at its start (May or November);
//   - an I bond's rate is the composite of its fixed rate and the inflation rate, rounded to
//     0.01% and never below zero;
//   - before five years the value is that of three months earlier (never below the price);
//   - a bond is not payable before 6 months (issued January 2003 or earlier) or 12 months.

#include "BondRates.h"

#include <optional>

enum class ComputedSeries { I, EE };

// The composite rate of an I bond in hundredths of a percent: fixed + 2 x inflation + fixed x
// inflation, rounded to 0.01% half up, zero when negative.
int compositeRate(int fixedHundredths, int inflationHundredths);

// The value in cents after `months` (0 to 6) of a period that starts at `startCents` and earns
// `rateHundredths` a year.
long long accrueWithinPeriod(long long startCents, int rateHundredths, int months);

// The announcement (May or November) whose rate a period starting in `periodStart` takes.
MonthIndex governingAnnouncement(MonthIndex periodStart);

// The unit's issue price in cents: 2500 for I, 1250 for EE.
long long issuePriceCents(ComputedSeries series);

// The rate of the period starting in `periodStart` of a bond issued in `issue`, or nothing
// when a rate it needs is not known.
std::optional<int> periodRate(const BondRates& rates, ComputedSeries series, MonthIndex issue,
                              MonthIndex periodStart);

// The unit's accrued value `months` after issue, without penalty; nothing when a rate it needs
// is not known.
std::optional<long long> accruedValueCents(const BondRates& rates, ComputedSeries series,
                                           MonthIndex issue, int months);

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

// The unit's redemption value in month `redemption` of a bond issued in `issue`.
RedemptionValue redemptionValue(const BondRates& rates, ComputedSeries series, MonthIndex issue,
                                MonthIndex redemption);
