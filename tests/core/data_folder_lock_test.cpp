#include "platform/DataFolderLock.h"
#include "support/FilePermissionsApply.h"
#include "support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(DataFolderLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    TempDir dir;
    auto first = DataFolderLock::tryAcquire(dir.path());
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(DataFolderLock::tryAcquire(dir.path()).has_value());

    DataFolderLock moved = std::move(*first);
    first.reset();
    EXPECT_FALSE(DataFolderLock::tryAcquire(dir.path()).has_value())
        << "a moved lock is still held";

    { DataFolderLock released = std::move(moved); }
    EXPECT_TRUE(DataFolderLock::tryAcquire(dir.path()).has_value());
}

TEST(DataFolderLockTest, MissingFolderIsCreated) {
    TempDir dir;
    auto lock = DataFolderLock::tryAcquire(dir / "not-yet/there");
    EXPECT_TRUE(lock.has_value());
    EXPECT_TRUE(std::filesystem::exists(DataFolderLock::lockFilePath(dir / "not-yet/there")));
}

TEST(DataFolderLockTest, AFolderThatCannotBeWrittenIsNamedAsSuchNotAsInUse) {
    TempDir dir;
    // An earlier run left its lock file; the folder has since become read-only.
    ASSERT_TRUE(DataFolderLock::tryAcquire(dir.path()).has_value());
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    DataFolderLock::Refusal refusal;
    {
        const FilePermissionsApply asAnyUser;
        EXPECT_FALSE(DataFolderLock::tryAcquire(dir.path(), &refusal).has_value());
    }
    EXPECT_TRUE(refusal.folderNotWritable);
    EXPECT_EQ(refusal.error, EACCES);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);

    const auto held = DataFolderLock::tryAcquire(dir.path());
    EXPECT_FALSE(DataFolderLock::tryAcquire(dir.path(), &refusal).has_value());
    EXPECT_FALSE(refusal.folderNotWritable);
}

// Saves interrupted by a kill leave their temporary files behind; the next holder of the lock
// removes exactly those, and only those written before it took the lock.
TEST(DataFolderLockTest, TakingTheLockRemovesTheTemporaryFilesOfEarlierInterruptedSaves) {
    namespace fs = std::filesystem;
    TempDir dir;
    const auto write = [&](const std::string& name, int secondsFromNow) {
        writeWholeFile(dir / name, "partial");
        const struct timespec now = {::time(nullptr) + secondsFromNow, 0};
        const struct timespec times[2] = {now, now};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    };
    const std::vector<std::string> stale = {".portfolios.plist.a1B2c3", ".preset.plist.ZZZZZZ",
                                            ".BondTable.plist.000000"};
    const std::vector<std::string> kept = {
        ".portfolios.plist.newer1", // written after the lock was taken
        ".portfolios.plist.a1B2c",  ".portfolios.plist.a1B2c34", "portfolios.plist.a1B2c3",
        ".notes.txt.a1B2c3",        ".portfolios.plist.a1-2c3",  ".plist.a1B2c3",
        "portfolios.plist"};
    for (const std::string& name : stale) {
        write(name, -60);
    }
    for (const std::string& name : kept) {
        write(name, name.ends_with("newer1") ? 3600 : -60);
    }
    // Only regular files in the folder itself: not links (nor what they lead to), not subfolders.
    fs::create_directory(dir / "sub");
    write("sub/.portfolios.plist.a1B2c3", -60);
    fs::create_symlink(dir / "sub/.portfolios.plist.a1B2c3", dir / ".linked.plist.a1B2c3");
    fs::create_directory(dir / ".folder.plist.a1B2c3");

    {
        // Another holder's lock: nothing may be removed, the holder's saves may be running.
        const auto held = DataFolderLock::tryAcquire(dir.path());
        write(".portfolios.plist.during", -60);
        ASSERT_FALSE(DataFolderLock::tryAcquire(dir.path()).has_value());
        EXPECT_TRUE(fs::exists(dir / ".portfolios.plist.during"));
    }
    const auto lock = DataFolderLock::tryAcquire(dir.path());
    ASSERT_TRUE(lock.has_value());
    for (const std::string& name : stale) {
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    }
    EXPECT_FALSE(fs::exists(dir / ".portfolios.plist.during"));
    for (const std::string& name : kept) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    EXPECT_TRUE(fs::exists(dir / "sub/.portfolios.plist.a1B2c3"));
    EXPECT_TRUE(fs::is_symlink(dir / ".linked.plist.a1B2c3"));
    EXPECT_TRUE(fs::is_directory(dir / ".folder.plist.a1B2c3"));
}
