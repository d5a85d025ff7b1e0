#include "platform/DataFolderMove.h"

#include <QStandardPaths>
#include <system_error>

namespace {

std::filesystem::path dataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
}

} // namespace

std::filesystem::path applicationDataFolder() {
    return dataHome() / "orvelt";
}

std::filesystem::path oldApplicationDataFolder() {
    return dataHome() / "Orvelt" / "Orvelt";
}

DataFolderMove moveOldDataFolder(const std::filesystem::path& oldDir,
                                 const std::filesystem::path& newDir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(oldDir, ec)) {
        return {};
    }
    if (std::filesystem::exists(std::filesystem::symlink_status(newDir, ec))) {
        return {DataFolderMove::Outcome::BothPresent,
                "Orvelt keeps your data in " + newDir.string() +
                    ". The folder that earlier versions used, " + oldDir.string() +
                    ", is still there and was not moved, so that nothing in either is "
                    "overwritten. Copy what you still need from it while Orvelt is not running, "
                    "then delete it."};
    }
    // One rename on the same file system: the folder is moved whole or not at all. rename(2)
    // refuses a target that has gained files in the meantime.
    std::filesystem::create_directories(newDir.parent_path(), ec);
    std::filesystem::rename(oldDir, newDir, ec);
    if (ec) {
        return {DataFolderMove::Outcome::Failed,
                "Orvelt could not move your data from " + oldDir.string() + " to " +
                    newDir.string() + ": " + ec.message() +
                    ". The old folder was left as it was; move it there yourself while Orvelt "
                    "is not running."};
    }
    std::filesystem::remove(oldDir.parent_path(), ec); // only when it is left empty
    return {DataFolderMove::Outcome::Moved, {}};
}

DataFolderMove moveOldApplicationDataFolder() {
    return moveOldDataFolder(oldApplicationDataFolder(), applicationDataFolder());
}
