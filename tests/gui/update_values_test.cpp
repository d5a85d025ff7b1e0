// The "Update Values…" command: the file-open dialog it asks for, merging the Treasury's real
// value file into the user's own copy of the value table, refusing a broken file without
// changing anything, Cancel, and which windows see the new values.

#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/ValueTableFile.h"
#include "valuation/ui/RedemptionDateWindow.h"
#include "valuation/ui/ReportWindow.h"

#include <QAction>
#include <QComboBox>
#include <QPointer>
#include <QTableView>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const fs::path kOfficialFile = fs::path(ORVELT_SOURCE_DIR) / "tools" / "data" / "sb201606.asc";

fs::path shippedTable() {
    return fs::path(ORVELT_BINARY_DIR) / "resources" / "BondTable.plist";
}

// The official file with its third line broken: a series code the Treasury never uses.
fs::path writeBrokenCopy(const TempDir& dir) {
    std::string text = readWholeFile(kOfficialFile);
    std::size_t lineStart = 0;
    for (int line = 1; line < 3; ++line) {
        lineStart = text.find('\n', lineStart) + 1;
    }
    text[lineStart] = 'X';
    const fs::path broken = dir / "sb201606-broken.asc";
    writeWholeFile(broken, text);
    return broken;
}

// The January leaf of a line of the official file, read from its text: columns 12 to 17.
std::string januaryLeafOf(const std::string& lineHead) {
    const std::string text = readWholeFile(kOfficialFile);
    const std::size_t at = text.find("\n" + lineHead);
    return at == std::string::npos ? std::string() : text.substr(at + 1 + 11, 6);
}

// The official file with its redemption months moved to June - November 2027, past the shipped
// table: the values of months the table lacks.
fs::path writeLaterCopy(const TempDir& dir) {
    std::string text = readWholeFile(kOfficialFile);
    for (std::size_t lineStart = 0; lineStart + 5 < text.size();) {
        text.replace(lineStart + 1, 4, "2027");
        const std::size_t end = text.find('\n', lineStart);
        lineStart = end == std::string::npos ? text.size() : end + 1;
    }
    const fs::path later = dir / "sb202706.asc";
    writeWholeFile(later, text);
    return later;
}

const std::string kBothRanges = "June 2009 to November 2026 and June 2027 to November 2027";

class UpdateValuesTest : public ::testing::Test {
  protected:
    UpdateValuesTest()
        : app({{"Savings", {{"I200201", "I", "100", "2002", "January"}}}},
              "2027-06-10 09:00:00 +0000"),
          laterFile(writeLaterCopy(files).string()) {
        // The current month, which the shipped table lacks (start-up would pick November 2026).
        app.view().controller().setRedemptionMonth({2027, 6});
    }

    fs::path userTable() const { return app.userDir() / "BondTable.plist"; }

    void update(std::vector<std::string> files) {
        app.services.answerOpenFile(std::move(files));
        app.view().updateValues();
        settle();
    }

    // The window a command opened: the one of its kind that was not open before.
    template <typename Window> Window* opened(const std::vector<Window*>& before) {
        for (Window* window : app.openWindows<Window>()) {
            if (std::find(before.begin(), before.end(), window) == before.end()) {
                return window;
            }
        }
        return nullptr;
    }

    ReportWindow* openReport() {
        const std::vector<ReportWindow*> before = app.openWindows<ReportWindow>();
        app.view().controller().setOpenPortfolio("Savings");
        app.view().showValueReport();
        settle();
        return opened(before);
    }

    RedemptionDateWindow* openDateWindow() {
        const auto before = app.openWindows<RedemptionDateWindow>();
        app.view().chooseRedemptionDate();
        return opened(before);
    }

    static QString valueCell(ReportWindow* report) {
        return report->tableView()->model()->index(2, 5).data().toString();
    }

    TempDir files;
    AppHarness app;
    std::string laterFile;
};

TEST_F(UpdateValuesTest, TheMenuCommandAsksForValueFilesAndCancelChangesNothing) {
    const std::string shippedBefore = readWholeFile(shippedTable());
    QAction* item = app.window().findChild<QAction*>("updateValuesItem");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text().remove('&'), "Update Values…");
    EXPECT_TRUE(item->isEnabled()) << "no portfolio is needed";
    item->trigger();
    settle();

    ASSERT_EQ(app.services.openFileRequests.size(), 1u);
    const OpenFileRequest& panel = app.services.openFileRequests[0];
    EXPECT_EQ(panel.title, "Add Value Files");
    EXPECT_TRUE(panel.allowsMultipleSelection);
    EXPECT_NE(std::find(panel.extensions.begin(), panel.extensions.end(), "asc"),
              panel.extensions.end());
    // The dialog was cancelled.
    EXPECT_TRUE(app.services.alerts.empty());
    EXPECT_TRUE(app.services.informationAlerts.empty());
    EXPECT_FALSE(fs::exists(userTable()));
    EXPECT_EQ(readWholeFile(shippedTable()), shippedBefore);
}

TEST_F(UpdateValuesTest, TheOfficialFileIsMergedIntoTheUsersCopyAndTheShippedTableStays) {
    const std::string shippedBefore = readWholeFile(shippedTable());
    update({laterFile});

    EXPECT_TRUE(app.services.alerts.empty());
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_EQ(app.services.informationAlerts[0].message,
              "The values of sb202706.asc were added to your value table. It now holds "
              "redemption dates from " +
                  kBothRanges + ".");
    EXPECT_TRUE(fs::exists(userTable()));
    EXPECT_EQ(readWholeFile(shippedTable()), shippedBefore);

    // The same file again changes no value; the table keeps its months.
    const std::string merged = readWholeFile(userTable());
    update({laterFile, laterFile});
    ASSERT_EQ(app.services.informationAlerts.size(), 2u);
    EXPECT_NE(app.services.informationAlerts[1].message.find("2 value files"), std::string::npos);
    EXPECT_EQ(readWholeFile(userTable()), merged);
}

TEST_F(UpdateValuesTest, ABrokenFileIsNamedWithItsLineAndNothingIsWritten) {
    const fs::path broken = writeBrokenCopy(files);
    update({broken.string()});
    ASSERT_EQ(app.services.alerts.size(), 1u);
    EXPECT_EQ(app.services.alerts[0].title, "Error");
    const std::string& message = app.services.alerts[0].message;
    EXPECT_NE(message.find("sb201606-broken.asc, line 3"), std::string::npos) << message;
    EXPECT_NE(message.find("was not changed"), std::string::npos) << message;
    EXPECT_TRUE(app.services.informationAlerts.empty());
    EXPECT_FALSE(fs::exists(userTable()));

    // With an updated copy in place, a good file followed by a broken one changes nothing.
    update({kOfficialFile.string()});
    const std::string updated = readWholeFile(userTable());
    app.services.clear();
    update({kOfficialFile.string(), broken.string()});
    ASSERT_EQ(app.services.alerts.size(), 1u);
    EXPECT_TRUE(app.services.informationAlerts.empty());
    EXPECT_EQ(readWholeFile(userTable()), updated);

    // A file that is not there is named too.
    app.services.clear();
    update({(files / "missing.asc").string()});
    ASSERT_EQ(app.services.alerts.size(), 1u);
    EXPECT_NE(app.services.alerts[0].message.find("missing.asc"), std::string::npos);
    EXPECT_EQ(readWholeFile(userTable()), updated);
}

// A value the table holds is replaced only when the user answers the question, whose default
// keeps it.
TEST_F(UpdateValuesTest, AChangedValueIsReplacedOnlyWhenTheUserSaysSo) {
    std::string text = readWholeFile(kOfficialFile);
    const std::size_t at = text.find("\nI2016062002") + 1 + 11;
    ASSERT_EQ(text.substr(at, 6), "004575");
    text.replace(at, 6, "009999");
    const fs::path changed = files / "changed.asc";
    writeWholeFile(changed, text);

    app.services.answerConfirmation(ToolkitServices::kDefaultButton);
    update({changed.string()});
    ASSERT_EQ(app.services.confirmations.size(), 1u);
    const RecordedConfirmation& question = app.services.confirmations[0];
    EXPECT_EQ(question.title, "Replace Values?");
    EXPECT_EQ(question.defaultButton, "Keep Values");
    EXPECT_EQ(question.message.rfind("1 value the value table already holds would change:\n"
                                     "Series I, redeemed in June 2016, issued in January 2002: "
                                     "004575 in the table, 009999 in changed.asc\n\n",
                                     0),
              0u)
        << question.message;
    EXPECT_FALSE(fs::exists(userTable()));
    EXPECT_TRUE(app.services.alerts.empty());

    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    update({changed.string()});
    EXPECT_EQ(app.services.informationAlerts.size(), 1u);
    const ValueTableRef mine = readValueTableFile(userTable());
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->cell(BondSeries::I, {2016, 6}, {2002, 1}), 9999);
}

TEST_F(UpdateValuesTest, OpenReportsShowTheUpdatedTableAtOnceAndNewOnesReadItToo) {
    const std::string leaf = januaryLeafOf("I2016062002");
    ASSERT_EQ(leaf, "004575") << "the official file's text";

    QPointer<ReportWindow> before = openReport();
    ASSERT_FALSE(before.isNull());
    EXPECT_TRUE(valueCell(before).startsWith("~$"))
        << "the shipped table ends in November 2026: projected";
    EXPECT_EQ(before->report().bondsWithoutValue(), 0);

    update({laterFile});
    EXPECT_EQ(openReport(), nullptr) << "asking again raises the portfolio's open report";
    EXPECT_EQ(valueCell(before), "$183.00") << "the open report follows the new values";
    EXPECT_EQ(before->report().bondsWithoutValue(), 0);
    before->close();
    settle();
    QPointer<ReportWindow> after = openReport();
    ASSERT_FALSE(after.isNull());
    EXPECT_EQ(valueCell(after), "$183.00") << "4 x $45.75";
    EXPECT_EQ(after->report().bondsWithoutValue(), 0);
    EXPECT_TRUE(app.services.alerts.empty());
}

TEST_F(UpdateValuesTest, TheDateWindowAcceptsTheMonthsOfTheUpdatedTable) {
    update({laterFile});
    app.services.clear(); // the note that the values were added
    QPointer<RedemptionDateWindow> window = openDateWindow();
    ASSERT_FALSE(window.isNull());
    QComboBox* years = window->yearBox();
    // The table's years and thirty projected after its last month.
    ASSERT_EQ(years->count(), 49);
    EXPECT_EQ(years->itemText(0), "2009");
    EXPECT_EQ(years->itemText(1), "2010");
    EXPECT_EQ(years->itemText(18), "2027");
    EXPECT_EQ(years->currentText(), "2027") << "the current date is preselected";
    EXPECT_EQ(window->monthBox()->currentIndex(), 5);

    // December 2057 is neither in the table nor projected: the refusal names both ranges.
    window->yearBox()->setCurrentIndex(window->yearBox()->findText("2057"));
    window->monthBox()->setCurrentIndex(11);
    window->applyChosenMonth();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_EQ(app.services.informationAlerts[0].message,
              "The value table holds no values for December 2057. It holds values from " +
                  kBothRanges +
                  ". To add values for other months, choose Update Values… with the Treasury's "
                  "value files for them. Later dates up to November 2057 can be chosen too: their "
                  "values are projected.");
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2027-06");

    // November 2027 is, and so is a month of the shipped range.
    window->yearBox()->setCurrentIndex(window->yearBox()->findText("2027"));
    window->monthBox()->setCurrentIndex(10);
    window->applyChosenMonth();
    settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2027-11");
    EXPECT_EQ(app.services.informationAlerts.size(), 1u);
    EXPECT_TRUE(app.services.alerts.empty());

    window = openDateWindow();
    ASSERT_FALSE(window.isNull());
    window->monthBox()->setCurrentIndex(0);
    window->yearBox()->setCurrentIndex(window->yearBox()->findText("2010"));
    window->applyChosenMonth();
    settle();
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2010-01");
}

TEST_F(UpdateValuesTest, AWindowOpenBeforeTheUpdateKeepsTheMonthsItRead) {
    QPointer<RedemptionDateWindow> window = openDateWindow();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->yearBox()->count(), 48);
    update({laterFile});
    // June 2057 is projected from the updated table only.
    EXPECT_FALSE(window->acceptsRedemptionDate(2057, 6));
    EXPECT_EQ(openDateWindow(), nullptr) << "asking again raises the open window";
    window->close();
    settle();
    auto* fresh = openDateWindow();
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->acceptsRedemptionDate(2057, 6));
}

} // namespace
