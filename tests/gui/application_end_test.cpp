// The end of the application: closing the main window saves and ends the event loop, whatever
// else is open. Alone in its program because a Qt application's event loop runs only once.

#include "app/AddNewPortfolioWindowController.h"
#include "entry/ui/BondEditingWindowController.h"
#include "support/gui/AppHarness.h"

#include <QLineEdit>
#include <gtest/gtest.h>

TEST(MainMenuSaving, ClosingTheMainWindowSavesAndEndsTheApplication) {
    AppHarness app;
    app.view().addNewPortfolioButtonPressed();
    auto* naming = app.openWindows<AddNewPortfolioWindowController>().back();
    naming->nameField()->setText("Kept on quit");
    naming->donePressed();
    settle();
    app.view().editBondsButtonPressed();
    ASSERT_EQ(app.openWindows<BondEditingWindowController>().size(), 1u);
    ASSERT_TRUE(app.portfolioNamesOnDisk().empty()) << "creating alone does not write the file";

    const AppHarness::QuitOutcome quit = app.quitFromEventLoop();

    EXPECT_TRUE(quit.closed);
    EXPECT_EQ(quit.status, 0) << "the event loop ended because the main window closed";
    EXPECT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Kept on quit"});
}
