#pragma once

// The series the value table and the earning rates are built for, with their issue months and
// terms as the series rules give them.

#include "store/SeriesRules.h"
#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <array>

// The order the builder writes each month's lines in; the earning rates number their rate codes
// in it too, so the built files change with it.
inline constexpr std::array<BondSeries, 4> kTableSeriesOrder = {BondSeries::E, BondSeries::S,
                                                                BondSeries::EE, BondSeries::I};

// The rules of a series the table holds.
const SeriesRules& rulesOfSeries(BondSeries series);

struct IssueMonths {
    YearMonth first;
    YearMonth last;
};

// The months bonds of `series` were issued in, up to `tableLast` for a series still sold.
IssueMonths issueMonthsOf(BondSeries series, YearMonth tableLast);

// The month a bond of `series` issued in `issue` reaches final maturity: it holds its final value
// from that month on.
YearMonth finalMaturityMonth(BondSeries series, YearMonth issue);
