#include "cli/DataFolder.h"

#include "cli/CliError.h"
#include "platform/ControlCharacters.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

constexpr std::string_view kPortfoliosResource = "portfolios";
constexpr std::string_view kPlistType = "plist";

} // namespace

std::string quoted(const std::string& text) {
    // A name from an older file may hold an escape sequence, which must not act on a terminal.
    return "\"" + withControlCharactersReplaced(text, false) + "\"";
}

ResourceLocations locateDataFolder(const std::optional<std::filesystem::path>& dataDir) {
    if (!dataDir) {
        return ResourceLocations::forApplication();
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(*dataDir, ec)) {
        throw CliError(kExitFailure, "no data folder at " + dataDir->string());
    }
    return ResourceLocations(ResourceLocations::shippedDirBesideProgram(), *dataDir);
}

DataFolderLock lockDataFolder(const ResourceLocations& locations) {
    DataFolderLock::Refusal refusal;
    std::optional<DataFolderLock> lock =
        DataFolderLock::tryAcquire(locations.userDataDir(), &refusal);
    if (lock) {
        return std::move(*lock);
    }
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

namespace {

PlistDictRef readPortfolioDictionary(const ResourceLocations& locations) {
    std::error_code ec;
    std::filesystem::path path = locations.userPathForResource(kPortfoliosResource, kPlistType);
    // A link that leads nowhere is the user's file too, an unreadable one: the shipped file
    // must not stand in for it.
    if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::not_found) {
        path = locations.shippedDir() / "portfolios.plist";
        if (locations.shippedDir().empty() || !std::filesystem::exists(path, ec)) {
            return PlistDict::create();
        }
    }
    std::string error;
    PlistDictRef portfolios =
        readPropertyListDictionary(path, "its root is not a dictionary", &error);
    if (!portfolios) {
        throw CliError(kExitFailure,
                       "cannot read the portfolio file " + path.string() + ": " + error);
    }
    return portfolios;
}

} // namespace

std::unique_ptr<BondDatabase> readPortfolios(const ResourceLocations& locations) {
    return BondDatabase::fromPropertyList(std::move(*readPortfolioDictionary(locations)));
}

std::vector<PortfolioBondCount> readPortfolioBondCounts(const ResourceLocations& locations) {
    std::vector<PortfolioBondCount> counts;
    const PlistDictRef portfolios = readPortfolioDictionary(locations);
    for (const auto& [name, record] : portfolios->entries()) {
        const PlistDict* fields = record.dictPtr();
        const PlistValue* list = fields != nullptr ? fields->find(kPortfolioBondsKey) : nullptr;
        const PlistArray* bonds = list != nullptr ? list->arrayPtr() : nullptr;
        counts.push_back({name, bonds != nullptr ? bonds->size() : 0});
    }
    return counts;
}

void writePortfolios(const ResourceLocations& locations, const BondDatabase& portfolios) {
    const std::filesystem::path path =
        locations.userPathForResource(kPortfoliosResource, kPlistType);
    std::string error;
    if (!writePropertyList(path, PlistValue(portfolios.toPropertyList()), &error)) {
        throw CliError(kExitFailure, "cannot write the portfolio file " + path.string() + ": " +
                                         error + "; it was left as it was");
    }
}
