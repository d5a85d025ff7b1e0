// orvelt-cli's writing commands, run as a program: the bond list import and the value-file
// update, their all-or-nothing writes, and the data folder lock they share with the application.

#include "platform/DataFolderLock.h"
#include "platform/PropertyList.h"
#include "store/BondRecord.h"
#include "support/CliDataFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string kHeader =
    "\"Serial Number\",\"Type\",\"Face Value\",\"Month Issued\",\"Year Issued\"\r\n";

// The serials of a portfolio in the file, in list order.
std::vector<std::string> serialsInFile(const CliDataFolder& folder, const std::string& name) {
    std::vector<std::string> serials;
    const PlistValue root = readPropertyList(folder.portfolioFile());
    const PlistValue* bonds = plistFind(root.dictPtr(), {name, kPortfolioBondsKey});
    if (bonds != nullptr && bonds->arrayPtr() != nullptr) {
        for (const PlistValue& bond : *bonds->arrayPtr()) {
            serials.push_back(bond.dictPtr() != nullptr ? bond.dictPtr()->text(kSerialKey) : "");
        }
    }
    return serials;
}

std::string leafInFile(const std::filesystem::path& table,
                       std::initializer_list<std::string_view> keys) {
    const PlistValue root = readPropertyList(table);
    const PlistValue* leaf = plistFind(root.dictPtr(), keys);
    return leaf != nullptr ? leaf->text() : "<absent>";
}

bool isPrivateToOwner(const std::filesystem::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && (info.st_mode & 0777) == 0600;
}

// One line of a Treasury value file: series code, redemption year and month, issue year, and
// twelve six-character leaves.
std::string valueFileLine(const std::string& code, const std::string& redemption,
                          const std::string& issueYear, const std::string& leaf) {
    std::string line = code + redemption + issueYear;
    for (int month = 0; month < 12; ++month) {
        line += leaf;
    }
    return line + "\r\n";
}

class CliWriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.writeTable(sampleValueTable());
        folder.writePortfolios(
            {{"Family",
              {{"C300", "EE", "100", "2001", "March"}, {"C100", "EE", "50", "1990", "January"}}},
             {"Other", {}}});
    }

    CliDataFolder folder;
};

TEST_F(CliWriteTest, ImportAddsRowsSavesAndTellsWhatWasPassedOver) {
    const auto file =
        folder.writeFile("bonds.csv", kHeader + "\"N1\",\"EE\",$100,\"6\",\"2001\"\r\n"
                                                "\"C100\",\"EE\",$50,\"1\",\"1990\"\r\n"
                                                "\"N2\",\"EE\",$50,\"13\",\"2001\"\r\n"
                                                "a line that is no bond\r\n"
                                                "\"N3\",\"I\",$200,\"12\",\"2005\",extra\r\n"
                                                "\"N4\",\"EE\",$100,\"1\",\"2010\"\r\n");
    const CliResult result = folder.run({"import", "Family", file.string()});

    EXPECT_EQ(serialsInFile(folder, "Family"),
              (std::vector<std::string>{"C300", "C100", "N1", "N3", "N4"}))
        << "imported bonds go to the end, unsorted";
    EXPECT_TRUE(isPrivateToOwner(folder.portfolioFile()));
    const PlistValue saved = readPropertyList(folder.portfolioFile());
    const PlistValue* bonds = plistFind(saved.dictPtr(), {"Family", "Bonds"});
    ASSERT_TRUE(bonds != nullptr && bonds->arrayPtr() != nullptr);
    ASSERT_GE(bonds->arrayPtr()->size(), 3u);
    const PlistDict& n1 = *(*bonds->arrayPtr())[2].dictPtr();
    EXPECT_EQ(n1.text(kIssueMonthKey), "June");
    EXPECT_EQ(n1.text(kFaceValueKey), "100");

    const std::vector<std::string> lines = linesOf(result.out);
    ASSERT_GE(lines.size(), 8u) << result.out;
    EXPECT_EQ(lines[0], "Added 3 bonds to \"Family\" from " + file.string() + ":");
    EXPECT_EQ(lines[1].rfind("  N1", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find("$100"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("June 2001"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind("  N3", 0), 0u) << lines[2];
    EXPECT_EQ(lines[4], "Passed over 1 row whose serial is already in \"Family\".");
    EXPECT_EQ(lines[5], "Passed over 2 lines that could not be read:");
    EXPECT_EQ(lines[6].rfind("  line 4: the month \"13\"", 0), 0u) << lines[6];
    EXPECT_EQ(lines[7].rfind("  line 5: ", 0), 0u) << lines[7];
    // As the window's import and list call it, at the month the report starts at.
    EXPECT_NE(result.err.find("These bonds are not issued yet in July 2009 and count in no total "
                              "until they are:\nN4 (January 2010)"),
              std::string::npos)
        << result.err;
    // Some of the file was not read: the status says so, the rest is kept.
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("the other bonds were added and saved"), std::string::npos)
        << result.err;
}

// What export writes, import reads back into an empty portfolio; the portfolio file itself is
// never the export's target.
TEST_F(CliWriteTest, ExportWritesWhatImportReadsBackAndNeverOverThePortfolioFile) {
    const std::filesystem::path file = folder.path().parent_path() / "family.csv";
    const CliResult exported = folder.run({"export", "Family", file.string()});
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, "Exported 2 bonds of \"Family\" to " + file.string() + "\n");
    EXPECT_EQ(folder.run({"import", "Other", file.string()}).exitCode, 0);
    EXPECT_EQ(serialsInFile(folder, "Other"), (std::vector<std::string>{"C300", "C100"}));

    const std::string before = readWholeFile(folder.portfolioFile());
    const CliResult refused = folder.run({"export", "Family", folder.portfolioFile().string()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Nothing was exported."), std::string::npos) << refused.err;
    EXPECT_EQ(readWholeFile(folder.portfolioFile()), before);
}

TEST_F(CliWriteTest, ImportingTheSameFileTwiceAddsItsBondsOnce) {
    const auto file = folder.writeFile("bonds.csv", kHeader + "\"N1\",\"EE\",$100,\"6\",\"2001\"\n"
                                                              "\"N2\",\"S\",$75,\"06\",\"1969\"\n");
    const CliResult first = folder.run({"import", "Other", file.string()});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    const std::string afterFirst = readWholeFile(folder.portfolioFile());

    const CliResult second = folder.run({"import", "Other", file.string()});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(
        linesOf(second.out),
        (std::vector<std::string>{"Added 0 bonds to \"Other\" from " + file.string() + ".",
                                  "Passed over 2 rows whose serials are already in \"Other\"."}));
    EXPECT_EQ(readWholeFile(folder.portfolioFile()), afterFirst);
    EXPECT_EQ(serialsInFile(folder, "Other"), (std::vector<std::string>{"N1", "N2"}));
    EXPECT_EQ(serialsInFile(folder, "Family"), (std::vector<std::string>{"C300", "C100"}));
}

// The bonds are saved before the report is printed: when only the printing fails, the status and
// the message say that the import itself was saved.
TEST_F(CliWriteTest, AnImportWhoseReportCannotBePrintedSaysItWasSaved) {
    const auto file =
        folder.writeFile("bonds.csv", kHeader + "\"N1\",\"EE\",$100,\"6\",\"2001\"\n");
    const CliResult result = folder.run({"import", "Other", file.string()}, "/dev/full");
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(result.err, "orvelt-cli: the import of 1 bond into \"Other\" was saved; only its "
                          "report could not be written to standard output\n");
    EXPECT_EQ(serialsInFile(folder, "Other"), std::vector<std::string>{"N1"});
}

TEST_F(CliWriteTest, FailedImportsLeaveThePortfolioFileAsItWas) {
    const std::string before = readWholeFile(folder.portfolioFile());
    const auto noHeader = folder.writeFile("workspace.xlw", "\"N1\",\"EE\",$100,\"6\",\"2001\"\n");
    const auto good = folder.writeFile("good.csv", kHeader + "\"N1\",\"EE\",$100,\"6\",\"2001\"\n");
    const auto folderAsFile = folder.path();
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"import", "Family", noHeader.string()}, "is not a bond list exported from Orvelt"},
        {{"import", "Family", (folder.path() / "none.csv").string()}, "no such file"},
        {{"import", "Family", folderAsFile.string()}, "not a regular file"},
        {{"import", "Nobody", good.string()}, "no portfolio named \"Nobody\""},
        {{"import", "Family", good.string(), "--format", "csv"}, "--format is for the report"},
    };
    for (const Case& failing : cases) {
        const CliResult result = folder.run(failing.arguments);
        EXPECT_NE(result.exitCode, 0) << failing.message;
        EXPECT_NE(result.err.find(failing.message), std::string::npos) << result.err;
        EXPECT_EQ(linesOf(result.err).size(), 1u) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(readWholeFile(folder.portfolioFile()), before) << failing.message;
    }
}

TEST_F(CliWriteTest, APortfolioLinkLeadingNowhereIsAnUnreadableFileSetAsideAsALink) {
    const auto good = folder.writeFile("good.csv", kHeader + "\"N1\",\"EE\",$100,\"6\",\"2001\"\n");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"import", "Family", good.string()}, {"list"}}) {
        std::filesystem::remove(folder.portfolioFile());
        std::filesystem::create_symlink(folder.path() / "gone" / "portfolios.plist",
                                        folder.portfolioFile());
        const CliResult result = folder.run(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_NE(result.err.find("cannot read the portfolio file"), std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("set aside"), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(folder.portfolioFile()));
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "gone"));
    }
    std::size_t links = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        links += entry.is_symlink() &&
                 entry.path().filename().string().starts_with("portfolios.unreadable-");
    }
    EXPECT_EQ(links, 2u);
}

TEST_F(CliWriteTest, WritesAreRefusedWhileTheDataFolderIsLocked) {
    const std::string portfoliosBefore = readWholeFile(folder.portfolioFile());
    const std::string tableBefore = readWholeFile(folder.tableFile());
    const auto bonds =
        folder.writeFile("bonds.csv", kHeader + "\"N1\",\"EE\",$100,\"6\",\"2001\"\n");
    const auto values =
        folder.writeFile("values.asc", valueFileLine("N", "200908", "2001", "003000"));
    {
        // As the running application holds it.
        std::optional<DataFolderLock> held = DataFolderLock::tryAcquire(folder.path());
        ASSERT_TRUE(held.has_value());

        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"import", "Family", bonds.string()},
              {"values", "import", values.string()}}) {
            const CliResult result = folder.run(arguments);
            EXPECT_EQ(result.exitCode, 3) << arguments[0];
            EXPECT_NE(result.err.find("is in use by Orvelt or another orvelt-cli command"),
                      std::string::npos)
                << result.err;
            EXPECT_EQ(linesOf(result.err).size(), 1u);
            EXPECT_EQ(result.out, "");
        }
        EXPECT_EQ(readWholeFile(folder.portfolioFile()), portfoliosBefore);
        EXPECT_EQ(readWholeFile(folder.tableFile()), tableBefore);

        // Reading goes on while the application runs.
        EXPECT_EQ(folder.run({"report", "Family", "--month", "2009-06"}).exitCode, 0);
        EXPECT_EQ(folder.run({"list"}).exitCode, 0);
    }
    const CliResult released = folder.run({"import", "Family", bonds.string()});
    EXPECT_EQ(released.exitCode, 0) << released.err;
    EXPECT_EQ(serialsInFile(folder, "Family"), (std::vector<std::string>{"C300", "C100", "N1"}));
}

TEST_F(CliWriteTest, ValuesImportMergesIntoTheUsersTableAndTheReportUsesIt) {
    const auto august =
        folder.writeFile("sb200908.asc", valueFileLine("N", "200908", "2001", "003000") +
                                             valueFileLine("N", "200906", "1991", "004999"));
    const CliResult result = folder.run({"values", "import", august.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(linesOf(result.out),
              (std::vector<std::string>{
                  "Merged 1 value file into " + folder.tableFile().string() + ".",
                  "The table holds 3 redemption months, June 2009 to August 2009."}));
    EXPECT_TRUE(isPrivateToOwner(folder.tableFile()));
    EXPECT_EQ(leafInFile(folder.tableFile(), {"EE", "2009", "08", "2001", "March"}), "003000");
    EXPECT_EQ(leafInFile(folder.tableFile(), {"EE", "2009", "06", "1991", "January"}), "004999");
    EXPECT_EQ(leafInFile(folder.tableFile(), {"EE", "2009", "07", "2001", "March"}), "002715")
        << "what the files do not hold is kept";

    const CliResult report =
        folder.run({"report", "Family", "--month", "2009-08", "--format", "csv"});
    EXPECT_EQ(report.exitCode, 0) << report.err;
    EXPECT_NE(report.out.find("C300,EE,$100,2001,March,$120.00\r\n"), std::string::npos)
        << report.out;
}

TEST_F(CliWriteTest, ValuesImportWithABadFileChangesNothing) {
    const std::string tableBefore = readWholeFile(folder.tableFile());
    const auto good = folder.writeFile("good.asc", valueFileLine("N", "200908", "2001", "003000"));
    const auto bad = folder.writeFile("bad.asc", valueFileLine("N", "200908", "2001", "003000") +
                                                     "N20091x2001" + std::string(72, '0') + "\n");
    // Values the table holds already, changed.
    const auto changed =
        folder.writeFile("changed.asc", valueFileLine("N", "200906", "1990", "004999"));
    for (const std::vector<std::string>& files :
         {std::vector<std::string>{good.string(), bad.string()},
          {good.string(), (folder.path() / "missing.asc").string()},
          {good.string(), changed.string()}}) {
        std::vector<std::string> arguments = {"values", "import"};
        arguments.insert(arguments.end(), files.begin(), files.end());
        const CliResult result = folder.run(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.rfind("orvelt-cli: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("The value table was not changed."), std::string::npos)
            << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(readWholeFile(folder.tableFile()), tableBefore);
    }
    const CliResult refused = folder.run({"values", "import", changed.string()});
    EXPECT_NE(refused.err.find("Series EE, redeemed in June 2009, issued in January 1990: NO PAY "
                               "in the table, 004999 in changed.asc"),
              std::string::npos)
        << refused.err;
}

TEST(CliValuesTest, WithoutAUserTableTheShippedOneIsNeverWritten) {
    CliDataFolder folder;
    const auto bad = folder.writeFile("bad.asc", "X200908\n");
    const CliResult refused = folder.run({"values", "import", bad.string()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.tableFile()));

    const auto good = folder.writeFile("good.asc", valueFileLine("N", "203001", "2001", "009999"));
    const CliResult merged = folder.run({"values", "import", good.string()});
    EXPECT_EQ(merged.exitCode, 0) << merged.err;
    EXPECT_EQ(leafInFile(folder.tableFile(), {"EE", "2030", "01", "2001", "June"}), "009999");
}

} // namespace

namespace {

// A long import names its first bonds and counts the rest.
TEST_F(CliWriteTest, ALongImportNamesOnlyItsFirstBonds) {
    std::string rows = kHeader;
    for (int i = 0; i < 25; ++i) {
        rows += "\"L" + std::to_string(i) + "\",\"EE\",$100,\"6\",\"2001\"\r\n";
    }
    const CliResult result =
        folder.run({"import", "Other", folder.writeFile("l.csv", rows).string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(linesOf(result.out).size(), 22u) << result.out;
    EXPECT_NE(result.out.find("  and 5 more\n"), std::string::npos) << result.out;
}

// The folder of earlier versions, in use by a running earlier Orvelt, is not moved away from
// it, even by a command that only reads.
TEST(CliDataFolderMoveTest, AnOldFolderInUseIsNotMovedAndNothingRuns) {
    TempDir home;
    const std::filesystem::path oldDir = home / "data" / "Orvelt" / "Orvelt";
    std::filesystem::create_directories(oldDir);
    writeWholeFile(oldDir / "portfolios.plist", "kept");
    const std::optional<DataFolderLock> held = DataFolderLock::tryAcquire(oldDir);
    ASSERT_TRUE(held.has_value());
    const CliResult result = runOrveltCli({"list"}, home.path());
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("in use by a running Orvelt"), std::string::npos) << result.err;
    EXPECT_EQ(readWholeFile(oldDir / "portfolios.plist"), "kept");
    EXPECT_FALSE(std::filesystem::exists(home / "data" / "orvelt"));
}

} // namespace
