#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "cli/HoldingOutput.h"
#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "store/PortfolioDetails.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ReportableSchedule.h"
#include "valuation/TaxYear.h"

namespace {

constexpr const char* kTaxSynopsis =
    "tax PORTFOLIO (--year YYYY | --schedule [--year YYYY]) [--method cash|accrual] "
    "[--format text|csv|json]";

int yearOf(const CliArguments& arguments) {
    if (!arguments.year) {
        throw CliError(kExitUsage, std::string("the tax command needs --year YYYY (usage: ") +
                                       kTaxSynopsis + ")");
    }
    const std::optional<int> year = fourDigitYear(*arguments.year);
    if (!year) {
        throw CliError(kExitUsage,
                       "bad year \"" + *arguments.year + "\": give it as four digits, e.g. 2025");
    }
    return *year;
}

std::optional<TaxMethod> methodOf(const CliArguments& arguments) {
    if (!arguments.method) {
        return std::nullopt;
    }
    const std::optional<TaxMethod> method = taxMethodOfKeyword(*arguments.method);
    if (!method) {
        throw CliError(kExitUsage,
                       "bad method \"" + *arguments.method + "\": give cash or accrual");
    }
    return method;
}

} // namespace

int runTaxCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 2, kTaxSynopsis);
    if (arguments.month || arguments.details || arguments.all) {
        throw CliError(kExitUsage, std::string("option ") +
                                       (arguments.month ? "--month"
                                        : arguments.all ? "--all"
                                                        : "--details") +
                                       " is not for the tax command");
    }
    const std::string& name = arguments.words[1];
    // The schedule's first year may be left out; a tax year may not.
    const int year = arguments.schedule && !arguments.year ? 0 : yearOf(arguments);
    const std::optional<TaxMethod> method = methodOf(arguments);
    const OutputFormat format = outputFormat(arguments, true);

    // Read only: nothing is written.
    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Read);
    const Portfolio& portfolio = portfolioNamed(session, name);
    if (!session.valueTableProblem().empty()) {
        throw CliError(kExitFailure, session.valueTableProblem());
    }
    const TaxMethod chosen = method.value_or(portfolioDetailsOf(portfolio).effectiveTaxMethod());
    HoldingOutput output;
    output.jsonFields.insert("portfolio", QString::fromStdString(name));
    output.jsonFields.insert("method",
                             QString::fromUtf8(taxMethodKeyword(chosen).data(),
                                               static_cast<int>(taxMethodKeyword(chosen).size())));
    if (arguments.schedule) {
        // From the year given, else the year of the month the report starts at.
        const int from =
            arguments.year
                ? year
                : session.startRedemptionMonth(currentRedemptionMonth(), std::nullopt)->month.year;
        const ReportableSchedule schedule = computeReportableSchedule(
            portfolio.bonds, name, session.valueTable().get(), from, chosen);
        output.title = "Interest reportable each year from " + std::to_string(from) + " of " +
                       quoted(name) + " if every bond held is kept to final maturity, " +
                       std::string(taxMethodKeyword(chosen)) + " method";
        output.table = schedule.table();
        output.notes = schedule.noteLines();
        output.isAmountColumn = &ReportableSchedule::isAmountColumn;
        output.jsonFields.insert("fromYear", from);
        output.jsonRowsKey = QStringLiteral("years");
        if (schedule.projected()) {
            output.jsonFields.insert("projected", true);
        }
        printHoldingOutput(output, format, io.out);
        return kExitSuccess;
    }
    const TaxYearReport report =
        computeTaxYearOfPortfolio(portfolio, session.valueTable().get(), year, method);
    output.title = "Tax year " + std::to_string(year) + " of " + quoted(name) + ", " +
                   std::string(taxMethodKeyword(report.method)) + " method";
    output.table = report.table();
    output.notes = report.noteLines();
    output.isAmountColumn = &TaxYearReport::isAmountColumn;
    output.jsonFields.insert("year", year);
    if (report.projected()) {
        output.jsonFields.insert("projected", true);
    }
    printHoldingOutput(output, format, io.out);
    return kExitSuccess;
}
