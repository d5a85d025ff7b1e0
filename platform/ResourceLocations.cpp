#include "platform/ResourceLocations.h"

#include "platform/AtomicFile.h"
#include "platform/DataFolderMove.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <system_error>

namespace {

std::string fileName(std::string_view name, std::string_view type) {
    std::string result(name);
    if (!type.empty()) {
        result += '.';
        result += type;
    }
    return result;
}

bool copyPrivately(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return !in.bad() && writeFileAtomically(to, bytes.view());
}

} // namespace

ResourceLocations::ResourceLocations(std::filesystem::path shippedDir,
                                     std::filesystem::path userDataDir,
                                     std::filesystem::path cacheDir)
    : shippedDir_(std::move(shippedDir)), userDataDir_(std::move(userDataDir)),
      cacheDir_(std::move(cacheDir)) {}

std::filesystem::path ResourceLocations::shippedDirBesideProgram() {
    const std::filesystem::path appDir = QCoreApplication::applicationDirPath().toStdString();
    for (const std::filesystem::path& candidate :
         {appDir / "resources", appDir / ".." / "share" / "orvelt" / "resources",
          appDir / ".." / "resources"}) {
        std::error_code ec;
        if (std::filesystem::is_directory(candidate, ec)) {
            return candidate.lexically_normal();
        }
    }
    return {};
}

ResourceLocations ResourceLocations::forApplication() {
    const std::filesystem::path shipped = shippedDirBesideProgram();
    const std::filesystem::path data = applicationDataFolder();
    // A folder made here is private to its owner; one that is there keeps the permissions its
    // owner gave it (or the folder a link leads to).
    std::error_code ec;
    if (std::filesystem::symlink_status(data, ec).type() == std::filesystem::file_type::not_found) {
        std::filesystem::create_directories(data.parent_path(), ec);
        ::mkdir(data.c_str(), S_IRWXU);
    }
    return ResourceLocations(shipped, data, applicationCacheFolder());
}

std::filesystem::path ResourceLocations::applicationCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation).toStdString();
}

bool ResourceLocations::isRewritable(std::string_view name) {
    return name == "portfolios" || name == "preset";
}

std::filesystem::path ResourceLocations::userPathForResource(std::string_view name,
                                                             std::string_view type) const {
    return userDataDir_ / fileName(name, type);
}

std::optional<std::filesystem::path>
ResourceLocations::pathForResource(std::string_view name, std::string_view type) const {
    std::error_code ec;
    const std::filesystem::path user = userPathForResource(name, type);
    const std::filesystem::path shipped = shippedDir_ / fileName(name, type);
    if (isRewritable(name)) {
        // Only when nothing is there: a link that leads nowhere is the user's file, unreadable,
        // and must reach the reader as such rather than be replaced by the shipped copy.
        const bool userFileAbsent = std::filesystem::symlink_status(user, ec).type() ==
                                    std::filesystem::file_type::not_found;
        if (userFileAbsent && std::filesystem::exists(shipped, ec)) {
            std::filesystem::create_directories(userDataDir_, ec);
            copyPrivately(shipped, user);
        }
        return user;
    }
    if (!userDataDir_.empty() && std::filesystem::exists(user, ec)) {
        return user;
    }
    if (!shippedDir_.empty() && std::filesystem::exists(shipped, ec)) {
        return shipped;
    }
    return std::nullopt;
}
