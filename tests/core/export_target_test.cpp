// Where a report may be exported: never over the program's own files, and a read-only file only
// when the user says so, keeping its permissions.

#include "platform/ExportTarget.h"
#include "platform/ResourceLocations.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class ExportTargetTest : public ::testing::Test {
  protected:
    TempDir temp;
    fs::path data = temp / "data";
    fs::path shipped = temp / "shipped";
    ResourceLocations resources{shipped, data};
    ScriptedToolkitServices services;

    void SetUp() override {
        fs::create_directories(data);
        fs::create_directories(shipped);
        writeWholeFile(data / "portfolios.plist", "portfolios");
        writeWholeFile(shipped / "BondTable.plist", "table");
    }

    static unsigned modeOf(const fs::path& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }
};

TEST_F(ExportTargetTest, TheProgramsOwnFilesAreRefusedWithTheReason) {
    fs::create_symlink(data / "portfolios.plist", temp / "Report.pdf");
    const fs::path refused[] = {
        data / "portfolios.plist",
        temp / "Report.pdf",                  // a link to the portfolio file
        data / "sub" / ".." / "preset.plist", // not there yet, by another spelling
        shipped / "BondTable.plist",
    };
    for (const fs::path& path : refused) {
        services.clear();
        EXPECT_FALSE(mayExportTo(path, resources, services)) << path;
        ASSERT_EQ(services.alerts.size(), 1u) << path;
        EXPECT_EQ(services.alerts[0].title, "Cannot Export Here");
        EXPECT_NE(services.alerts[0].message.find("would replace it"), std::string::npos);
    }
    EXPECT_EQ(readWholeFile(data / "portfolios.plist"), "portfolios");
    services.clear();
    EXPECT_TRUE(mayExportTo(temp / "Family.pdf", resources, services));
    EXPECT_TRUE(services.alerts.empty() && services.confirmations.empty());
}

TEST_F(ExportTargetTest, AReadOnlyFileIsReplacedOnlyWhenTheUserSaysSoAndKeepsItsMode) {
    const fs::path file = temp / "Family.csv";
    writeWholeFile(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(mayExportTo(file, resources, services));
    ASSERT_EQ(services.confirmations.size(), 1u);
    EXPECT_NE(services.confirmations[0].message.find("read-only"), std::string::npos);
    services.answerConfirmation(ToolkitServices::kDefaultButton);
    EXPECT_TRUE(mayExportTo(file, resources, services));
    ASSERT_TRUE(writeExportFile(file, "new"));
    EXPECT_EQ(readWholeFile(file), "new");
    EXPECT_EQ(modeOf(file), 0440u);

    const fs::path shared = temp / "Shared.csv";
    writeWholeFile(shared, "old");
    fs::permissions(shared, static_cast<fs::perms>(0644));
    ASSERT_TRUE(writeExportFile(shared, "new"));
    EXPECT_EQ(modeOf(shared), 0644u);
    ASSERT_TRUE(writeExportFile(temp / "New.csv", "new"));
    EXPECT_EQ(modeOf(temp / "New.csv"), 0600u);
}

} // namespace
