#pragma once

// The issue months of each series the value table holds, and their terms, for the builder's
// value lines and its earning rates alike.

#include "BondRates.h"

// Series E: issued May 1941 to June 1980; final maturity 40 years for issues up to November
// 1965 and 30 years after (31 CFR 316.8, as given in rates.md, Section 3).
inline constexpr MonthIndex kFirstE = monthIndex(1941, 5);
inline constexpr MonthIndex kLastE = monthIndex(1980, 6);
inline constexpr MonthIndex kLastFortyYearE = monthIndex(1965, 11);
// Savings notes: issued May 1967 to October 1970, final maturity 30 years. Not covered by
// rates.md; the dates and the term are those published for savings notes ("Freedom Shares"),
// and the June to November 2016 official file shows their values no longer rising.
inline constexpr MonthIndex kFirstS = monthIndex(1967, 5);
inline constexpr MonthIndex kLastS = monthIndex(1970, 10);
// Series EE: first issued January 1980, final maturity 30 years (31 CFR 351.5).
inline constexpr MonthIndex kFirstEE = monthIndex(1980, 1);
inline constexpr MonthIndex kFirstI = monthIndex(1998, 9);
inline constexpr int kThirtyYears = 30 * 12;
