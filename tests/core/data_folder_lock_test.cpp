#include "platform/DataFolderLock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
