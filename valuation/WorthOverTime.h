#pragma once

// What a set of bonds is worth in each month the value table holds, for a chart of the worth over
// time. Each bond is valued by the same rule as the report's value column (valueFiguresOfBond), so
// a month's worth is the report's "Worth now" total at that month whenever that total is complete.
//
// A month's worth is the sum over the bonds issued by that month. It is absent, a gap in the
// line, when any of those bonds has no value then (the table lacks it or calls it invalid, or its
// issue date is not one the rules know): a smaller sum would read as a loss that never happened.
// A month before any bond of the set was issued has no worth either: nothing was owned to draw.
// The months run from the table's first to its last without a hole, so a month the table does
// not hold is a gap too.

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <cstddef>
#include <optional>
#include <vector>

struct MonthWorth {
    YearMonth month;
    std::optional<Amount> worth;
};

// A run of consecutive months that all have a worth: one unbroken piece of the line.
struct WorthRun {
    std::size_t first = 0; // index into WorthOverTime::months
    std::size_t count = 0;
};

struct WorthOverTime {
    // Every calendar month from the table's first to its last; none without a table.
    std::vector<MonthWorth> months;
    // The distinct final maturities of the bonds, ascending (those of every bond, in range or
    // not; a bond whose series or issue date is not known has none).
    std::vector<YearMonth> finalMaturities;

    // The pieces of the line, in month order.
    std::vector<WorthRun> runs() const;
    // The worth at a month; none outside the months or in a gap.
    std::optional<Amount> worthAt(const YearMonth& month) const;
};

// The worth of `bonds` (as the report reads them) over the months of `table` (nullptr: none).
WorthOverTime worthOverTime(const std::vector<Bond>& bonds, const ValueTable* table);
