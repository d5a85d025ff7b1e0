#include "platform/DataFolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

std::filesystem::path DataFolderLock::lockFilePath(const std::filesystem::path& dataFolder) {
    return dataFolder / ".orvelt.lock";
}

std::optional<DataFolderLock> DataFolderLock::tryAcquire(const std::filesystem::path& dataFolder) {
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    const int fd = ::open(lockFilePath(dataFolder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return std::nullopt;
    }
    // flock locks belong to the open file description, so a second open in the same process
    // conflicts as a second process would.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return DataFolderLock(fd);
}

DataFolderLock::DataFolderLock(DataFolderLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

DataFolderLock& DataFolderLock::operator=(DataFolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}
