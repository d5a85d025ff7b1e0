// Bonds the value table calls invalid (six spaces): all of them are found when the report is
// computed, whichever cells are asked for, listed with the reason, and none is ever an amount.

#include "core/value_table_fixture.h"
#include "valuation/ValueReport.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

class ReportInvalidBondsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(standardTestTable());
        ASSERT_TRUE(database.createPortfolio("Family"));
    }

    ValueReport& createReport() {
        report = std::make_unique<ValueReport>(session, "Family");
        return *report;
    }

    std::string valueCell(int row) { return report->cellText("Current Value", row); }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    TestSession session{files.resources()};
    BondDatabase& database = session.store();
    std::unique_ptr<ValueReport> report;
};

TEST_F(ReportInvalidBondsTest, AnInvalidBondShowsNoValueAndCountsInNoAmount) {
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD", "EE", "100", "2001", "April")));
    createReport();
    EXPECT_EQ(valueCell(3), "no value");
    EXPECT_EQ(report->cellText("Face Value", 3), "$100");
    EXPECT_EQ(report->cellText("Status", 3),
              "invalid issue date: the value table holds no Series EE bond issued in April 2001");
    EXPECT_EQ(report->snapshot().summary.worth.known, Amount::ofCents(10848));
    EXPECT_EQ(valueCell(5), "$108.48");
    EXPECT_EQ(report->cellText("Face Value", 5), "$100.00") << "not even its face value counts";
    EXPECT_EQ(report->cellText("Issue Price", 5), "$50.00") << "the invalid bond's price left out";
    EXPECT_FALSE(report->valid());
    EXPECT_EQ(report->invalidSerials(), std::vector<std::string>{"BAD"});
    EXPECT_TRUE(services.alerts.empty()) << "the core never alerts";
}

TEST_F(ReportInvalidBondsTest, EveryInvalidBondIsFoundWithoutAnyCellAskedFor) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD1", "EE", "100", "2001", "April")));
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD2", "EE", "50", "2001", "April")));
    createReport();
    // Issue-date order: GOOD (March), then the April bonds in their list order.
    EXPECT_EQ(report->invalidSerials(), (std::vector<std::string>{"BAD1", "BAD2"}));
    const std::string reason = " (the value table holds no Series EE bond issued in April 2001)";
    EXPECT_EQ(invalidBondsMessage(report->snapshot()),
              "The bonds with the following serials are invalid:\n\nBAD1" + reason + "\nBAD2" +
                  reason +
                  "\n\nThey are listed without a value and counted in no total. Please correct "
                  "their issue dates.");
}

TEST_F(ReportInvalidBondsTest, ReportOfOnlyInvalidBondsTotalsNothing) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD", "EE", "10000", "2001", "April")));
    createReport();
    EXPECT_EQ(valueCell(4), "not known");
    EXPECT_EQ(report->snapshot().summaryLines()[1],
              "Worth now: not known, of which interest: not known");
    EXPECT_EQ(report->snapshot().summaryLines()[2],
              "Worth if cashed now: not known (bonds not yet payable count nothing)");
    EXPECT_FALSE(report->valid());
}

TEST_F(ReportInvalidBondsTest, ValidReportHasNoInvalidBonds) {
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    createReport();
    EXPECT_TRUE(report->valid());
    EXPECT_TRUE(report->invalidSerials().empty());
}

} // namespace
