#pragma once

// The user's data folder, $XDG_DATA_HOME/orvelt (~/.local/share/orvelt), and the move of the
// folder that earlier versions used, $XDG_DATA_HOME/Orvelt/Orvelt, to it. Both programs make the
// move at start, before they read or lock anything in the folder.

#include <filesystem>
#include <string>

// Where the programs keep the user's data; the folder may not exist yet. The path is built from
// the environment's bytes as they are, so that a home folder whose name is not UTF-8 is still
// the home folder.
std::filesystem::path applicationDataFolder();
// Where earlier versions kept it.
std::filesystem::path oldApplicationDataFolder();

struct DataFolderMove {
    enum class Outcome {
        NothingToMove, // no old folder, or the new path already leads to it
        Moved,         // the old folder is now the data folder
        BothPresent,   // both exist: nothing was moved
        InUse,         // a running program holds the old folder's lock: nothing was moved
        Failed,        // the old folder could not be moved; it is left as it was
    };
    Outcome outcome = Outcome::NothingToMove;
    // What the user should be told, empty when there is nothing to say.
    std::string notice;

    // The user's data is still only in the old folder, which the programs do not use: they must
    // not start on the new one, which would be empty, and instead tell the notice.
    bool stopsStart() const { return outcome == Outcome::InUse || outcome == Outcome::Failed; }
};

// Moves `oldDir` to `newDir` when only the old folder exists (an empty new folder counts as
// none), holding the old folder's lock while it does, and never while a running program holds
// that lock. A folder that is a symbolic link stays where it is: the new path becomes a link to
// the folder it leads to. Existing files are never copied over or merged: when `newDir` holds
// something else, nothing moves and the notice says where each folder is. An old parent folder
// left empty by the move is removed.
DataFolderMove moveOldDataFolder(const std::filesystem::path& oldDir,
                                 const std::filesystem::path& newDir);

// The same for the programs' own folders.
DataFolderMove moveOldApplicationDataFolder();
