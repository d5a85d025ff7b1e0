// The Tax Year and Estate windows over the shipped table: opened from the View menu's shortcuts,
// showing the core's tables (the command line prints the same), following a change of method,
// month or bonds, and exported as CSV and PDF.

#include "app/PortfolioDetailsDialog.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"
#include "valuation/EstateListing.h"
#include "valuation/ReportableSchedule.h"
#include "valuation/TaxYear.h"
#include "valuation/ui/EstateWindow.h"
#include "valuation/ui/TaxYearWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

// The window's heading and cells, as the core's table rows.
std::vector<TextRow> shownTable(QTableWidget* table) {
    std::vector<TextRow> rows(1);
    for (int column = 0; column < table->columnCount(); ++column) {
        rows[0].push_back(table->horizontalHeaderItem(column)->text().toStdString());
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        TextRow cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            cells.push_back(table->item(row, column)->text().toStdString());
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

template <typename Window> Window* openByShortcut(AppHarness& app, Qt::Key key) {
    QApplication::setActiveWindow(&app.window());
    QTest::keyClick(&app.window(), key, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    const std::vector<Window*> windows = app.openWindows<Window>();
    return windows.size() == 1 ? windows.front() : nullptr;
}

std::string pdfText(const std::filesystem::path& pdf) {
    const QString program = QStandardPaths::findExecutable("pdftotext");
    EXPECT_FALSE(program.isEmpty()) << "pdftotext (poppler-utils) is needed for this test";
    QProcess process;
    process.start(program, {"-layout", QString::fromStdString(pdf.string()), "-"});
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.readAllStandardOutput().toStdString();
}

TEST(TaxEstateWindows, ShowTheCoresTablesFollowTheirChoicesAndExport) {
    AppHarness app(
        {{"Family", {{"M1", "EE", "100", "1990", "May"}, {"I1", "I", "1000", "2010", "January"}}},
         {"Kids", {{"K1", "I", "500", "2015", "July"}}}},
        "2021-03-15 10:03:07 +0000");
    app.view().controller().setOpenPortfolio("Family");
    const ValueTable* table = app.session().valueTable().get();
    const Portfolio& family = *app.database().portfolio("Family");

    TaxYearWindow* tax = openByShortcut<TaxYearWindow>(app, Qt::Key_Y);
    ASSERT_NE(tax, nullptr);
    EXPECT_EQ(tax->yearBox()->value(), 2020) << "the year before the redemption month's";
    EXPECT_EQ(shownTable(tax->table()), computeTaxYearOfPortfolio(family, table, 2020).table());
    tax->methodBox()->setCurrentIndex(1);
    tax->yearBox()->setValue(2019);
    const TaxYearReport accrual =
        computeTaxYearOfPortfolio(family, table, 2019, TaxMethod::Accrual);
    EXPECT_EQ(shownTable(tax->table()), accrual.table());
    EXPECT_NE(tax->notesLabel()->text().toStdString().find(accrual.noteLines().front()),
              std::string::npos);
    // A bond added shows at once.
    ASSERT_TRUE(app.database().addBond("Family", Bond("N1", "EE", "50", "2019", "March")));
    settle();
    EXPECT_EQ(tax->table()->rowCount(), 4);

    TempDir out;
    app.services.answerSaveFile((out.path() / "tax.csv").string());
    tax->exportReport();
    const std::string csv = readWholeFile(out.path() / "tax.csv");
    EXPECT_NE(csv.find(csvText({accrual.table().front()})), std::string::npos) << csv;
    EXPECT_NE(csv.find("Tax Year 2019 - Family"), std::string::npos);

    EstateWindow* estate = openByShortcut<EstateWindow>(app, Qt::Key_E);
    ASSERT_NE(estate, nullptr);
    EXPECT_EQ(estate->yearBox()->value(), 2021);
    estate->yearBox()->setValue(2020);
    estate->allPortfoliosBox()->setChecked(true);
    const Portfolio& kids = *app.database().portfolio("Kids");
    const Portfolio& changed = *app.database().portfolio("Family");
    const EstateListing all =
        computeEstateListing({{"Family", &changed.bonds}, {"Kids", &kids.bonds}}, "all portfolios",
                             true, table, YearMonth{2020, 3});
    EXPECT_EQ(shownTable(estate->table()), all.table());
    app.services.answerSaveFile((out.path() / "estate.pdf").string());
    estate->exportReport();
    const std::string pdf = pdfText(out.path() / "estate.pdf");
    EXPECT_NE(pdf.find("Estate - All Portfolios"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find(all.table().back()[9]), std::string::npos) << "the value total";

    // A month before the table's first: nothing is known.
    estate->yearBox()->setValue(1999);
    EXPECT_NE(estate->notesLabel()->text().indexOf("is not known"), -1);
}

TEST(TaxEstateWindows, PortfolioDetailsAreKeptByEnterUndoneByUndoAndFollowedByTheTaxYear) {
    AppHarness app({{"Family", {{"I1", "I", "1000", "2010", "January"}}}},
                   "2021-03-15 10:03:07 +0000");
    app.view().controller().setOpenPortfolio("Family");
    settle();
    TaxYearWindow* tax = openByShortcut<TaxYearWindow>(app, Qt::Key_Y);
    ASSERT_NE(tax, nullptr);
    EXPECT_EQ(tax->methodBox()->currentIndex(), 0) << "cash, as no method was ever chosen";
    const auto details = [&app] {
        return portfolioDetailsOf(*BondDatabase::open(app.portfolioFile())->portfolio("Family"));
    };
    const auto openDialog = [&app] {
        app.window().findChild<QAction*>("portfolioDetailsItem")->trigger();
        settle();
        const std::vector<PortfolioDetailsDialog*> dialogs =
            app.openWindows<PortfolioDetailsDialog>();
        return dialogs.size() == 1 ? dialogs.front() : nullptr;
    };

    PortfolioDetailsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->birthMonthBox()->setCurrentIndex(4);
    dialog->birthYearBox()->setValue(1961);
    dialog->taxMethodBox()->setCurrentIndex(1);
    QTest::keyClicks(dialog->ownerField(), "Ruth Alvarez");
    QTest::keyClick(dialog->ownerField(), Qt::Key_Return);
    settle();
    EXPECT_TRUE(app.openWindows<PortfolioDetailsDialog>().empty());
    EXPECT_EQ(details(),
              (PortfolioDetails{"Ruth Alvarez", YearMonth{1961, 4}, TaxMethod::Accrual}));
    EXPECT_EQ(tax->methodBox()->currentIndex(), 1) << "the window follows the stored method";
    tax->methodBox()->setCurrentIndex(0);
    EXPECT_NE(tax->notesLabel()->text().indexOf("own method, accrual, is unchanged"), -1);

    dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->ownerField(), " Jr.");
    QTest::keyClick(dialog, Qt::Key_Escape);
    settle();
    EXPECT_EQ(details().defaultOwner, "Ruth Alvarez") << "Escape changes nothing";

    app.view().controller().undoStack()->undo();
    settle();
    EXPECT_EQ(details(), PortfolioDetails{}) << "Undo makes each detail none again";
    EXPECT_EQ(tax->methodBox()->currentIndex(), 0);

    tax->scheduleBox()->setChecked(true);
    EXPECT_FALSE(tax->yearBox()->isEnabled());
    EXPECT_EQ(shownTable(tax->table()),
              computeReportableSchedule(app.database().portfolio("Family")->bonds, "Family",
                                        app.session().valueTable().get(),
                                        app.session().redemptionMonth()->year, TaxMethod::Cash)
                  .table());
}

} // namespace
