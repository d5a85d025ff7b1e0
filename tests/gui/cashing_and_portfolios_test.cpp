// The Bonds menu's cashing and moving and the All Portfolios window, on a real main window over
// the shipped table: a bond cashed in the dialog is listed as cashed, hidden on request, saved
// and taken back by Undo; the window of every portfolio follows a move and opens a portfolio.

#include "app/AllPortfoliosWindow.h"
#include "app/BondListPanel.h"
#include "app/BondsMenuCommands.h"
#include "app/CashBondDialog.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ReportColumn.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

const TestPortfolio kFamily{
    "Family", {{"EE1", "EE", "100", "2001", "June"}, {"EE2", "EE", "50", "1990", "May"}}};
const TestPortfolio kOther{"Other", {{"I9", "I", "50", "2003", "July"}}};

void trigger(AppHarness& app, const char* item) {
    QAction* action = app.window().findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
    settle();
}

int statusSection(QTableView* list) {
    for (int section = 0; section < list->model()->columnCount(); ++section) {
        if (list->model()->headerData(section, Qt::Horizontal).toString() == "Status") {
            return section;
        }
    }
    return -1;
}

TEST(CashingWindows, TheDialogMarksTheBondCashedTheListHidesItOnRequestAndUndoTakesItBack) {
    AppHarness app({kFamily});
    app.view().controller().setOpenPortfolio("Family");
    settle();
    QTableView* list = app.window().bondList()->tableView();
    list->selectRow(1); // issue-date order: EE1 after EE2
    const std::shared_ptr<const ReportSnapshot> before = app.session().snapshot("Family");
    const std::string value = amountText(*before->rows[1].figures.value);

    trigger(app, "cashBondItem");
    const std::vector<CashBondDialog*> dialogs = app.openWindows<CashBondDialog>();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ("$" + dialogs[0]->receivedField()->text().toStdString(), value)
        << "the table's value in the month shown";
    EXPECT_EQ(dialogs[0]->partField(), nullptr) << "a paper bond is cashed whole";
    dialogs[0]->receivedField()->setText("12,5");
    dialogs[0]->accept();
    EXPECT_TRUE(dialogs[0]->isVisible()) << "refused, with what was typed kept";
    EXPECT_FALSE(dialogs[0]->problemLabel()->isHidden());
    dialogs[0]->receivedField()->setText("60.25");
    dialogs[0]->accept();
    settle();

    EXPECT_EQ(BondDatabase::open(app.portfolioFile())->bond("Family", "EE1")->cashed(), "2009-06");
    const int status = statusSection(list);
    EXPECT_EQ(list->model()->index(1, status).data().toString(),
              "cashed in June 2009, received $60.25");
    QCheckBox* showCashed = app.window().bondList()->showCashedBox();
    showCashed->setChecked(false);
    EXPECT_EQ(list->model()->rowCount(), 1);
    showCashed->setChecked(true);
    EXPECT_EQ(list->model()->rowCount(), 2);

    app.view().controller().undoStack()->undo();
    settle();
    EXPECT_TRUE(BondDatabase::open(app.portfolioFile())->bond("Family", "EE1")->cashed().empty());
    EXPECT_FALSE(list->model()->index(1, status).data().toString().startsWith("cashed"));
}

TEST(AllPortfoliosWindowTest, FollowsAMoveOfBondsAndOpensThePortfolioOfARow) {
    AppHarness app({kFamily, kOther});
    app.view().controller().setOpenPortfolio("Family");
    settle();
    trigger(app, "allPortfoliosItem");
    const std::vector<AllPortfoliosWindow*> windows = app.openWindows<AllPortfoliosWindow>();
    ASSERT_EQ(windows.size(), 1u);
    QTableWidget* table = windows[0]->table();
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(2, 0)->text(), "Total");
    EXPECT_EQ(table->item(2, 1)->text(), "3");

    app.window().bondList()->tableView()->selectAll();
    app.window().bondsCommands()->moveSelectedBondsTo("Other", MoveBondsCommand::Kind::Move);
    settle();
    EXPECT_EQ(table->item(0, 1)->text(), "0");
    EXPECT_EQ(table->item(1, 1)->text(), "3");
    EXPECT_EQ(table->item(2, 3)->text(), table->item(1, 3)->text()) << "Family holds none";
    app.view().controller().undoStack()->undo();
    settle();
    EXPECT_EQ(table->item(0, 1)->text(), "2");

    windows[0]->openRow(1);
    EXPECT_EQ(app.session().openPortfolio(), "Other");
}

} // namespace
