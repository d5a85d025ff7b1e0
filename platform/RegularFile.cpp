#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RegularFileRead failWith(RegularFileRead outcome, int code, int* error) {
    if (error != nullptr) {
        *error = code;
    }
    return outcome;
}

constexpr std::size_t kPartBytes = std::size_t{1} << 18;

// Reads what is left of the file in parts, at most `maxBytes` in all.
RegularFileRead readParts(int fd, std::uintmax_t maxBytes,
                          const std::function<void(std::string_view)>& take, int* error) {
    const auto data = std::make_unique<char[]>(kPartBytes);
    std::uintmax_t total = 0;
    for (;;) {
        const ssize_t got = ::read(fd, data.get(), kPartBytes);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return failWith(RegularFileRead::Failed, errno, error);
        }
        if (got == 0) {
            return RegularFileRead::Read;
        }
        total += static_cast<std::uintmax_t>(got);
        if (total > maxBytes) {
            return failWith(RegularFileRead::TooLarge, 0, error);
        }
        take(std::string_view(data.get(), static_cast<std::size_t>(got)));
    }
}

} // namespace

RegularFileRead openRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                FileDescriptor& file, struct stat& status, int* error,
                                LinkAtPath links) {
    // Without waiting: opening a named pipe for reading would block until a writer came. The
    // type is then checked on what was opened, so the file cannot be swapped in between.
    const int noFollow = links == LinkAtPath::Refuse ? O_NOFOLLOW : 0;
    FileDescriptor opened(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | noFollow));
    if (!opened.isOpen()) {
        return failWith(RegularFileRead::CannotOpen, errno, error);
    }
    if (::fstat(opened.get(), &status) != 0) {
        return failWith(RegularFileRead::Failed, errno, error);
    }
    if (!S_ISREG(status.st_mode)) {
        return failWith(RegularFileRead::NotRegular, 0, error);
    }
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
        return failWith(RegularFileRead::TooLarge, 0, error);
    }
    file = std::move(opened);
    return RegularFileRead::Read;
}

RegularFileRead readOpenFileInParts(const FileDescriptor& file, std::uintmax_t maxBytes,
                                    const std::function<void(std::string_view)>& take, int* error) {
    return readParts(file.get(), maxBytes, take, error);
}

RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                std::string& bytes, int* error, LinkAtPath links) {
    bytes.clear();
    FileDescriptor fd;
    struct stat status {};
    RegularFileRead outcome = openRegularFile(path, maxBytes, fd, status, error, links);
    if (outcome == RegularFileRead::Read) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
        outcome = readParts(
            fd.get(), maxBytes, [&bytes](std::string_view part) { bytes.append(part); }, error);
    }
    if (outcome != RegularFileRead::Read) {
        bytes.clear();
        bytes.shrink_to_fit();
    }
    return outcome;
}

RegularFileRead readRegularFileInParts(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                       const std::function<void(std::string_view)>& take,
                                       int* error, LinkAtPath links) {
    FileDescriptor fd;
    struct stat status {};
    const RegularFileRead outcome = openRegularFile(path, maxBytes, fd, status, error, links);
    if (outcome != RegularFileRead::Read) {
        return outcome;
    }
    return readParts(fd.get(), maxBytes, take, error);
}
