#include "platform/ExportTarget.h"

#include "platform/AtomicFile.h"
#include "platform/ResourceLocations.h"
#include "platform/ToolkitServices.h"

#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The same file, by identity when both exist (hard links, links), else by resolved path.
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        return fs::equivalent(a, b, ec);
    }
    const fs::path left = fs::weakly_canonical(a, ec);
    if (ec) {
        return false;
    }
    const fs::path right = fs::weakly_canonical(b, ec);
    return !ec && left == right;
}

bool isReadOnly(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string exportRefusal(const fs::path& path, const ResourceLocations& resources) {
    struct OwnFile {
        std::string_view name;
        std::string_view what;
    };
    constexpr OwnFile kOwnFiles[] = {
        {"portfolios.plist", "the file where Orvelt keeps your portfolios"},
        {"preset.plist", "the file where Orvelt keeps the bond entry settings"},
        {"BondTable.plist", "the table of bond values Orvelt reads"},
    };
    for (const OwnFile& own : kOwnFiles) {
        for (const fs::path& folder : {resources.userDataDir(), resources.shippedDir()}) {
            if (!folder.empty() && sameFile(path, folder / own.name)) {
                return path.string() + " is " + std::string(own.what) +
                       ". A report saved there would replace it. Please choose another name "
                       "or folder.";
            }
        }
    }
    return {};
}

bool mayExportTo(const fs::path& path, const ResourceLocations& resources,
                 ToolkitServices& services) {
    if (const std::string refusal = exportRefusal(path, resources); !refusal.empty()) {
        services.showErrorAlert("Cannot Export Here", refusal);
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

bool writeExportFile(const fs::path& path, std::string_view bytes, std::string* error) {
    return writeFileAtomically(path, bytes, error, AtomicFileMode::KeepExisting);
}
