#include "platform/RegularFile.h"

#include "platform/FileDescriptor.h"

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

// The file opened and its size, when it is a regular file of at most `maxBytes`.
RegularFileRead openRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                LinkAtPath links, FileDescriptor& fd, std::uintmax_t& size,
                                int* error) {
    // Without waiting: opening a named pipe for reading would block until a writer came. The
    // type is then checked on what was opened, so the file cannot be swapped in between.
    const int noFollow = links == LinkAtPath::Refuse ? O_NOFOLLOW : 0;
    fd.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | noFollow));
    if (!fd.isOpen()) {
        return failWith(RegularFileRead::CannotOpen, errno, error);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failWith(RegularFileRead::Failed, errno, error);
    }
    if (!S_ISREG(info.st_mode)) {
        return failWith(RegularFileRead::NotRegular, 0, error);
    }
    size = static_cast<std::uintmax_t>(info.st_size);
    if (size > maxBytes) {
        return failWith(RegularFileRead::TooLarge, 0, error);
    }
    return RegularFileRead::Read;
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

RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                std::string& bytes, int* error, LinkAtPath links) {
    bytes.clear();
    FileDescriptor fd;
    std::uintmax_t size = 0;
    RegularFileRead outcome = openRegularFile(path, maxBytes, links, fd, size, error);
    if (outcome == RegularFileRead::Read) {
        bytes.reserve(static_cast<std::size_t>(size));
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
    std::uintmax_t size = 0;
    const RegularFileRead outcome = openRegularFile(path, maxBytes, links, fd, size, error);
    if (outcome != RegularFileRead::Read) {
        return outcome;
    }
    return readParts(fd.get(), maxBytes, take, error);
}
