// The line below the report's table that counts the bonds the value table has no value for: it
// is hidden while every bond has a value, names the count and the month otherwise, and follows
// the redemption date once the event loop has run.

#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/RedemptionDateWindow.h"
#include "valuation/ui/ReportWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

// EE bonds of March 2001 have a value at June 2009 only; I bonds of May 2003 at June and July.
PlistDictRef coverageTable() {
    auto dict = [](std::initializer_list<std::pair<std::string, PlistValue>> entries) {
        auto d = PlistDict::create();
        for (const auto& [key, value] : entries) {
            d->set(key, value);
        }
        return PlistValue(d);
    };
    auto issue = [&](std::string year, std::string month, std::string leaf) {
        return dict({{std::move(year), dict({{std::move(month), PlistValue(std::move(leaf))}})}});
    };
    PlistValue ee = dict({{"2009", dict({{"06", issue("2001", "March", "002712")}})}});
    PlistValue i = dict({{"2009", dict({{"06", issue("2003", "May", "003100")},
                                        {"07", issue("2003", "May", "003110")}})}});
    return dict({{"EE", ee}, {"I", i}}).dict();
}

class ReportCoverageTest : public ::testing::Test {
  protected:
    void open(const std::vector<TestBond>& bonds, std::string date) {
        app = std::make_unique<AppHarness>(std::vector<TestPortfolio>{{"Savings", bonds}}, date);
        app->useValueTable(coverageTable());
        // The report at that month, even one the table lacks (start-up would pick another).
        app->view().controller().setRedemptionMonth(*YearMonth::fromKeyText(date.substr(0, 7)));
        app->view().controller().setOpenPortfolio("Savings");
        app->view().showValueReport();
        settle();
        report = app->openWindows<ReportWindow>().back();
        ASSERT_FALSE(report.isNull());
    }
    void redraw() {
        settle();
        report->reloadData();
        report->tableView()->viewport()->repaint();
    }
    QString cell(int row, int column) const {
        return report->tableView()->model()->index(row, column).data().toString();
    }
    QLabel* note() const { return report->missingValuesLabel(); }

    std::unique_ptr<AppHarness> app;
    QPointer<ReportWindow> report;
};

// What the window adds when the table holds nothing at all for the month.
const std::string kOutsideTheTable = " Choose another redemption date, or add the Treasury's "
                                     "value file for that month with Update Values…";

const std::vector<TestBond> kThreeBonds = {{"EE1", "EE", "100", "2001", "March"},
                                           {"I1", "I", "50", "2003", "May"},
                                           {"E1", "E", "25", "1970", "July"}};

TEST_F(ReportCoverageTest, TheNoteCountsTheBondsWithoutValueAndTheCellsStayAsTheyAre) {
    open(kThreeBonds, "2009-06-15 10:03:07 +0000");
    ASSERT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text(), "The value table has no value for 1 of these 3 bonds in June 2009; "
                              "it shows \"no value\".");
    // Rows in date order: E1 (1970), EE1 (2001), I1 (2003).
    EXPECT_EQ(cell(2, 0), "E1");
    EXPECT_EQ(cell(2, 5), "no value");
    EXPECT_EQ(cell(3, 5), "$108.48");
    EXPECT_EQ(cell(4, 5), "$62.00");
    EXPECT_EQ(cell(6, 5), "$170.48");
    EXPECT_TRUE(app->services.alerts.empty());
}

TEST_F(ReportCoverageTest, TheNoteFollowsTheRedemptionDateAtTheNextRedraw) {
    open({kThreeBonds[0], kThreeBonds[1]}, "2009-06-15 10:03:07 +0000");
    EXPECT_TRUE(note()->isHidden()) << "every bond has a value: nothing to say";

    app->view().controller().setRedemptionMonth({2009, 7});
    redraw();
    ASSERT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text(), "The value table has no value for 1 of these 2 bonds in July 2009; "
                              "it shows \"no value\".");
    EXPECT_EQ(cell(2, 5), "no value");
    EXPECT_EQ(cell(3, 5), "$62.20");

    app->view().controller().setRedemptionMonth({2009, 8});
    redraw();
    EXPECT_EQ(note()->text().toStdString(),
              "No value can be projected to August 2009 for 2 bonds: the value table has no value "
              "or no rate for them in July 2009; they show \"no value\"." +
                  kOutsideTheTable);

    app->view().controller().setRedemptionMonth({2009, 6});
    redraw();
    EXPECT_TRUE(note()->isHidden());
}

TEST_F(ReportCoverageTest, AReportOutsideTheTableSaysSoBelowTheTable) {
    open({kThreeBonds[0]}, "2026-03-01 00:00:00 +0000");
    ASSERT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text().toStdString(),
              "No value can be projected to March 2026 for 1 bond: the value table has no value or "
              "no rate for it in July 2009; it shows \"no value\"." +
                  kOutsideTheTable);
    const QRect table = report->tableView()->geometry();
    EXPECT_GE(note()->geometry().top(), table.bottom()) << "below the table";
}

} // namespace
