// The end of the application: closing the main window saves and ends the event loop, whatever
// else is open. Alone in its program because a Qt application's event loop runs only once.

#include "app/AddNewPortfolioWindowController.h"
#include "entry/ui/BondEditingWindowController.h"
#include "support/gui/AppHarness.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
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

    bool closed = false;
    QTimer::singleShot(0, &app.window(), [&] { closed = app.window().close(); });
    // Runs the application's event loop, which closing the main window must end.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    const int status = QCoreApplication::exec();
    watchdog.stop();

    EXPECT_TRUE(closed);
    EXPECT_EQ(status, 0) << "the event loop ended because the main window closed";
    EXPECT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Kept on quit"});
}
