// The main window's list of the open portfolio's bonds and the one report computation per change
// that the list, the summary, the report windows and the chart share.

#include "app/BondListModel.h"
#include "app/BondListPanel.h"
#include "app/PortfolioSummary.h"
#include "app/ValueChartWindow.h"
#include "core/value_table_fixture.h"
#include "entry/ui/BondEditingWindow.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/RedemptionDateWindow.h"
#include "valuation/ui/ReportWindow.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

const TestPortfolio kFamily{"Family",
                            {{"EE1", "EE", "100", "2001", "June"},
                             {"I1", "I", "1000", "2001", "July"},
                             {"EE2", "EE", "50", "1990", "May"}}};

void openFamily(AppHarness& app) {
    app.view().controller().setOpenPortfolio("Family");
    settle();
}

// The summary counts every bond under one reason, its own lines and the report's alike, says
// which bonds the face value total leaves out, and footnotes no column the list lacks (the
// year's interest is not known for NODEC, whose December value the table lacks).
TEST(PortfolioSummaryText, CountsEachBondOnceAndFootnotesOnlyTheListsColumns) {
    const ValueTableRef table =
        makeTypedValueTable({{"EE", "2009", "06", "2001", "March", "002712"},
                             {"EE", "2008", "12", "2001", "March", "002650"},
                             {"EE", "2009", "06", "2001", "April", "002800"}});
    const ReportSnapshot report = computeReportSnapshot({{"OK", "EE", "100", "2001", "March"},
                                                         {"NODEC", "EE", "100", "2001", "April"},
                                                         {"GONE", "EE", "50", "1990", "May"},
                                                         {"BAD", "E", "50", "1941", "January"},
                                                         {"LATE", "EE", "25", "2010", "May"}},
                                                        "P", table.get(), YearMonth{2009, 6});
    EXPECT_EQ(portfolioSummaryText(report),
              "5 bonds, face value $250.00, worth $220.48 in June 2009.\n"
              "1 bond has no value for June 2009 in the value table.\n"
              "1 bond has an invalid issue date and counts in no total.\n"
              "1 bond is not issued yet in June 2009 and counted in no total.\n"
              "Paid for these bonds: $100.00\n"
              "Worth now: $220.48, of which interest: $120.48\n"
              "Worth if cashed now: $220.48 (bonds not yet payable count nothing)\n"
              "These totals count the bonds that have a value; they leave out 1 bond not issued "
              "yet in June 2009, 1 bond with an invalid issue date and 1 bond without a value.\n"
              "The face value total leaves out 1 bond not issued yet in June 2009 and 1 bond "
              "with an invalid issue date.");
}

QStringList column(QTableView* table, int section) {
    QStringList texts;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        texts << table->model()->index(row, section).data().toString();
    }
    return texts;
}

ReportWindow* reportOf(AppHarness& app, const std::string& portfolio) {
    for (ReportWindow* report : app.openWindows<ReportWindow>()) {
        if (report->report().portfolioName() == portfolio) {
            return report;
        }
    }
    return nullptr;
}

int section(const char* title) {
    const std::vector<ReportColumn> columns = BondListModel::shownColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].title == title) {
            return static_cast<int>(i);
        }
    }
    ADD_FAILURE() << title;
    return 0;
}

} // namespace

TEST(BondList, OneComputationPerChangePerPortfolioShownAndNoneForReading) {
    AppHarness app({kFamily, {"Other", {{"O1", "EE", "100", "1995", "May"}}}});
    Session& session = app.session();
    // A report of Other stays open when Family is opened.
    app.view().controller().setOpenPortfolio("Other");
    app.view().showValueReport();
    openFamily(app);
    QTableView* list = app.window().bondList()->tableView();
    long computed = session.snapshotComputations();

    app.view().showValueReport();
    app.view().showValueChart();
    settle();
    ReportWindow* report = reportOf(app, "Family");
    ReportWindow* otherReport = reportOf(app, "Other");
    ASSERT_TRUE(report != nullptr && otherReport != nullptr);
    EXPECT_EQ(&report->report().snapshot(), session.snapshot("Family").get())
        << "one snapshot for the list, the summary, the report and the chart";
    // Opening the report put the bonds in date order: one change.
    EXPECT_EQ(session.snapshotComputations(), computed + 1);

    // One Add Bond through the editor: the bond is added, then sorted into place.
    computed = session.snapshotComputations();
    app.view().editBonds();
    BondEditingWindow* editor = app.view().editorOf("Family");
    int editorReloads = 0;
    QObject::connect(editor->bondTable()->model(), &QAbstractItemModel::modelReset,
                     [&editorReloads] { ++editorReloads; });
    editor->serialField()->setText("EE0");
    editor->saveEntry();
    settle();
    EXPECT_EQ(session.snapshotComputations(), computed + 1);
    EXPECT_EQ(editorReloads, 1);
    EXPECT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(report->tableView()->model()->rowCount(), 4 + 4);
    EXPECT_EQ(&report->report().snapshot(), session.snapshot("Family").get());
    EXPECT_TRUE(app.view().summaryLabel()->text().startsWith("4 bonds"));

    // Sorting, filtering, scrolling and painting read the snapshots.
    computed = session.snapshotComputations();
    list->sortByColumn(section("Current Value"), Qt::DescendingOrder);
    app.window().bondList()->filterField()->setText("ee");
    EXPECT_EQ(list->model()->rowCount(), 3);
    report->tableView()->sortByColumn(0, Qt::DescendingOrder);
    list->scrollToBottom();
    report->tableView()->scrollToBottom();
    app.window().grab();
    report->grab();
    otherReport->grab();
    app.openWindows<ValueChartWindow>().at(0)->grab();
    settle();
    EXPECT_EQ(session.snapshotComputations(), computed);

    // A change of month is one computation for each portfolio shown; a change of Other's bonds
    // one for Other.
    session.setRedemptionMonth(YearMonth{2010, 1});
    settle();
    EXPECT_EQ(session.snapshotComputations(), computed + 2);
    EXPECT_EQ(app.window().bondList()->monthLabel()->text(), "Values for January 2010");
    ASSERT_TRUE(app.database().addBond("Other", Bond("O2", "EE", "50", "1995", "June")));
    settle();
    EXPECT_EQ(session.snapshotComputations(), computed + 3);
    EXPECT_EQ(otherReport->tableView()->model()->rowCount(), 2 + 4);
}

TEST(BondList, ShowsTheReportsTextsInItsOrderAndActsOnTheSelectedBonds) {
    AppHarness app({kFamily});
    openFamily(app);
    QTableView* list = app.window().bondList()->tableView();
    const std::shared_ptr<const ReportSnapshot> shown = app.session().snapshot("Family");
    const ReportSnapshot& snapshot = *shown;
    EXPECT_EQ(column(list, section("Serial")), QStringList({"EE2", "EE1", "I1"}));
    EXPECT_EQ(column(list, section("Issue Year")),
              QStringList({"May 1990", "June 2001", "July 2001"}));
    EXPECT_EQ(column(list, section("Current Value"))[1].toStdString(),
              snapshot.cellText(reportColumnNamed(kCurrentValueColumn), 3));

    // By face value as amounts: $1000 above $100.
    list->sortByColumn(section("Face Value"), Qt::DescendingOrder);
    EXPECT_EQ(column(list, section("Serial")), QStringList({"I1", "EE1", "EE2"}));

    // Return opens the current bond in the editor, its fields holding it.
    list->setCurrentIndex(list->model()->index(0, 0));
    pressKey(list, Qt::Key_Return);
    BondEditingWindow* editor = app.view().editorOf("Family");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->editing());
    EXPECT_EQ(editor->editingSerial(), "I1");

    // Delete takes the selected bonds out as one change that Undo brings back.
    list->selectRow(1);
    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(list, Qt::Key_Delete);
    settle();
    ASSERT_EQ(app.services.confirmations.size(), 1u);
    EXPECT_EQ(app.services.confirmations[0].title, "Delete Bonds");
    EXPECT_EQ(app.services.confirmations[0].defaultButton, "Cancel") << "Return never deletes";
    EXPECT_EQ(app.database().portfolio("Family")->bonds.size(), 1u);
    EXPECT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(editor->bondTable()->model()->rowCount(), 1);
    app.view().controller().undoStack()->undo();
    settle();
    EXPECT_EQ(list->model()->rowCount(), 3);
}

TEST(BondList, ItsSortColumnIsKeptForTheNextRun) {
    {
        AppHarness first({kFamily});
        openFamily(first);
        first.window().bondList()->tableView()->sortByColumn(section("Face Value"),
                                                             Qt::DescendingOrder);
        ASSERT_TRUE(first.window().close());
    }
    AppHarness next({kFamily});
    next.window().restoreSettings();
    openFamily(next);
    QTableView* list = next.window().bondList()->tableView();
    EXPECT_EQ(list->horizontalHeader()->sortIndicatorSection(), section("Face Value"));
    EXPECT_EQ(column(list, section("Serial")), QStringList({"I1", "EE1", "EE2"}));
}

// The kind and the registration are columns hidden at first, which the filter looks in all the
// same.
TEST(BondList, TheFilterFindsTheKindAndAHiddenOwner) {
    AppHarness app({kFamily});
    Bond owned = *app.database().portfolio("Family")->find("I1");
    owned.setOwner("Ruth Alvarez");
    owned.electronic = true;
    owned.faceValue = "1000.00";
    ASSERT_TRUE(app.database().changeBond("Family", "I1", owned));
    openFamily(app);
    QTableView* list = app.window().bondList()->tableView();
    EXPECT_TRUE(list->isColumnHidden(section("Owner")));
    EXPECT_TRUE(list->isColumnHidden(section("Kind")));
    EXPECT_FALSE(list->isColumnHidden(section("Status")));
    app.window().bondList()->filterField()->setText("alvarez");
    EXPECT_EQ(column(list, section("Serial")), QStringList({"I1"}));
    EXPECT_EQ(column(list, section("Kind")), QStringList({"Electronic"}));
    app.window().bondList()->filterField()->setText("electronic");
    EXPECT_EQ(column(list, section("Serial")), QStringList({"I1"}));
}
