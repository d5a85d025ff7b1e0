// A portfolio's worth by month over the shipped table: the report's total in every month where
// each bond issued by then has a value, a gap wherever one lacks it (with the bonds that make
// it), nothing before any bond was issued, and the bonds' final maturities with their counts.

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
    const auto expectReportTotals = [&table](const std::vector<Bond>& valued) {
        const WorthOverTime worth = worthOverTime(valued, table.get());
        ASSERT_EQ(worth.months.size(), 210U);
        EXPECT_EQ(worth.months.front().month, (YearMonth{2009, 6}));
        EXPECT_EQ(worth.months.back().month, (YearMonth{2026, 11}));
        for (const MonthWorth& month : worth.months) {
            const ReportSnapshot report =
                computeReportSnapshot(valued, "Mixed", table.get(), month.month);
            // The bond of an impossible date is in no total, so it makes no gap either.
            const int lacking = report.summary.withoutValue;
            EXPECT_EQ(month.bondsWithoutValue, lacking) << month.month.keyText();
            if (month.worth) {
                EXPECT_EQ(*month.worth, report.summary.worth.known) << month.month.keyText();
            } else {
                EXPECT_TRUE(lacking > 0 || report.summary.withValue == 0) << month.month.keyText();
            }
        }
    };
    expectReportTotals(bonds);
    // Faces of a fraction of a cent or none at all (no price while "NO PAY": no worth).
    expectReportTotals({{"EE10", "EE", "10.005", "2001", "July"},
                        {"S67", "S", "37.5", "1967", "June"},
                        {"I26", "I", "0", "2026", "February"}});
    const WorthOverTime worth = worthOverTime(bonds, table.get());
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (const WorthRun& run : worth.runs()) {
        runs.emplace_back(run.first, run.count);
    }
    // October and November 2009, then June 2010 on.
    EXPECT_EQ(runs, (std::vector<std::pair<std::size_t, std::size_t>>{{4, 2}, {12, 198}}));
    EXPECT_EQ(worth.finalMaturities,
              (std::vector<FinalMaturity>{
                  {{2006, 6}, 1}, {{2010, 4}, 1}, {{2010, 6}, 1}, {{2031, 5}, 1}, {{2050, 3}, 1}}));
    // The gaps are the E bonds' of 1980.
    ASSERT_EQ(worth.withoutValue.size(), 2U);
    EXPECT_EQ(worth.withoutValue[0].bond, 0U);
    EXPECT_EQ(worth.withoutValue[0].first, (YearMonth{2009, 12}));
    EXPECT_EQ(worth.withoutValue[0].last, (YearMonth{2010, 5}));
    EXPECT_EQ(worth.withoutValue[0].months, 6);
    EXPECT_EQ(worth.withoutValue[1].bond, 1U);
    EXPECT_EQ(worth.withoutValue[1].first, (YearMonth{2009, 6}));
    EXPECT_EQ(worth.withoutValue[1].last, (YearMonth{2009, 9}));
    EXPECT_EQ(worth.withoutValue[1].months, 4);
    EXPECT_EQ(worthOverTime({bonds[0], bonds[0]}, table.get()).finalMaturities,
              (std::vector<FinalMaturity>{{{2010, 6}, 2}}));
    // A bond no month can place leaves every month without a worth.
    const WorthOverTime unplaced =
        worthOverTime({bonds[2], {"X", "ee", "100", "1995", "March"}}, table.get());
    EXPECT_TRUE(unplaced.runs().empty());
    ASSERT_EQ(unplaced.withoutValue.size(), 1U);
    EXPECT_EQ(unplaced.withoutValue[0].bond, 1U);
    EXPECT_EQ(unplaced.withoutValue[0].months, 210);

    // Nothing is drawn before the first bond of a set was issued; not yet payable, it is worth
    // its price.
    const WorthOverTime young = worthOverTime({bonds[4]}, table.get());
    EXPECT_FALSE(young.worthAt({2020, 2}));
    EXPECT_EQ(young.worthAt({2020, 3}), Amount::ofCents(100000));
    EXPECT_EQ(young.runs().size(), 1U);
}

} // namespace
