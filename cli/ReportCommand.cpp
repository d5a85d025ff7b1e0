#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ConsoleToolkitServices.h"
#include "cli/DataFolder.h"
#include "store/BondDatabase.h"
#include "valuation/OwnerFigures.h"
#include "valuation/PortfolioBonds.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/TableText.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace {

// How the command line adds the Treasury's value files for more months.
constexpr std::string_view kAddValuesWithValuesImport =
    "To add values for other months, import the Treasury's value files for them with orvelt-cli "
    "values import.";

// The report's cells, without the blank rows: the heading, the bonds, the totals.
std::vector<TextRow> reportRecords(const std::vector<TextRow>& rows, const ReportSnapshot& model) {
    std::vector<TextRow> records;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!model.isBlankRow(static_cast<int>(row))) {
            records.push_back(rows[row]);
        }
    }
    return records;
}

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

// The whole report for scripts: every column of every bond by its title, the totals, the
// summary, what to do and the note on missing values.
std::string reportJson(const std::string& portfolio, const std::string& month,
                       const std::vector<TextRow>& records, const ReportSnapshot& model) {
    const TextRow& titles = records.front();
    auto object = [&titles](const TextRow& cells, bool skipBlank) {
        QJsonObject fields;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            if (!skipBlank || !cells[i].empty()) {
                fields.insert(qText(titles[i]), qText(cells[i]));
            }
        }
        return fields;
    };
    QJsonArray bonds;
    for (std::size_t i = 1; i + 1 < records.size(); ++i) {
        bonds.append(object(records[i], false));
    }
    QJsonArray summary;
    for (const std::string& line : model.summaryLines()) {
        summary.append(qText(line));
    }
    QJsonObject root;
    root.insert("portfolio", qText(portfolio));
    root.insert("redemptionMonth", qText(month));
    root.insert("bonds", bonds);
    root.insert("totals", object(records.back(), true));
    root.insert("summary", summary);
    QJsonArray actions;
    for (const std::string& line : model.actionLines()) {
        actions.append(qText(line));
    }
    root.insert("whatToDo", actions);
    root.insert("missingValuesNote", qText(model.missingValuesNote()));
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace

int runReportCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 2,
                       "report PORTFOLIO [--month YYYY-MM] [--details] [--format text|csv|json]");
    const std::string& name = arguments.words[1];
    const OutputFormat format = outputFormat(arguments, true);
    const bool monthGiven = arguments.month.has_value();
    RedemptionMonth month =
        monthGiven ? parseRedemptionMonth(*arguments.month) : currentRedemptionMonth();

    const ResourceLocations locations = locateDataFolder(arguments.dataDir);
    // Read only: nothing is written.
    const std::unique_ptr<BondDatabase> store = readPortfolios(locations);
    BondDatabase& database = *store;
    if (!database.hasPortfolio(name)) {
        throw CliError(kExitFailure, "no portfolio named " + quoted(name) + " in " +
                                         locations.userDataDir().string() +
                                         " (orvelt-cli list shows them)");
    }

    std::string tableProblem;
    const ValueTableRef table = loadBondTable(locations, &tableProblem);
    if (!tableProblem.empty()) {
        throw CliError(kExitFailure, tableProblem);
    }
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(table.get());
    std::optional<std::string> startingNote;
    if (!monthGiven) {
        // As the application starts: a month without values would show no value for any bond,
        // so the latest month the table holds stands in for the current one.
        const StartingMonth start = startingRedemptionMonth(months, month, std::nullopt);
        if (start.latestHeld) {
            startingNote = "the value table holds no values for " + month.keyText() +
                           ", so the report is for " + start.month.keyText() +
                           ", the latest month it holds (orvelt-cli values import adds newer "
                           "months; --month chooses another)";
            month = start.month;
        }
    }
    const bool covered = holdsRedemptionMonth(months, month.year, month.month);
    if (!covered && monthGiven) {
        throw CliError(kExitFailure,
                       unsupportedRedemptionDateMessage(months, month, kAddValuesWithValuesImport));
    }

    const ReportSnapshot report =
        computeReportSnapshot(bondsOfPortfolio(database, name), name, table.get(), month);
    // JSON carries every column; text and CSV the owner's figures only when asked.
    const std::size_t columnCount = arguments.details || format == OutputFormat::Json
                                        ? kReportColumns.size()
                                        : kValueColumnCount;
    std::vector<TextRow> rows;
    for (int row = 0; row < report.rowCount(); ++row) {
        TextRow cells;
        for (std::size_t column = 0; column < columnCount; ++column) {
            cells.push_back(report.cellText(kReportColumns[column], row));
        }
        rows.push_back(std::move(cells));
    }
    if (startingNote) {
        io.err << "orvelt-cli: note: " << *startingNote << '\n';
    }
    if (!covered) {
        io.err << "orvelt-cli: warning: every bond shows \"no value\". "
               << unsupportedRedemptionDateMessage(months, month, kAddValuesWithValuesImport)
               << " --month chooses another month.\n";
    } else if (report.bondsWithoutLeaf > 0) {
        // As the window says below its table.
        io.err << "orvelt-cli: note: " << report.missingValuesNote() << '\n';
    }

    if (format == OutputFormat::Json) {
        io.out << reportJson(name, month.keyText(), reportRecords(rows, report), report);
    } else if (format == OutputFormat::Csv) {
        io.out << csvText(reportRecords(rows, report));
    } else {
        std::vector<Alignment> alignments;
        for (std::size_t column = 0; column < columnCount; ++column) {
            alignments.push_back(kReportColumns[column].isAmount ? Alignment::Right
                                                                 : Alignment::Left);
        }
        io.out << alignedText(rows, alignments);
        if (arguments.details) {
            io.out << '\n';
            for (const std::string& line : report.summaryLines()) {
                io.out << line << '\n';
            }
        }
        // What to do comes with every text report; CSV, like the summary, is the table alone.
        const std::vector<std::string> actions = report.actionLines();
        if (!actions.empty()) {
            io.out << '\n';
            for (const std::string& line : actions) {
                io.out << line << '\n';
            }
        }
    }
    // As the window does when it opens: the bonds with an invalid issue date are listed, in no
    // total, and one alert names them all; the command then fails.
    if (!report.valid()) {
        io.services.showErrorAlert("Error", invalidBondsMessage(report));
        return kExitFailure;
    }
    return kExitSuccess;
}
