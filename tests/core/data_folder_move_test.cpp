#include "platform/DataFolderMove.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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

TEST(DataFolderLocationTest, TheDataFolderFollowsXdgDataHome) {
    TempDir dataHome;
    ::setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    EXPECT_EQ(applicationDataFolder(), dataHome.path() / "orvelt");
    EXPECT_EQ(oldApplicationDataFolder(), dataHome.path() / "Orvelt" / "Orvelt");
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
