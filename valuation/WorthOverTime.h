#pragma once

// What a set of bonds is worth in each month the value table holds, for a chart of the worth over
// time. Each bond is valued by the same rule as the report's value column (valueFiguresOfBond), so
// a month's worth is the report's "Worth now" total at that month whenever that total is complete.
//
// A month's worth is the sum over the bonds issued by that month. It is absent, a gap in the
// line, when any of those bonds has no value then (the table lacks it, or its series or issue
// date is not one the rules know): a smaller sum would read as a loss that never happened. A bond
// the table calls invalid in a month counts nowhere in that month, as in the report's totals. A
// month before any bond of the set was issued has no worth either: nothing was owned to draw. A
// bond cashed counts until the month before it was cashed.
// The months run from the table's first to its last without a hole, so a month the table does
// not hold is a gap too.
//
// The worth is computed in one pass per bond over the months it was held, reading the typed
// table's cells directly. Asked to, the months go on after the table's last to a horizon, each
// bond's value there projected (Projection.h) and the month marked so.

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <cstddef>
#include <optional>
#include <stop_token>
#include <vector>

struct MonthWorth {
    YearMonth month;
    std::optional<Amount> worth;
    // The bonds issued by this month that have no value in it; the worth is absent when any has.
    int bondsWithoutValue = 0;
    // After the table's last month: the worth is projected.
    bool projected = false;
};

// A run of consecutive months that all have a worth: one unbroken piece of the line.
struct WorthRun {
    std::size_t first = 0; // index into WorthOverTime::months
    std::size_t count = 0;
};

// The bonds that reach final maturity in one month.
struct FinalMaturity {
    YearMonth month;
    std::size_t bonds = 0;
    bool operator==(const FinalMaturity&) const = default;
};

// A bond that leaves months of the line without a worth: every month from `first` to `last` in
// which it was issued and the table has no value for it (`months` of them).
struct BondWithoutValue {
    std::size_t bond = 0; // index into the bonds valued
    YearMonth first;
    YearMonth last;
    int months = 0;
};

struct WorthOverTime {
    // Every calendar month from the table's first to its last, then the projected months asked
    // for; none without a table.
    std::vector<MonthWorth> months;
    // The final maturities of the bonds, ascending, with how many bonds reach each (those of
    // every bond, in range or not; a bond whose series or issue date is not known has none).
    std::vector<FinalMaturity> finalMaturities;
    // The bonds that make the gaps in the line, in the order of the bonds valued.
    std::vector<BondWithoutValue> withoutValue;
    // The first issue month of the bonds that count in some month; none when no bond does.
    std::optional<YearMonth> firstIssue;

    // The pieces of the line, in month order.
    std::vector<WorthRun> runs() const;
    // The month's entry; nullptr outside the months.
    const MonthWorth* at(const YearMonth& month) const;
    // The worth at a month; none outside the months or in a gap.
    std::optional<Amount> worthAt(const YearMonth& month) const;
};

// The worth of `bonds` (as the report reads them) over the months of `table` (nullptr: none),
// then projected up to `horizon` when it comes after the table's last month (no further than the
// projection reaches). A stop requested through `stop` ends the computation early with an
// unfinished result, which the caller discards.
WorthOverTime worthOverTime(const std::vector<Bond>& bonds, const ValueTable* table,
                            std::stop_token stop = {},
                            std::optional<YearMonth> horizon = std::nullopt);

// Where a chart of `bonds` projects to unless the owner says otherwise: the latest final maturity
// among them, no further than the projection reaches; none when it does not come after the
// table's last month.
std::optional<YearMonth> defaultProjectionHorizon(const std::vector<Bond>& bonds,
                                                  const ValueTable* table);
