// The report window's Export… and Print…: the PDF an owner keeps (its text read back with
// pdftotext), the CSV, and nothing written when the file dialog or the print dialog is cancelled.

#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "support/TempDir.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/ReportPages.h"
#include "valuation/ui/ReportWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

PlistDictRef valueTable() {
    PlistDictRef issueYear = PlistDict::create();
    issueYear->set("June", std::string("002712"));
    PlistDictRef june = PlistDict::create();
    june->set("2001", PlistValue(issueYear));
    PlistDictRef year = PlistDict::create();
    year->set("06", PlistValue(june));
    PlistDictRef series = PlistDict::create();
    series->set("2009", PlistValue(year));
    PlistDictRef table = PlistDict::create();
    table->set("EE", PlistValue(series));
    return table;
}

std::string pdfText(const std::filesystem::path& pdf) {
    const QString program = QStandardPaths::findExecutable("pdftotext");
    EXPECT_FALSE(program.isEmpty()) << "pdftotext (poppler-utils) is needed for this test";
    QProcess process;
    process.start(program, {"-layout", QString::fromStdString(pdf.string()), "-"});
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.readAllStandardOutput().toStdString();
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ReportExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app = std::make_unique<AppHarness>(
            std::vector<TestPortfolio>{{"Grandma's bonds", {{"A1", "EE", "100", "2001", "June"}}}});
        app->useValueTable(valueTable());
        app->view().controller().setOpenPortfolio("Grandma's bonds");
        report = new ReportWindow(app->view().controller());
        report->open();
        settle();
    }

    TempDir out;
    std::unique_ptr<AppHarness> app;
    QPointer<ReportWindow> report;
};

TEST_F(ReportExportTest, ThePdfHoldsEverythingAnOwnerFiles) {
    app->services.answerSaveFile((out / "report.pdf").string());
    report->exportButton()->click();
    ASSERT_EQ(app->services.saveFileRequests.size(), 1u);
    EXPECT_EQ(app->services.saveFileRequests[0].suggestedName, "Grandma's bonds.pdf");
    const std::string text = pdfText(out / "report.pdf");
    for (const char* expected :
         {"Grandma's bonds", "June 2009", "$108.48", "$58.48", "1.64%", "2009-07", "2031-06",
          "Total:", "Paid for these bonds: $50.00", "Worth if cashed now", "not known", "Made on ",
          "Values from your updated copy"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    }
    // The titles wrap onto lines of their own on the page: word by word.
    for (const char* word : {"Current", "Issue", "Price", "Yield", "Since", "Interest", "Rate",
                             "Next", "Accrual", "Final", "Maturity"}) {
        EXPECT_NE(text.find(word), std::string::npos) << word << " in\n" << text;
    }
    // Where the values come from, with the page's line breaks read as spaces.
    std::string words;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n';
        if (!space || (!words.empty() && words.back() != ' ')) {
            words += space ? ' ' : c;
        }
    }
    // (The page's font joins "ffi" into one ligature.)
    for (const char* expected : {"values for June 2016 to November 2016 are the Treasury's",
                                 "other months from June 2009 to November 2026 are computed from "
                                 "the Treasury's published interest rates"}) {
        EXPECT_NE(words.find(expected), std::string::npos) << expected << " in\n" << words;
    }
}

TEST_F(ReportExportTest, CsvWhenTheNameSaysSoAndNothingWhenCancelled) {
    app->services.answerSaveFile((out / "report.csv").string());
    report->exportButton()->click();
    const std::string csv = fileText(out / "report.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n\r\n")),
              "Portfolio,Grandma's bonds\r\nRedemption month,June 2009");
    EXPECT_NE(csv.find("\r\nSerial,Type,Face Value,Issue Year,Issue Month,Current Value,Issue "
                       "Price,Interest,Interest This Year,Yield Since Issue,Interest Rate,Next "
                       "Accrual,Final Maturity,Status"
                       "\r\n"),
              std::string::npos)
        << csv;

    EXPECT_NE(csv.find("\r\n,Total:,$100.00,,,$108.48,"), std::string::npos) << "labelled once";
    EXPECT_TRUE(report->statusLabel()->text().startsWith("Exported to "));

    // Export follows the columns shown, as Copy does.
    for (QAction* column : report->columnsMenu()->actions()) {
        if (column->text() == "Status") {
            column->setChecked(false);
        }
    }
    app->services.answerSaveFile((out / "shown.csv").string());
    report->exportButton()->click();
    const std::string shown = fileText(out / "shown.csv");
    EXPECT_NE(shown.find("\r\nSerial,Type,Face Value,Issue Year,Issue Month,Current Value,Issue "
                         "Price,Interest,Interest This Year,Yield Since Issue,Interest Rate,Next "
                         "Accrual,Final Maturity\r\n"),
              std::string::npos)
        << shown;
    report->columnsMenu()->actions().back()->setChecked(true);
    std::filesystem::remove(out / "shown.csv");

    report->exportButton()->click();
    report->printButton()->click();
    EXPECT_EQ(app->services.saveFileRequests.size(), 3u);
    EXPECT_EQ(app->services.printDialogs, 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
    EXPECT_TRUE(app->services.alerts.empty());

    // What was exported no longer says what the report shows once its figures change.
    ASSERT_TRUE(app->database().addBond("Grandma's bonds", Bond("A2", "EE", "50", "2001", "June")));
    settle();
    EXPECT_EQ(report->statusLabel()->text(), "");
}

TEST_F(ReportExportTest, EveryPageHasTheColumnTitlesAndACancelledPdfWritesNothing) {
    std::vector<TestBond> bonds;
    for (int i = 0; i < 150; ++i) {
        bonds.push_back({"S" + std::to_string(i), "EE", "100", "2001", "June"});
    }
    app = std::make_unique<AppHarness>(std::vector<TestPortfolio>{{"Many", bonds}});
    app->useValueTable(valueTable());
    app->view().controller().setOpenPortfolio("Many");
    report = new ReportWindow(app->view().controller());
    report->open();
    settle();
    app->services.answerSaveFile((out / "many.pdf").string());
    report->exportButton()->click();
    const QStringList pages =
        QString::fromStdString(pdfText(out / "many.pdf")).split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    int withTotals = 0;
    for (const QString& page : pages) {
        // The totals may end up on a page of their own, under the titles all the same.
        if (page.contains("$108.48") || page.contains("Total:")) {
            EXPECT_TRUE(page.contains("Serial") && page.contains("Status")) << page.toStdString();
            withTotals += page.contains("Total:") ? 1 : 0;
        }
    }
    EXPECT_EQ(withTotals, 1);

    // Stopped at the second page, the file is left as it was.
    const std::filesystem::path kept = out / "kept.pdf";
    std::ofstream(kept) << "before";
    const ReportColumnPositions columns = allReportColumns();
    const ReportSnapshot& snapshot = report->report().snapshot();
    const ReportPrintout printout{snapshot, columns, reportPageTexts(snapshot, {}, columns)};
    int asked = 0;
    EXPECT_EQ(writeReportPdf(kept.string(), app->view().controller().resources(), printout,
                             reportPdfPageLayout(), "Many",
                             [&asked](int pagesDone, int) { return ++asked, pagesDone < 2; }),
              PaintOutcome::Cancelled);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(fileText(kept), "before");
}

// The save and print dialogs offer every file, the portfolio file included: exporting or
// printing there is refused.
TEST_F(ReportExportTest, ThePortfolioFileIsNeverReplacedByAReport) {
    const std::string before = fileText(app->portfolioFile());
    ASSERT_FALSE(before.empty());
    app->services.answerSaveFile(app->portfolioFile().string());
    report->exportButton()->click();
    app->services.answerPrintDialog([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(app->portfolioFile().string()));
        return true;
    });
    report->printButton()->click();
    ASSERT_EQ(app->services.alerts.size(), 2u);
    EXPECT_EQ(app->services.alerts[0].title, "Cannot Export Here");
    EXPECT_EQ(app->services.alerts[1].title, "Cannot Print Here");
    EXPECT_EQ(report->statusLabel()->text(), "Nothing was printed.");
    EXPECT_EQ(fileText(app->portfolioFile()), before);
}

TEST_F(ReportExportTest, PrintingSendsTheSamePageToThePrinter) {
    const std::filesystem::path printed = out / "printed.pdf";
    app->services.answerPrintDialog([&printed](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printed.string()));
        return true;
    });
    report->printButton()->click();
    const std::string text = pdfText(printed);
    EXPECT_NE(text.find("Grandma's bonds"), std::string::npos) << text;
    EXPECT_NE(text.find("$108.48"), std::string::npos) << text;
}

TEST_F(ReportExportTest, ThePdfShowsMarkupCharactersAsTypedAndTheNoteOnlyWhenNeeded) {
    app = std::make_unique<AppHarness>(
        std::vector<TestPortfolio>{{"Ann <&> Bo", {{"Q<1>&2", "EE", "100", "2001", "June"}}}});
    app->useValueTable(valueTable());
    app->view().controller().setOpenPortfolio("Ann <&> Bo");
    report = new ReportWindow(app->view().controller());
    report->open();
    settle();
    const std::string note = "The value table has no value for";
    app->services.answerSaveFile((out / "all.pdf").string());
    report->exportButton()->click();
    const std::string all = pdfText(out / "all.pdf");
    EXPECT_NE(all.find("Value Report - Ann <&> Bo"), std::string::npos) << all;
    EXPECT_NE(all.find("Q<1>&2"), std::string::npos) << all;
    EXPECT_EQ(all.find(note), std::string::npos) << all;

    ASSERT_TRUE(
        app->database().addBond("Ann <&> Bo", Bond("Q24681357 9E", "EE", "50", "1999", "March")));
    settle();
    app->services.answerSaveFile((out / "missing.pdf").string());
    report->exportButton()->click();
    const std::string missing = pdfText(out / "missing.pdf");
    EXPECT_NE(missing.find(note + " 1 of these 2 bonds in June 2009"), std::string::npos)
        << missing;
    const std::size_t row = missing.find("Q24681357 9E");
    ASSERT_NE(row, std::string::npos) << "one line: " << missing;
    // No amount for a bond without a value, in the PDF as in the CSV.
    const std::string line = missing.substr(row, missing.find('\n', row) - row);
    EXPECT_NE(line.find("no value"), std::string::npos) << line;
    EXPECT_EQ(line.find("$0.00"), std::string::npos) << line;
    app->services.answerSaveFile((out / "missing.csv").string());
    report->exportButton()->click();
    EXPECT_NE(fileText(out / "missing.csv").find("\r\nQ24681357 9E,EE,$50,1999,March,no value,"),
              std::string::npos);
}

} // namespace
