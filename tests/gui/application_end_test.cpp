// The end of the application: closing the main window saves and ends the event loop, whatever
// else is open. Alone in its program because a Qt application's event loop runs only once.

#include "app/AddNewPortfolioWindow.h"
#include "entry/ui/BondEditingWindow.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"

#include <QLineEdit>
#include <gtest/gtest.h>

TEST(MainMenuSaving, ClosingTheMainWindowSavesAndEndsTheApplication) {
    AppHarness app;
    app.view().addNewPortfolio();
    auto* naming = app.openWindows<AddNewPortfolioWindow>().back();
    naming->nameField()->setText("Kept on quit");
    naming->createNamedPortfolio();
    settle();
    app.view().editBonds();
    ASSERT_EQ(app.openWindows<BondEditingWindow>().size(), 1u);
    // A change of the store that no window has written yet.
    ASSERT_TRUE(app.database().createPortfolio("Unsaved"));
    ASSERT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Kept on quit"});

    const AppHarness::QuitOutcome quit = app.quitFromEventLoop();

    EXPECT_TRUE(quit.closed);
    EXPECT_EQ(quit.status, 0) << "the event loop ended because the main window closed";
    EXPECT_EQ(app.portfolioNamesOnDisk(), (std::vector<std::string>{"Kept on quit", "Unsaved"}));
}
