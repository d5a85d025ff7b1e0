// The report window's Export… and Print…: the PDF an owner keeps (its text read back with
// pdftotext), the CSV, and nothing written when the panel or the print dialog is cancelled.

#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "support/TempDir.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/ReportWindow.h"

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
        report = new ReportWindow(app->view().controller().resources(), app->services);
        report->setParentView(&app->view().controller());
        report->showWindow();
        settle();
    }

    TempDir out;
    std::unique_ptr<AppHarness> app;
    QPointer<ReportWindow> report;
};

TEST_F(ReportExportTest, ThePdfHoldsEverythingAnOwnerFiles) {
    app->services.answerSavePanel((out / "report.pdf").string());
    report->exportButton()->click();
    ASSERT_EQ(app->services.savePanels.size(), 1u);
    EXPECT_EQ(app->services.savePanels[0].suggestedName, "Grandma's bonds.pdf");
    const std::string text = pdfText(out / "report.pdf");
    for (const char* expected :
         {"Grandma's bonds", "June 2009", "Current Value", "Issue Price", "Yield Since Issue",
          "Final Maturity", "$108.48", "$58.48", "2031-06",
          "Total:", "Paid for these bonds: $50.00", "Worth if cashed now", "not known", "Made on ",
          "Values from your updated copy"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    }
}

TEST_F(ReportExportTest, CsvWhenTheNameSaysSoAndNothingWhenCancelled) {
    app->services.answerSavePanel((out / "report.csv").string());
    report->exportButton()->click();
    const std::string csv = fileText(out / "report.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Serial,Type,Face Value,Issue Year,Issue Month,Current Value,Issue Price,Interest,"
              "Interest This Year,Yield Since Issue,Final Maturity,Status");

    report->exportButton()->click();
    report->printButton()->click();
    EXPECT_EQ(app->services.savePanels.size(), 2u);
    EXPECT_EQ(app->services.printDialogs, 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), {}), 1);
    EXPECT_TRUE(app->services.alerts.empty());
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

} // namespace
