// A portfolio's worth by month over the shipped table: the report's total in every month where
// each bond issued by then has a value, a gap wherever one lacks it, nothing before any bond was
// issued, and the bonds' final maturities.

#include "platform/ResourceLocations.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/WorthOverTime.h"

#include <gtest/gtest.h>

namespace {

TEST(WorthOverTime, FollowsTheReportsTotalAndLeavesAGapWhereABondLacksAValue) {
    const ResourceLocations shipped(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources",
                                    "/nonexistent");
    const ValueTableRef table = loadBondTable(shipped);
    ASSERT_TRUE(table);
    // The table lacks the E bond of June 1980 from December 2009 to May 2010, before its final
    // maturity, and the E bond of April 1980 from June to September 2009.
    const std::vector<Bond> bonds = {
        {"E80", "E", "100", "1980", "June"},   {"E80A", "E", "50", "1980", "April"},
        {"I01", "I", "100", "2001", "May"},    {"E76", "E", "100", "1976", "June"},
        {"I20", "I", "1000", "2020", "March"}, {"E41", "E", "25", "1941", "January"}};
    const WorthOverTime worth = worthOverTime(bonds, table.get());

    ASSERT_EQ(worth.months.size(), 210U);
    EXPECT_EQ(worth.months.front().month, (YearMonth{2009, 6}));
    EXPECT_EQ(worth.months.back().month, (YearMonth{2026, 11}));
    for (const MonthWorth& month : worth.months) {
        const ReportSnapshot report =
            computeReportSnapshot(bonds, "Mixed", table.get(), month.month);
        // The bond of an impossible date is in no total, so it makes no gap either.
        const int lacking = report.summary.withoutValue;
        if (month.worth) {
            EXPECT_EQ(lacking, 0) << month.month.keyText();
            EXPECT_EQ(*month.worth, report.summary.worth.known) << month.month.keyText();
        } else {
            EXPECT_GT(lacking, 0) << month.month.keyText();
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const WorthRun& run : worth.runs()) {
        runs.emplace_back(run.first, run.count);
    }
    // October and November 2009, then June 2010 on.
    EXPECT_EQ(runs, (std::vector<std::pair<std::size_t, std::size_t>>{{4, 2}, {12, 198}}));
    EXPECT_EQ(worth.finalMaturities,
              (std::vector<YearMonth>{{2006, 6}, {2010, 4}, {2010, 6}, {2031, 5}, {2050, 3}}));

    // Nothing is drawn before the first bond of a set was issued; not yet payable, it is worth
    // its price.
    const WorthOverTime young = worthOverTime({bonds[4]}, table.get());
    EXPECT_FALSE(young.worthAt({2020, 2}));
    EXPECT_EQ(young.worthAt({2020, 3}), Amount::ofCents(100000));
    EXPECT_EQ(young.runs().size(), 1U);
}

} // namespace
