#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/DataFolder.h"
#include "platform/ExportTarget.h"
#include "store/BondDatabase.h"
#include "store/BondListExport.h"
#include "valuation/Session.h"

int runExportCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 3, "export PORTFOLIO FILE");
    refuseReportOptions(arguments, false);
    const std::string& name = arguments.words[1];
    const std::filesystem::path file = arguments.words[2];

    // Read only: the portfolio file is not written.
    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Read);
    const Portfolio& portfolio = portfolioNamed(session, name, "; nothing was exported");
    // Never over one of Orvelt's own files, nor anything but a regular file.
    if (const std::string refusal = writeTargetRefusal(file, session.resources());
        !refusal.empty()) {
        throw CliError(kExitFailure, refusal + " Nothing was exported.");
    }
    std::string error;
    if (!writeExportFile(file, bondListText(portfolio.bonds), session.resources(), &error)) {
        throw CliError(kExitFailure,
                       "cannot write " + file.string() + ": " + error + "; nothing was exported");
    }
    const std::size_t count = portfolio.bonds.size();
    io.out << "Exported " << count << (count == 1 ? " bond" : " bonds") << " of " << quoted(name)
           << " to " << file.string() << "\n";
    return kExitSuccess;
}
