#include "platform/ExportTarget.h"

#include "platform/AtomicFile.h"
#include "platform/DataFolderLock.h"
#include "platform/ResourceLocations.h"
#include "platform/Settings.h"
#include "platform/ToolkitServices.h"

#include <optional>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct OwnFile {
    fs::path path;
    std::string_view what;
};

std::vector<OwnFile> ownFiles(const ResourceLocations& resources) {
    std::vector<OwnFile> files;
    for (const fs::path& folder : {resources.userDataDir(), resources.shippedDir()}) {
        if (folder.empty()) {
            continue;
        }
        files.push_back(
            {folder / "portfolios.plist", "the file where Orvelt keeps your portfolios"});
        files.push_back(
            {folder / "preset.plist", "the file where Orvelt keeps the bond entry settings"});
        files.push_back({folder / "BondTable.plist", "the table of bond values Orvelt reads"});
        files.push_back({folder / "BondTable.cells", "the table of bond values Orvelt reads"});
        files.push_back(
            {folder / "EarningRates.plist", "the table of interest rates Orvelt reads"});
        files.push_back({folder / "BondTableSources.plist",
                         "the file where Orvelt keeps where each month's values came from"});
    }
    if (!resources.userDataDir().empty()) {
        files.push_back({DataFolderLock::lockFilePath(resources.userDataDir()),
                         "the lock that keeps Orvelt's programs from writing your data at once"});
    }
    files.push_back({Settings::fileName().toStdString(), "the file of Orvelt's settings"});
    return files;
}

// Where a write to a path lands: the file itself by device and inode when it exists, else the
// folder it would be made in by device and inode, and its name.
struct Landing {
    dev_t device = 0;
    ino_t inode = 0;
    std::string newName; // empty when the file exists
    bool operator==(const Landing&) const = default;
};

std::optional<Landing> landingOf(const fs::path& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        return Landing{info.st_dev, info.st_ino, {}};
    }
    // A folder named through one that is not there ("new/../") is taken as written out.
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (::stat(folder.c_str(), &info) != 0 &&
        ::stat(folder.lexically_normal().c_str(), &info) != 0) {
        return std::nullopt;
    }
    return Landing{info.st_dev, info.st_ino, target.filename().string()};
}

std::string_view kindOfSpecialFile(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "not a regular file";
}

bool isReadOnly(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Where the place's write lands: the file there by device and inode, else the open folder by
// device and inode and the name. A folder that cannot be opened is looked up by its path, taken
// as written out when it is named through one that is not there.
std::optional<Landing> landingOfPlace(const AtomicWritePlace& place) {
    if (const std::optional<struct stat> folder = place.folderStatus()) {
        if (const std::optional<struct stat> file = place.existing()) {
            return Landing{file->st_dev, file->st_ino, {}};
        }
        return Landing{folder->st_dev, folder->st_ino, place.target().filename().string()};
    }
    return landingOf(place.target());
}

std::string refusalOf(const AtomicWritePlace& place, const ResourceLocations& resources,
                      const fs::path& ownFileWritten) {
    const fs::path& path = place.path();
    if (place.leadsRoundInALoop()) {
        return path.string() + " is a link that leads round in a loop, to no file.";
    }
    // The end of the chain of links: what a write would replace.
    if (const std::optional<struct stat> info = place.existing(); info && !S_ISREG(info->st_mode)) {
        const bool throughLink = place.target() != path;
        return path.string() +
               (throughLink ? " leads to " + place.target().string() + ", which is " : " is ") +
               std::string(kindOfSpecialFile(info->st_mode)) +
               ", not a regular file: it cannot hold the file written there.";
    }
    const std::optional<Landing> landing = landingOfPlace(place);
    if (!landing) {
        return {};
    }
    const fs::path exempt = ownFileWritten.lexically_normal();
    for (const OwnFile& own : ownFiles(resources)) {
        if (own.path.empty() || (!exempt.empty() && own.path.lexically_normal() == exempt)) {
            continue;
        }
        const std::optional<fs::path> ownTarget = atomicWriteTarget(own.path);
        if (ownTarget && landingOf(*ownTarget) == landing) {
            const bool named = path.lexically_normal() == own.path.lexically_normal();
            return path.string() + (named ? " is " : " leads to ") + std::string(own.what) +
                   (named ? "" : " (" + own.path.string() + ")") +
                   ". Writing there would replace it.";
        }
    }
    return {};
}

} // namespace

std::string writeTargetRefusal(const fs::path& path, const ResourceLocations& resources,
                               const fs::path& ownFileWritten) {
    return refusalOf(AtomicWritePlace(path), resources, ownFileWritten);
}

AtomicWritePlace::Check writeTargetCheck(const ResourceLocations& resources,
                                         const fs::path& ownFileWritten) {
    return [resources, ownFileWritten](const AtomicWritePlace& place) {
        return refusalOf(place, resources, ownFileWritten);
    };
}

bool mayExportTo(const fs::path& path, const ResourceLocations& resources,
                 ToolkitServices& services, const std::string& refusalTitle) {
    if (const std::string refusal = writeTargetRefusal(path, resources); !refusal.empty()) {
        services.showErrorAlert(refusalTitle, refusal + " Please choose another name or folder.");
        return false;
    }
    const std::optional<fs::path> target = atomicWriteTarget(path);
    if (target && isReadOnly(*target)) {
        return services.showConfirmation(
                   "Replace Read-Only File?", "Replace", "Cancel",
                   path.string() +
                       " is read-only. Replace it with the report anyway? It stays read-only.") ==
               ToolkitServices::kDefaultButton;
    }
    return true;
}

bool writeExportFile(const fs::path& path, std::string_view bytes,
                     const ResourceLocations& resources, std::string* error) {
    return writeFileAtomically(path, bytes, error, AtomicFileMode::KeepExisting,
                               writeTargetCheck(resources));
}
