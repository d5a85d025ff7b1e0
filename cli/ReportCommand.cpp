#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ConsoleToolkitServices.h"
#include "cli/DataFolder.h"
#include "platform/NumberText.h"
#include "store/BondDatabase.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportWindowController.h"
#include "valuation/TableText.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueTableMonths.h"

#include <QDate>

namespace {

// The report's owner: the database opened on one portfolio and a fixed redemption date.
class FixedDateValuation : public ValuationContext {
  public:
    FixedDateValuation(BondDatabase& database, RedemptionDate date)
        : database_(database), date_(std::move(date)) {}
    BondDatabase* bondDatabase() const override { return &database_; }
    std::string redemptionYear() const override { return date_.year; }
    std::string redemptionMonth() const override { return date_.month; }

  private:
    BondDatabase& database_;
    RedemptionDate date_;
};

std::string zeroPadded(int value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

// The application starts with the current month.
RedemptionDate currentMonth() {
    const QDate today = QDate::currentDate();
    return RedemptionDate{zeroPadded(today.year(), 4), zeroPadded(today.month(), 2)};
}

} // namespace

int runReportCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 2, "report PORTFOLIO [--month YYYY-MM] [--format text|csv]");
    const std::string& name = arguments.words[1];
    const OutputFormat format = outputFormat(arguments);
    const bool monthGiven = arguments.month.has_value();
    const RedemptionDate date =
        monthGiven ? parseRedemptionMonth(*arguments.month) : currentMonth();
    const std::string dateText = date.year + "-" + date.month;

    const ResourceLocations locations = locateDataFolder(arguments.dataDir);
    // Read only: the report's date order stays in memory and nothing is written.
    BondDatabase database(io.services);
    database.setPortfolios(readPortfolios(locations));
    if (!database.portfolioExistsWithName(name)) {
        throw CliError(kExitFailure, "no portfolio named " + quoted(name) + " in " +
                                         locations.userDataDir().string() +
                                         " (orvelt-cli list shows them)");
    }
    database.setNewCurrentPortfolio(name);

    ReportWindowController report(locations, io.services);
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(report.bondTable());
    const bool covered =
        holdsRedemptionMonth(months, intValueOfText(date.year), intValueOfText(date.month));
    if (!covered && monthGiven) {
        throw CliError(kExitFailure, "no values for " + dateText + ": " +
                                         unsupportedRedemptionDateMessage(months));
    }

    FixedDateValuation valuation(database, date);
    report.setParentView(&valuation);
    std::vector<TextRow> rows;
    const int rowCount = report.numberOfRowsInTableView();
    for (int row = 0; row < rowCount; ++row) {
        TextRow cells;
        for (const ReportColumn& column : kReportColumns) {
            cells.push_back(report.tableViewObjectValue(column.identifier, row));
        }
        rows.push_back(std::move(cells));
    }
    // As the window does once it has loaded: invalid bonds end the report with the alert that
    // names their serials, and no values are shown.
    report.windowDidLoad();
    if (!report.valid()) {
        return kExitFailure;
    }
    if (!covered) {
        io.err << "orvelt-cli: warning: the value table holds no values for " << dateText
               << ", so every value shows as $0.00; choose a month with --month. "
               << unsupportedRedemptionDateMessage(months) << '\n';
    } else if (report.bondsWithoutValue() > 0) {
        // As the window says below its table: a $0.00 here is no value, not a worthless bond.
        io.err << "orvelt-cli: note: " << report.missingValuesNote() << '\n';
    }

    if (format == OutputFormat::Csv) {
        // The heading, the bonds and the totals, without the blank rows.
        std::vector<TextRow> records;
        for (int row = 0; row < rowCount; ++row) {
            if (!report.model().isBlankRow(row)) {
                records.push_back(rows[static_cast<std::size_t>(row)]);
            }
        }
        io.out << csvText(records);
    } else {
        std::vector<Alignment> alignments;
        for (const ReportColumn& column : kReportColumns) {
            alignments.push_back(column.isAmount ? Alignment::Right : Alignment::Left);
        }
        io.out << alignedText(rows, alignments);
    }
    return kExitSuccess;
}
