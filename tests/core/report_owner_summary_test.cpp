// The report's owner columns as a whole: their totals, the summary under the table, the CSV
// export's headers, and the month a report starts at with the shipped and an updated table.

#include "core/value_table_fixture.h"
#include "platform/PropertyList.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ReportDocument.h"
#include "valuation/ValueReport.h"
#include "valuation/ValueTable.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class ReportOwnerSummaryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(makeValueTable({
            {"EE", "2009", "06", "2001", "March", "002712"},
            {"EE", "2009", "06", "2009", "January", "NO PAY"},
            {"E", "2009", "06", "1970", "May", "010000"},
        }));
        ASSERT_TRUE(database.createPortfolio("Family"));
        ASSERT_TRUE(database.addBond("Family", Bond("paying", "EE", "100", "2001", "March")));
        ASSERT_TRUE(database.addBond("Family", Bond("young", "EE", "1000", "2009", "January")));
        ASSERT_TRUE(database.addBond("Family", Bond("old", "E", "100", "1970", "May")));
        report = std::make_unique<ValueReport>(session, "Family");
    }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    TestSession session{files.resources()};
    BondDatabase& database = session.store();
    std::unique_ptr<ValueReport> report;
};

TEST_F(ReportOwnerSummaryTest, TotalsAndSummaryCountOnlyWhatIsKnownAndPayable) {
    const int totals = report->rowCount() - 1;
    EXPECT_EQ(report->cellText("Issue Price", totals), "$625.00");
    // 108.48 - 50 and 400 - 75; the young bond is not payable: its interest is not known, and
    // the total says it leaves one bond out.
    EXPECT_EQ(report->cellText("Interest", totals), "$383.48*");
    EXPECT_EQ(report->cellText("Status", totals), "");
    // No bond has a December 2008 value in this table.
    EXPECT_EQ(report->cellText("Interest This Year", totals), "not known");

    const std::vector<std::string> lines = report->snapshot().summaryLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Paid for these bonds: $625.00");
    // The young bond is worth its price, $500: paid and worth differ by the interest.
    EXPECT_EQ(lines[1], "Worth now: $1008.48, of which interest: $383.48*");
    EXPECT_EQ(lines[2], "Worth if cashed now: $508.48 (bonds not yet payable count nothing)");
    EXPECT_EQ(lines[3], "* The Interest total leaves out 1 bond whose figure is not known.");
    const std::vector<std::string> actions = report->snapshot().actionLines();
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].rfind("1 bond has stopped earning interest, in May 2000", 0), 0u);
}

TEST_F(ReportOwnerSummaryTest, TheCsvExportHasEveryColumnUnderItsTitle) {
    const std::string csv = reportCsv(report->snapshot(), allReportColumns());
    // The portfolio and the month first, then the titles.
    EXPECT_EQ(csv.substr(0, csv.find("\r\nSerial")),
              "Portfolio,Family\r\nRedemption month,June 2009\r\n");
    EXPECT_NE(csv.find("\r\nSerial,Type,Face Value,Issue Year,Issue Month,Current Value,Issue "
                       "Price,Interest,Interest This Year,Yield Since Issue,Interest Rate,Next "
                       "Accrual,Final Maturity,Status"
                       "\r\n"),
              std::string::npos);
    // This table has no rates beside it: the rate and next accrual are not known.
    EXPECT_NE(csv.find("young,EE,$1000,2009,January,$500.00,$500.00,not known,not known,"
                       "not known,not known,not known,2039-01,not yet payable until January "
                       "2010; doubles in January 2029\r\n"),
              std::string::npos)
        << csv;
    // The total row is labelled once; the note on the marked total follows the table.
    EXPECT_NE(csv.find("\r\n,Total:,$1200.00,,,$1008.48,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("* The Interest total leaves out 1 bond"), std::string::npos) << csv;
}

TEST(StartingRedemptionMonth, TheLatestHeldMonthStandsInForACurrentMonthWithoutValues) {
    const ResourceLocations shipped(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources",
                                    "/nonexistent");
    const std::vector<RedemptionMonth> months =
        redemptionMonthsInTable(loadBondTable(shipped).get());
    const StartingMonth today = startingRedemptionMonth(months, {2026, 12}, std::nullopt);
    EXPECT_EQ(today.month, (RedemptionMonth{2026, 11}));
    EXPECT_TRUE(today.latestHeld);
    EXPECT_EQ(startingRedemptionMonth(months, {2009, 8}, std::nullopt).month,
              (RedemptionMonth{2009, 8}));
    // A remembered month counts while the table holds it.
    EXPECT_EQ(startingRedemptionMonth(months, {2026, 12}, RedemptionMonth{2009, 12}).month,
              (RedemptionMonth{2009, 12}));
    EXPECT_EQ(startingRedemptionMonth(months, {2009, 8}, RedemptionMonth{2027, 6}).month,
              (RedemptionMonth{2009, 8}));

    // An updated table that reaches further moves the start with it.
    std::vector<RedemptionMonth> updated = months;
    updated.push_back({2027, 5});
    EXPECT_EQ(startingRedemptionMonth(updated, {2027, 12}, std::nullopt).month,
              (RedemptionMonth{2027, 5}));
    EXPECT_EQ(startingRedemptionMonth(updated, {2027, 12}, RedemptionMonth{2027, 6}).month,
              (RedemptionMonth{2027, 5}));
}

} // namespace
