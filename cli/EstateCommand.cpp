#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "cli/HoldingOutput.h"
#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "valuation/EstateListing.h"
#include "valuation/Projection.h"
#include "valuation/ValueTableMonths.h"

namespace {

constexpr const char* kEstateSynopsis =
    "estate (PORTFOLIO | --all) --month YYYY-MM [--format text|csv|json]";

} // namespace

int runEstateCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, arguments.all ? 1 : 2, kEstateSynopsis);
    refuseTaxAndEstateOptions(arguments);
    if (arguments.details) {
        throw CliError(kExitUsage, "option --details is not for the estate command");
    }
    if (!arguments.month) {
        throw CliError(kExitUsage,
                       std::string("the estate command needs --month YYYY-MM (usage: ") +
                           kEstateSynopsis + ")");
    }
    const YearMonth month = parseRedemptionMonth(*arguments.month);
    const OutputFormat format = outputFormat(arguments, true);

    // Read only: nothing is written.
    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Read);
    std::vector<PortfolioBondList> lists;
    if (arguments.all) {
        for (const Portfolio& portfolio : session.store().portfolios()) {
            lists.push_back({portfolio.name, &portfolio.bonds});
        }
    } else {
        const Portfolio& portfolio = portfolioNamed(session, arguments.words[1]);
        lists.push_back({portfolio.name, &portfolio.bonds});
    }
    if (!session.valueTableProblem().empty()) {
        throw CliError(kExitFailure, session.valueTableProblem());
    }
    const ValueTable* table = session.valueTable().get();
    const std::string title = arguments.all ? "all portfolios" : quoted(arguments.words[1]);
    const EstateListing listing = computeEstateListing(lists, title, arguments.all, table, month);
    const std::vector<RedemptionMonth> months = redemptionMonthsInTable(table);
    if (!holdsRedemptionMonth(months, month.year, month.month) &&
        (table == nullptr || !isProjectedMonth(*table, month))) {
        io.err << "orvelt-cli: note: the value table holds no values for " << month.keyText()
               << ", so every value is not known\n";
    }

    HoldingOutput output;
    output.title = "Estate listing of " + title + " at " + month.name();
    output.table = listing.table();
    output.notes = listing.noteLines();
    output.isAmountColumn = [all = arguments.all](std::size_t column) {
        return EstateListing::isAmountColumn(column, all);
    };
    if (!arguments.all) {
        output.jsonFields.insert("portfolio", QString::fromStdString(arguments.words[1]));
    }
    output.jsonFields.insert("month", QString::fromStdString(month.keyText()));
    if (listing.value.projected) {
        output.jsonFields.insert("projected", true);
    }
    printHoldingOutput(output, format, io.out);
    return kExitSuccess;
}
