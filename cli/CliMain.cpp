#include "cli/CliMain.h"

#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ConsoleToolkitServices.h"
#include "platform/DataFolderMove.h"

#include <exception>

const char* const kCliUsage =
    "Usage: orvelt-cli [--data-dir DIR] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  list [--format text|csv]\n"
    "      The portfolios, with their number of bonds.\n"
    "  report PORTFOLIO [--month YYYY-MM] [--details] [--format text|csv|json]\n"
    "      The value report of the portfolio for the redemption month (default: the current\n"
    "      month, or the latest month the value table holds when it lacks the current one);\n"
    "      months after the table's last, up to 30 years on, are projected (marked ~).\n"
    "      Bonds with an invalid issue date are listed, without a value and in no total;\n"
    "      their serials are named on standard error and the exit status is 1.\n"
    "  report --all [--month YYYY-MM] [--format text|csv|json]\n"
    "      Every portfolio together: its bonds, face value total and value total, the bonds\n"
    "      each total leaves out (without a value, not issued yet, cashed), and the grand total.\n"
    "  tax PORTFOLIO --year YYYY [--method cash|accrual] [--format text|csv|json]\n"
    "      The interest of the portfolio's bonds for a calendar year: earned in the year,\n"
    "      reportable under the cash method (default: the portfolio's own method) or the\n"
    "      accrual method, the Form 1099-INT amount of each bond cashed in it, and whether a\n"
    "      bond can qualify for the education exclusion. Orvelt gives no tax advice.\n"
    "      Figures of a year after the value table's last month are projected (marked ~).\n"
    "  tax PORTFOLIO --schedule [--year YYYY] [--method cash|accrual] [--format text|csv|json]\n"
    "      The interest that becomes reportable in each year from YYYY (default: the year of\n"
    "      the report's month) if every bond held is kept to final maturity; information, not\n"
    "      advice.\n"
    "  set PORTFOLIO [--tax-method cash|accrual] [--owner-birth-month YYYY-MM|none]\n"
    "      [--default-owner NAME | --no-default-owner]\n"
    "      Keeps the owner's details with the portfolio: how the owner reports bond interest\n"
    "      (the tax command's method when --method is not given), the owner's birth month\n"
    "      (the education exclusion needs it), and the owner new bonds are entered with.\n"
    "  estate (PORTFOLIO | --all) --month YYYY-MM [--format text|csv|json]\n"
    "      Every bond held at the month (of one portfolio or of all) with its registration,\n"
    "      where it is kept, its redemption value and interest then, the totals, and whether\n"
    "      they are within the $100000.00 limit for settling without administration.\n"
    "  import PORTFOLIO FILE\n"
    "      Adds the bonds of a bond list exported by Orvelt for Windows to the portfolio and\n"
    "      saves it.\n"
    "  export PORTFOLIO FILE\n"
    "      Writes the portfolio's bond list as Orvelt for Windows exports it, with electronic\n"
    "      bonds, owners, second names, where each is kept and notes in further columns\n"
    "      that import reads back.\n"
    "  values import FILE...\n"
    "      Merges Treasury savings bond value files into your copy of the value table.\n"
    "  values sources\n"
    "      The months the value table holds, and which hold the Treasury's official values\n"
    "      and which are computed from its published rates and rules.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR   work on the data folder DIR instead of Orvelt's own\n"
    "  --month YYYY-MM  the redemption month of the report or the estate, e.g. 2009-06\n"
    "  --year YYYY      the calendar year of the tax command\n"
    "  --method METHOD  cash or accrual, how the tax command reports interest\n"
    "  --schedule       the tax command's interest reportable in each coming year\n"
    "  --tax-method METHOD, --owner-birth-month YYYY-MM|none, --default-owner NAME,\n"
    "  --no-default-owner\n"
    "                   the portfolio details the set command keeps\n"
    "  --all            every portfolio together (report, estate)\n"
    "  --details        add issue price, interest, yield, interest rate, next accrual,\n"
    "                   final maturity and status, and the kind, owner, second name,\n"
    "                   place kept and note where a bond holds them\n"
    "  --format FORMAT  text (columns aligned), csv (RFC 4180) or json (report, tax, estate)\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "The commands that write (import, set, values import) refuse while Orvelt or another of these\n"
    "commands uses the data folder. Exit status: 0 success, 1 failure, 2 bad command line,\n"
    "3 data folder in use, 4 saved but standard output could not be written.\n"
    "See orvelt-cli(1).\n";

namespace {

int dispatch(const CliArguments& arguments, CommandIo& io) {
    const std::string& command = arguments.words.front();
    if (command != "set" && arguments.setsDetails()) {
        throw CliError(kExitUsage, "options --tax-method, --owner-birth-month, --default-owner and "
                                   "--no-default-owner are for the set command, not " +
                                       command);
    }
    if (command == "list") {
        return runListCommand(arguments, io);
    }
    if (command == "report") {
        return runReportCommand(arguments, io);
    }
    if (command == "tax") {
        return runTaxCommand(arguments, io);
    }
    if (command == "estate") {
        return runEstateCommand(arguments, io);
    }
    if (command == "set") {
        return runSetCommand(arguments, io);
    }
    if (command == "import") {
        return runImportCommand(arguments, io);
    }
    if (command == "export") {
        return runExportCommand(arguments, io);
    }
    if (command == "values") {
        return runValuesImportCommand(arguments, io);
    }
    if (command == "help") {
        io.out << kCliUsage;
        return kExitSuccess;
    }
    throw CliError(kExitUsage, "unknown command \"" + command + "\" (see orvelt-cli --help)");
}

} // namespace

int runCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    ConsoleToolkitServices services(err);
    CommandIo io{out, err, services, {}};
    int status = kExitSuccess;
    try {
        const CliArguments parsed = parseCliArguments(arguments);
        if (parsed.help) {
            out << kCliUsage;
        } else if (parsed.version) {
            out << "orvelt-cli " ORVELT_VERSION "\n";
        } else if (parsed.words.empty()) {
            throw CliError(kExitUsage, "no command given (see orvelt-cli --help)");
        } else {
            if (!parsed.dataDir) {
                // The folder of earlier versions is brought to its new place first.
                const DataFolderMove move = moveOldApplicationDataFolder();
                if (move.stopsStart()) {
                    throw CliError(move.outcome == DataFolderMove::Outcome::InUse ? kExitFolderBusy
                                                                                  : kExitFailure,
                                   move.notice);
                }
                if (!move.notice.empty()) {
                    err << "orvelt-cli: note: " << move.notice << '\n';
                }
            }
            status = dispatch(parsed, io);
        }
    } catch (const CliError& error) {
        err << "orvelt-cli: " << error.what() << '\n';
        status = error.status();
    } catch (const std::exception& error) {
        err << "orvelt-cli: unexpected failure: " << error.what() << '\n';
        status = kExitFailure;
    }
    out.flush();
    if (!out) {
        if (io.saved.empty()) {
            err << "orvelt-cli: cannot write to standard output\n";
            return status == kExitSuccess ? kExitFailure : status;
        }
        err << "orvelt-cli: " << io.saved
            << "; only its report could not be written to standard output\n";
        return status == kExitSuccess ? kExitSavedButOutputFailed : status;
    }
    return status;
}
