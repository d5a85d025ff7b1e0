// A save that fails is never passed over: the user is told which file and why, the change stays
// in memory for a later save, and quitting asks before it is lost. Undo keeps only the bonds a
// change touched and puts them back where they stood.

#include "entry/ui/BondEditingWindow.h"
#include "platform/AtomicFile.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "support/TempDir.h"
#include "support/gui/AppHarness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

const TestPortfolio kFamily{"Family", {{"A1", "EE", "100", "1990", "May"}}};

// Every write of a file fails as on a full disk, while it lives.
struct FullDisk {
    FullDisk() {
        setAtomicWriteFaultHookForTesting([](std::string_view step) { return step != "write"; });
    }
    ~FullDisk() { setAtomicWriteFaultHookForTesting({}); }
};

void openPortfolio(AppHarness& app, const std::string& name) {
    app.view().controller().setOpenPortfolio(name);
}

} // namespace

TEST(SaveFailure, IsShownWithTheFileAndTheChangeIsSavedLater) {
    AppHarness app({kFamily});
    openPortfolio(app, "Family");
    const std::string before = readWholeFile(app.portfolioFile());
    ASSERT_TRUE(app.database().addBond("Family", Bond("B2", "I", "50", "2001", "June")));
    {
        FullDisk full;
        EXPECT_FALSE(app.view().controller().save());
    }
    ASSERT_EQ(app.services.alerts.size(), 1u);
    EXPECT_EQ(app.services.alerts[0].title, "Could Not Save");
    EXPECT_NE(app.services.alerts[0].message.find(app.portfolioFile().string()), std::string::npos);
    EXPECT_EQ(readWholeFile(app.portfolioFile()), before);
    EXPECT_TRUE(app.database().bond("Family", "B2"));

    EXPECT_TRUE(app.view().controller().save());
    EXPECT_EQ(app.services.alerts.size(), 1u);
    EXPECT_TRUE(BondDatabase::open(app.portfolioFile())->bond("Family", "B2"));
}

TEST(SaveFailure, QuittingAsksBeforeLosingTheChange) {
    AppHarness app({kFamily});
    ASSERT_TRUE(app.database().addBond("Family", Bond("B2", "I", "50", "2001", "June")));
    FullDisk full;
    // Cancel: the application stays, the change with it.
    EXPECT_FALSE(app.window().close());
    ASSERT_EQ(app.services.threeWayQuestions.size(), 1u);
    EXPECT_EQ(app.services.threeWayQuestions[0].title, "Could Not Save");
    EXPECT_NE(app.services.threeWayQuestions[0].message.find(app.portfolioFile().string()),
              std::string::npos);
    EXPECT_TRUE(app.database().hasUnsavedChanges());
    // Quit without saving: asked once more, and no further alert on the way out.
    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::Second);
    EXPECT_TRUE(app.window().close());
    app.view().controller().saveBeforeQuit();
    EXPECT_EQ(app.services.threeWayQuestions.size(), 2u);
    EXPECT_TRUE(app.services.alerts.empty());
}

TEST(UndoByDifference, AChangedBondGoesBackWhereItStoodAsItWasStored) {
    AppHarness app({{"Family",
                     {{"A1", "EE", "100", "1990", "May"},
                      {"B2", "EE", "100", "1995", "May"},
                      {"C3", "EE", "100", "2000", "May"}}}});
    openPortfolio(app, "Family");
    app.database().save();
    const std::string before = readWholeFile(app.portfolioFile());
    app.view().editBonds();
    BondEditingWindow* editor = app.view().editorOf("Family");
    ASSERT_NE(editor, nullptr);
    editor->bondTable()->selectRow(0);
    editor->editSelectedBond();
    editor->serialField()->setText("A1-late");
    editor->issueYearField()->setCurrentText("2005");
    editor->saveEntry();
    ASSERT_EQ(app.database().portfolio("Family")->bonds.back().serial, "A1-late");
    ASSERT_NE(readWholeFile(app.portfolioFile()), before);

    app.view().controller().undoStack()->undo();
    EXPECT_EQ(readWholeFile(app.portfolioFile()), before);
    app.view().controller().undoStack()->redo();
    EXPECT_TRUE(app.database().bond("Family", "A1-late"));
    EXPECT_FALSE(app.database().bond("Family", "A1"));
}
