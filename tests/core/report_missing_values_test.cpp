// The count of bonds the value table has no value for, and the note the report shows with it:
// each missing key (series, redemption year or month, issue year, issue month) counts, a value,
// "NO PAY" or the invalid mark does not, and the count follows the redemption date.

#include "core/value_table_fixture.h"
#include "valuation/ValueReport.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

class ReportMissingValuesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(makeValueTable({
            {"EE", "2009", "06", "2001", "March", "002712"},
            {"EE", "2009", "06", "2001", "April", "NO PAY"},
            {"EE", "2009", "06", "2002", "January", "      "},
            {"I", "2009", "06", "2003", "May", "003100"},
            {"I", "2009", "07", "2003", "May", "003110"},
            {"I", "2010", "01", "2003", "May", "003200"},
        }));
        ASSERT_TRUE(database.createPortfolio("Family"));
    }

    ValueReport& openReport() {
        report = std::make_unique<ValueReport>(session, "Family");
        return *report;
    }

    void addBond(const std::string& serial, const std::string& type, const std::string& year,
                 const std::string& month) {
        ASSERT_TRUE(database.addBond("Family", Bond(serial, type, "100", year, month)));
    }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    TestSession session{files.resources()};
    BondDatabase& database = session.store();
    std::unique_ptr<ValueReport> report;
};

TEST_F(ReportMissingValuesTest, EveryMissingKeyCountsAndEveryLeafDoesNot) {
    addBond("valued", "EE", "2001", "March");
    addBond("no-pay", "EE", "2001", "April");
    addBond("invalid-mark", "EE", "2002", "January");
    addBond("other-series", "E", "2001", "March");
    addBond("issue-year", "EE", "1999", "March");
    addBond("issue-month", "EE", "2001", "December");
    openReport();
    EXPECT_EQ(report->bondCount(), 6);
    EXPECT_EQ(report->bondsWithoutValue(), 3);

    // A redemption month the table lacks, then a redemption year it lacks.
    session.setRedemptionMonth(YearMonth{2009, 8});
    report->refresh();
    EXPECT_EQ(report->bondsWithoutValue(), 6);
    session.setRedemptionMonth(YearMonth{2011, 6});
    report->refresh();
    EXPECT_EQ(report->bondsWithoutValue(), 6);
}

TEST_F(ReportMissingValuesTest, TheCountFollowsTheDateTheOwnerHoldsAtEachCall) {
    addBond("I1", "I", "2003", "May");
    addBond("EE1", "EE", "2001", "March");
    openReport();
    EXPECT_EQ(report->bondsWithoutValue(), 0);
    EXPECT_EQ(report->missingValuesNote(), "");
    session.setRedemptionMonth(YearMonth{2009, 7});
    report->refresh();
    EXPECT_EQ(report->bondsWithoutValue(), 1);
    EXPECT_EQ(report->missingValuesNote(), "The value table has no value for 1 of these 2 bonds in "
                                           "July 2009; it shows \"no value\".");
    session.setRedemptionMonth(YearMonth{2010, 1});
    report->refresh();
    EXPECT_EQ(report->bondsWithoutValue(), 1);
    EXPECT_EQ(report->missingValuesNote(), "The value table has no value for 1 of these 2 bonds in "
                                           "January 2010; it shows \"no value\".");
    session.setRedemptionMonth(YearMonth{2010, 2});
    report->refresh();
    // After the table's last month a value is projected from it, where it has one and its rate.
    EXPECT_EQ(report->missingValuesNote(),
              "No value can be projected to February 2010 for 2 bonds: the value table has no "
              "value or no rate for them in January 2010; they show \"no value\".");
}

TEST_F(ReportMissingValuesTest, TheNoteNamesHowManyInPlainWords) {
    addBond("A", "EE", "2001", "March");
    openReport();
    EXPECT_TRUE(report->tableHoldsRedemptionDate());
    EXPECT_EQ(report->missingValuesNote(), "");
    session.setRedemptionMonth(YearMonth{2009, 12});
    report->refresh();
    EXPECT_FALSE(report->tableHoldsRedemptionDate());
    EXPECT_EQ(report->missingValuesNote(),
              "The value table holds no values for December 2009; this bond shows \"no value\".");
    session.setRedemptionMonth(YearMonth{2009, 7});
    report->refresh();
    EXPECT_TRUE(report->tableHoldsRedemptionDate()) << "held for series I";
    EXPECT_EQ(report->missingValuesNote(),
              "The value table has no value for this bond in July 2009; it shows \"no value\".");

    addBond("B", "E", "1970", "March");
    addBond("C", "E", "1971", "March");
    session.setRedemptionMonth(YearMonth{2009, 6});
    report->refresh();
    EXPECT_EQ(report->missingValuesNote(), "The value table has no value for 2 of these 3 bonds in "
                                           "June 2009; they show \"no value\".");
    addBond("D", "EE", "2001", "May");
    session.setRedemptionMonth(YearMonth{2009, 7});
    report->refresh();
    EXPECT_EQ(report->missingValuesNote(), "The value table has no value for any of these 4 "
                                           "bonds in July 2009; they all show \"no value\".");
}

TEST_F(ReportMissingValuesTest, BondsWithoutValueShowNoValueAndTheCellsStayAsTheyWere) {
    addBond("E1", "E", "1970", "March");
    addBond("EE1", "EE", "2001", "March");
    openReport();
    EXPECT_EQ(report->cellText(kCurrentValueColumn, 2), "no value");
    EXPECT_EQ(report->cellText(kCurrentValueColumn, 3), "$108.48");
    EXPECT_EQ(report->cellText(kCurrentValueColumn, 5), "$108.48");
    EXPECT_EQ(report->bondsWithoutValue(), 1);
    EXPECT_TRUE(services.alerts.empty()) << "a bond without a value is no error";
}

TEST_F(ReportMissingValuesTest, NoTableAndNoPortfolioCountAsTheyShow) {
    addBond("EE1", "EE", "2001", "March");
    std::filesystem::remove(files.shippedTablePath());
    openReport();
    EXPECT_EQ(report->bondsWithoutValue(), 1) << "no table: no bond has a value";

    TestSession empty(files.resources());
    ValueReport unowned(empty, "Family");
    EXPECT_EQ(unowned.bondsWithoutValue(), 0);
    EXPECT_EQ(unowned.missingValuesNote(), "");
}

TEST_F(ReportMissingValuesTest, AMonthThatIsNotAMonthIsShownAsHeld) {
    addBond("EE1", "EE", "2001", "March");
    openReport();
    session.setRedemptionMonth(std::nullopt);
    report->refresh();
    EXPECT_EQ(report->missingValuesNote(),
              "The value table holds no values for an unknown month; this bond shows "
              "\"no value\".");
}

} // namespace
