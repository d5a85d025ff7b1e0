// What a keyboard user reaches: every button of every window by Tab, one Alt letter for one
// control in each window and menu, Ctrl+P in the report, Ctrl+Z in the editor wherever the
// cursor is, and Return in Open Portfolio.

#include "app/LoadPortfolioWindowController.h"
#include "entry/ui/BondEditingWindowController.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/ReportWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <set>

namespace {

// The widgets Tab reaches in `window`, from where its focus is, going round once at most.
std::set<QWidget*> reachedByTab(QWidget* window) {
    QApplication::setActiveWindow(window);
    std::set<QWidget*> reached;
    for (QWidget* at = QApplication::focusWidget(); at != nullptr && reached.insert(at).second;
         at = QApplication::focusWidget()) {
        QTest::keyClick(at, Qt::Key_Tab);
    }
    return reached;
}

// The Alt letters of one menu's items, or of a window's menu titles, buttons and labels.
std::vector<QKeySequence> mnemonics(const QList<QAction*>& actions) {
    std::vector<QKeySequence> keys;
    for (const QAction* action : actions) {
        keys.push_back(QKeySequence::mnemonic(action->text()));
    }
    return keys;
}

// The widgets of a kind in `window` itself, not in the windows it holds.
template <typename Widget> std::vector<Widget*> inWindow(QWidget* window) {
    std::vector<Widget*> found;
    for (Widget* widget : window->findChildren<Widget*>()) {
        if (widget->window() == window) {
            found.push_back(widget);
        }
    }
    return found;
}

std::vector<QKeySequence> mnemonics(QWidget* window) {
    std::vector<QKeySequence> keys;
    for (const QMenuBar* bar : inWindow<QMenuBar>(window)) {
        keys = mnemonics(bar->actions());
    }
    for (const QAbstractButton* button : inWindow<QAbstractButton>(window)) {
        keys.push_back(QKeySequence::mnemonic(button->text()));
    }
    for (const QLabel* label : inWindow<QLabel>(window)) {
        keys.push_back(label->buddy() != nullptr ? QKeySequence::mnemonic(label->text())
                                                 : QKeySequence());
    }
    for (const QGroupBox* group : inWindow<QGroupBox>(window)) {
        keys.push_back(QKeySequence::mnemonic(group->title()));
    }
    return keys;
}

void expectEachOnce(const std::vector<QKeySequence>& keys, const QString& where) {
    std::set<QString> seen;
    for (const QKeySequence& key : keys) {
        EXPECT_TRUE(key.isEmpty() || seen.insert(key.toString()).second)
            << key.toString().toStdString() << " twice in " << where.toStdString();
    }
}

} // namespace

TEST(KeyboardReach, TabReachesEveryButtonAndEachAltLetterIsOneControlInEveryWindow) {
    AppHarness app({{"Family", {{"EE1", "EE", "100", "2001", "June"}}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().controller().portfolioChanged();
    MainMenuView& view = app.view();
    for (void (MainMenuView::*command)() :
         {&MainMenuView::bondValueReportButtonPressed, &MainMenuView::editBondsButtonPressed,
          &MainMenuView::openBondTableButtonPressed, &MainMenuView::addNewPortfolioButtonPressed,
          &MainMenuView::setRedemptionDateButtonPressed, &MainMenuView::valueChartPressed}) {
        (view.*command)();
    }
    settle();
    std::vector<QWidget*> windows{&app.window()};
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget != &app.window()) {
            windows.push_back(widget);
        }
    }
    ASSERT_EQ(windows.size(), 7u);
    for (QWidget* window : windows) {
        expectEachOnce(mnemonics(window), window->windowTitle());
        const std::set<QWidget*> reached = reachedByTab(window);
        for (QAbstractButton* button : inWindow<QAbstractButton>(window)) {
            // The buttons of the window's own layout, not those inside Qt's widgets.
            if (!button->objectName().isEmpty() && !button->objectName().startsWith("qt_") &&
                button->isVisibleTo(window)) {
                EXPECT_TRUE(reached.count(button) == 1) << button->text().toStdString() << " in "
                                                        << window->windowTitle().toStdString();
            }
        }
    }
    for (const QAction* menu : app.window().menuBar()->actions()) {
        expectEachOnce(mnemonics(menu->menu()->actions()), menu->text());
    }
}

TEST(KeyboardReach, TheReportsButtonsHaveTheirAltLettersAndCtrlPPrints) {
    AppHarness app({{"Family", {{"EE1", "EE", "100", "2001", "June"}}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().bondValueReportButtonPressed();
    ReportWindow* report = app.openWindows<ReportWindow>().front();
    for (const QAbstractButton* button : report->findChildren<QAbstractButton*>()) {
        if (!button->objectName().isEmpty()) {
            EXPECT_FALSE(QKeySequence::mnemonic(button->text()).isEmpty())
                << button->objectName().toStdString();
        }
    }
    QApplication::setActiveWindow(report);
    QTest::keyClick(report->tableView(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(app.services.printDialogs, 1);
}

TEST(KeyboardReach, CtrlZInTheEditorTakesBackTheFieldsTypingFirstThenTheLastCommand) {
    AppHarness app({{"Family", {}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().editBondsButtonPressed();
    BondEditingWindowController* editor = app.view().editorOf("Family");
    QApplication::setActiveWindow(editor);
    QLineEdit* serial = editor->serialField();
    for (const char* typed : {"A1", "A2"}) {
        QTest::keyClicks(serial, typed);
        QTest::keyClick(serial, Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), serial) << "the cursor is back in Serial";
    }
    const auto bonds = [&app] { return app.database().portfolio("Family")->bonds.size(); };
    ASSERT_EQ(bonds(), 2u);
    QTest::keyClick(serial, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(bonds(), 1u) << "nothing typed in Serial: the last Add is undone";
    QTest::keyClicks(serial, "X");
    QTest::keyClick(serial, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(serial->text(), "");
    EXPECT_EQ(bonds(), 1u) << "the typing went first";
    QTest::keyClick(serial, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(bonds(), 0u);

    // Escape from a choice box clears the entry and puts the cursor in Serial.
    serial->setText("B1");
    editor->issueMonthField()->setFocus();
    QTest::keyClick(editor->issueMonthField(), Qt::Key_Escape);
    EXPECT_EQ(serial->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), serial);
}

TEST(KeyboardReach, OpenPortfolioSelectsItsFirstRowSoReturnOpensIt) {
    AppHarness app({{"First", {}}, {"Second", {}}});
    app.view().openBondTableButtonPressed();
    LoadPortfolioWindowController* window =
        app.openWindows<LoadPortfolioWindowController>().front();
    QApplication::setActiveWindow(window);
    QTest::keyClick(window->tableView(), Qt::Key_Return);
    settle();
    EXPECT_EQ(app.view().controller().openPortfolio(), std::optional<std::string>("First"));
}
