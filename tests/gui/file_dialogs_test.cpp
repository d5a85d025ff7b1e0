// The file dialogs of Import, Update Values and Export start in the folder where a file of their
// kind was last chosen, also after a restart, and where they always did once it is gone.

#include "support/gui/AppHarness.h"
#include "valuation/ui/ReportWindow.h"

#include <QPushButton>
#include <gtest/gtest.h>

// Asks once in each dialog: the bond list to import, the value files, the report's export.
static void askInEachDialog(AppHarness& app) {
    app.view().controller().setOpenPortfolio("Savings");
    app.view().importBondList();
    app.view().updateValues();
    app.view().showValueReport();
    settle();
    ASSERT_EQ(app.openWindows<ReportWindow>().size(), 1u);
    app.openWindows<ReportWindow>().front()->exportButton()->click();
    ASSERT_EQ(app.services.openFileRequests.size(), 2u);
    ASSERT_EQ(app.services.saveFileRequests.size(), 1u);
}

TEST(FileDialogs, EachKindStartsInTheFolderOfItsLastChoiceAcrossRestarts) {
    TempDir lists, values, reports;
    writeWholeFile(lists / "bonds.csv", "");
    writeWholeFile(values / "sb201606.asc", "");
    {
        AppHarness app({{"Savings", {}}});
        app.services.answerOpenFile({(lists / "bonds.csv").string()});
        app.services.answerOpenFile({(values / "sb201606.asc").string()});
        app.services.answerSaveFile((reports / "Savings.csv").string());
        askInEachDialog(app);
    }
    std::filesystem::remove_all(reports.path());
    AppHarness restarted({{"Savings", {}}});
    askInEachDialog(restarted);
    EXPECT_EQ(restarted.services.openFileRequests[0].startDirectory, lists.path().string());
    EXPECT_EQ(restarted.services.openFileRequests[1].startDirectory, values.path().string());
    EXPECT_EQ(restarted.services.saveFileRequests[0].startDirectory, "") << "its folder is gone";
}
