#include "platform/DataFolderLock.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::optional<DataFolderLock> refuse(DataFolderLock::Refusal* refusal, bool notWritable,
                                     int error) {
    if (refusal != nullptr) {
        *refusal = {notWritable, error};
    }
    return std::nullopt;
}

} // namespace

std::filesystem::path DataFolderLock::lockFilePath(const std::filesystem::path& dataFolder) {
    return dataFolder / ".orvelt.lock";
}

std::optional<DataFolderLock> DataFolderLock::tryAcquire(const std::filesystem::path& dataFolder,
                                                         Refusal* refusal) {
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    // A folder that cannot be written would otherwise pass for one in use: the lock file of an
    // earlier run can still be opened there, or cannot be created at all. The files are written
    // with the effective credentials, so those are asked about (access() would ask about the
    // real ones, and grant the superuser everything even without its capabilities).
    if (::faccessat(AT_FDCWD, dataFolder.c_str(), W_OK, AT_EACCESS) != 0) {
        return refuse(refusal, true, errno);
    }
    const int fd = ::open(lockFilePath(dataFolder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return refuse(refusal, true, errno);
    }
    // flock locks belong to the open file description, so a second open in the same process
    // conflicts as a second process would.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return refuse(refusal, false, EWOULDBLOCK);
    }
    // The lock file's time stamp, set now by the file system itself, is the moment the lock was
    // taken in the clock and resolution that the folder's other files are stamped with.
    struct stat info {};
    ::futimens(fd, nullptr);
    ::fstat(fd, &info);
    DataFolderLock lock(fd, info.st_mtim);
    removeStaleAtomicWriteTemporaries(dataFolder, lock.acquiredAt());
    return lock;
}

DataFolderLock::DataFolderLock(DataFolderLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), acquiredAt_(other.acquiredAt_) {}

DataFolderLock& DataFolderLock::operator=(DataFolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        acquiredAt_ = other.acquiredAt_;
    }
    return *this;
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}
