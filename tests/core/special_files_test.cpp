// What is at the path of a data file need not be a plain file: a symbolic link (perhaps leading
// nowhere) or a named pipe. Saves go through links, and nothing that is not a regular file is
// waited on or replaced unasked.

#include "core/value_table_fixture.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "store/BondListImport.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueTableCompact.h"
#include "valuation/ValueTableFile.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kPortfolioSample =
    fs::path(ORVELT_TEST_DATA_DIR) / "plist" / "plistlib_portfolios.plist";

std::vector<fs::path> namesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Reading a named pipe would wait for a writer for ever: the test ends by the alarm instead.
class SpecialFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { ::alarm(60); }
    void TearDown() override { ::alarm(0); }

    TempDir dir;
    ScriptedToolkitServices services;
};

TEST_F(SpecialFilesTest, SavesGoThroughALinkToItsTargetAndTheLinkStays) {
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directory(elsewhere);
    fs::create_directory(dir / "data");
    writeWholeFile(elsewhere / "real.plist", readWholeFile(kPortfolioSample));
    // A chain: a relative link to an absolute one.
    fs::create_symlink(elsewhere / "real.plist", elsewhere / "middle.plist");
    const fs::path link = dir / "data" / "portfolios.plist";
    fs::create_symlink("../elsewhere/middle.plist", link);

    auto db = BondDatabase::open(link);
    ASSERT_FALSE(db->startupNotice());
    ASSERT_TRUE(db->createPortfolio("Through the link"));
    db->save();

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "../elsewhere/middle.plist");
    EXPECT_TRUE(fs::is_symlink(elsewhere / "middle.plist"));
    const PlistValue saved = readPropertyList(elsewhere / "real.plist");
    ASSERT_NE(saved.dictPtr(), nullptr);
    EXPECT_TRUE(saved.dictPtr()->contains("Through the link"));
    EXPECT_EQ(namesIn(elsewhere), (std::vector<fs::path>{"middle.plist", "real.plist"}));
    EXPECT_EQ(namesIn(dir / "data"), std::vector<fs::path>{"portfolios.plist"});

    fs::create_symlink("loop-b.plist", dir / "loop-a.plist");
    fs::create_symlink("loop-a.plist", dir / "loop-b.plist");
    std::string error;
    EXPECT_FALSE(writePropertyList(dir / "loop-a.plist", PlistValue(PlistDict::create()), &error));
    EXPECT_NE(error.find("links"), std::string::npos) << error;
}

TEST_F(SpecialFilesTest, ALinkLeadingNowhereIsAnUnreadableFileNeverReplacedByTheShippedOne) {
    const fs::path shipped = dir / "shipped";
    const fs::path data = dir / "data";
    fs::create_directories(shipped);
    fs::create_directories(data);
    writeWholeFile(shipped / "portfolios.plist", readWholeFile(kPortfolioSample));
    fs::create_symlink(dir / "unmounted" / "portfolios.plist", data / "portfolios.plist");

    const auto path = ResourceLocations(shipped, data).pathForResource("portfolios", "plist");
    ASSERT_TRUE(path);
    ASSERT_TRUE(fs::is_symlink(*path)) << "the link was replaced by the shipped file";
    auto db = BondDatabase::open(*path);
    ASSERT_TRUE(db->startupNotice());
    ASSERT_TRUE(db->setAsidePath());
    EXPECT_NE(db->startupNotice()->find(db->setAsidePath()->string()), std::string::npos);
    EXPECT_EQ(fs::read_symlink(*db->setAsidePath()), dir / "unmounted" / "portfolios.plist");
    EXPECT_TRUE(db->portfolioNames().empty());
}

TEST_F(SpecialFilesTest, NamedPipesAreRefusedAtOnceWhereverAFileIsRead) {
    const fs::path data = dir / "data";
    fs::create_directories(data);

    // The portfolio file: set aside with a notice, as any unreadable file.
    const fs::path portfolios = data / "portfolios.plist";
    ASSERT_EQ(::mkfifo(portfolios.c_str(), 0600), 0);
    auto db = BondDatabase::open(portfolios);
    ASSERT_TRUE(db->startupNotice());
    ASSERT_TRUE(db->setAsidePath());
    EXPECT_TRUE(fs::is_fifo(*db->setAsidePath()));

    // The value table: the update stops with an error naming the table.
    const fs::path table = data / "BondTable.plist";
    ASSERT_EQ(::mkfifo(table.c_str(), 0600), 0);
    const fs::path values = dir / "values.asc";
    writeWholeFile(values, "");
    std::string error;
    EXPECT_FALSE(updateUserValueTable(ResourceLocations({}, data), {values}, &error));
    EXPECT_NE(error.find("BondTable.plist"), std::string::npos) << error;
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_fifo(table));

    // A value file: the update stops with an error naming it.
    fs::remove(table);
    const fs::path pipedValues = dir / "piped.asc";
    ASSERT_EQ(::mkfifo(pipedValues.c_str(), 0600), 0);
    EXPECT_FALSE(updateUserValueTable(ResourceLocations({}, data), {pipedValues}, &error));
    EXPECT_NE(error.find("piped.asc"), std::string::npos) << error;

    // A bond list chosen for import: the file cannot be read.
    const fs::path bondList = dir / "bonds.csv";
    ASSERT_EQ(::mkfifo(bondList.c_str(), 0600), 0);
    std::string bytes;
    EXPECT_EQ(readBondListFile(bondList, bytes), ImportReport::Outcome::Unreadable);
    EXPECT_TRUE(bytes.empty());
}

// Where a table file is read there may be a named pipe, a device reached through a link, or a
// file far larger than any table: the compact form is then passed over for the file's XML, and
// a table or rates file of that kind is refused, each at once.
TEST_F(SpecialFilesTest, TableFilesThatAreNoTablesOfTheirSizeAreRefusedAtOnce) {
    const fs::path shipped = dir / "shipped";
    fs::create_directories(shipped);
    const ResourceLocations resources(shipped, dir / "data");
    const fs::path table = shipped / "BondTable.plist";
    const fs::path rates = shipped / "EarningRates.plist";
    const PlistDictRef leaves = makeValueTable({{"EE", "2009", "06", "2001", "March", "002712"}});
    ASSERT_TRUE(writePropertyList(table, PlistValue(leaves)));
    const std::vector<std::function<void(const fs::path&)>> notTables = {
        [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
        [](const fs::path& at) { fs::create_symlink("/dev/zero", at); },
        [](const fs::path& at) {
            writeWholeFile(at, "");
            fs::resize_file(at, std::uintmax_t{2} << 30);
        },
    };
    for (std::size_t kind = 0; kind < notTables.size(); ++kind) {
        SCOPED_TRACE(kind);
        notTables[kind](compactFormPath(table));
        const ValueTableRef read = readValueTableFile(table);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->cell(BondSeries::EE, YearMonth{2009, 6}, YearMonth{2001, 3}), 2712);
        fs::remove(compactFormPath(table));

        notTables[kind](rates);
        std::string problem;
        EXPECT_EQ(loadBondTable(resources, &problem), nullptr);
        EXPECT_NE(problem.find(rates.string() + " cannot be read"), std::string::npos) << problem;
        fs::remove(rates);

        fs::remove(table);
        notTables[kind](table);
        std::string error;
        EXPECT_EQ(readValueTableXml(table, &error), nullptr);
        EXPECT_FALSE(error.empty());
        fs::remove(table);
        ASSERT_TRUE(writePropertyList(table, PlistValue(leaves)));
    }
}

} // namespace
