// The file panels of Import, Update Values and Export start in the folder where a file of their
// kind was last chosen, also after a restart, and where they always did once it is gone.

#include "support/gui/AppHarness.h"
#include "valuation/ui/ReportWindow.h"

#include <QPushButton>
#include <gtest/gtest.h>

// Asks once for each panel: the bond list to import, the value files, the report's export.
static void askForEachPanel(AppHarness& app) {
    app.view().controller().setOpenPortfolio("Savings");
    app.view().importPressed();
    app.view().updateValuesPressed();
    app.view().bondValueReportButtonPressed();
    settle();
    ASSERT_EQ(app.openWindows<ReportWindow>().size(), 1u);
    app.openWindows<ReportWindow>().front()->exportButton()->click();
    ASSERT_EQ(app.services.panels.size(), 2u);
    ASSERT_EQ(app.services.savePanels.size(), 1u);
}

TEST(FilePanels, EachKindStartsInTheFolderOfItsLastChoiceAcrossRestarts) {
    TempDir lists, values, reports;
    writeWholeFile(lists / "bonds.csv", "");
    writeWholeFile(values / "sb201606.asc", "");
    {
        AppHarness app({{"Savings", {}}});
        app.services.answerOpenPanel({(lists / "bonds.csv").string()});
        app.services.answerOpenPanel({(values / "sb201606.asc").string()});
        app.services.answerSavePanel((reports / "Savings.csv").string());
        askForEachPanel(app);
    }
    std::filesystem::remove_all(reports.path());
    AppHarness restarted({{"Savings", {}}});
    askForEachPanel(restarted);
    EXPECT_EQ(restarted.services.panels[0].startDirectory, lists.path().string());
    EXPECT_EQ(restarted.services.panels[1].startDirectory, values.path().string());
    EXPECT_EQ(restarted.services.savePanels[0].startDirectory, "") << "its folder is gone";
}
