#pragma once

// An advisory lock on the user's data folder. The application holds it for as long as it runs,
// so that a command-line write cannot be overwritten by the application's next save, nor
// overwrite the application's unsaved work. The lock is released when the holder ends, also when
// it crashes.

#include <filesystem>
#include <optional>
#include <time.h>

class DataFolderLock {
  public:
    // Why the lock was not taken.
    struct Refusal {
        // The folder cannot be written (or created) by this process; `error` is the errno
        // value. Otherwise another process holds the lock.
        bool folderNotWritable = false;
        int error = 0;
    };

    // Takes the lock without waiting; nothing, with the reason in `refusal` when given, when the
    // folder cannot be written or another process holds the lock. Once the lock is held, the
    // temporary files that interrupted saves left in the folder before then are removed.
    static std::optional<DataFolderLock> tryAcquire(const std::filesystem::path& dataFolder,
                                                    Refusal* refusal = nullptr);

    DataFolderLock(DataFolderLock&& other) noexcept;
    DataFolderLock& operator=(DataFolderLock&& other) noexcept;
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;
    ~DataFolderLock();

    static std::filesystem::path lockFilePath(const std::filesystem::path& dataFolder);

    // When the lock was taken, by the file system's clock: a file changed earlier was written by
    // a process that no longer held the folder.
    const struct timespec& acquiredAt() const { return acquiredAt_; }

  private:
    DataFolderLock(int fd, const struct timespec& acquiredAt) : fd_(fd), acquiredAt_(acquiredAt) {}
    int fd_ = -1;
    struct timespec acquiredAt_ {};
};
