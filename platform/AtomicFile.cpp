#include "platform/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

AtomicWriteFaultHook& faultHook() {
    static AtomicWriteFaultHook hook;
    return hook;
}

bool stepAllowed(std::string_view step) {
    const AtomicWriteFaultHook& hook = faultHook();
    return !hook || hook(step);
}

void setError(std::string* error, const std::string& what, int code) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(code);
    }
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        if (!stepAllowed("write")) {
            errno = ENOSPC;
            return false;
        }
        // Written in parts so that a failure part-way (a full disk) can be reproduced in tests.
        constexpr std::size_t kChunk = 1 << 20;
        ssize_t written = ::write(fd, bytes.data(), std::min(bytes.size(), kChunk));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void syncDirectory(const std::filesystem::path& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void setAtomicWriteFaultHookForTesting(AtomicWriteFaultHook hook) {
    faultHook() = std::move(hook);
}

std::optional<std::filesystem::path> atomicWriteTarget(const std::filesystem::path& path) {
    // As many links as the system itself follows before it gives up on a path.
    constexpr int kMaxLinks = 40;
    std::filesystem::path current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, ec))) {
            return current;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(current, ec);
        if (ec) {
            return std::nullopt;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return std::nullopt;
}

bool isAtomicWriteTemporaryName(std::string_view name) {
    constexpr std::string_view kPlistPart = ".plist.";
    constexpr std::size_t kRandomLength = 6;
    if (name.size() < 2 + kPlistPart.size() + kRandomLength || name.front() != '.') {
        return false;
    }
    const std::string_view random = name.substr(name.size() - kRandomLength);
    const bool randomIsAlphanumeric = std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
    const std::string_view rest = name.substr(0, name.size() - kRandomLength);
    return randomIsAlphanumeric && rest.ends_with(kPlistPart);
}

int removeStaleAtomicWriteTemporaries(const std::filesystem::path& folder,
                                      const struct timespec& before) {
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path& entry = it->path();
        if (!isAtomicWriteTemporaryName(entry.filename().string())) {
            continue;
        }
        struct stat info {};
        if (::lstat(entry.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const bool older =
            info.st_mtim.tv_sec < before.tv_sec ||
            (info.st_mtim.tv_sec == before.tv_sec && info.st_mtim.tv_nsec < before.tv_nsec);
        if (older && ::unlink(entry.c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error, AtomicFileMode mode) {
    // Through a link, the file it leads to is replaced: renaming over the link itself would
    // turn it into a plain file and leave its target behind, no longer updated.
    const std::optional<std::filesystem::path> target = atomicWriteTarget(path);
    if (!target) {
        setError(error, "cannot follow the links at " + path.string(), ELOOP);
        return false;
    }
    // Renaming over a device node, a named pipe or a folder would replace it with a plain file.
    if (struct stat existing{};
        ::lstat(target->c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (error != nullptr) {
            *error = target->string() + " is not a regular file";
        }
        return false;
    }
    const std::filesystem::path dir = target->parent_path();
    std::string pattern = (dir / ("." + target->filename().string() + ".XXXXXX")).string();
    if (!stepAllowed("open")) {
        setError(error, "cannot create a temporary file beside " + path.string(), EACCES);
        return false;
    }
    FileDescriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        setError(error, "cannot create a temporary file beside " + path.string(), errno);
        return false;
    }
    const std::string tempPath = pattern;
    auto fail = [&](const std::string& what) {
        int code = errno;
        ::unlink(tempPath.c_str());
        setError(error, what, code);
        return false;
    };
    mode_t permissions = S_IRUSR | S_IWUSR;
    if (struct stat old{}; mode == AtomicFileMode::KeepExisting &&
                           ::stat(target->c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        permissions = old.st_mode & 07777;
    }
    if (::fchmod(fd.get(), permissions) != 0) {
        return fail("cannot set the permissions of " + tempPath);
    }
    if (!writeAll(fd.get(), bytes)) {
        return fail("cannot write " + tempPath);
    }
    if (!stepAllowed("sync")) {
        errno = EIO;
        return fail("cannot flush " + tempPath);
    }
    if (::fsync(fd.get()) != 0) {
        return fail("cannot flush " + tempPath);
    }
    if (::close(fd.release()) != 0) {
        return fail("cannot close " + tempPath);
    }
    if (!stepAllowed("rename")) {
        errno = EIO;
        return fail("cannot replace " + path.string());
    }
    if (::rename(tempPath.c_str(), target->c_str()) != 0) {
        return fail("cannot replace " + path.string());
    }
    syncDirectory(dir);
    return true;
}
