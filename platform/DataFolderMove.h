#pragma once

// The user's data folder, $XDG_DATA_HOME/orvelt (~/.local/share/orvelt), and the move of the
// folder that earlier versions used, $XDG_DATA_HOME/Orvelt/Orvelt, to it. Both programs make the
// move at start, before they read or lock anything in the folder.

#include <filesystem>
#include <string>

// Where the programs keep the user's data; the folder may not exist yet.
std::filesystem::path applicationDataFolder();
// Where earlier versions kept it.
std::filesystem::path oldApplicationDataFolder();

struct DataFolderMove {
    enum class Outcome {
        NothingToMove, // no old folder
        Moved,         // the old folder is now the data folder
        BothPresent,   // both exist: nothing was moved
        Failed,        // the old folder could not be renamed; it is left as it was
    };
    Outcome outcome = Outcome::NothingToMove;
    // What the user should be told, empty when there is nothing to say.
    std::string notice;
};

// Renames `oldDir` to `newDir` in one step when only the old folder exists. Existing files are
// never copied over or merged: when `newDir` exists too, nothing moves and the notice says where
// each folder is. An old parent folder left empty by the move is removed.
DataFolderMove moveOldDataFolder(const std::filesystem::path& oldDir,
                                 const std::filesystem::path& newDir);

// The same for the programs' own folders.
DataFolderMove moveOldApplicationDataFolder();
