// Quitting with an unsaved entry in a bond editor: Discard is asked once and lets the
// application end without the entry. Alone in its program because a Qt application's event
// loop runs only once.

#include "entry/ui/BondEditingWindow.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"

#include <QLineEdit>
#include <gtest/gtest.h>

TEST(QuitWithUnsavedEntry, DiscardIsAskedOnceAndTheEntryIsNotStored) {
    AppHarness app({{"Family", {}}});
    app.view().controller().setOpenPortfolio("Family");
    app.view().editBonds();
    ASSERT_EQ(app.openWindows<BondEditingWindow>().size(), 1u);
    app.openWindows<BondEditingWindow>()[0]->serialField()->setText("TYPED");
    // A second question would get the same answer, so that the loop ends either way.
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Second);
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Second);

    const AppHarness::QuitOutcome quit = app.quitFromEventLoop();

    EXPECT_TRUE(quit.closed);
    EXPECT_EQ(quit.status, 0);
    EXPECT_EQ(app.services.threeWayQuestions.size(), 1u);
    EXPECT_TRUE(app.database().portfolio("Family")->bonds.empty());
}
