#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ConsoleToolkitServices.h"
#include "cli/DataFolder.h"
#include "store/BondDatabase.h"
#include "valuation/MonthCaption.h"
#include "valuation/Projection.h"
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
    if (model.projected()) {
        root.insert("projected", qText(model.projectionCaption()));
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace

namespace {

// The report's month: the one given, else the session's starting month (the latest month the
// table holds stands in for a current month it lacks, as the application starts), with a note
// to standard error when it stands in. A month given that the table lacks is refused, but for
// the months after it that are projected.
RedemptionMonth chooseMonth(Session& session, const std::optional<RedemptionMonth>& given,
                            const std::vector<RedemptionMonth>& months, CommandIo& io) {
    const ValueTable* table = session.valueTable().get();
    if (given) {
        if (!holdsRedemptionMonth(months, given->year, given->month) &&
            (table == nullptr || !isProjectedMonth(*table, *given))) {
            std::string refusal =
                unsupportedRedemptionDateMessage(months, *given, kAddValuesWithValuesImport);
            if (const std::optional<YearMonth> last =
                    table != nullptr ? lastProjectedMonth(*table) : std::nullopt) {
                refusal += " Months after " + months.back().name() + " up to " + last->name() +
                           " are projected.";
            }
            throw CliError(kExitFailure, refusal);
        }
        session.setRedemptionMonth(*given);
        return *given;
    }
    const RedemptionMonth today = currentRedemptionMonth();
    const StartingMonth start = *session.startRedemptionMonth(today, std::nullopt);
    if (start.latestHeld) {
        io.err << "orvelt-cli: note: Values for " << start.month.name()
               << ", the latest month the table holds; today is " << today.name()
               << " (orvelt-cli values import adds newer months; --month chooses another, a "
                  "later one projected)\n";
    }
    return start.month;
}

void printText(const std::vector<TextRow>& rows, const ReportColumnPositions& columns, bool details,
               const ReportSnapshot& report, std::ostream& out) {
    if (report.projected()) {
        out << valuesForMonthText(report, std::nullopt) << ".\n\n";
    }
    std::vector<Alignment> alignments;
    for (std::size_t column : columns) {
        alignments.push_back(kReportColumns[column].isAmount ? Alignment::Right : Alignment::Left);
    }
    out << alignedText(rows, alignments);
    if (details) {
        out << '\n';
        for (const std::string& line : report.summaryLines()) {
            out << line << '\n';
        }
    }
    // What to do comes with every text report; CSV, like the summary, is the table alone.
    const std::vector<std::string> actions = report.actionLines();
    if (!actions.empty()) {
        out << '\n';
        for (const std::string& line : actions) {
            out << line << '\n';
        }
    }
}

} // namespace

int runReportCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, arguments.all ? 1 : 2,
                       arguments.all ? "report --all [--month YYYY-MM] [--format text|csv|json]"
                                     : "report PORTFOLIO [--month YYYY-MM] [--details] [--format "
                                       "text|csv|json]");
    refuseTaxAndEstateOptions(arguments);
    if (arguments.all && arguments.details) {
        throw CliError(kExitUsage, "option --details is for the report of one portfolio");
    }
    const std::string name = arguments.all ? std::string() : arguments.words[1];
    const OutputFormat format = outputFormat(arguments, true);
    const std::optional<RedemptionMonth> given =
        arguments.month ? std::optional(parseRedemptionMonth(*arguments.month)) : std::nullopt;

    // Read only: nothing is written.
    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Read);
    if (!arguments.all) {
        portfolioNamed(session, name);
    }
    if (!session.valueTableProblem().empty()) {
        throw CliError(kExitFailure, session.valueTableProblem());
    }
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(session.valueTable().get());
    const RedemptionMonth month = chooseMonth(session, given, months, io);
    const bool covered = holdsRedemptionMonth(months, month.year, month.month);
    if (arguments.all) {
        if (!covered) {
            io.err << "orvelt-cli: warning: no bond has a value. "
                   << unsupportedRedemptionDateMessage(months, month, kAddValuesWithValuesImport)
                   << " --month chooses another month.\n";
        }
        return runAllPortfoliosReport(arguments, session, month, io);
    }

    const std::shared_ptr<const ReportSnapshot> snapshot = session.snapshot(name);
    const ReportSnapshot& report = *snapshot;
    // JSON carries every column; text and CSV the owner's figures only when asked. The kind and
    // the registration come with them where a bond holds them.
    const bool everyColumn = arguments.details || format == OutputFormat::Json;
    ReportColumnPositions columns = reportColumnsWithHeldOptions(report, everyColumn);
    if (!everyColumn) {
        std::erase_if(columns, [](std::size_t position) { return position >= kValueColumnCount; });
    }
    std::vector<TextRow> rows;
    for (int row = 0; row < report.rowCount(); ++row) {
        TextRow cells;
        for (std::size_t column : columns) {
            cells.push_back(report.cellText(kReportColumns[column], row));
        }
        rows.push_back(std::move(cells));
    }
    if (report.projected()) {
        io.err << "orvelt-cli: note: " << valuesForMonthText(report, std::nullopt) << ".\n";
        if (report.bondsWithoutLeaf > 0) {
            io.err << "orvelt-cli: note: " << report.missingValuesNote() << '\n';
        }
    } else if (!covered) {
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
        printText(rows, columns, arguments.details, report, io.out);
    }
    // As the window does when it opens: the bonds with an invalid issue date are listed, in no
    // total, and one alert names them all; the command then fails.
    if (!report.valid()) {
        io.services.showErrorAlert("Error", invalidBondsMessage(report));
        return kExitFailure;
    }
    return kExitSuccess;
}
