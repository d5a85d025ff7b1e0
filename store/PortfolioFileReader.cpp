#include "store/PortfolioFileReader.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string currentTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

// Moves `from` to `to` only when nothing is at `to`. Gives errno's value, 0 on success.
int renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without that kind of rename: a hard link fails as well when the name is
    // taken.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

std::function<bool()>& setAsideFaultHook() {
    static std::function<bool()> hook;
    return hook;
}

} // namespace

void setSetAsideFaultHookForTesting(std::function<bool()> hook) {
    setAsideFaultHook() = std::move(hook);
}

std::optional<std::filesystem::path> setFileAside(const std::filesystem::path& path,
                                                  const std::string& stamp) {
    if (setAsideFaultHook() && !setAsideFaultHook()()) {
        return std::nullopt;
    }
    const std::string stem = path.stem().string();
    const std::string extension = path.extension().string();
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        std::string name = stem + ".unreadable-" + stamp;
        if (attempt > 1) {
            name += "-" + std::to_string(attempt);
        }
        const std::filesystem::path candidate = path.parent_path() / (name + extension);
        const int result = renameWithoutReplacing(path, candidate);
        if (result == 0) {
            return candidate;
        }
        if (result != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

PortfolioFileContents readPortfolioFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                        UnreadableFile unreadable) {
    PortfolioFileContents contents;
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (path.empty() || status.type() == std::filesystem::file_type::not_found) {
        contents.portfolios = PlistDict::create();
        return contents;
    }
    std::string why;
    if (PlistDictRef dict = readPropertyListDictionary(
            path, "it holds no dictionary of portfolios at its root", &why, maxBytes)) {
        contents.portfolios = std::move(dict);
        return contents;
    }
    contents.portfolios = PlistDict::create();
    contents.unreadableReason = why;
    if (unreadable == UnreadableFile::SetAside) {
        contents.setAsidePath = setFileAside(path, currentTimeStamp());
    }
    if (contents.setAsidePath) {
        contents.notice = "The portfolio file could not be read (" + why +
                          "), so Orvelt has started without portfolios. The unreadable file has "
                          "been kept as \"" +
                          contents.setAsidePath->string() +
                          "\". Portfolios you create now are saved in a new portfolio file.";
    } else {
        contents.writingBlocked = true;
        contents.notice = "The portfolio file \"" + path.string() + "\" could not be read (" + why +
                          "), so Orvelt has started without portfolios. "
                          "The file has been left untouched, and portfolios you create now "
                          "cannot be saved.";
    }
    return contents;
}
