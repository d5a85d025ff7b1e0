#include "app/BondListImportCommand.h"
#include "entry/BondChoiceLists.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/FilePermissionsApply.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::filesystem::path kImportData = std::filesystem::path(ORVELT_TEST_DATA_DIR) / "import";

class ImportCommandTest : public ::testing::Test {
  protected:
    TempDir dir;
    ScriptedToolkitServices services;
    BondDatabase db;
    const std::vector<std::string> faceValues = BondChoiceLists().faceValues();

    void SetUp() override { ASSERT_TRUE(db.createPortfolio("Family")); }

    std::vector<std::string> serials() const {
        std::vector<std::string> result;
        for (const Bond& bond : db.portfolio("Family")->bonds) {
            result.push_back(bond.serial);
        }
        return result;
    }
    // The Import command on a portfolio: the file dialog, the alerts, then the bonds added as the
    // application adds them.
    ImportReport runImport(ToolkitServices& answering, BondDatabase& store,
                           const std::optional<std::string>& portfolio) {
        ImportReport report = chooseAndReadBondList(answering, store, portfolio, faceValues);
        if (portfolio && !report.bonds.empty()) {
            store.appendBonds(*portfolio, report.bonds);
        }
        return report;
    }
    ImportReport importChosenFile(const std::filesystem::path& path) {
        services.answerOpenFile({path.string()});
        return runImport(services, db, "Family");
    }
};

TEST_F(ImportCommandTest, WithNoPortfolioOpenANoteShowsAndNoDialog) {
    BondDatabase closed;
    services.answerOpenFile({(kImportData / "windows_export_crlf.csv").string()});
    const ImportReport report = runImport(services, closed, std::nullopt);
    EXPECT_EQ(report.outcome, ImportReport::Outcome::NoPortfolioOpen);
    EXPECT_TRUE(services.openFileRequests.empty());
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].title, "No Portfolio Open");
    EXPECT_EQ(services.informationAlerts[0].message,
              "Please either open an existing bond file or create a new bond file for the "
              "imported bonds to be stored in.");
    EXPECT_TRUE(closed.toPropertyList()->empty());
}

TEST_F(ImportCommandTest, TheDialogAsksForOneCsvOrXlwFileAndCancelDoesNothing) {
    const ImportReport report = runImport(services, db, "Family");
    EXPECT_EQ(report.outcome, ImportReport::Outcome::Cancelled);
    ASSERT_EQ(services.openFileRequests.size(), 1u);
    const OpenFileRequest& panel = services.openFileRequests[0];
    EXPECT_EQ(panel.title, "Import Bond List");
    EXPECT_EQ(panel.message, "");
    EXPECT_EQ(panel.extensions, (std::vector<std::string>{"csv", "xlw"}));
    EXPECT_FALSE(panel.allowsMultipleSelection);
    EXPECT_EQ(panel.startDirectory, ""); // the user's home directory
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_TRUE(db.portfolio("Family")->bonds.empty());
}

TEST_F(ImportCommandTest, AWindowsExportIsImportedNeitherSortedNorSaved) {
    TempDir data;
    ScriptedToolkitServices fileServices;
    ASSERT_TRUE(writePropertyList(data / "portfolios.plist", PlistValue(PlistDict::create())));
    auto stored = BondDatabase::open(data / "portfolios.plist");
    ASSERT_TRUE(stored->createPortfolio("Family"));
    stored->save();
    const std::string savedBefore = readWholeFile(data / "portfolios.plist");

    fileServices.answerOpenFile({(kImportData / "windows_export_crlf.csv").string()});
    const ImportReport report = runImport(fileServices, *stored, "Family");
    EXPECT_EQ(report.added, 3u);
    const std::vector<Bond>& bonds = stored->portfolio("Family")->bonds;
    ASSERT_EQ(bonds.size(), 3u);
    EXPECT_EQ(bonds.front().serial, "C123456789EE");
    EXPECT_EQ(bonds.front().issueMonth, "June");
    // File order, not date order (1985 is last), and the portfolio file is untouched.
    EXPECT_EQ(bonds.back().issueYear, "1985");
    EXPECT_EQ(readWholeFile(data / "portfolios.plist"), savedBefore);
    EXPECT_TRUE(fileServices.alerts.empty());
}

TEST_F(ImportCommandTest, WindowsAndUnicodeEncodingsOfTheSameRow) {
    const std::string aUmlaut100 = "\xC3\x84"
                                   "100";
    for (const char* name : {"windows_1252.csv", "utf8_with_bom.csv", "utf16le_with_bom.csv"}) {
        BondDatabase fresh;
        ASSERT_TRUE(fresh.createPortfolio("P"));
        services.answerOpenFile({(kImportData / name).string()});
        runImport(services, fresh, "P");
        ASSERT_GE(fresh.portfolio("P")->bonds.size(), 1u) << name;
        const Bond& bond = fresh.portfolio("P")->bonds.front();
        EXPECT_EQ(bond.serial, aUmlaut100) << name;
        EXPECT_EQ(bond.faceValue, "200") << name;
        EXPECT_EQ(bond.issueMonth, "March") << name;
    }
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(ImportCommandTest, AFileWithBadRowsKeepsTheGoodOnesAndSaysWhichLinesWereLeft) {
    importChosenFile(kImportData / "with_bad_rows.xlw");
    EXPECT_EQ(serials(), (std::vector<std::string>{"R1", "R3", "R4"}));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_NE(services.alerts[0].message.find("\nLine 3: the face value is missing"),
              std::string::npos);
    EXPECT_NE(services.alerts[0].message.find("\nLine 6: it is not a bond row"), std::string::npos);
}

TEST_F(ImportCommandTest, AFileThatCannotBeReadSaysSo) {
    const std::filesystem::path folder = dir / "a folder.csv";
    std::filesystem::create_directory(folder);
    for (const auto& [path, why] : {std::pair{dir / "gone.csv", "No such file or directory"},
                                    std::pair{folder, "it is not a regular file"}}) {
        services.clear();
        const ImportReport report = importChosenFile(path);
        EXPECT_EQ(report.outcome, ImportReport::Outcome::Unreadable);
        ASSERT_EQ(services.alerts.size(), 1u);
        EXPECT_EQ(services.alerts[0].title, "Error");
        EXPECT_EQ(services.alerts[0].message,
                  "The file \"" + path.filename().string() + "\" could not be read: " + why + ".");
    }
    EXPECT_TRUE(db.portfolio("Family")->bonds.empty());
}

TEST_F(ImportCommandTest, AFileWithoutReadPermissionSaysSo) {
    const std::filesystem::path locked = dir / "locked.csv";
    writeWholeFile(locked, readWholeFile(kImportData / "windows_export_crlf.csv"));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const FilePermissionsApply asAnyUser;
    EXPECT_EQ(importChosenFile(locked).outcome, ImportReport::Outcome::Unreadable);
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message,
              "The file \"locked.csv\" could not be read: Permission denied.");
}

TEST_F(ImportCommandTest, AFileOverTheSizeLimitIsRefusedUnread) {
    const std::filesystem::path huge = dir / "huge.csv";
    // A sparse file: as big as the limit allows plus one byte, without using the disk.
    writeWholeFile(huge, "\"Serial Number\",\"Type\",\"Face Value\",\"Month Issued\",\"Year "
                         "Issued\"\n\"BIG\",\"EE\",$100,\"1\",\"2001\"\n");
    std::filesystem::resize_file(huge, kMaxBondListFileBytes + 1);
    const ImportReport report = importChosenFile(huge);
    EXPECT_EQ(report.outcome, ImportReport::Outcome::TooLarge);
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Invalid File");
    EXPECT_NE(services.alerts[0].message.find("\"huge.csv\" is too large"), std::string::npos);
    EXPECT_TRUE(db.portfolio("Family")->bonds.empty());

    // At the limit it is still read.
    std::filesystem::resize_file(huge, kMaxBondListFileBytes);
    services.clear();
    EXPECT_EQ(importChosenFile(huge).outcome, ImportReport::Outcome::Imported);
    EXPECT_EQ(serials(), std::vector<std::string>{"BIG"});
}

// A device is not a file of bonds: it is refused unread, not read up to the size limit.
TEST_F(ImportCommandTest, AnUnendingDeviceIsRefusedUnread) {
    if (!std::filesystem::exists("/dev/zero")) {
        GTEST_SKIP() << "no /dev/zero";
    }
    services.answerOpenFile({"/dev/zero"});
    EXPECT_EQ(runImport(services, db, "Family").outcome, ImportReport::Outcome::Unreadable);
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message,
              "The file \"zero\" could not be read: it is not a regular file.");
}

} // namespace
