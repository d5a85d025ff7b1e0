#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "store/BondDatabase.h"
#include "store/PortfolioDetailsCommand.h"
#include "valuation/RememberedMonth.h"

namespace {

constexpr const char* kSetSynopsis =
    "set PORTFOLIO [--tax-method cash|accrual] [--owner-birth-month YYYY-MM|none] "
    "[--default-owner NAME | --no-default-owner]";

// The details the command line asks for, over those the portfolio holds. Throws CliError
// (kExitUsage) for a value that is not one.
PortfolioDetails askedDetails(const CliArguments& arguments, PortfolioDetails details) {
    if (arguments.taxMethod) {
        details.taxMethod = taxMethodOfKeyword(*arguments.taxMethod);
        if (!details.taxMethod) {
            throw CliError(kExitUsage,
                           "bad tax method \"" + *arguments.taxMethod + "\": give cash or accrual");
        }
    }
    if (arguments.ownerBirthMonth) {
        const std::string& text = *arguments.ownerBirthMonth;
        details.ownerBirthMonth =
            text == "none" ? std::nullopt : YearMonth::fromKeyText(*arguments.ownerBirthMonth);
        if (text != "none" && !details.ownerBirthMonth) {
            throw CliError(kExitUsage, "bad birth month \"" + text +
                                           "\": give it as YYYY-MM, for example 1961-04, or none");
        }
        if (details.ownerBirthMonth && *details.ownerBirthMonth > currentRedemptionMonth()) {
            throw CliError(kExitUsage, "bad birth month \"" + text + "\": it is after this month");
        }
    }
    if (arguments.defaultOwner && arguments.noDefaultOwner) {
        throw CliError(kExitUsage, "give --default-owner or --no-default-owner, not both");
    }
    if (arguments.defaultOwner) {
        details.defaultOwner = *arguments.defaultOwner;
    }
    if (arguments.noDefaultOwner) {
        details.defaultOwner.clear();
    }
    return details;
}

void printDetails(std::ostream& out, const std::string& name, const PortfolioDetails& details) {
    out << "Portfolio " << quoted(name) << ":\n"
        << "  default owner: " << (details.defaultOwner.empty() ? "none" : details.defaultOwner)
        << "\n  owner's birth month: "
        << (details.ownerBirthMonth ? details.ownerBirthMonth->name() : std::string("not given"))
        << "\n  tax method: " << taxMethodKeyword(details.effectiveTaxMethod())
        << (details.taxMethod ? "" : " (never chosen)") << '\n';
}

} // namespace

int runSetCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 2, kSetSynopsis);
    refuseReportOptions(arguments, false);
    if (!arguments.setsDetails()) {
        throw CliError(kExitUsage, std::string("nothing to set (usage: ") + kSetSynopsis + ")");
    }
    const std::string& name = arguments.words[1];

    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Write);
    BondDatabase& database = session.store();
    const Portfolio& portfolio = portfolioNamed(session, name, "; nothing was changed");
    const PortfolioDetails before = portfolioDetailsOf(portfolio);
    const PortfolioDetails after = askedDetails(arguments, before);
    if (const StoreOutcome checked = database.checkPortfolioDetails(name, after); !checked) {
        throw CliError(kExitFailure, checked.message + " Nothing was changed.");
    }
    if (after != before) {
        // The application's own command: one change, saved once.
        SetPortfolioDetailsCommand set(database, name, before, after,
                                       [&session] { savePortfolios(session); });
        set.redo();
        io.saved = "the details of " + quoted(name) + " were saved";
    }
    printDetails(io.out, name, after);
    return kExitSuccess;
}
