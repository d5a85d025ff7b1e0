// The new portfolio window, the open portfolio window (opening and deleting) and what the main
// window shows after each.

#include "app/AddNewPortfolioWindow.h"
#include "app/LoadPortfolioWindow.h"
#include "entry/ui/BondEditingWindow.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/gui/AppHarness.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const std::string kSelectionError = "Please select a portfolio. If there are no portfolios, "
                                    "please press \"Cancel\" and create a new portfolio.";

// The window the command opened: the one that was not open before.
template <typename Window> Window* newWindow(AppHarness& app, const std::vector<Window*>& before) {
    for (Window* window : app.openWindows<Window>()) {
        if (std::find(before.begin(), before.end(), window) == before.end()) {
            return window;
        }
    }
    ADD_FAILURE() << "no new window opened";
    return nullptr;
}

AddNewPortfolioWindow* openNewPortfolioWindow(AppHarness& app) {
    const auto before = app.openWindows<AddNewPortfolioWindow>();
    app.view().addNewPortfolio();
    return newWindow(app, before);
}

LoadPortfolioWindow* openLoadWindow(AppHarness& app) {
    const auto before = app.openWindows<LoadPortfolioWindow>();
    app.view().showOpenPortfolioWindow();
    return newWindow(app, before);
}

void selectRow(LoadPortfolioWindow* window, int row) {
    window->tableView()->selectRow(row);
}

bool menuItemsEnabled(AppHarness& app) {
    return app.view().editItem()->isEnabled() && app.view().generateItem()->isEnabled() &&
           app.view().saveItem()->isEnabled();
}

bool anyMenuItemEnabled(AppHarness& app) {
    return app.view().editItem()->isEnabled() || app.view().generateItem()->isEnabled() ||
           app.view().saveItem()->isEnabled();
}

} // namespace

TEST(NewPortfolioWindow, EmptyNameIsRefusedAndTheWindowStaysOpen) {
    AppHarness app;
    QPointer<AddNewPortfolioWindow> window = openNewPortfolioWindow(app);
    window->createNamedPortfolio();
    settle();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_EQ(app.services.informationAlerts[0].title, "No Name Entered");
    EXPECT_EQ(app.services.informationAlerts[0].message, "Please enter a name.");
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(app.database().portfolioNames().empty());
}

TEST(NewPortfolioWindow, NameOfSpacesIsRefusedAndTheWindowStaysOpen) {
    AppHarness app({{"Savings", {}}});
    QPointer<AddNewPortfolioWindow> window = openNewPortfolioWindow(app);
    window->nameField()->setText("   ");
    window->createNamedPortfolio();
    settle();
    ASSERT_EQ(app.services.alerts.size(), 1u);
    EXPECT_EQ(app.services.alerts[0].title, "Error");
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(app.database().portfolioNames(), std::vector<std::string>{"Savings"});
    EXPECT_EQ(app.title(), "Orvelt");
}

TEST(NewPortfolioWindow, CreatingEnablesEveryPortfolioCommandAndNamesThePortfolio) {
    AppHarness app({{"Savings", {}}});
    EXPECT_FALSE(anyMenuItemEnabled(app));
    EXPECT_FALSE(app.view().editItem()->isEnabled());
    EXPECT_FALSE(app.view().saveItem()->isEnabled());
    QPointer<AddNewPortfolioWindow> window = openNewPortfolioWindow(app);
    window->nameField()->setText(" Family ");
    window->createNamedPortfolio();
    settle();
    EXPECT_TRUE(app.services.alerts.empty());
    EXPECT_TRUE(window.isNull()) << "the window closed and was freed";
    EXPECT_EQ(app.title(), "Orvelt -  Family ");
    EXPECT_TRUE(app.view().generateItem()->isEnabled());
    EXPECT_TRUE(menuItemsEnabled(app));
    EXPECT_TRUE(app.view().editItem()->isEnabled());
    EXPECT_TRUE(app.view().saveItem()->isEnabled());
    EXPECT_EQ(app.portfolioNamesOnDisk(), (std::vector<std::string>{"Savings", " Family "}))
        << "written at once, before its first bond";

    // The shortcut's item opens the editor.
    EXPECT_EQ(app.view().editItem()->shortcut(), QKeySequence("Ctrl+E"));
    app.view().editItem()->trigger();
    settle();
    EXPECT_EQ(app.openWindows<BondEditingWindow>().size(), 1u);
}

TEST(NewPortfolioWindow, NamesDifferingInCaseAreDifferentPortfolios) {
    AppHarness app({{"Savings", {}}});
    auto* window = openNewPortfolioWindow(app);
    window->nameField()->setText("savings");
    window->createNamedPortfolio();
    EXPECT_TRUE(app.services.alerts.empty());
    EXPECT_EQ(app.database().portfolioNames().size(), 2u);
    EXPECT_EQ(app.title(), "Orvelt - savings");
}

TEST(NewPortfolioWindow, DuplicateNameIsRefusedByTheStoreAndTheWindowCloses) {
    AppHarness app({{"Savings", {}}});
    QPointer<AddNewPortfolioWindow> window = openNewPortfolioWindow(app);
    window->nameField()->setText("Savings");
    window->createNamedPortfolio();
    settle();
    ASSERT_EQ(app.services.alerts.size(), 1u);
    EXPECT_EQ(app.services.alerts[0].title, "Error");
    EXPECT_EQ(app.services.alerts[0].message,
              "Please enter a different name, \"Savings\" is already being used by another "
              "portfolio.");
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(app.title(), "Orvelt");
    EXPECT_FALSE(app.view().generateItem()->isEnabled());
    EXPECT_FALSE(app.view().controller().openPortfolio().has_value());
}

TEST(NewPortfolioWindow, CancelChangesNothing) {
    AppHarness app;
    QPointer<AddNewPortfolioWindow> window = openNewPortfolioWindow(app);
    window->nameField()->setText("Never made");
    window->cancel();
    settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(app.database().portfolioNames().empty());
    EXPECT_EQ(app.title(), "Orvelt");
}

TEST(OpenPortfolioWindow, OkWithoutSelectionIsRefusedAlsoWithNoPortfoliosAtAll) {
    AppHarness app;
    QPointer<LoadPortfolioWindow> window = openLoadWindow(app);
    EXPECT_EQ(window->tableView()->model()->rowCount(), 0);
    window->openChosenPortfolio();
    settle();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_EQ(app.services.informationAlerts[0].title, "No Portfolio Selected");
    EXPECT_EQ(app.services.informationAlerts[0].message, kSelectionError);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
}

TEST(OpenPortfolioWindow, OpeningEnablesTheReportButtonAndTheMenuItems) {
    AppHarness app({{"First", {{"A1", "EE", "100", "2001", "June"}}}, {"Second", {}}});
    QPointer<LoadPortfolioWindow> window = openLoadWindow(app);
    ASSERT_EQ(window->tableView()->model()->rowCount(), 2);
    EXPECT_EQ(window->tableView()->model()->index(1, 0).data().toString(), "Second");
    selectRow(window, 0);
    EXPECT_EQ(window->selectedPortfolio(), "First");
    window->openChosenPortfolio();
    settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(app.view().controller().openPortfolio(), std::optional<std::string>("First"));
    ASSERT_TRUE(app.database().portfolio("First"));
    EXPECT_EQ(app.database().portfolio("First")->bonds.size(), 1u);
    EXPECT_EQ(app.title(), "Orvelt - First");
    EXPECT_TRUE(app.view().generateItem()->isEnabled());
    EXPECT_TRUE(menuItemsEnabled(app));
}

TEST(OpenPortfolioWindow, ClearingTheSelectionForgetsTheName) {
    AppHarness app({{"First", {}}});
    auto* window = openLoadWindow(app);
    selectRow(window, 0);
    window->tableView()->selectionModel()->clearSelection();
    window->openChosenPortfolio();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_EQ(app.services.informationAlerts[0].message, kSelectionError);
}

TEST(OpenPortfolioWindow, BackspaceDeletesTheSelectedPortfolioAfterConfirmation) {
    AppHarness app({{"First", {}}, {"Second", {}}, {"Third", {}}});
    QPointer<LoadPortfolioWindow> window = openLoadWindow(app);
    selectRow(window, 1);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(window->tableView(), Qt::Key_Backspace);
    settle();

    ASSERT_EQ(app.services.confirmations.size(), 1u);
    const RecordedConfirmation& asked = app.services.confirmations[0];
    EXPECT_EQ(asked.title, "Delete Portfolio");
    EXPECT_EQ(asked.defaultButton, "No") << "Return never deletes";
    EXPECT_EQ(asked.alternateButton, "Yes");
    EXPECT_EQ(asked.message, "Are you sure you want to delete the portfolio named \"Second\"? "
                             "Edit > Undo Delete Portfolio brings it back.");
    const std::vector<std::string> remaining{"First", "Third"};
    EXPECT_EQ(app.database().portfolioNames(), remaining);
    EXPECT_EQ(app.portfolioNamesOnDisk(), remaining);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible()) << "the window stays open through deletions";
    EXPECT_EQ(window->portfolios(), remaining);
    EXPECT_EQ(window->tableView()->model()->rowCount(), 2);
    EXPECT_EQ(window->selectedPortfolio(), "");

    window->openChosenPortfolio();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_EQ(app.services.informationAlerts[0].message, kSelectionError)
        << "no name is remembered after a deletion";
}

TEST(OpenPortfolioWindow, AnsweringNoOrOtherKeysOrNoSelectionChangeNothing) {
    AppHarness app({{"First", {}}, {"Second", {}}});
    auto* window = openLoadWindow(app);
    const std::string fileBefore = readWholeFile(app.portfolioFile());

    window->tableView()->selectionModel()->clearSelection();
    pressKey(window->tableView(), Qt::Key_Backspace);
    EXPECT_TRUE(app.services.confirmations.empty()) << "no row selected";

    selectRow(window, 0);
    pressKey(window->tableView(), Qt::Key_A);
    EXPECT_TRUE(app.services.confirmations.empty()) << "only Backspace and Delete delete";

    app.services.answerConfirmation(ToolkitServices::kDefaultButton);
    pressKey(window, Qt::Key_Backspace);
    EXPECT_EQ(app.services.confirmations.size(), 1u) << "the window itself takes Backspace too";
    pressKey(window->tableView(), Qt::Key_Delete);
    EXPECT_EQ(app.services.confirmations.size(), 2u) << "Delete asks as Backspace does";
    EXPECT_EQ(app.database().portfolioNames().size(), 2u);
    EXPECT_EQ(window->portfolios().size(), 2u);
    EXPECT_EQ(window->selectedPortfolio(), "First");
    EXPECT_EQ(readWholeFile(app.portfolioFile()), fileBefore);
    EXPECT_TRUE(app.services.alerts.empty());
}

TEST(OpenPortfolioWindow, DeletingTheOpenPortfolioLeavesNoneOpen) {
    AppHarness app({{"Open one", {{"S1", "EE", "100", "2001", "June"}}}, {"Other", {}}});
    auto* opener = openLoadWindow(app);
    selectRow(opener, 0);
    opener->openChosenPortfolio();
    settle();
    ASSERT_EQ(app.title(), "Orvelt - Open one");

    auto* window = openLoadWindow(app);
    selectRow(window, 0);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(window->tableView(), Qt::Key_Backspace);
    settle();

    EXPECT_FALSE(app.view().controller().openPortfolio().has_value());
    EXPECT_FALSE(app.database().portfolio("Open one"));
    EXPECT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Other"});
    EXPECT_EQ(app.title(), "Orvelt") << "the title no longer names the deleted portfolio";
    EXPECT_FALSE(app.view().generateItem()->isEnabled());

    // A later save must not bring the deleted portfolio back.
    app.view().controller().save();
    EXPECT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Other"});

    app.view().editBonds();
    app.view().showValueReport();
    ASSERT_EQ(app.services.informationAlerts.size(), 2u);
    EXPECT_EQ(app.services.informationAlerts[0].message,
              "Please either open an existing bond file or create a new bond file before "
              "editing bonds.");
    EXPECT_EQ(app.services.informationAlerts[1].message,
              "Please either open an existing bond file or create a new bond file before "
              "generating a report.");
}

TEST(OpenPortfolioWindow, DeletingAnotherPortfolioKeepsTheOpenOne) {
    AppHarness app({{"Open one", {}}, {"Other", {}}});
    auto* opener = openLoadWindow(app);
    selectRow(opener, 0);
    opener->openChosenPortfolio();
    settle();

    auto* window = openLoadWindow(app);
    selectRow(window, 1);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(window->tableView(), Qt::Key_Backspace);
    EXPECT_EQ(app.view().controller().openPortfolio(), std::optional<std::string>("Open one"));
    EXPECT_EQ(app.title(), "Orvelt - Open one");
    EXPECT_TRUE(app.view().generateItem()->isEnabled());
}

TEST(OpenPortfolioWindow, DeletesTheNameItsRowShowsWhenAnotherWindowChangedTheList) {
    AppHarness app({{"A", {}}, {"B", {}}, {"C", {}}});
    auto* stale = openLoadWindow(app);
    auto* other = openLoadWindow(app);
    selectRow(other, 0);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(other->tableView(), Qt::Key_Backspace);
    ASSERT_EQ(app.database().portfolioNames(), (std::vector<std::string>{"B", "C"}));

    // The first window still shows A, B, C; its second row is B, whatever the database's second
    // name is now.
    selectRow(stale, 1);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(stale->tableView(), Qt::Key_Backspace);
    ASSERT_EQ(app.services.confirmations.size(), 2u);
    EXPECT_NE(app.services.confirmations[1].message.find("\"B\""), std::string::npos);
    EXPECT_EQ(app.database().portfolioNames(), std::vector<std::string>{"C"});
    EXPECT_EQ(stale->portfolios(), std::vector<std::string>{"C"})
        << "after a deletion the list is the database's fresh one";
}

TEST(PortfolioWindowLifetime, EachCommandOpensANewWindowThatIsFreedWhenClosed) {
    AppHarness app;
    app.view().showOpenPortfolioWindow();
    app.view().showOpenPortfolioWindow();
    auto windows = app.openWindows<LoadPortfolioWindow>();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NE(windows[0], windows[1]);
    QPointer<LoadPortfolioWindow> first = windows[0];
    first->cancel();
    settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(app.openWindows<LoadPortfolioWindow>().size(), 1u);
}

// Deleting is one change that Undo takes back whole: the file is as it was, byte for byte, and the
// portfolio that was open is open again.
TEST(OpenPortfolioWindow, UndoBringsADeletedPortfolioBackWhole) {
    AppHarness app({{"Kept", {}}, {"Gone", {{"S1", "EE", "100", "2001", "June"}}}, {"Last", {}}});
    app.view().controller().setOpenPortfolio("Gone");
    app.view().controller().save();
    const std::string before = readWholeFile(app.portfolioFile());
    auto* window = openLoadWindow(app);
    selectRow(window, 1);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    window->findChild<QPushButton*>("deleteButton")->click();
    settle();
    EXPECT_EQ(app.portfolioNamesOnDisk(), (std::vector<std::string>{"Kept", "Last"}));
    EXPECT_FALSE(app.view().controller().openPortfolio());

    app.view().controller().undoStack()->undo();
    settle();
    EXPECT_EQ(readWholeFile(app.portfolioFile()), before);
    EXPECT_EQ(app.view().controller().openPortfolio(), "Gone");
    app.view().controller().undoStack()->redo();
    EXPECT_EQ(app.portfolioNamesOnDisk(), (std::vector<std::string>{"Kept", "Last"}));
}

// A portfolio created under the deleted one's name meanwhile stays; the deleted one comes back
// under a free name, and Redo deletes that one alone.
TEST(OpenPortfolioWindow, UndoAfterTheNameWasTakenRestoresUnderAFreeName) {
    AppHarness app({{"Gone", {{"S1", "EE", "100", "2001", "June"}}}});
    auto* window = openLoadWindow(app);
    selectRow(window, 0);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(window->tableView(), Qt::Key_Backspace);
    ASSERT_TRUE(app.database().createPortfolio("Gone"));
    ASSERT_TRUE(app.database().addBond("Gone", Bond("NEW", "I", "50", "2002", "May")));

    app.view().controller().undoStack()->undo();
    EXPECT_EQ(app.portfolioNamesOnDisk(), (std::vector<std::string>{"Gone (restored)", "Gone"}));
    EXPECT_TRUE(app.database().bond("Gone (restored)", "S1"));
    EXPECT_TRUE(app.database().bond("Gone", "NEW"));
    const PlistDictRef onDisk = readPropertyList(app.portfolioFile()).dict();
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(onDisk->find("Gone (restored)")->dictPtr()->text(kPortfolioNameKey),
              "Gone (restored)");
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_NE(app.services.informationAlerts[0].message.find("as \"Gone (restored)\""),
              std::string::npos);
    app.view().controller().undoStack()->redo();
    EXPECT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Gone"});
    EXPECT_TRUE(app.database().bond("Gone", "NEW"));
}

// The editor of the portfolio asks about a typed bond before the deletion, as its closing does.
TEST(OpenPortfolioWindow, DeletingAsksAboutABondTypedInThePortfoliosEditor) {
    AppHarness app({{"Family", {}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().editBonds();
    app.openWindows<BondEditingWindow>()[0]->serialField()->setText("TYPED");
    auto* window = openLoadWindow(app);
    selectRow(window, 0);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Third);
    pressKey(window->tableView(), Qt::Key_Backspace);
    ASSERT_EQ(app.services.threeWayQuestions.size(), 1u);
    EXPECT_TRUE(app.database().hasPortfolio("Family")) << "Cancel keeps the portfolio";
    ASSERT_EQ(app.openWindows<BondEditingWindow>().size(), 1u);
    EXPECT_EQ(app.openWindows<BondEditingWindow>()[0]->serialField()->text(), "TYPED");

    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Second);
    pressKey(window->tableView(), Qt::Key_Backspace);
    EXPECT_EQ(app.services.threeWayQuestions.size(), 2u);
    EXPECT_FALSE(app.database().hasPortfolio("Family")) << "Discard lets it go";
}
