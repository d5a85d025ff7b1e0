#include "cli/DataFolder.h"

#include "cli/CliError.h"
#include "platform/ControlCharacters.h"
#include "store/BondDatabase.h"

#include <cstring>
#include <system_error>

std::string quoted(const std::string& text) {
    // A name from an older file may hold an escape sequence, which must not act on a terminal.
    return "\"" + withControlCharactersReplaced(text, false) + "\"";
}

const Portfolio& portfolioNamed(Session& session, const std::string& name,
                                const std::string& outcome) {
    const Portfolio* portfolio = session.store().portfolio(name);
    if (portfolio == nullptr) {
        throw CliError(kExitFailure, "no portfolio named " + quoted(name) + " in " +
                                         session.resources().userDataDir().string() +
                                         " (orvelt-cli list shows them)" + outcome);
    }
    return *portfolio;
}

ResourceLocations locateDataFolder(const std::optional<std::filesystem::path>& dataDir) {
    if (!dataDir) {
        return ResourceLocations::forApplication();
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(*dataDir, ec)) {
        throw CliError(kExitFailure, "no data folder at " + dataDir->string());
    }
    return ResourceLocations(ResourceLocations::shippedDirBesideProgram(), *dataDir,
                             ResourceLocations::applicationCacheFolder());
}

namespace {

[[noreturn]] void refuseFolder(const ResourceLocations& locations,
                               const DataFolderLock::Refusal& refusal) {
    if (refusal.folderNotWritable) {
        throw CliError(kExitFailure, "cannot write in the data folder " +
                                         locations.userDataDir().string() + ": " +
                                         std::strerror(refusal.error));
    }
    throw CliError(kExitFolderBusy,
                   "the data folder " + locations.userDataDir().string() +
                       " is in use by Orvelt or another orvelt-cli command; nothing was "
                       "changed. Quit Orvelt (or wait for the command) and try again.");
}

} // namespace

DataFolderLock lockDataFolder(const ResourceLocations& locations) {
    DataFolderLock::Refusal refusal;
    std::optional<DataFolderLock> lock =
        DataFolderLock::tryAcquire(locations.userDataDir(), &refusal);
    if (!lock) {
        refuseFolder(locations, refusal);
    }
    return std::move(*lock);
}

void openDataFolder(Session& session, Session::Access access) {
    const Session::Opening opening = session.open(access);
    if (!opening) {
        refuseFolder(session.resources(), opening.refusal);
    }
    const BondDatabase& store = session.store();
    if (store.unreadableReason().empty()) {
        return;
    }
    std::string message = "cannot read the portfolio file " + store.filePath().string() + ": " +
                          store.unreadableReason();
    const bool usersFile =
        store.filePath() == session.resources().userPathForResource("portfolios", "plist");
    if (store.setAsidePath()) {
        message += "; it has been set aside, unchanged, as " + store.setAsidePath()->string() +
                   ", and the data folder holds no portfolios now";
    } else if (usersFile) {
        message += "; it was left where it is, untouched";
    }
    throw CliError(kExitFailure, message);
}

void savePortfolios(Session& session) {
    const SaveOutcome saved = session.save();
    if (!saved) {
        throw CliError(kExitFailure, "cannot write the portfolio file " + saved.file.string() +
                                         ": " + saved.reason + "; it was left as it was");
    }
}
