// orvelt-cli's reading commands, run as a program: report and list, their output formats and
// their errors.

#include "platform/DataFolderLock.h"
#include "platform/PropertyList.h"
#include "support/CliDataFolder.h"
#include "support/ExpectedReport.h"
#include "valuation/ValueReport.h"
#include "valuation/ValueSources.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// RFC 4180 records: fields split at commas outside quotes, "" inside quotes is one quote.
Rows parseCsv(const std::string& text) {
    Rows records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && record.empty()) << "the last record is not ended by CRLF";
    return records;
}

// The cells of an aligned text line: the parts between runs of two or more spaces.
std::vector<std::string> alignedCells(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (start < line.size()) {
        while (start < line.size() && line[start] == ' ') {
            ++start;
        }
        std::size_t end = line.find("  ", start);
        if (end == std::string::npos) {
            end = line.size();
        }
        if (end > start) {
            cells.push_back(line.substr(start, end - start));
        }
        start = end;
    }
    return cells;
}

std::vector<std::string> nonEmpty(const std::vector<std::string>& cells) {
    std::vector<std::string> result;
    for (const std::string& cell : cells) {
        if (!cell.empty()) {
            result.push_back(cell);
        }
    }
    return result;
}

class CliReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.writeTable(sampleValueTable());
        folder.writePortfolios({
            {"Family",
             {{"C300", "EE", "100", "2001", "March"},
              {"C100", "EE", "50", "1990", "January"},
              {"C200", "EE", "1000", "2001", "January"},
              {"X9", "I", "75", "2001", "May"},
              {"Q,\"7", "EE", "25", "1990", "July"}}},
            {"Other", {}},
        });
    }

    CliDataFolder folder;
};

TEST_F(CliReportTest, ValuesSourcesNamesTheTablesMonthsAndWhereTheirValuesComeFrom) {
    const CliResult result = folder.run({"values", "sources"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // The folder holds the user's own table, whose values are not the shipped ones and whose
    // files were not recorded.
    EXPECT_EQ(linesOf(result.out),
              (std::vector<std::string>{
                  "The value table holds 2 redemption months, June 2009 to July 2009.",
                  "Where the values of each month come from:",
                  "  June 2009 to July 2009: the Treasury's official values from value files you "
                  "added.",
                  "A bond past final maturity keeps its final value; a bond or month the data do "
                  "not cover has no value."}));

    // A table cut short, or the earning rates that come with it, is named with the reason, not
    // taken for an empty one, by every command that reads it.
    const std::string table = readWholeFile(folder.tableFile());
    const std::filesystem::path rates = folder.path() / "EarningRates.plist";
    for (const auto& [file, named] :
         {std::pair{folder.tableFile(), "The value table "}, {rates, "The earning rates file "}}) {
        const std::string whole = file == rates ? "<plist><dict><key>Months</key>" : table;
        writeWholeFile(file, whole.substr(0, whole.size() / 2));
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"values", "sources"},
              std::vector<std::string>{"report", "Family", "--month", "2009-06"}}) {
            const CliResult damaged = folder.run(command);
            EXPECT_EQ(damaged.exitCode, 1) << command[0];
            EXPECT_NE(damaged.err.find(named + file.string() + " cannot be read: "),
                      std::string::npos)
                << damaged.err;
            EXPECT_EQ(damaged.out, "");
        }
        writeWholeFile(folder.tableFile(), table);
        std::filesystem::remove(rates);
    }

    // Without a table of the user's own, the shipped table's sources.
    std::filesystem::remove(folder.tableFile());
    const CliResult shipped = folder.run({"values", "sources"});
    ASSERT_EQ(shipped.exitCode, 0) << shipped.err;
    EXPECT_EQ(linesOf(shipped.out).back(), valueSourcesText());
}

TEST_F(CliReportTest, TextReportShowsTheWindowsCellsInDateOrderAligned) {
    const std::string before = readWholeFile(folder.portfolioFile());
    const CliResult result = folder.run({"report", "Family", "--month", "2009-06"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const ExpectedReport expected = reportAsTheWindowShowsIt(folder, "Family", "2009", "06");
    ASSERT_TRUE(expected.alerts.empty());
    // The sample table has no value for some of these bonds; the window says so below its
    // table, and the program says the same on standard error.
    ASSERT_FALSE(expected.missingValuesNote.empty());
    EXPECT_EQ(result.err, "orvelt-cli: note: " + expected.missingValuesNote + "\n");
    const std::vector<std::string> lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), expected.rows.size()) << result.out;
    for (std::size_t row = 0; row < lines.size(); ++row) {
        EXPECT_EQ(alignedCells(lines[row]), nonEmpty(expected.rows[row])) << "row " << row;
    }
    // Date order, as the window shows it, and values printed with a point under a German locale.
    EXPECT_EQ(expected.rows[2][0], "C100");
    EXPECT_EQ(expected.rows[3][0], "Q,\"7");
    EXPECT_EQ(expected.rows[4][0], "C200");
    EXPECT_EQ(expected.rows[4][5], "$1084.80");
    EXPECT_EQ(expected.rows[6][5], "no value");

    // The amounts are right-aligned under their heading; the texts left-aligned.
    const std::size_t valueEnd = lines[0].size();
    const std::size_t yearStart = lines[0].find("Issue Year");
    for (std::size_t row : {2u, 3u, 4u, 5u, 6u, 8u}) {
        EXPECT_EQ(lines[row].size(), valueEnd) << lines[row];
    }
    for (std::size_t row : {2u, 3u, 4u, 5u, 6u}) {
        EXPECT_EQ(lines[row].find(expected.rows[row][3]), yearStart) << lines[row];
    }

    EXPECT_EQ(readWholeFile(folder.portfolioFile()), before)
        << "the report must not write the date order";
}

TEST_F(CliReportTest, CsvReportQuotesAsRfc4180AndMatchesTheWindow) {
    const CliResult result = folder.run({"--format=csv", "report", "Family", "--month=2009-07"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    EXPECT_NE(result.out.find("\r\n\"Q,\"\"7\",EE,$25,1990,July,"), std::string::npos)
        << result.out;
    const ExpectedReport expected = reportAsTheWindowShowsIt(folder, "Family", "2009", "07");
    Rows withoutBlankRows;
    for (std::size_t row = 0; row < expected.rows.size(); ++row) {
        if (row != 1 && row != expected.rows.size() - 2) {
            withoutBlankRows.push_back(expected.rows[row]);
        }
    }
    EXPECT_EQ(parseCsv(result.out), withoutBlankRows);
    EXPECT_EQ(withoutBlankRows.front()[5], "Current Value");
    EXPECT_EQ(withoutBlankRows.back()[1], "Total:");
}

TEST_F(CliReportTest, InvalidBondsAreListedAndNamedOnStandardErrorAsTheWindowNamesThem) {
    folder.writePortfolios({{"Family",
                             {{"BAD-2", "EE", "100", "2001", "December"},
                              {"OK-1", "EE", "100", "2001", "January"},
                              {"BAD-1", "EE", "50", "2001", "December"}}}});
    const CliResult result = folder.run({"report", "Family", "--month", "2009-06"});

    const ExpectedReport expected = reportAsTheWindowShowsIt(folder, "Family", "2009", "06");
    ASSERT_EQ(expected.alerts.size(), 1u);
    EXPECT_EQ(expected.alerts[0].rfind("The bonds with the following serials are invalid:\n\n"
                                       "BAD-2 (",
                                       0),
              0u)
        << expected.alerts[0];
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "orvelt-cli: Error: " + expected.alerts[0] + "\n");
    const std::vector<std::string> lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), expected.rows.size()) << result.out;
    for (std::size_t row = 0; row < lines.size(); ++row) {
        EXPECT_EQ(alignedCells(lines[row]), nonEmpty(expected.rows[row])) << "row " << row;
    }
}

TEST_F(CliReportTest, WithoutMonthTheReportIsForTheCurrentMonth) {
    const QDate today = QDate::currentDate();
    const std::string year = QString::number(today.year()).toStdString();
    const std::string month = QString("%1").arg(today.month(), 2, 10, QChar('0')).toStdString();
    auto table = PlistDict::create();
    setLeaf(*table, {"EE", year, month, "2001", "January"}, "003000");
    folder.writeTable(table);
    folder.writePortfolios({{"Family", {{"C200", "EE", "100", "2001", "January"}}}});

    const CliResult result = folder.run({"report", "Family", "--format", "csv"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(parseCsv(result.out).at(1),
              (std::vector<std::string>{"C200", "EE", "$100", "2001", "January", "$120.00"}));
}

TEST_F(CliReportTest, CurrentMonthOutsideTheTableGivesTheLatestMonthWithANote) {
    // The sample table holds June and July 2009 only: the report is for July 2009, not a report
    // of zeros for the current month.
    const CliResult result = folder.run({"report", "Family", "--format", "csv"});
    EXPECT_EQ(result.exitCode, 0);
    const QDate today = QDate::currentDate();
    EXPECT_NE(result.err.find("note: Values for July 2009, the latest month the table holds; "
                              "today is " +
                              std::string(monthName(today.month())) + " " +
                              std::to_string(today.year())),
              std::string::npos)
        << result.err;
    const ExpectedReport expected = reportAsTheWindowShowsIt(folder, "Family", "2009", "07");
    EXPECT_EQ(parseCsv(result.out).back(), expected.rows.back());
}

TEST_F(CliReportTest, AMonthAfterTheTableIsProjectedAndMarkedInEveryFormat) {
    // The shipped table, which ends in November 2026.
    std::filesystem::remove(folder.tableFile());
    const std::string caption = "~ projected: rates in force in November 2026 held unchanged";
    const CliResult text = folder.run({"report", "Family", "--month", "2031-06"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(linesOf(text.out).front(), "Values for June 2031, projected (~): rates in force in "
                                         "November 2026 held unchanged.");
    EXPECT_NE(text.err.find("note: Values for June 2031, projected (~)"), std::string::npos)
        << text.err;

    const Rows csv =
        parseCsv(folder.run({"report", "Family", "--month", "2031-06", "--format", "csv"}).out);
    // C100, issued January 1990, stopped earning in 2020 and keeps its value, marked all the same.
    EXPECT_EQ(csv[1][0], "C100");
    EXPECT_EQ(csv[1][5].substr(0, 2), "~$");
    EXPECT_EQ(csv.back()[5].substr(0, 2), "~$") << "the total";

    const CliResult json =
        folder.run({"report", "Family", "--month", "2031-06", "--format", "json"});
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root["projected"].toString().toStdString(), caption);
    EXPECT_TRUE(root["bonds"][0]["Current Value"].toString().startsWith("~$"));
    EXPECT_EQ(root["summary"].toArray().last().toString().toStdString(), caption + ".");
    // In a month of the table, no mark and no caption.
    const CliResult held =
        folder.run({"report", "Family", "--month", "2026-11", "--format", "json"});
    const QJsonObject heldRoot =
        QJsonDocument::fromJson(QByteArray::fromStdString(held.out)).object();
    EXPECT_FALSE(heldRoot.contains("projected"));
    EXPECT_TRUE(heldRoot["bonds"][0]["Current Value"].toString().startsWith("$"));
}

TEST_F(CliReportTest, DetailsAddTheOwnersColumnsToCsvAndJsonCarriesThemAll) {
    const CliResult csv =
        folder.run({"report", "Family", "--month", "2009-06", "--details", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const Rows records = parseCsv(csv.out);
    EXPECT_EQ(records.front(),
              (std::vector<std::string>{"Serial", "Type", "Face Value", "Issue Year", "Issue Month",
                                        "Current Value", "Issue Price", "Interest",
                                        "Interest This Year", "Yield Since Issue", "Interest Rate",
                                        "Next Accrual", "Final Maturity", "Status"}));
    const ExpectedReport expected = reportAsTheWindowShowsIt(folder, "Family", "2009", "06", true);
    EXPECT_EQ(records[1], expected.rows[2]);
    EXPECT_EQ(records[5][5], "no value") << "the bond the table lacks, as in the text";
    EXPECT_EQ(records.back(), expected.rows.back());

    const CliResult json =
        folder.run({"report", "Family", "--month", "2009-06", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root["redemptionMonth"].toString(), "2009-06");
    const QJsonArray bonds = root["bonds"].toArray();
    ASSERT_EQ(bonds.size(), 5);
    for (std::size_t column = 0; column < expected.rows[2].size(); ++column) {
        EXPECT_EQ(bonds[0]
                      .toObject()[QString::fromStdString(expected.rows[0][column])]
                      .toString()
                      .toStdString(),
                  expected.rows[2][column]);
    }
    EXPECT_EQ(bonds[4].toObject()["Current Value"].toString(), "no value");
    EXPECT_EQ(root["totals"].toObject()["Issue Price"].toString().toStdString(),
              expected.rows.back()[6]);
    EXPECT_FALSE(root["summary"].toArray().isEmpty());
}

TEST_F(CliReportTest, AllPortfoliosGiveEachPortfoliosTotalsAndTheGrandTotalInEachFormat) {
    const CliResult own =
        folder.run({"report", "Family", "--month", "2009-06", "--format", "json"});
    const QString value = QJsonDocument::fromJson(QByteArray::fromStdString(own.out))
                              .object()["totals"]
                              .toObject()["Current Value"]
                              .toString();
    ASSERT_FALSE(value.isEmpty()) << own.out;

    const CliResult csv = folder.run({"report", "--all", "--month", "2009-06", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const Rows records = parseCsv(csv.out);
    ASSERT_EQ(records.size(), 4u) << csv.out;
    EXPECT_EQ(records[0], (std::vector<std::string>{"Portfolio", "Bonds", "Face Value", "Value",
                                                    "Without Value", "Not Issued Yet", "Cashed"}));
    EXPECT_EQ(records[1][0], "Family");
    EXPECT_EQ(records[1][3], value.toStdString());
    EXPECT_EQ(records[2],
              (std::vector<std::string>{"Other", "0", "$0.00", "$0.00", "0", "0", "0"}));
    EXPECT_EQ(records[3][0], "Total");
    EXPECT_EQ(records[3][1], "5");
    EXPECT_EQ(records[3][3], value.toStdString());

    const CliResult json =
        folder.run({"report", "--all", "--month", "2009-06", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root["portfolios"].toArray().size(), 2);
    EXPECT_EQ(root["total"].toObject()["Value"].toString(), value);

    const CliResult text = folder.run({"report", "--all", "--month", "2009-06"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(linesOf(text.out).front(), "All portfolios, values for June 2009");
    EXPECT_EQ(folder.run({"report", "Family", "--all"}).exitCode, 2);
}

TEST_F(CliReportTest, ListShowsEveryPortfolioWithItsBondCount) {
    const CliResult text = folder.run({"list"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::vector<std::string> lines = linesOf(text.out);
    ASSERT_EQ(lines.size(), 3u) << text.out;
    EXPECT_EQ(alignedCells(lines[0]), (std::vector<std::string>{"Portfolio", "Bonds"}));
    EXPECT_EQ(alignedCells(lines[1]), (std::vector<std::string>{"Family", "5"}));
    EXPECT_EQ(alignedCells(lines[2]), (std::vector<std::string>{"Other", "0"}));

    const CliResult csv = folder.run({"list", "--format", "csv"});
    EXPECT_EQ(csv.out, "Portfolio,Bonds\r\nFamily,5\r\nOther,0\r\n");
}

TEST(CliDataFolderTest, EmptyFolderListsNothing) {
    CliDataFolder folder;
    const CliResult result = folder.run({"list"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::filesystem::exists(folder.portfolioFile())) << "reading creates nothing";
}

// The folder of earlier versions is moved to the application's folder and used there.
TEST(CliDataFolderTest, WithoutDataDirTheApplicationsFolderIsUsed) {
    CliDataFolder folder;
    const std::filesystem::path appData = folder.home() / "data" / "Orvelt" / "Orvelt";
    std::filesystem::create_directories(appData);
    auto root = PlistDict::create();
    auto record = PlistDict::create();
    record->set("Name", PlistValue("Shared"));
    record->set("Bonds", PlistValue(std::make_shared<PlistArray>()));
    root->set("Shared", PlistValue(record));
    ASSERT_TRUE(writePropertyList(appData / "portfolios.plist", PlistValue(root)));

    const CliResult result = runOrveltCli({"list"}, folder.home());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(alignedCells(linesOf(result.out).at(1)), (std::vector<std::string>{"Shared", "0"}));
    EXPECT_TRUE(std::filesystem::exists(folder.home() / "data" / "orvelt" / "portfolios.plist"));
    EXPECT_FALSE(std::filesystem::exists(appData));
}

TEST(CliHelpTest, HelpIsPrintedAndSucceeds) {
    CliDataFolder folder;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"report", "-h"}, {"help"}}) {
        const CliResult result = runOrveltCli(arguments, folder.home());
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out.rfind("Usage: orvelt-cli", 0), 0u) << result.out;
    }
}

struct ErrorCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;
};

TEST_F(CliReportTest, EachErrorIsOneLineOnStandardErrorWithAFailingStatus) {
    const std::string missing = (folder.path() / "missing").string();
    const std::vector<ErrorCase> cases = {
        {{"report", "Nobody", "--month", "2009-06"}, 1, "no portfolio named \"Nobody\""},
        {{"report", "family", "--month", "2009-06"}, 1, "no portfolio named \"family\""},
        // A name never sends an escape sequence to the terminal.
        {{"report", "X\x1b[2J"}, 1, "no portfolio named \"X\xEF\xBF\xBD[2J\""},
        {{"report", "Family", "--month", "2009-13"}, 2, "bad month \"2009-13\""},
        {{"report", "Family", "--month", "2009-6"}, 2, "bad month"},
        {{"report", "Family", "--month", "June"}, 2, "bad month"},
        {{"report", "Family", "--month"}, 2, "option --month needs a value"},
        {{"report", "Family", "--month", "2040-01"}, 1, "no values for January 2040"},
        {{"report", "Family", "--format", "xml"}, 2, "unknown format \"xml\""},
        {{"report"}, 2, "missing arguments"},
        {{"report", "Family", "Other"}, 2, "too many arguments"},
        {{"list", "--month", "2009-06"}, 2, "--month is for the report command"},
        {{"list", "--verbose"}, 2, "unknown option --verbose"},
        {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        {{}, 2, "no command given"},
        {{"values"}, 2, "unknown values command"},
        {{"values", "export", "x"}, 2, "unknown values command"},
        {{"import", "Family"}, 2, "missing arguments"},
        {{"list", "--data-dir", missing}, 1, "no data folder at " + missing},
    };
    for (const ErrorCase& error : cases) {
        const CliResult result = folder.run(error.arguments);
        std::string shown;
        for (const std::string& argument : error.arguments) {
            shown += argument + " ";
        }
        EXPECT_EQ(result.exitCode, error.exitCode) << shown;
        EXPECT_EQ(result.err.rfind("orvelt-cli: ", 0), 0u) << shown << result.err;
        EXPECT_NE(result.err.find(error.message), std::string::npos) << shown << result.err;
        EXPECT_EQ(linesOf(result.err).size(), 1u) << shown << result.err;
        EXPECT_EQ(result.out, "") << shown;
    }
}

// As the application does: the damaged file is set aside, never overwritten, and named; while
// the application holds the folder it is left where it is.
TEST_F(CliReportTest, AnUnreadablePortfolioFileIsSetAsideUnchangedAndNamed) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"list"}, {"report", "Family", "--month", "2009-06"}}) {
        writeWholeFile(folder.portfolioFile(), "this is not a property list");
        const CliResult result = folder.run(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(linesOf(result.err).size(), 1u) << result.err;
        EXPECT_EQ(result.out, "");
        std::filesystem::path aside;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().filename().string().starts_with("portfolios.unreadable-")) {
                aside = entry.path();
            }
        }
        EXPECT_NE(result.err.find("cannot read the portfolio file " +
                                  folder.portfolioFile().string() + ": "),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("set aside, unchanged, as " + aside.string() + ","),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(readWholeFile(aside), "this is not a property list");
        EXPECT_FALSE(std::filesystem::exists(folder.portfolioFile())) << "nothing written there";
        std::filesystem::remove(aside);
    }

    writeWholeFile(folder.portfolioFile(), "this is not a property list");
    const std::optional<DataFolderLock> running = DataFolderLock::tryAcquire(folder.path());
    const CliResult whileRunning = folder.run({"list"});
    EXPECT_EQ(whileRunning.exitCode, 1);
    EXPECT_NE(whileRunning.err.find("it was left where it is, untouched"), std::string::npos)
        << whileRunning.err;
    EXPECT_EQ(readWholeFile(folder.portfolioFile()), "this is not a property list");
}

} // namespace
