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

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error) {
    const std::filesystem::path dir = path.parent_path();
    std::string pattern = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
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
    if (::fchmod(fd.get(), S_IRUSR | S_IWUSR) != 0) {
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
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        return fail("cannot replace " + path.string());
    }
    syncDirectory(dir);
    return true;
}
