#pragma once

// The user's data folder as the commands see it: where it is, and the session on it that every
// command reads and writes the portfolios through, as the application does.

#include "platform/DataFolderLock.h"
#include "platform/ResourceLocations.h"
#include "valuation/Session.h"

#include <filesystem>
#include <optional>
#include <string>

// The folder given with --data-dir (which must exist), else the application's own data folder.
// The shipped resources are those beside the program, as for the application.
ResourceLocations locateDataFolder(const std::optional<std::filesystem::path>& dataDir);

// Held by the command that writes the value table, for as long as it runs. Throws CliError
// (kExitFolderBusy) while the application or another command holds the folder.
DataFolderLock lockDataFolder(const ResourceLocations& locations);

// Opens the session on its data folder: to read (nothing is written, the shipped portfolio file
// stands in for a missing one), or to write (the folder's lock held for as long as the session
// lives). Throws CliError while another program holds the folder, and when the portfolio file
// cannot be read: the message names the file and where it was set aside, if it was.
void openDataFolder(Session& session, Session::Access access);

// Writes the session's portfolios to the user's portfolio file, atomically and private to its
// owner. Throws CliError when the write fails; the file then keeps its previous content.
void savePortfolios(Session& session);

struct Portfolio;

// The session's portfolio named `name`. Throws CliError naming the data folder when it has none
// of that name; `outcome` ("; nothing was imported") ends the message when given.
const Portfolio& portfolioNamed(Session& session, const std::string& name,
                                const std::string& outcome = {});

// "\"Family\"" with the name between quotes, as messages show names.
std::string quoted(const std::string& text);
