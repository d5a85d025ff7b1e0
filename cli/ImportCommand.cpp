#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/ConsoleToolkitServices.h"
#include "cli/DataFolder.h"
#include "entry/BondChoiceLists.h"
#include "entry/ImportedBondNotes.h"
#include "platform/RegularFile.h"
#include "store/BondCommands.h"
#include "store/BondDatabase.h"
#include "store/BondListImport.h"
#include "store/BondRecord.h"
#include "valuation/RememberedMonth.h"
#include "valuation/TableText.h"
#include "valuation/ValueTable.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

namespace {

std::string readBondListFile(const std::filesystem::path& path) {
    std::string bytes;
    int error = 0;
    switch (readRegularFile(path, kMaxBondListFileBytes, bytes, &error)) {
    case RegularFileRead::Read:
        return bytes;
    case RegularFileRead::CannotOpen:
        throw CliError(kExitFailure, "cannot read " + path.string() + ": " +
                                         (error == ENOENT ? "no such file" : std::strerror(error)));
    case RegularFileRead::NotRegular:
        throw CliError(kExitFailure, "cannot read " + path.string() + ": not a regular file");
    case RegularFileRead::TooLarge:
        throw CliError(kExitFailure, path.string() + " is too large to be a bond list exported "
                                                     "from Orvelt for Windows");
    case RegularFileRead::Failed:
        break;
    }
    throw CliError(kExitFailure, "cannot read " + path.string() + ": " + std::strerror(error));
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The first added bonds, one line each, then how many more there are.
void printAddedBonds(std::ostream& out, const std::vector<Bond>& bonds) {
    std::vector<TextRow> rows;
    const std::size_t named = std::min(bonds.size(), kMaxBondsNamedAfterImport);
    for (std::size_t i = 0; i < named; ++i) {
        const Bond& bond = bonds[i];
        rows.push_back(
            {bond.serial, bond.type, "$" + bond.faceValue, bond.issueMonth + " " + bond.issueYear});
    }
    std::istringstream lines(alignedText(rows, {}));
    for (std::string line; std::getline(lines, line);) {
        out << "  " << line << '\n';
    }
    if (bonds.size() > named) {
        out << "  and " << bonds.size() - named << " more\n";
    }
}

} // namespace

int runImportCommand(const CliArguments& arguments, CommandIo& io) {
    expectOperandCount(arguments, 3, "import PORTFOLIO FILE");
    refuseReportOptions(arguments, false);
    const std::string& name = arguments.words[1];
    const std::filesystem::path file = arguments.words[2];

    Session session(locateDataFolder(arguments.dataDir));
    openDataFolder(session, Session::Access::Write);
    BondDatabase& database = session.store();
    portfolioNamed(session, name, "; nothing was imported");
    const std::string text = readBondListFile(file);
    const ImportReport report =
        readBondListText(database, name, text, BondChoiceLists().faceValues());
    if (report.outcome == ImportReport::Outcome::InvalidFile) {
        throw CliError(kExitFailure, file.string() +
                                         " is not a bond list exported from Orvelt for Windows "
                                         "(its header line is missing); nothing was imported");
    }
    if (report.outcome == ImportReport::Outcome::TooManyBonds) {
        throw CliError(kExitFailure,
                       "cannot import " + file.string() + ": " + tooManyBondsMessage(report));
    }
    if (report.outcome == ImportReport::Outcome::Refused) {
        throw CliError(kExitFailure, "cannot import " + file.string() + ": " + report.refusal);
    }
    if (report.outcome != ImportReport::Outcome::Imported) {
        throw CliError(kExitFailure, "cannot import " + file.string() + "; nothing was imported");
    }
    if (report.added > 0) {
        // The application's own import: one command adds the bonds and saves once.
        AddBondsCommand import(database, name, report.bonds, "Import Bonds",
                               [&session] { savePortfolios(session); });
        import.redo();
        io.saved = "the import of " + plural(report.added, "bond", "bonds") + " into " +
                   quoted(name) + " was saved";
    }

    io.out << "Added " << plural(report.added, "bond", "bonds") << " to " << quoted(name)
           << " from " << file.string() << (report.added > 0 ? ":" : ".") << '\n';
    printAddedBonds(io.out, report.bonds);
    // Checked as the report values them by default.
    const RedemptionMonth month =
        session.startRedemptionMonth(currentRedemptionMonth(), std::nullopt)->month;
    if (const std::string note = importedBondsNote(report.bonds, session.valueTable().get(), month);
        !note.empty()) {
        io.err << "orvelt-cli: note: " << note << '\n';
    }
    if (report.skippedDuplicates > 0) {
        io.out << "Passed over " << plural(report.skippedDuplicates, "row", "rows")
               << (report.skippedDuplicates == 1 ? " whose serial is" : " whose serials are")
               << " already in " << quoted(name) << ".\n";
    }
    if (report.skippedLineCount > 0) {
        io.out << "Passed over " << plural(report.skippedLineCount, "line", "lines")
               << " that could not be read:\n";
        for (const SkippedLine& line : report.skipped) {
            io.out << "  line " << line.lineNumber << ": " << line.reason << '\n';
        }
        if (report.skippedLineCount > report.skipped.size()) {
            io.out << "  and " << report.skippedLineCount - report.skipped.size() << " more\n";
        }
        io.err << "orvelt-cli: " << plural(report.skippedLineCount, "line", "lines") << " of "
               << file.string() << " could not be read and "
               << (report.skippedLineCount == 1 ? "was" : "were") << " passed over"
               << (report.added > 0 ? "; the other bonds were added and saved" : "") << '\n';
        return kExitFailure;
    }
    return kExitSuccess;
}
