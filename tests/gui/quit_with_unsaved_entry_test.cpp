// Quitting with an unsaved entry in a bond editor: Discard is asked once and lets the
// application end without the entry. Alone in its program because a Qt application's event
// loop runs only once.

#include "entry/ui/BondEditingWindowController.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

TEST(QuitWithUnsavedEntry, DiscardIsAskedOnceAndTheEntryIsNotStored) {
    AppHarness app({{"Family", {}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().controller().portfolioChanged();
    app.view().editBondsButtonPressed();
    ASSERT_EQ(app.openWindows<BondEditingWindowController>().size(), 1u);
    app.openWindows<BondEditingWindowController>()[0]->serialField()->setText("TYPED");
    // A second question would get the same answer, so that the loop ends either way.
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Second);
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Second);

    bool closed = false;
    QTimer::singleShot(0, &app.window(), [&] { closed = app.window().close(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    const int status = QCoreApplication::exec();
    watchdog.stop();

    EXPECT_TRUE(closed);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(app.services.threeWayQuestions.size(), 1u);
    EXPECT_TRUE(app.database().portfolio("Family")->bonds.empty());
}
