#include "core/value_table_fixture.h"
#include "valuation/ReportWindowController.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string invalidBondsMessage(const std::vector<std::string>& serials) {
    std::string message = "The bonds with the following serials are invalid:\n";
    for (const std::string& serial : serials) {
        message += "\n" + serial;
    }
    return message + "\n\nPlease fix this error and try again.";
}

class ReportInvalidBondsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        files.writeTable(standardTestTable());
        owner.database = &database;
        ASSERT_TRUE(database.createPortfolio("Family"));
    }

    // A report with its parent set and its window's close counted, not yet loaded.
    ReportWindowController& createReport() {
        report = std::make_unique<ReportWindowController>(files.resources(), services);
        report->setParentView(&owner);
        report->setCloseWindow([this] { ++closes; });
        return *report;
    }

    std::string valueCell(int row) { return report->tableViewObjectValue("Current Value", row); }

    ValueTableFiles files;
    ScriptedToolkitServices services;
    BondDatabase database;
    TestOwner owner;
    std::unique_ptr<ReportWindowController> report;
    int closes = 0;
};

TEST_F(ReportInvalidBondsTest, MarkerIsShownAsSixDecimalTextAndCountsInTheTotal) {
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD", "EE", "100", "2001", "April")));
    createReport();
    EXPECT_EQ(valueCell(3), "135790246.500000");
    EXPECT_EQ(report->tableViewObjectValue("Face Value", 3), "$100");
    EXPECT_DOUBLE_EQ(report->totalCurrentValue(), 135790246.5 + 108.48);
    EXPECT_EQ(valueCell(5), "$135790354.98");
    EXPECT_EQ(report->tableViewObjectValue("Face Value", 5), "$200.00");
    EXPECT_FALSE(report->valid());
    EXPECT_EQ(report->invalidSerials(), std::vector<std::string>{"BAD"});
    // Before the window has loaded nothing is shown.
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(closes, 0);
}

TEST_F(ReportInvalidBondsTest, LoadedReportAlertsAtTheFirstInvalidCellAndNeverAgain) {
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD1", "EE", "100", "2001", "April")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD2", "EE", "50", "2001", "April")));
    createReport();
    report->windowDidLoad();
    ASSERT_TRUE(report->loaded());
    ASSERT_TRUE(services.alerts.empty());

    EXPECT_EQ(valueCell(2), "$108.48");
    EXPECT_TRUE(report->valid());
    EXPECT_EQ(valueCell(3), "135790246.500000");
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_EQ(services.alerts[0].message, invalidBondsMessage({"BAD1"}));
    EXPECT_EQ(services.alerts[0].message,
              "The bonds with the following serials are invalid:\n\nBAD1\n\nPlease fix this error "
              "and try again.");
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(report->errorAlreadyTriggered());

    // Later invalid cells only record.
    EXPECT_EQ(valueCell(4), "135790246.500000");
    EXPECT_EQ(valueCell(3), "135790246.500000");
    EXPECT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(report->invalidSerials(), (std::vector<std::string>{"BAD1", "BAD2", "BAD1"}));
}

TEST_F(ReportInvalidBondsTest, RedrawDuringTheAlertStartsNoSecondOne) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD1", "EE", "100", "2001", "April")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD2", "EE", "100", "2001", "April")));
    createReport();
    report->windowDidLoad();
    bool flagSetDuringAlert = false;
    services.setDuringAlert([this, &flagSetDuringAlert] {
        flagSetDuringAlert = report->errorAlreadyTriggered();
        for (int r = 0; r < report->numberOfRowsInTableView(); ++r) {
            for (std::string_view column : kReportColumnIdentifiers) {
                report->tableViewObjectValue(column, r);
            }
        }
    });
    valueCell(2);
    EXPECT_TRUE(flagSetDuringAlert);
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message, invalidBondsMessage({"BAD1"}));
    EXPECT_EQ(report->invalidSerials(), (std::vector<std::string>{"BAD1", "BAD1", "BAD2"}));
    EXPECT_EQ(closes, 1);
}

TEST_F(ReportInvalidBondsTest, CellsBeforeLoadingOnlyRecordAndLoadingReportsThemOnce) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD1", "EE", "100", "2001", "April")));
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD2", "EE", "100", "2001", "April")));
    createReport();
    // Date order: GOOD (March) at row 2, then the April bonds in their list order.
    ASSERT_EQ(report->tableViewObjectValue("Serial", 2), "GOOD");
    valueCell(3);
    valueCell(4);
    valueCell(3);
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(report->valid());

    bool loadedDuringAlert = true;
    services.setDuringAlert([this, &loadedDuringAlert] {
        loadedDuringAlert = report->loaded();
        valueCell(4);
    });
    report->windowDidLoad();
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message, invalidBondsMessage({"BAD1", "BAD2", "BAD1"}));
    EXPECT_FALSE(loadedDuringAlert);
    EXPECT_TRUE(report->loaded());
    EXPECT_FALSE(report->errorAlreadyTriggered());
    EXPECT_EQ(closes, 1);

    // The report is over: even a cell asked for afterwards brings no second alert.
    services.setDuringAlert(nullptr);
    valueCell(3);
    EXPECT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(closes, 1);
}

TEST_F(ReportInvalidBondsTest, TotalsAloneNeverRecordOrAlert) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD", "EE", "100", "2001", "April")));
    createReport();
    report->windowDidLoad();
    EXPECT_EQ(valueCell(4), "$135790246.50");
    EXPECT_TRUE(report->valid());
    EXPECT_TRUE(report->invalidSerials().empty());
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(ReportInvalidBondsTest, ValidReportLoadsWithoutAlert) {
    ASSERT_TRUE(database.addBond("Family", Bond("GOOD", "EE", "100", "2001", "March")));
    createReport();
    EXPECT_TRUE(report->valid());
    EXPECT_FALSE(report->loaded());
    EXPECT_FALSE(report->errorAlreadyTriggered());
    valueCell(2);
    report->windowDidLoad();
    EXPECT_TRUE(report->loaded());
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(closes, 0);
}

// The window queues the alert so that it never opens inside a model's data() call.
TEST_F(ReportInvalidBondsTest, QueuedAlertKeepsTheTextOfItsMoment) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD1", "EE", "100", "2001", "April")));
    ASSERT_TRUE(database.addBond("Family", Bond("BAD2", "EE", "100", "2001", "April")));
    createReport();
    std::vector<std::function<void()>> queue;
    report->setAlertScheduler(
        [&queue](std::function<void()> action) { queue.push_back(std::move(action)); });
    report->windowDidLoad();

    EXPECT_EQ(valueCell(2), "135790246.500000");
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_TRUE(report->errorAlreadyTriggered());
    EXPECT_EQ(valueCell(3), "135790246.500000");
    ASSERT_EQ(queue.size(), 1u);

    queue.front()();
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message, invalidBondsMessage({"BAD1"}));
    EXPECT_EQ(closes, 1);
}

TEST_F(ReportInvalidBondsTest, QueuedLoadTimeAlertLeavesTheReportUnloadedUntilShown) {
    ASSERT_TRUE(database.addBond("Family", Bond("BAD1", "EE", "100", "2001", "April")));
    createReport();
    std::vector<std::function<void()>> queue;
    report->setAlertScheduler(
        [&queue](std::function<void()> action) { queue.push_back(std::move(action)); });
    valueCell(2);
    report->windowDidLoad();
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_FALSE(report->loaded());

    // The window paints before the queued alert runs: cells only record.
    valueCell(2);
    EXPECT_EQ(queue.size(), 1u);
    services.setDuringAlert([this] { EXPECT_FALSE(report->loaded()); });
    queue.front()();
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message, invalidBondsMessage({"BAD1"}));
    EXPECT_TRUE(report->loaded());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(report->invalidSerials(), (std::vector<std::string>{"BAD1", "BAD1"}));
}

} // namespace
