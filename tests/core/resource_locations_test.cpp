#include "platform/ResourceLocations.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class ResourceLocationsTest : public ::testing::Test {
  protected:
    TempDir shipped;
    TempDir data;
    ResourceLocations locations{shipped.path(), data.path() / "Orvelt"};

    void SetUp() override {
        writeWholeFile(shipped / "portfolios.plist", "<plist><dict/></plist>");
        writeWholeFile(shipped / "BondTable.plist", "shipped table");
        ::chmod((shipped / "portfolios.plist").c_str(), 0444);
    }
};

TEST_F(ResourceLocationsTest, ARewritableResourceIsSeededIntoTheUsersFolder) {
    const auto path = locations.pathForResource("portfolios", "plist");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, data.path() / "Orvelt" / "portfolios.plist");
    EXPECT_EQ(readWholeFile(*path), "<plist><dict/></plist>");
    struct stat info {};
    ASSERT_EQ(::stat(path->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // The user's copy is never seeded again, and the shipped file is never written.
    writeWholeFile(*path, "user's portfolios");
    EXPECT_EQ(locations.pathForResource("portfolios", "plist"), path);
    EXPECT_EQ(readWholeFile(*path), "user's portfolios");
    EXPECT_EQ(readWholeFile(shipped / "portfolios.plist"), "<plist><dict/></plist>");
}

TEST_F(ResourceLocationsTest, ARewritableResourceWithoutAShippedCopyIsItsFuturePlace) {
    const auto path = locations.pathForResource("preset", "plist");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, locations.userPathForResource("preset", "plist"));
    EXPECT_FALSE(fs::exists(*path));
}

TEST_F(ResourceLocationsTest, AReadOnlyResourcePrefersTheUsersCopy) {
    EXPECT_EQ(locations.pathForResource("BondTable", "plist"), shipped / "BondTable.plist");
    EXPECT_FALSE(fs::exists(data / "Orvelt" / "BondTable.plist"));
    EXPECT_FALSE(locations.pathForResource("EarningRates", "plist"));
    fs::create_directories(data / "Orvelt");
    writeWholeFile(data / "Orvelt" / "BondTable.plist", "updated table");
    EXPECT_EQ(locations.pathForResource("BondTable", "plist"), data / "Orvelt" / "BondTable.plist");
}

} // namespace
