// Projected values against the shipped table: projected from an earlier month of the table, every
// later month that no new rate reaches is the table's own value, to the cent; after the table,
// the rules that only the projection applies there (original maturity, final maturity, the
// penalty, a rate not known).

#include "platform/ResourceLocations.h"
#include "store/Bond.h"
#include "support/TempDir.h"
#include "valuation/EarningRates.h"
#include "valuation/Projection.h"

#include <gtest/gtest.h>

namespace {

const ValueTable& shippedTable() {
    static const TempDir userData;
    static const ValueTableRef table = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", userData.path()));
    return *table;
}

bool sameRate(const EarningRate& a, const EarningRate& b) {
    return a.kind == b.kind && a.hundredthsOfPercent == b.hundredthsOfPercent;
}

ValueCell projected(BondSeries series, YearMonth issue, YearMonth month) {
    const ValueTable& table = shippedTable();
    return BondProjection(table, series, issue, table.redemptionMonths().back()).cellAt(month);
}

} // namespace

TEST(ProjectionTest, FromAnEarlierMonthItReproducesTheTableWhereNoNewRateComes) {
    const ValueTable& table = shippedTable();
    const EarningRates& rates = *table.earningRates();
    const YearMonth last = table.redemptionMonths().back();
    int compared = 0;
    int penaltyCompared = 0;
    for (const YearMonth from : {YearMonth{2026, 6}, YearMonth{2021, 5}, YearMonth{2012, 11}}) {
        for (const auto& [series, firstIssue] : {std::pair{BondSeries::E, YearMonth{1941, 5}},
                                                 {BondSeries::S, {1967, 5}},
                                                 {BondSeries::EE, {1980, 1}},
                                                 {BondSeries::I, {1998, 9}}}) {
            for (YearMonth issue = firstIssue; issue <= from; issue = issue.plusMonths(1)) {
                const BondProjection projection(table, series, issue, from);
                const EarningRate held = rates.rateIn(series, issue, from);
                for (YearMonth month = from.plusMonths(1);
                     month <= std::min(last, from.plusMonths(11)); month = month.plusMonths(1)) {
                    if (!sameRate(rates.rateIn(series, issue, month), held)) {
                        break;
                    }
                    const ValueCell cell = table.cell(series, month, issue);
                    if (cell < 0 && cell != kNoPayCell) {
                        continue;
                    }
                    // EE issued before May 1995 follow a guaranteed path the projection does
                    // not carry on: not known while they earn.
                    const bool ownPath = series == BondSeries::EE && issue < YearMonth{1995, 5} &&
                                         from.monthsSince(issue) < 360;
                    EXPECT_EQ(projection.cellAt(month), ownPath ? kMissingCell : cell)
                        << bondSeriesName(series) << " " << issue.keyText() << " from "
                        << from.keyText() << " at " << month.keyText();
                    ++compared;
                    penaltyCompared += month.monthsSince(issue) < 60 ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(compared, 20000);
    EXPECT_GT(penaltyCompared, 1000);
}

TEST(ProjectionTest, AfterTheTableTheBondsOwnRulesApply) {
    const ValueTable& table = shippedTable();
    const YearMonth last = table.redemptionMonths().back();
    ASSERT_EQ(last, (YearMonth{2026, 11}));
    EXPECT_TRUE(isProjectedMonth(table, {2056, 11}));
    EXPECT_FALSE(isProjectedMonth(table, {2056, 12}));
    EXPECT_FALSE(isProjectedMonth(table, last));

    // EE of June 2015 reaches 20 years in June 2035 below face value: set to face value, then
    // growing on from there.
    EXPECT_LT(projected(BondSeries::EE, {2015, 6}, {2035, 5}), 2500);
    EXPECT_EQ(projected(BondSeries::EE, {2015, 6}, {2035, 6}), 2500);
    EXPECT_GT(projected(BondSeries::EE, {2015, 6}, {2035, 7}), 2500);
    // I of September 1998 stops earning at final maturity, September 2028.
    const ValueCell final = projected(BondSeries::I, {1998, 9}, {2028, 9});
    EXPECT_GT(final, projected(BondSeries::I, {1998, 9}, {2028, 8}));
    EXPECT_EQ(projected(BondSeries::I, {1998, 9}, {2056, 11}), final);
    // A bond past final maturity keeps the table's value.
    EXPECT_EQ(projected(BondSeries::E, {1970, 1}, {2040, 1}),
              table.cell(BondSeries::E, last, {1970, 1}));
    // An I bond of October 2026 at the rate held: not payable for a year, then worth what it was
    // three months before until five years, each half-year's growth rounded to the cent.
    const YearMonth young{2026, 10};
    const long long rate =
        table.earningRates()->rateIn(BondSeries::I, young, last).hundredthsOfPercent;
    const auto halfYears = [rate](long long cents, int count) {
        for (int i = 0; i < count; ++i) {
            cents = (cents * (20000 + rate) + 10000) / 20000;
        }
        return cents;
    };
    EXPECT_EQ(projected(BondSeries::I, young, {2027, 9}), kNoPayCell);
    EXPECT_EQ(projected(BondSeries::I, young, {2028, 1}), halfYears(2500, 2));
    EXPECT_EQ(projected(BondSeries::I, young, {2031, 10}), halfYears(2500, 10));
    // EE whose rate at the table's end is not known: no projected value.
    EXPECT_EQ(projected(BondSeries::EE, {2026, 4}, {2030, 4}), kMissingCell);
}
