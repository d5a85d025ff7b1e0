// What a keyboard user reaches: every button of every window by Tab, one Alt letter for one
// control in each window and menu, Ctrl+P in the report, Ctrl+Z in the editor wherever the
// cursor is, and Return in Open Portfolio.

#include "app/LoadPortfolioWindow.h"
#include "entry/ui/BondEditingWindow.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/ReportWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

namespace {

// Fails when two of `texts` give Alt the same letter.
void expectEachAltLetterOnce(const QStringList& texts, const QString& where) {
    std::set<QString> seen;
    for (const QString& text : texts) {
        const QString key = QKeySequence::mnemonic(text).toString();
        EXPECT_TRUE(key.isEmpty() || seen.insert(key).second)
            << key.toStdString() << " twice in " << where.toStdString();
    }
}

QStringList textsOf(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        texts << action->text();
    }
    return texts;
}

} // namespace

TEST(KeyboardReach, TabReachesEveryButtonAndEachAltLetterIsOneControlInEveryWindowCtrlPPrints) {
    AppHarness app({{"Family", {{"EE1", "EE", "100", "2001", "June"}}}});
    app.view().controller().setOpenPortfolio("Family");
    for (void (MainMenuView::*command)() :
         {&MainMenuView::showValueReport, &MainMenuView::editBonds,
          &MainMenuView::showOpenPortfolioWindow, &MainMenuView::addNewPortfolio,
          &MainMenuView::chooseRedemptionDate, &MainMenuView::showValueChart,
          &MainMenuView::showTaxYear, &MainMenuView::showEstate,
          &MainMenuView::showAllPortfolios}) {
        (app.view().*command)();
    }
    settle();
    const QWidgetList windows = app.window().findChildren<QWidget*>() << &app.window();
    for (QWidget* window : windows) {
        if (!window->isWindow() || !window->isVisible()) {
            continue;
        }
        QStringList texts =
            window == &app.window() ? textsOf(app.window().menuBar()->actions()) : QStringList();
        std::vector<QAbstractButton*> buttons;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            auto* label = qobject_cast<QLabel*>(widget);
            if (widget->window() == window && button != nullptr) {
                texts << button->text();
                // The buttons of the window's own layout, not those inside Qt's widgets.
                if (!button->objectName().isEmpty() && !button->objectName().startsWith("qt_") &&
                    button->isVisibleTo(window)) {
                    buttons.push_back(button);
                    EXPECT_TRUE(!qobject_cast<ReportWindow*>(window) ||
                                !QKeySequence::mnemonic(button->text()).isEmpty())
                        << "the report's " << button->text().toStdString() << " has an Alt letter";
                }
            } else if (widget->window() == window && label != nullptr && label->buddy()) {
                texts << label->text();
            }
        }
        expectEachAltLetterOnce(texts, window->windowTitle());
        QApplication::setActiveWindow(window);
        std::set<QWidget*> reached;
        for (QWidget* at = QApplication::focusWidget(); at && reached.insert(at).second;
             at = QApplication::focusWidget()) {
            QTest::keyClick(at, Qt::Key_Tab);
        }
        for (QAbstractButton* button : buttons) {
            EXPECT_EQ(reached.count(button), 1u) << button->text().toStdString() << " by Tab";
        }
    }
    for (const QAction* menu : app.window().menuBar()->actions()) {
        expectEachAltLetterOnce(textsOf(menu->menu()->actions()), menu->text());
    }
    ReportWindow* report = app.openWindows<ReportWindow>().front();
    QApplication::setActiveWindow(report);
    QTest::keyClick(report->tableView(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(app.services.printDialogs, 1);
}

TEST(KeyboardReach, CtrlZInTheEditorTakesBackTheFieldsTypingFirstThenTheLastCommand) {
    AppHarness app({{"Family", {}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().editBonds();
    BondEditingWindow* editor = app.view().editorOf("Family");
    QApplication::setActiveWindow(editor);
    QLineEdit* serial = editor->serialField();
    for (const char* typed : {"A1", "A2"}) {
        QTest::keyClicks(serial, typed);
        QTest::keyClick(serial, Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), serial) << "the cursor is back in Serial";
    }
    const auto bonds = [&app] { return app.database().portfolio("Family")->bonds.size(); };
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
    EXPECT_EQ(QApplication::focusWidget(), serial);
    EXPECT_EQ(serial->text(), "");
}

TEST(KeyboardReach, ReturnInOpenPortfolioOpensItsFirstPortfolio) {
    AppHarness app({{"First", {}}, {"Second", {}}});
    app.view().showOpenPortfolioWindow();
    QApplication::setActiveWindow(app.openWindows<LoadPortfolioWindow>().front());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(app.view().controller().openPortfolio(), std::optional<std::string>("First"));
}
