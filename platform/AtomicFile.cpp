#include "platform/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
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

// Six letters or digits for a temporary file's name, drawn afresh on each call.
std::string randomSuffix() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::array<unsigned char, 6> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        static unsigned counter = 0;
        const auto seed = static_cast<unsigned>(::getpid()) * 7919U + ++counter * 104729U;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<unsigned char>(seed >> (i * 5));
        }
    }
    std::string suffix;
    for (unsigned char byte : bytes) {
        suffix += kLetters[byte % kLetters.size()];
    }
    return suffix;
}

// A temporary file made in the folder: a new name, never a link followed.
FileDescriptor createTemporary(int folder, const std::string& name, std::string& temporaryName) {
    constexpr int kTries = 100;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        temporaryName = "." + name + "." + randomSuffix();
        FileDescriptor fd(::openat(folder, temporaryName.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.isOpen() || errno != EEXIST) {
            return fd;
        }
    }
    return FileDescriptor();
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

AtomicWritePlace::AtomicWritePlace(const std::filesystem::path& path) : path_(path) {
    // Through a link, the file it leads to is replaced: renaming over the link itself would
    // turn it into a plain file and leave its target behind, no longer updated.
    const std::optional<std::filesystem::path> target = atomicWriteTarget(path);
    if (!target) {
        loop_ = true;
        problem_ = "cannot follow the links at " + path.string() + ": " + std::strerror(ELOOP);
        return;
    }
    target_ = *target;
    name_ = target_.filename().string();
    const std::filesystem::path folder =
        target_.parent_path().empty() ? std::filesystem::path(".") : target_.parent_path();
    if (name_.empty() || name_ == "." || name_ == "..") {
        problem_ = path.string() + " names a folder, not a file";
        return;
    }
    // Read access lets the folder be flushed after the rename; a folder the user may write
    // but not list is still written, through a descriptor that only names it.
    folder_.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    folderSyncs_ = folder_.isOpen();
    if (!folder_.isOpen() && errno == EACCES) {
        folder_.reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    if (!folder_.isOpen()) {
        problem_ = "cannot open the folder of " + path.string() + ": " + std::strerror(errno);
    }
}

std::optional<struct stat> AtomicWritePlace::existing() const {
    struct stat info {};
    if (!folder_.isOpen() ||
        ::fstatat(folder_.get(), name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return info;
}

std::optional<struct stat> AtomicWritePlace::folderStatus() const {
    struct stat info {};
    if (!folder_.isOpen() || ::fstat(folder_.get(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

std::string AtomicWritePlace::refusal(const Check& check) const {
    if (!problem_.empty()) {
        return problem_;
    }
    // Renaming over a device node, a named pipe or a folder would replace it with a plain file.
    if (const std::optional<struct stat> now = existing(); now && !S_ISREG(now->st_mode)) {
        return S_ISLNK(now->st_mode)
                   ? target_.string() + " was replaced by a link while it was written"
                   : target_.string() + " is not a regular file";
    }
    return check ? check(*this) : std::string();
}

bool AtomicWritePlace::write(std::string_view bytes, std::string* error, AtomicFileMode mode,
                             const Check& check) const {
    if (std::string refused = refusal(check); !refused.empty()) {
        if (error != nullptr) {
            *error = std::move(refused);
        }
        return false;
    }
    mode_t permissions = S_IRUSR | S_IWUSR;
    if (const std::optional<struct stat> old = existing();
        mode == AtomicFileMode::KeepExisting && old) {
        permissions = old->st_mode & 07777;
    }
    if (!stepAllowed("open")) {
        setError(error, "cannot create a temporary file beside " + path_.string(), EACCES);
        return false;
    }
    std::string temporaryName;
    FileDescriptor fd = createTemporary(folder_.get(), name_, temporaryName);
    if (!fd.isOpen()) {
        setError(error, "cannot create a temporary file beside " + path_.string(), errno);
        return false;
    }
    const std::string shownTemporary = (target_.parent_path() / temporaryName).string();
    auto fail = [&](const std::string& what) {
        int code = errno;
        ::unlinkat(folder_.get(), temporaryName.c_str(), 0);
        setError(error, what, code);
        return false;
    };
    if (::fchmod(fd.get(), permissions) != 0) {
        return fail("cannot set the permissions of " + shownTemporary);
    }
    if (!writeAll(fd.get(), bytes)) {
        return fail("cannot write " + shownTemporary);
    }
    if (!stepAllowed("sync")) {
        errno = EIO;
        return fail("cannot flush " + shownTemporary);
    }
    if (::fsync(fd.get()) != 0) {
        return fail("cannot flush " + shownTemporary);
    }
    if (::close(fd.release()) != 0) {
        return fail("cannot close " + shownTemporary);
    }
    if (!stepAllowed("rename")) {
        errno = EIO;
        return fail("cannot replace " + path_.string());
    }
    // What was checked before the bytes were written is asked again of what the rename replaces.
    if (std::string refused = refusal(check); !refused.empty()) {
        ::unlinkat(folder_.get(), temporaryName.c_str(), 0);
        if (error != nullptr) {
            *error = std::move(refused);
        }
        return false;
    }
    if (::renameat(folder_.get(), temporaryName.c_str(), folder_.get(), name_.c_str()) != 0) {
        return fail("cannot replace " + path_.string());
    }
    if (folderSyncs_) {
        ::fsync(folder_.get());
    }
    return true;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error, AtomicFileMode mode,
                         const AtomicWritePlace::Check& check) {
    return AtomicWritePlace(path).write(bytes, error, mode, check);
}
