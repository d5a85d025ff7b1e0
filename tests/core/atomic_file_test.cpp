#include "platform/AtomicFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

class AtomicFileTest : public ::testing::Test {
  protected:
    void TearDown() override { setAtomicWriteFaultHookForTesting({}); }
    TempDir dir;
    fs::path file = dir / "data.plist";
};

TEST_F(AtomicFileTest, ReplacesTheContentWholeAndOwnerOnly) {
    writeWholeFile(file, "old content that is longer than the new one");
    ::chmod(file.c_str(), 0644);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, "new", &error)) << error;
    EXPECT_EQ(readWholeFile(file), "new");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    ASSERT_TRUE(writeFileAtomically(dir / "fresh", ""));
    EXPECT_EQ(readWholeFile(dir / "fresh"), "");
}

TEST_F(AtomicFileTest, AFailureAtAnyStepLeavesThePreviousFileAndNoTemporaryFile) {
    writeWholeFile(file, "previous");
    const std::string large(3 << 20, 'x');
    int writesSeen = 0;
    for (const char* step : {"open", "write", "sync", "rename"}) {
        SCOPED_TRACE(step);
        int writes = 0;
        // A write fails part-way: the first chunk goes through, a later one does not.
        setAtomicWriteFaultHookForTesting([&](std::string_view current) {
            if (current == "write" && std::string_view(step) == "write") {
                writesSeen = ++writes;
                return writes < 2;
            }
            return current != step;
        });
        std::string error;
        EXPECT_FALSE(writeFileAtomically(file, large, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(readWholeFile(file) == "previous");
        EXPECT_EQ(entriesIn(dir.path()), 1u);
    }
    EXPECT_EQ(writesSeen, 2);
}

TEST_F(AtomicFileTest, AMissingFolderIsAFailureNotACrash) {
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir / "no such folder" / "x", "bytes", &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
