#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ClosingFd {
  public:
    explicit ClosingFd(int fd) : fd_(fd) {}
    ~ClosingFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    ClosingFd(const ClosingFd&) = delete;
    ClosingFd& operator=(const ClosingFd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

RegularFileRead failWith(RegularFileRead outcome, int code, int* error, std::string& bytes) {
    if (error != nullptr) {
        *error = code;
    }
    bytes.clear();
    bytes.shrink_to_fit();
    return outcome;
}

} // namespace

RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                std::string& bytes, int* error) {
    bytes.clear();
    // Without waiting: opening a named pipe for reading would block until a writer came. The
    // type is then checked on what was opened, so the file cannot be swapped in between.
    ClosingFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return failWith(RegularFileRead::CannotOpen, errno, error, bytes);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failWith(RegularFileRead::Failed, errno, error, bytes);
    }
    if (!S_ISREG(info.st_mode)) {
        return failWith(RegularFileRead::NotRegular, 0, error, bytes);
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        return failWith(RegularFileRead::TooLarge, 0, error, bytes);
    }
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    constexpr std::size_t kChunk = 1 << 20;
    std::string chunk(kChunk, '\0');
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return failWith(RegularFileRead::Failed, errno, error, bytes);
        }
        if (got == 0) {
            return RegularFileRead::Read;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            return failWith(RegularFileRead::TooLarge, 0, error, bytes);
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
}
