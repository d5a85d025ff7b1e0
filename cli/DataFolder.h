#pragma once

// The user's data folder as the commands see it: where it is, the lock a writing command holds
// on it, and the portfolio file read and written whole.

#include "platform/DataFolderLock.h"
#include "platform/ResourceLocations.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BondDatabase;

// The folder given with --data-dir (which must exist), else the application's own data folder.
// The shipped resources are those beside the program, as for the application.
ResourceLocations locateDataFolder(const std::optional<std::filesystem::path>& dataDir);

// Held by every command that writes, for as long as it runs. Throws CliError (kExitFolderBusy)
// while the application or another command holds the folder.
DataFolderLock lockDataFolder(const ResourceLocations& locations);

// The portfolio database: the user's file, else the shipped one, else no portfolios at all.
// Reading never creates or changes a file. Throws CliError when a file is there but is not a
// portfolio file. The store is saved to no file: writePortfolios writes it.
std::unique_ptr<BondDatabase> readPortfolios(const ResourceLocations& locations);

// Each portfolio's name and the number of entries in its bond list (0 for a record without
// one), in the file's order, read as readPortfolios reads.
struct PortfolioBondCount {
    std::string name;
    std::size_t bonds = 0;
};
std::vector<PortfolioBondCount> readPortfolioBondCounts(const ResourceLocations& locations);

// Writes the database to the user's portfolio file, atomically and private to its owner.
// Throws CliError when the write fails; the file then keeps its previous content.
void writePortfolios(const ResourceLocations& locations, const BondDatabase& portfolios);

// "\"Family\"" with the name between quotes, as messages show names.
std::string quoted(const std::string& text);
