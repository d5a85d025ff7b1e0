// The main window's list of the open portfolio's bonds and the one report computation that the
// list, the summary and the report window share.

#include "app/BondListModel.h"
#include "app/BondListPanel.h"
#include "entry/ui/BondEditingWindowController.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/RedemptionDateWindowController.h"
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
    app.view().controller().portfolioChanged();
    settle();
}

QStringList column(QTableView* table, int section) {
    QStringList texts;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        texts << table->model()->index(row, section).data().toString();
    }
    return texts;
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

TEST(BondList, OneComputationPerChangeReadByListSummaryAndReport) {
    AppHarness app({kFamily});
    openFamily(app);
    ApplicationController& controller = app.view().controller();
    QTableView* list = app.window().bondList()->tableView();
    long computed = controller.snapshotComputations();

    app.view().bondValueReportButtonPressed();
    settle();
    ASSERT_EQ(app.openWindows<ReportWindow>().size(), 1u);
    const ReportWindow* report = app.openWindows<ReportWindow>()[0];
    EXPECT_EQ(&report->report().snapshot(), &controller.snapshot()) << "one snapshot for both";
    // Opening the report put the bonds in date order: one change.
    EXPECT_EQ(controller.snapshotComputations(), computed + 1);

    // One Add Bond through the editor: the bond is added, then sorted into place.
    computed = controller.snapshotComputations();
    app.view().editBondsButtonPressed();
    BondEditingWindowController* editor = app.view().editorOf("Family");
    int editorReloads = 0;
    QObject::connect(editor->bondTable()->model(), &QAbstractItemModel::modelReset,
                     [&editorReloads] { ++editorReloads; });
    editor->serialField()->setText("EE0");
    editor->savePressed();
    settle();
    EXPECT_EQ(controller.snapshotComputations(), computed + 1);
    EXPECT_EQ(editorReloads, 1);
    EXPECT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(&report->report().snapshot(), &controller.snapshot());
    EXPECT_TRUE(app.view().summaryLabel()->text().startsWith("4 bonds"));

    // Sorting and filtering read the snapshot; a change of month is one computation.
    computed = controller.snapshotComputations();
    list->sortByColumn(section("Current Value"), Qt::DescendingOrder);
    app.window().bondList()->filterField()->setText("ee");
    EXPECT_EQ(list->model()->rowCount(), 3);
    controller.setRedemptionMonth({2010, 1});
    settle();
    EXPECT_EQ(controller.snapshotComputations(), computed + 1);
    EXPECT_EQ(app.window().bondList()->monthLabel()->text(), "Values for January 2010");
}

TEST(BondList, ShowsTheReportsTextsInItsOrderAndActsOnTheSelectedBonds) {
    AppHarness app({kFamily});
    openFamily(app);
    QTableView* list = app.window().bondList()->tableView();
    const ReportSnapshot& snapshot = app.view().controller().snapshot();
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
    BondEditingWindowController* editor = app.view().editorOf("Family");
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
