#include "platform/DataFolderMove.h"

#include "platform/DataFolderLock.h"

#include <QStandardPaths>
#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share, as Qt finds it, but from the
// environment's bytes: Qt decodes them as UTF-8 and would name another folder.
fs::path dataHome() {
    if (QStandardPaths::isTestModeEnabled()) {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    }
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry != nullptr ? entry->pw_dir : "/";
    }
    return fs::path(home) / ".local" / "share";
}

// Whether `inner` is `outer` or lies inside it; both resolved.
bool isWithin(const fs::path& inner, const fs::path& outer) {
    auto o = outer.begin();
    for (auto i = inner.begin(); o != outer.end(); ++i, ++o) {
        if (i == inner.end() || *i != *o) {
            return false;
        }
    }
    return true;
}

bool isEmptyFolder(const fs::path& dir) {
    std::error_code ec;
    return !fs::is_symlink(fs::symlink_status(dir, ec)) && fs::is_directory(dir, ec) &&
           fs::is_empty(dir, ec) && !ec;
}

// What the user can do depends on why the move failed: a folder that cannot be written can be
// made writable; a folder on another file system cannot be renamed at all.
std::string_view adviceFor(std::errc reason) {
    switch (reason) {
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
    case std::errc::read_only_file_system:
        return "Make the old folder and the folder that holds it writable, or move it there "
               "yourself while Orvelt is not running, then start Orvelt again.";
    case std::errc::cross_device_link:
        return "The two folders are on different file systems, so Orvelt cannot move it in one "
               "step. Move it there yourself (copy it, then delete the old folder) while Orvelt "
               "is not running, then start Orvelt again.";
    default:
        return "Move it there yourself while Orvelt is not running, then start Orvelt again.";
    }
}

DataFolderMove failed(const fs::path& oldDir, const fs::path& newDir, std::error_code reason) {
    return {DataFolderMove::Outcome::Failed,
            "Orvelt could not move your data from " + oldDir.string() + " to " + newDir.string() +
                ": " + reason.message() + ". Nothing was changed. " +
                std::string(adviceFor(static_cast<std::errc>(reason.value())))};
}

} // namespace

fs::path applicationDataFolder() {
    return dataHome() / "orvelt";
}

fs::path oldApplicationDataFolder() {
    return dataHome() / "Orvelt" / "Orvelt";
}

DataFolderMove moveOldDataFolder(const fs::path& oldDir, const fs::path& newDir) {
    std::error_code ec;
    if (!fs::is_directory(oldDir, ec)) {
        return {};
    }
    const fs::path oldReal = fs::canonical(oldDir, ec);
    if (ec) {
        return failed(oldDir, newDir, ec);
    }
    if (fs::exists(fs::symlink_status(newDir, ec))) {
        const fs::path newReal = fs::weakly_canonical(newDir, ec);
        // The new path already leads to the data: there is nothing to move, nor to delete.
        if (!ec && isWithin(oldReal, newReal)) {
            return {};
        }
        // What an earlier failed move left behind holds nothing to keep.
        if (!isEmptyFolder(newDir) || !fs::remove(newDir, ec)) {
            const bool reachable = !ec && isWithin(newReal, oldReal);
            return {DataFolderMove::Outcome::BothPresent,
                    "Orvelt keeps your data in " + newDir.string() +
                        ". The folder that earlier versions used, " + oldDir.string() +
                        ", is still there and was not moved, so that nothing in either is "
                        "overwritten." +
                        (reachable ? " The new folder lies inside the old one: keep both."
                                   : " Copy what you still need from it while Orvelt is not "
                                     "running, then delete it.")};
        }
    }
    // A running earlier version keeps saving into its folder: it must not be moved away from it.
    DataFolderLock::Refusal refusal;
    const std::optional<DataFolderLock> lock = DataFolderLock::tryAcquire(oldReal, &refusal);
    if (!lock) {
        if (refusal.folderNotWritable) {
            return failed(oldDir, newDir, std::error_code(refusal.error, std::generic_category()));
        }
        return {DataFolderMove::Outcome::InUse,
                "Your data in " + oldDir.string() +
                    " is in use by a running Orvelt, so it was not moved to " + newDir.string() +
                    ". Quit that Orvelt, then start again."};
    }
    fs::create_directories(newDir.parent_path(), ec);
    if (fs::is_symlink(fs::symlink_status(oldDir, ec))) {
        // The data stays where the link leads; a relative link would lead nowhere once moved.
        fs::create_directory_symlink(oldReal, newDir, ec);
        if (!ec) {
            fs::remove(oldDir, ec);
        }
    } else {
        // One rename on the same file system: the folder is moved whole or not at all.
        // rename(2) refuses a target that has gained files in the meantime.
        fs::rename(oldDir, newDir, ec);
    }
    if (ec) {
        return failed(oldDir, newDir, ec);
    }
    fs::remove(oldDir.parent_path(), ec); // only when it is left empty
    return {DataFolderMove::Outcome::Moved, {}};
}

DataFolderMove moveOldApplicationDataFolder() {
    return moveOldDataFolder(oldApplicationDataFolder(), applicationDataFolder());
}
