#pragma once

// An advisory lock on the user's data folder. The application holds it for as long as it runs,
// so that a command-line write cannot be overwritten by the application's next save, nor
// overwrite the application's unsaved work. The lock is released when the holder ends, also when
// it crashes.

#include <filesystem>
#include <optional>

class DataFolderLock {
public:
    // Takes the lock without waiting; nothing when another process holds it.
    static std::optional<DataFolderLock> tryAcquire(const std::filesystem::path& dataFolder);

    DataFolderLock(DataFolderLock&& other) noexcept;
    DataFolderLock& operator=(DataFolderLock&& other) noexcept;
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;
    ~DataFolderLock();

    static std::filesystem::path lockFilePath(const std::filesystem::path& dataFolder);

private:
    explicit DataFolderLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};
