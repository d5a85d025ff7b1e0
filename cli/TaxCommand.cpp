#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "cli/HoldingOutput.h"
#include "store/BondDatabase.h"
#include "store/Portfolio.h"
#include "valuation/TaxYear.h"

namespace {

constexpr const char* kTaxSynopsis =
    "tax PORTFOLIO --year YYYY [--method cash|accrual] [--format text|csv|json]";

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
    const int year = yearOf(arguments);
    const std::optional<TaxMethod> method = methodOf(arguments);
    const OutputFormat format = outputFormat(arguments, true);

    // Read only: nothing is written.
    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Read);
    const Portfolio* portfolio = session.store().portfolio(name);
    if (portfolio == nullptr) {
        throw CliError(kExitFailure, "no portfolio named " + quoted(name) + " in " +
                                         session.resources().userDataDir().string() +
                                         " (orvelt-cli list shows them)");
    }
    if (!session.valueTableProblem().empty()) {
        throw CliError(kExitFailure, session.valueTableProblem());
    }
    const TaxYearReport report =
        computeTaxYearOfPortfolio(*portfolio, session.valueTable().get(), year, method);

    HoldingOutput output;
    output.title = "Tax year " + std::to_string(year) + " of " + quoted(name) + ", " +
                   std::string(taxMethodKeyword(report.method)) + " method";
    output.table = report.table();
    output.notes = report.noteLines();
    output.isAmountColumn = &TaxYearReport::isAmountColumn;
    output.jsonFields.insert("portfolio", QString::fromStdString(name));
    output.jsonFields.insert("year", year);
    output.jsonFields.insert(
        "method", QString::fromUtf8(taxMethodKeyword(report.method).data(),
                                    static_cast<int>(taxMethodKeyword(report.method).size())));
    printHoldingOutput(output, format, io.out);
    return kExitSuccess;
}
