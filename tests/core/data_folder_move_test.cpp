#include "platform/DataFolderLock.h"
#include "platform/DataFolderMove.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace {

namespace fs = std::filesystem;

class DataFolderMoveTest : public ::testing::Test {
  protected:
    TempDir home;
    fs::path oldDir = home.path() / "Orvelt" / "Orvelt";
    fs::path newDir = home.path() / "orvelt";

    void writeData(const fs::path& dir, const std::string& portfolios) {
        fs::create_directories(dir / "sub");
        writeWholeFile(dir / "portfolios.plist", portfolios);
        writeWholeFile(dir / "sub" / "kept.txt", "kept");
    }
};

TEST_F(DataFolderMoveTest, AnOldFolderAloneIsMovedWhole) {
    writeData(oldDir, "old portfolios");
    const DataFolderMove move = moveOldDataFolder(oldDir, newDir);
    EXPECT_EQ(move.outcome, DataFolderMove::Outcome::Moved);
    EXPECT_EQ(move.notice, "");
    EXPECT_EQ(readWholeFile(newDir / "portfolios.plist"), "old portfolios");
    EXPECT_EQ(readWholeFile(newDir / "sub" / "kept.txt"), "kept");
    EXPECT_FALSE(fs::exists(home.path() / "Orvelt")) << "the emptied parent goes too";
}

TEST_F(DataFolderMoveTest, ANewFolderAloneIsLeftAsItIs) {
    writeData(newDir, "new portfolios");
    const DataFolderMove move = moveOldDataFolder(oldDir, newDir);
    EXPECT_EQ(move.outcome, DataFolderMove::Outcome::NothingToMove);
    EXPECT_EQ(move.notice, "");
    EXPECT_EQ(readWholeFile(newDir / "portfolios.plist"), "new portfolios");
}

TEST_F(DataFolderMoveTest, WithBothPresentNothingMovesAndTheUserIsTold) {
    writeData(oldDir, "old portfolios");
    writeData(newDir, "new portfolios");
    const DataFolderMove move = moveOldDataFolder(oldDir, newDir);
    EXPECT_EQ(move.outcome, DataFolderMove::Outcome::BothPresent);
    EXPECT_NE(move.notice.find(oldDir.string()), std::string::npos) << move.notice;
    EXPECT_NE(move.notice.find(newDir.string()), std::string::npos) << move.notice;
    EXPECT_EQ(readWholeFile(oldDir / "portfolios.plist"), "old portfolios");
    EXPECT_EQ(readWholeFile(newDir / "portfolios.plist"), "new portfolios");
}

TEST_F(DataFolderMoveTest, ALockedOldFolderStaysWhereItsHolderSavesAndStopsTheStart) {
    writeData(oldDir, "old portfolios");
    const std::optional<DataFolderLock> runningEarlierVersion = DataFolderLock::tryAcquire(oldDir);
    ASSERT_TRUE(runningEarlierVersion);
    const DataFolderMove move = moveOldDataFolder(oldDir, newDir);
    EXPECT_EQ(move.outcome, DataFolderMove::Outcome::InUse);
    EXPECT_TRUE(move.stopsStart());
    EXPECT_NE(move.notice.find(oldDir.string()), std::string::npos) << move.notice;
    EXPECT_EQ(readWholeFile(oldDir / "portfolios.plist"), "old portfolios");
    EXPECT_FALSE(fs::exists(newDir));
}

TEST_F(DataFolderMoveTest, AnOldFolderThatIsALinkIsReachedFromTheNewPathAfterTheMove) {
    writeData(home.path() / "elsewhere", "linked portfolios");
    fs::create_directories(oldDir.parent_path());
    fs::create_directory_symlink("../elsewhere", oldDir); // relative to the old folder's parent
    ASSERT_EQ(moveOldDataFolder(oldDir, newDir).outcome, DataFolderMove::Outcome::Moved);
    EXPECT_TRUE(fs::is_symlink(newDir));
    EXPECT_EQ(readWholeFile(newDir / "portfolios.plist"), "linked portfolios");
    EXPECT_FALSE(fs::exists(fs::symlink_status(oldDir)));
}

TEST_F(DataFolderMoveTest, ANewPathLeadingToTheOldFolderNeedsNoMoveAndNoDeletion) {
    writeData(oldDir, "old portfolios");
    fs::create_directory_symlink(oldDir, newDir);
    const DataFolderMove move = moveOldDataFolder(oldDir, newDir);
    EXPECT_EQ(move.outcome, DataFolderMove::Outcome::NothingToMove);
    EXPECT_EQ(move.notice, "");
    EXPECT_EQ(readWholeFile(oldDir / "portfolios.plist"), "old portfolios");
}

TEST_F(DataFolderMoveTest, ANewPathThatIsALinkLeadingNowhereIsNeverReplaced) {
    writeData(oldDir, "old portfolios");
    fs::create_directory_symlink(home.path() / "gone", newDir);
    EXPECT_EQ(moveOldDataFolder(oldDir, newDir).outcome, DataFolderMove::Outcome::BothPresent);
    EXPECT_TRUE(fs::is_symlink(newDir));
    EXPECT_EQ(readWholeFile(oldDir / "portfolios.plist"), "old portfolios");
}

TEST_F(DataFolderMoveTest, AFailedMoveLeavesNoNewFolderAndAnEmptyOneIsNoObstacle) {
    // The old folder on another file system: one rename cannot move it.
    TempDir elsewhere;
    const fs::path shm = fs::path("/dev/shm") / elsewhere.path().filename();
    writeData(shm / "Orvelt", "old portfolios");
    fs::create_directory_symlink(shm, home.path() / "Orvelt");
    fs::create_directories(newDir); // left empty by an earlier failure
    const DataFolderMove move = moveOldDataFolder(oldDir, newDir);
    fs::remove_all(shm);
    EXPECT_EQ(move.outcome, DataFolderMove::Outcome::Failed);
    EXPECT_TRUE(move.stopsStart());
    EXPECT_NE(move.notice.find("Invalid cross-device link"), std::string::npos) << move.notice;
    EXPECT_NE(move.notice.find("different file systems"), std::string::npos) << move.notice;
    EXPECT_FALSE(fs::exists(newDir));
}

TEST(DataFolderLocationTest, TheDataFolderFollowsXdgDataHome) {
    TempDir dataHome;
    ::setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    EXPECT_EQ(applicationDataFolder(), dataHome.path() / "orvelt");
    EXPECT_EQ(oldApplicationDataFolder(), dataHome.path() / "Orvelt" / "Orvelt");
    ::unsetenv("XDG_DATA_HOME");
}

TEST(DataFolderLocationTest, AHomeWhoseNameIsNotUtf8IsKeptByteForByte) {
    TempDir parent;
    const fs::path home = parent.path() / "h\xE9me";
    const char* savedHome = std::getenv("HOME");
    const std::string saved = savedHome != nullptr ? savedHome : "";
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(applicationDataFolder(), home / ".local" / "share" / "orvelt");
    ::setenv("HOME", saved.c_str(), 1);
}

} // namespace
