// The windows a bond owner relies on not to lose or misfile bonds: Clear, Escape, the editor's
// own portfolio, Delete with undo, typing a face value, the question about unsaved typing, the
// main window's summary and the help without a browser. Each drives the real main window.

#include "app/AddNewPortfolioWindow.h"
#include "app/BondListPanel.h"
#include "app/LoadPortfolioWindow.h"
#include "app/PageWindow.h"
#include "entry/ui/BondEditingWindow.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/gui/AppHarness.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QUndoStack>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using BondRow = std::vector<std::string>; // serial, type, face value, issue year, issue month

// A portfolio's bonds as the file on disk holds them.
std::vector<BondRow> bondsOnDisk(AppHarness& app, const std::string& portfolio) {
    const auto db = BondDatabase::open(app.portfolioFile());
    std::vector<BondRow> bonds;
    if (const Portfolio* stored = db->portfolio(portfolio)) {
        for (const Bond& bond : stored->bonds) {
            bonds.push_back(
                {bond.serial, bond.type, bond.faceValue, bond.issueYear, bond.issueMonth});
        }
    }
    return bonds;
}

BondEditingWindow* openEditor(AppHarness& app, const std::string& portfolio) {
    app.view().controller().setOpenPortfolio(portfolio);
    app.view().editBonds();
    return app.view().editorOf(portfolio);
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

void doubleClickRow(BondEditingWindow* editor, int row) {
    editor->bondTable()->selectRow(row);
    editor->editSelectedBond();
}

const TestPortfolio kFamily{"Family", {{"I1000", "I", "1000", "2001", "July"}}};

} // namespace

TEST(TrustedEditor, ClearEndsTheChangeSoTheNextSaveAddsABond) {
    AppHarness app({kFamily});
    BondEditingWindow* editor = openEditor(app, "Family");
    doubleClickRow(editor, 0);
    editor->clearEntry();
    editor->serialField()->setText("NEW1");
    pressKey(editor->serialField(), Qt::Key_Return);
    std::vector<BondRow> onDisk = bondsOnDisk(app, "Family");
    std::sort(onDisk.begin(), onDisk.end());
    ASSERT_EQ(onDisk.size(), 2u);
    EXPECT_EQ(onDisk[0], (BondRow{"I1000", "I", "1000", "2001", "July"}));
    EXPECT_EQ(onDisk[1][0], "NEW1");
}

TEST(TrustedEditor, EscapeClearsAChangeThenClosesTheWindow) {
    AppHarness app({kFamily});
    QPointer<BondEditingWindow> editor = openEditor(app, "Family");
    doubleClickRow(editor, 0);
    pressKey(editor, Qt::Key_Escape);
    settle();
    ASSERT_FALSE(editor.isNull());
    EXPECT_FALSE(editor->editing());
    EXPECT_EQ(editor->serialField()->text(), "");
    pressKey(editor, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(editor.isNull());
}

TEST(TrustedEditor, StaysWithItsPortfolioAndClosesWhenItIsDeleted) {
    AppHarness app({kFamily, {"Other", {}}});
    QPointer<BondEditingWindow> editor = openEditor(app, "Family");
    app.view().editBonds();
    EXPECT_EQ(app.openWindows<BondEditingWindow>().size(), 1u) << "raised, not doubled";

    app.view().addNewPortfolio();
    auto* create = app.openWindows<AddNewPortfolioWindow>().back();
    create->nameField()->setText("Test");
    create->createNamedPortfolio();
    settle();
    ASSERT_EQ(app.view().controller().openPortfolio(), std::optional<std::string>("Test"));
    EXPECT_EQ(editor->windowTitle(), "Edit Bonds - Family");
    EXPECT_EQ(editor->bondTable()->model()->rowCount(), 1);
    editor->serialField()->setText("F2");
    editor->saveEntry();
    EXPECT_EQ(bondsOnDisk(app, "Family").size(), 2u);
    EXPECT_TRUE(bondsOnDisk(app, "Test").empty());
    EXPECT_TRUE(app.view().summaryLabel()->text().startsWith("0 bonds"))
        << "the main window still sums up its own open portfolio";
    EXPECT_EQ(app.view().controller().openPortfolio(), std::optional<std::string>("Test"));

    // Deleting another portfolio leaves the editor; deleting its own closes it.
    app.view().showOpenPortfolioWindow();
    auto* load = app.openWindows<LoadPortfolioWindow>().back();
    for (const std::string name : {"Other", "Family"}) {
        const auto& names = load->portfolios();
        load->tableView()->selectRow(
            static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin()));
        app.services.answerConfirmation(ToolkitServices::kAlternateButton);
        load->keyDown(Qt::Key_Backspace);
        settle();
        EXPECT_EQ(editor.isNull(), name == "Family") << name;
    }
}

TEST(TrustedEditor, DeleteAsksNamingTheSerialAndUndoBringsTheBondBack) {
    AppHarness app({kFamily});
    BondEditingWindow* editor = openEditor(app, "Family");
    editor->bondTable()->selectRow(0);
    app.services.answerConfirmation(ToolkitServices::kAlternateButton);
    pressKey(editor->bondTable(), Qt::Key_Delete);
    ASSERT_EQ(app.services.confirmations.size(), 1u);
    EXPECT_NE(app.services.confirmations[0].message.find("\"I1000\""), std::string::npos);
    EXPECT_EQ(app.services.confirmations[0].defaultButton, "Cancel");
    EXPECT_TRUE(bondsOnDisk(app, "Family").empty());

    app.view().controller().undoStack()->undo();
    EXPECT_EQ(bondsOnDisk(app, "Family"),
              (std::vector<BondRow>{{"I1000", "I", "1000", "2001", "July"}}));
    EXPECT_EQ(editor->bondTable()->model()->rowCount(), 1);
    EXPECT_EQ(app.database().portfolio("Family")->bonds.size(), 1u);
    app.view().controller().undoStack()->redo();
    EXPECT_TRUE(bondsOnDisk(app, "Family").empty());
    EXPECT_EQ(editor->bondTable()->model()->rowCount(), 0);
}

TEST(TrustedEditor, TypedFaceValueSelectsExactlyThatAmount) {
    AppHarness app({kFamily});
    BondEditingWindow* editor = openEditor(app, "Family");
    QComboBox* box = editor->faceValueField();
    for (const QString& typed : {QString("$50"), QString("100"), QString("$1000"), QString("25")}) {
        box->setCurrentIndex(4); // $100
        typeText(box, typed);
        const QString amount = typed.startsWith('$') ? typed.mid(1) : typed;
        EXPECT_EQ(box->currentText(), "$" + amount) << typed.toStdString();
    }
}

TEST(TrustedEditor, ClosingTheMainWindowAsksAboutUnsavedTyping) {
    AppHarness app({kFamily});
    BondEditingWindow* editor = openEditor(app, "Family");
    editor->serialField()->setText("HALF");
    EXPECT_FALSE(app.window().close()) << "cancelled: nothing closes";
    ASSERT_EQ(app.services.threeWayQuestions.size(), 1u);
    EXPECT_NE(app.services.threeWayQuestions[0].message.find("\"HALF\""), std::string::npos);
    EXPECT_EQ(bondsOnDisk(app, "Family").size(), 1u);

    app.services.answerThreeWay(ToolkitServices::ThreeWayAnswer::First);
    EXPECT_TRUE(app.view().taskWindowsMayClose());
    EXPECT_EQ(bondsOnDisk(app, "Family").size(), 2u) << "the typed bond was added";
}

TEST(TrustedMainWindow, SummaryNamesTheBondsTheirValueAndTheMonth) {
    AppHarness app(
        {{"Family", {{"A", "I", "1000", "2001", "July"}, {"B", "E", "50", "1950", "May"}}}});
    QLabel* summary = app.view().summaryLabel();
    EXPECT_TRUE(summary->text().startsWith("No portfolio is open"));
    app.view().controller().setOpenPortfolio("Family");
    const std::string text = summary->text().toStdString();
    EXPECT_NE(text.find("2 bonds, face value $1050.00"), std::string::npos) << text;
    EXPECT_NE(text.find("June 2009"), std::string::npos) << text;
    const std::string actions = app.window().bondList()->actionLinesLabel()->text().toStdString();
    EXPECT_EQ(actions.rfind("1 bond has stopped earning interest", 0), 0u) << actions;
}

// The editor's default date, January 1941, is before any E bond: the table calls it invalid.
TEST(TrustedMainWindow, SummaryNeverCountsABondTheTableCallsInvalid) {
    AppHarness app(
        {{"Family", {{"A", "I", "1000", "2001", "July"}, {"B", "E", "50", "1941", "January"}}}});
    app.view().controller().setOpenPortfolio("Family");
    const std::string text = app.view().summaryLabel()->text().toStdString();
    EXPECT_EQ(text.rfind("2 bonds, face value $1000.00, worth $", 0), 0u) << text;
    EXPECT_EQ(text.find("13579"), std::string::npos) << text;
    EXPECT_NE(text.find("1 bond has an invalid issue date"), std::string::npos) << text;
    EXPECT_EQ(text.find("no value for June 2009"), std::string::npos) << text;
}

TEST(TrustedMainWindow, HelpWithoutABrowserIsShownInAWindowOfItsOwn) {
    AppHarness app;
    app.services.browserAvailable = false;
    app.view().launchHelp();
    EXPECT_TRUE(app.services.alerts.empty());
    auto* page = app.view().findChild<PageWindow*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->windowTitle(), "Orvelt Help");
    EXPECT_TRUE(page->toPlainText().contains("Getting started"));
    // Asked again, the same window.
    app.view().launchHelp();
    EXPECT_EQ(app.view().findChildren<PageWindow*>().size(), 1);
}

TEST(TrustedImport, EndsWithASummaryWarnsOfImpossibleYearsAndCanBeUndone) {
    AppHarness app({kFamily});
    app.view().controller().setOpenPortfolio("Family");
    app.services.answerOpenFile(
        {std::string(ORVELT_TEST_DATA_DIR) + "/import/windows_export_crlf.csv"});
    app.view().importBondList();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    const std::string summary = app.services.informationAlerts[0].message;
    EXPECT_NE(summary.find("3 bonds were added, 0 already in the portfolio skipped"),
              std::string::npos)
        << summary;
    // The export's E bond of 1985 is kept, with a warning naming it.
    EXPECT_NE(summary.find("Q111222333E: Series E bonds were issued from 1941 to 1980"),
              std::string::npos)
        << summary;
    ASSERT_EQ(bondsOnDisk(app, "Family").size(), 4u);

    BondEditingWindow* editor = openEditor(app, "Family");
    const auto row = [&] {
        for (int index = 0; index < editor->bondTable()->model()->rowCount(); ++index) {
            if (editor->bondTable()->model()->index(index, 0).data().toString() == "Q111222333E") {
                return index;
            }
        }
        return -1;
    }();
    doubleClickRow(editor, row);
    const auto* warning = editor->findChild<QLabel*>("warningLabel");
    EXPECT_FALSE(warning->isHidden());
    EXPECT_TRUE(warning->text().contains("1985"));

    app.view().controller().undoStack()->undo();
    EXPECT_EQ(bondsOnDisk(app, "Family").size(), 1u);
    EXPECT_EQ(editor->bondTable()->model()->rowCount(), 1);
}
