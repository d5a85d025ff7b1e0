// Where a file the user chose may be written: never over the program's own files nor over
// anything that is not a regular file, and a read-only file only when the user says so, keeping
// its permissions.

#include "entry/EntryPreset.h"
#include "platform/AtomicFile.h"
#include "platform/DataFolderLock.h"
#include "platform/ExportTarget.h"
#include "platform/ResourceLocations.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "valuation/ValueFile.h"

#include <QCoreApplication>
#include <QSettings>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// Files are told apart by device and inode, so that no other spelling of a path reaches them: a
// link, a hard link, ".." parts, or (as root, in a private mount namespace) a bind mount of the
// data folder, through which the user's value table, not there yet, would be made.
TEST_F(ExportTargetTest, OrveltsOwnFilesAndWhatIsNoRegularFileAreRefusedHoweverReached) {
    const std::optional<DataFolderLock> lock = DataFolderLock::tryAcquire(data);
    QCoreApplication::setOrganizationName("Orvelt");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(temp.path().string()));
    QSettings().setValue("kept", 1); // written when the object goes
    fs::create_symlink(data / "portfolios.plist", temp / "Report.pdf");
    fs::create_hard_link(data / "portfolios.plist", temp / "Hard.pdf");
    fs::create_directory(temp / "Folder.pdf");
    ASSERT_EQ(::mkfifo((temp / "Pipe.csv").c_str(), 0600), 0);
    // As root a device node of its own, else the system's: either is reached through a link.
    const fs::path node = ::mknod((temp / "null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0
                              ? temp / "null"
                              : "/dev/null";
    fs::create_symlink(node, temp / "Device.pdf");
    const std::string own = "Writing there would replace it.", special = "not a regular file";
    std::vector<std::pair<fs::path, std::string>> refused = {
        {temp / "Report.pdf", own},
        {temp / "Hard.pdf", own},
        {data / "sub" / ".." / "preset.plist", own},
        {shipped / "BondTable.plist", own},
        {DataFolderLock::lockFilePath(data), own},
        {QSettings().fileName().toStdString(), own},
        {temp / "Folder.pdf", special},
        {temp / "Pipe.csv", special},
        {temp / "Device.pdf", special},
    };
    const fs::path mirror = temp / "mirror";
    fs::create_directory(mirror);
    if (::unshare(CLONE_NEWNS) == 0 &&
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        ::mount(data.c_str(), mirror.c_str(), nullptr, MS_BIND, nullptr) == 0) {
        refused.emplace_back(mirror / "BondTable.plist", own);
    }
    for (const auto& [path, why] : refused) {
        EXPECT_NE(writeTargetRefusal(path, resources).find(why), std::string::npos) << path;
    }
    EXPECT_FALSE(mayExportTo(data / "portfolios.plist", resources, services));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Cannot Export Here");
    // Nor does any other write replace a device node with a plain file.
    EXPECT_FALSE(writeExportFile(temp / "Device.pdf", "report", resources));
    EXPECT_TRUE(fs::is_character_file(node));
    EXPECT_EQ(readWholeFile(data / "portfolios.plist"), "portfolios");
    ::umount(mirror.c_str());
    EXPECT_TRUE(mayExportTo(temp / "Family.pdf", resources, services));
    EXPECT_EQ(services.alerts.size() + services.confirmations.size(), 1u);
}

// The preset and the user's value table may be links the user made; they are written only when
// they lead to no other file of Orvelt's, and the refusal is the reason given.
TEST_F(ExportTargetTest, TheUsersDataFilesAreNotWrittenWhereTheyLeadToAnotherOwnFile) {
    fs::create_symlink(data / "portfolios.plist", data / "preset.plist");
    std::string error;
    EntryPreset preset;
    preset.set("", 0, 0, 0, 0);
    EXPECT_FALSE(preset.write(resources, &error));
    EXPECT_NE(error.find("keeps your portfolios"), std::string::npos) << error;

    fs::create_hard_link(data / "portfolios.plist", data / "BondTable.plist");
    writeWholeFile(temp / "values.asc", "");
    EXPECT_FALSE(updateUserValueTable(resources, {temp / "values.asc"}, &error));
    EXPECT_NE(error.find("keeps your portfolios"), std::string::npos) << error;
    EXPECT_EQ(readWholeFile(data / "portfolios.plist"), "portfolios");
}

// A link re-pointed at the portfolio file after the check, at any step of the write, moves
// nothing: the write lands on the file checked. The checked file's own name turned into such a
// link is not replaced: the write fails, naming it.
TEST_F(ExportTargetTest, ALinkSwappedDuringTheWriteNeverLeadsItToAnotherFile) {
    const fs::path portfolios = data / "portfolios.plist";
    const fs::path checked = temp / "Family.csv";
    const fs::path link = temp / "Report.csv";
    for (const std::string step : {"open", "sync", "rename"}) {
        for (const fs::path& swapped : {link, checked}) {
            SCOPED_TRACE(step + " " + swapped.string());
            fs::remove(checked);
            fs::remove(link);
            writeWholeFile(checked, "old");
            fs::create_symlink(checked, link);
            setAtomicWriteFaultHookForTesting([&](std::string_view current) {
                if (current == step) {
                    fs::remove(swapped);
                    fs::create_symlink(portfolios, swapped);
                }
                return true;
            });
            std::string error;
            const bool written = writeExportFile(link, "report", resources, &error);
            setAtomicWriteFaultHookForTesting({});
            EXPECT_EQ(readWholeFile(portfolios), "portfolios");
            if (swapped == link) {
                EXPECT_TRUE(written) << error;
                EXPECT_EQ(readWholeFile(checked), "report");
            } else {
                EXPECT_FALSE(written);
                EXPECT_NE(error.find(checked.string()), std::string::npos) << error;
            }
        }
    }
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
    ASSERT_TRUE(writeExportFile(file, "new", resources));
    EXPECT_EQ(readWholeFile(file), "new");
    EXPECT_EQ(modeOf(file), 0440u);

    const fs::path shared = temp / "Shared.csv";
    writeWholeFile(shared, "old");
    fs::permissions(shared, static_cast<fs::perms>(0644));
    ASSERT_TRUE(writeExportFile(shared, "new", resources));
    EXPECT_EQ(modeOf(shared), 0644u);
    ASSERT_TRUE(writeExportFile(temp / "New.csv", "new", resources));
    EXPECT_EQ(modeOf(temp / "New.csv"), 0600u);
}

} // namespace
