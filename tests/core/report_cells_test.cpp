#include "core/value_table_fixture.h"
#include "valuation/ValueReport.h"

#include <clocale>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace {

class ReportCellsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(standardTestTable());
        ASSERT_TRUE(database.createPortfolio("Family"));
    }

    ValueReport& openReport(const std::string& portfolio = "Family") {
        report = std::make_unique<ValueReport>(session, portfolio);
        return *report;
    }

    void addBond(const std::string& serial, const std::string& face, const std::string& type,
                 const std::string& year, const std::string& month) {
        ASSERT_TRUE(database.addBond("Family", Bond(serial, type, face, year, month)));
    }

    // The value report's own six columns of a row (the owner's figures have tests of their
    // own), by column identifier.
    std::map<std::string, std::string> row(int r) {
        std::map<std::string, std::string> cells;
        for (std::string_view column : valueColumns()) {
            cells[std::string(column)] = report->cellText(column, r);
        }
        return cells;
    }

    static std::span<const std::string_view> valueColumns() {
        return std::span(kReportColumnIdentifiers).first(kValueColumnCount);
    }

    std::map<std::string, std::string> blankRow() {
        std::map<std::string, std::string> cells;
        for (std::string_view column : valueColumns()) {
            cells[std::string(column)] = "";
        }
        return cells;
    }

    std::map<std::string, std::string> headingRow() {
        std::map<std::string, std::string> cells;
        for (std::string_view column : valueColumns()) {
            cells[std::string(column)] = std::string(column);
        }
        return cells;
    }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    TestSession session{files.resources()};
    BondDatabase& database = session.store();
    std::unique_ptr<ValueReport> report;
};

TEST_F(ReportCellsTest, EmptyPortfolioHasHeadingTwoBlanksAndZeroTotals) {
    openReport();
    ASSERT_EQ(report->rowCount(), 4);
    EXPECT_EQ(row(0), headingRow());
    EXPECT_EQ(row(1), blankRow());
    EXPECT_EQ(row(2), blankRow());
    const std::map<std::string, std::string> totals = {
        {"Serial", ""},     {"Type", "Total:"},        {"Face Value", "$0.00"},
        {"Issue Year", ""}, {"Issue Month", "Total:"}, {"Current Value", "$0.00"}};
    EXPECT_EQ(row(3), totals);
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(ReportCellsTest, OneBondIsRowTwoFollowedByBlankAndTotals) {
    addBond("C100", "100", "EE", "2001", "March");
    openReport();
    ASSERT_EQ(report->rowCount(), 5);
    EXPECT_EQ(row(0), headingRow());
    EXPECT_EQ(row(1), blankRow());
    const std::map<std::string, std::string> bondRow = {
        {"Serial", "C100"},     {"Type", "EE"},           {"Face Value", "$100"},
        {"Issue Year", "2001"}, {"Issue Month", "March"}, {"Current Value", "$108.48"}};
    EXPECT_EQ(row(2), bondRow);
    EXPECT_EQ(row(3), blankRow());
    const std::map<std::string, std::string> totals = {
        {"Serial", ""},     {"Type", "Total:"},        {"Face Value", "$100.00"},
        {"Issue Year", ""}, {"Issue Month", "Total:"}, {"Current Value", "$108.48"}};
    EXPECT_EQ(row(4), totals);
    // Outside the rows there is nothing, and nothing breaks.
    EXPECT_EQ(report->cellText("Serial", 5), "");
    EXPECT_EQ(report->cellText("Serial", -1), "");
}

TEST_F(ReportCellsTest, OtherColumnIdentifiersShowTheStoredValueUnderThatKey) {
    addBond("C100", "100", "EE", "2001", "March");
    PlistDictRef record = database.bond("Family", "C100")->toRecord().dictPtr()->copy();
    record->set("Notes", "gift from grandma");
    ASSERT_TRUE(database.changeBond("Family", "C100", Bond::fromRecord(PlistValue(record))));
    openReport();
    EXPECT_EQ(report->cellText("Notes", 0), "Notes");
    EXPECT_EQ(report->cellText("Notes", 2), "gift from grandma");
    EXPECT_EQ(report->cellText("Unknown", 2), "");
    EXPECT_EQ(report->cellText("Notes", 4), "");
}

TEST_F(ReportCellsTest, FaceValueShowsStoredTextAndValuesAreCutNotRounded) {
    // A $10 bond is worth two fifths of the leaf: 27.14 gives 10.856, and 27.15 gives 10.86, a
    // double just below it that the six decimals printed first round back up.
    addBond("A", "10", "EE", "1995", "January");  // 10.856
    addBond("B", "10", "EE", "1995", "February"); // 10.8599999...
    addBond("C", "50.5", "EE", "2001", "May");    // NO PAY: worth its issue price
    addBond("D", "1000", "S", "2001", "March");   // not in the table
    openReport();
    ASSERT_EQ(report->rowCount(), 8);
    EXPECT_EQ(report->cellText("Current Value", 2), "$10.85");
    EXPECT_EQ(report->cellText("Current Value", 3), "$10.86");
    // In date order March comes before May.
    EXPECT_EQ(report->cellText("Face Value", 4), "$1000");
    EXPECT_EQ(report->cellText("Current Value", 4), "no value");
    EXPECT_EQ(report->cellText("Face Value", 5), "$50.5");
    EXPECT_EQ(report->cellText("Current Value", 5), "$25.25");
    // 10.856 + 10.86 + 25.25 = 46.966; the bond without a value counts nothing.
    EXPECT_EQ(report->snapshot().summary.worth.known, Amount::ofMillionths(46966000));
    EXPECT_EQ(report->cellText("Current Value", 7), "$46.96");
    EXPECT_EQ(report->snapshot().totalFaceValue, Amount::ofCents(107050));
    EXPECT_EQ(report->cellText("Face Value", 7), "$1070.50");
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(ReportCellsTest, BondsAreListedInDateOrderOnceTheParentIsSet) {
    addBond("Mar95", "25", "EE", "1995", "March");
    addBond("Dec90", "25", "EE", "1990", "December");
    addBond("Jan95", "25", "EE", "1995", "January");
    addBond("Jan90", "25", "EE", "1990", "January");
    openReport();
    std::vector<std::string> serials;
    for (int r = 2; r < report->rowCount() - 2; ++r) {
        serials.push_back(report->cellText("Serial", r));
    }
    EXPECT_EQ(serials, (std::vector<std::string>{"Jan90", "Dec90", "Jan95", "Mar95"}));
}

TEST_F(ReportCellsTest, RowsFollowTheListAndTheDateWhenRecomputed) {
    addBond("C100", "100", "EE", "2001", "March");
    openReport();
    const long computed = session.snapshotComputations();
    EXPECT_EQ(report->cellText("Current Value", 2), "$108.48");
    session.setRedemptionMonth(YearMonth{2009, 7});
    EXPECT_EQ(report->cellText("Current Value", 2), "$108.48") << "reading never recomputes";
    report->refresh();
    report->refresh();
    EXPECT_EQ(session.snapshotComputations(), computed + 1) << "once for the one change";
    EXPECT_EQ(report->cellText("Current Value", 2), "$112.00");
    EXPECT_EQ(report->cellText("Current Value", 4), "$112.00");
    session.setRedemptionMonth(YearMonth{2024, 7});
    report->refresh();
    EXPECT_EQ(report->cellText("Current Value", 2), "no value");
    EXPECT_EQ(report->cellText("Current Value", 4), "not known") << "no bond has a value";

    addBond("C200", "200", "EE", "2001", "March");
    report->refresh();
    EXPECT_EQ(report->rowCount(), 6);
    EXPECT_EQ(report->cellText("Face Value", 5), "$300.00");
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(ReportCellsTest, OnlyTheBondsAndTheTotalsCanBeSelected) {
    addBond("C100", "100", "EE", "2001", "March");
    openReport();
    for (int r = -1; r <= report->rowCount(); ++r) {
        EXPECT_EQ(report->isSelectableRow(r), r == 2 || r == 4) << "row " << r;
    }
}

TEST_F(ReportCellsTest, WithoutOpenPortfolioOrParentOnlyTheFrameIsShown) {
    openReport("");
    EXPECT_EQ(report->rowCount(), 4);
    EXPECT_EQ(report->cellText("Face Value", 3), "$0.00");

    session.setRedemptionMonth(std::nullopt);
    ValueReport orphan(session, "Nobody");
    EXPECT_EQ(orphan.rowCount(), 4);
    EXPECT_EQ(orphan.cellText("Current Value", 3), "$0.00");
}

// A Qt application adopts the user's locale for the C library at start-up; no number the report
// shows may change with it.
class DecimalCommaLocale {
  public:
    DecimalCommaLocale() {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        previous_ = previous != nullptr ? previous : "C";
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool active() const { return active_; }

  private:
    std::string previous_;
    bool active_ = false;
};

TEST_F(ReportCellsTest, NumberTextsAreTheSameUnderADecimalCommaLocale) {
    addBond("A", "100", "EE", "2001", "March");
    addBond("B", "25", "EE", "1995", "January");
    addBond("C", "12.75", "EE", "2001", "May");
    openReport();
    std::vector<std::map<std::string, std::string>> expected;
    for (int r = 0; r < report->rowCount(); ++r) {
        expected.push_back(row(r));
    }

    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active())
        << "the de_DE.UTF-8 locale is missing; generate it (locale-gen) before running the tests";
    ASSERT_EQ(std::localeconv()->decimal_point, std::string(","));
    openReport();
    for (int r = 0; r < report->rowCount(); ++r) {
        EXPECT_EQ(row(r), expected[static_cast<std::size_t>(r)]) << "row " << r;
    }
    EXPECT_EQ(report->cellText("Current Value", 2), "$27.14");
    EXPECT_EQ(report->cellText("Face Value", 4), "$12.75");
    EXPECT_EQ(report->cellText("Current Value", 6), "$141.99") << "C not yet payable: its price";
    EXPECT_EQ(report->snapshot().totalFaceValue, Amount::ofCents(13775));
}

} // namespace
