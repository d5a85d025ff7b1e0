#include "platform/AtomicFile.h"
#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "store/PortfolioFileReader.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class PortfolioFileTest : public ::testing::Test {
  protected:
    TempDir dir;
    fs::path file = dir / "portfolios.plist";
    ScriptedToolkitServices services;

    std::unique_ptr<BondDatabase> open() { return BondDatabase::initWithFile(file, services); }

    std::vector<fs::path> filesInDir() const {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The keys of the dictionary at `path` in the saved file; nothing when the file cannot be
    // read or holds no such dictionary.
    std::optional<std::vector<std::string>> savedKeys(const std::string& record = {}) const {
        const PlistValue root = readPropertyList(file);
        const PlistValue* value =
            record.empty() || root.dictPtr() == nullptr ? &root : root.dictPtr()->find(record);
        if (value == nullptr || value->dictPtr() == nullptr) {
            return std::nullopt;
        }
        return value->dictPtr()->keys();
    }

    std::vector<std::string> dates(const BondDatabase& db) const {
        std::vector<std::string> result;
        for (const PlistValue& bond : *db.currentBondList()) {
            result.push_back(bond.dictPtr()->text(kIssueMonthKey) + " " +
                             bond.dictPtr()->text(kIssueYearKey));
        }
        return result;
    }
};

TEST_F(PortfolioFileTest, SavedPortfoliosReadBackWithTheirBondsInOrder) {
    {
        auto db = open();
        EXPECT_FALSE(db->startupNotice());
        EXPECT_TRUE(db->getPortfolioNames().empty());
        ASSERT_TRUE(db->addPortfolioWithName("Zeta"));
        ASSERT_TRUE(db->addBondWithSerial("Z1", "100", "EE", "1995", "March"));
        ASSERT_TRUE(db->addPortfolioWithName("Alpha"));
        ASSERT_TRUE(db->addBondWithSerial("A2", "50", "I", "2001", "May"));
        ASSERT_TRUE(db->addBondWithSerial("A1", "25", "S", "1990", "January"));
        db->save();
    }
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    auto db = open();
    EXPECT_EQ(db->getPortfolioNames(), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_FALSE(db->getCurrentPortfolio());
    db->setNewCurrentPortfolio("Alpha");
    EXPECT_EQ(dates(*db), (std::vector<std::string>{"May 2001", "January 1990"}));
    // The lists read are modifiable in place.
    db->deleteBondWithSerial("A2");
    ASSERT_TRUE(db->addBondWithSerial("A3", "75", "EE", "2002", "June"));
    db->sortBondsByDate();
    db->save();
    auto again = open();
    again->setNewCurrentPortfolio("Alpha");
    EXPECT_EQ(dates(*again), (std::vector<std::string>{"January 1990", "June 2002"}));
}

TEST_F(PortfolioFileTest, SaveWithoutAnOpenPortfolioAndOfAnEmptyDatabase) {
    auto db = open();
    db->save();
    EXPECT_EQ(savedKeys(), std::vector<std::string>{});
    ASSERT_TRUE(db->addPortfolioWithName("P"));
    ASSERT_TRUE(db->addBondWithSerial("S", "100", "EE", "2001", "May"));
    // Created after the last save: not in the file until the next one.
    EXPECT_EQ(savedKeys(), std::vector<std::string>{});
    db->setCurrentPortfolio(std::nullopt);
    db->setCurrentBondList(nullptr);
    db->save();
    EXPECT_EQ(readPropertyList(file), PlistValue(db->portfolios()));
}

TEST_F(PortfolioFileTest, RecordsNotStoredAnewAreWrittenBackAsRead) {
    writeWholeFile(file, readWholeFile(fs::path(ORVELT_TEST_DATA_DIR) / "plist" /
                                       "plistlib_portfolios.plist"));
    const PlistValue original = readPropertyList(file);
    ASSERT_NE(original.dictPtr(), nullptr);
    auto db = open();
    EXPECT_FALSE(db->startupNotice());
    db->setNewCurrentPortfolio("Family");
    // An <integer> face value is read as a number.
    const PlistDictRef bond = db->getBondWithSerial("Q 42 & <co>");
    ASSERT_TRUE(bond);
    const PlistValue* face = bond->find(kFaceValueKey);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(doubleValueOf(*face), 500.0);
    db->setNewCurrentPortfolio("No list");
    db->setNewCurrentPortfolio("Grandmère's 債券");
    db->save();
    PlistValue saved = readPropertyList(file);
    ASSERT_NE(saved.dictPtr(), nullptr);
    // "Family" and "No list" keep their unknown keys; the open portfolio is stored anew with
    // exactly its two keys.
    EXPECT_EQ(saved.dictPtr()->value("Family"), original.dictPtr()->value("Family"));
    EXPECT_EQ(saved.dictPtr()->value("No list"), original.dictPtr()->value("No list"));
    const PlistValue* storedRecord = saved.dictPtr()->find("Grandmère's 債券");
    ASSERT_TRUE(storedRecord != nullptr && storedRecord->dictPtr() != nullptr);
    const PlistDict* stored = storedRecord->dictPtr();
    EXPECT_EQ(stored->keys(), (std::vector<std::string>{"Name", "Bonds"}));
    EXPECT_EQ(saved.dictPtr()->keys(), original.dictPtr()->keys());
}

TEST_F(PortfolioFileTest, ARecordWithoutBondsKeepsTheBondAddedToIt) {
    writeWholeFile(file, readWholeFile(fs::path(ORVELT_TEST_DATA_DIR) / "plist" /
                                       "plistlib_portfolios.plist"));
    {
        auto db = open();
        db->setNewCurrentPortfolio("No list");
        db->save();
        EXPECT_EQ(savedKeys("No list"), std::vector<std::string>{"Name"});
        ASSERT_TRUE(db->addBondWithSerial("N1", "100", "EE", "2001", "May"));
        db->save();
    }
    auto db = open();
    db->setNewCurrentPortfolio("No list");
    EXPECT_TRUE(db->bondExistsWithSerial("N1"));
}

TEST_F(PortfolioFileTest, AMissingFileStartsEmptyAndSavesNormally) {
    auto db = open();
    EXPECT_FALSE(db->startupNotice());
    EXPECT_TRUE(db->getPortfolioNames().empty());
    ASSERT_TRUE(db->addPortfolioWithName("New"));
    db->save();
    EXPECT_EQ(savedKeys(), std::vector<std::string>{"New"});
    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"portfolios.plist"});
}

// Every kind of unreadable file is kept byte for byte under a new name, the user is told where,
// and the work done afterwards is saved in a new portfolio file.
TEST_F(PortfolioFileTest, AnUnreadableFileIsSetAsideAndNewWorkIsSaved) {
    const std::string valid =
        readWholeFile(fs::path(ORVELT_TEST_DATA_DIR) / "plist" / "plistlib_portfolios.plist");
    std::string noise(4096, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 100000; ++i) {
        deep += "<dict><key>k</key>";
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"truncated", valid.substr(0, valid.size() / 2)},
        {"not a property list", "Serial,Type\nC1,EE\n"},
        {"root is an array", "<plist version=\"1.0\"><array><string>x</string></array></plist>"},
        {"root is a string", "<plist version=\"1.0\"><string>x</string></plist>"},
        {"nested thousands deep", deep},
        {"nesting hidden in quoted attributes", "<plist version=\"1.0\">" +
                                                    [] {
                                                        std::string hidden;
                                                        for (int i = 0; i < 300000; ++i) {
                                                            hidden += "<array a=\"/>\">";
                                                        }
                                                        return hidden;
                                                    }()},
        {"text that is not UTF-8",
         "<plist><dict><key>A\xFE</key><dict/><key>A\xFF</key><dict/></dict></plist>"},
        {"a portfolio given twice",
         "<plist><dict><key>P</key><dict/><key>Q</key><dict/><key>P</key><dict/></dict></plist>"},
        {"binary noise", noise},
        {"binary property list", std::string("bplist00\xd0\x08\0\0\0\0\0\0\x01\x01", 16)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        TempDir caseDir;
        const fs::path path = caseDir / "portfolios.plist";
        writeWholeFile(path, bytes);
        auto db = BondDatabase::initWithFile(path, services);
        EXPECT_TRUE(db->getPortfolioNames().empty());
        ASSERT_TRUE(db->startupNotice());
        ASSERT_TRUE(db->setAsidePath());
        EXPECT_EQ(db->setAsidePath()->parent_path(), caseDir.path());
        EXPECT_NE(db->startupNotice()->find(db->setAsidePath()->string()), std::string::npos);
        EXPECT_EQ(readWholeFile(*db->setAsidePath()), bytes);
        ASSERT_TRUE(db->addPortfolioWithName("After"));
        ASSERT_TRUE(db->addBondWithSerial("S", "100", "EE", "2001", "May"));
        db->save();
        auto reopened = BondDatabase::initWithFile(path, services);
        EXPECT_FALSE(reopened->startupNotice());
        reopened->setNewCurrentPortfolio("After");
        EXPECT_TRUE(reopened->bondExistsWithSerial("S"));
        EXPECT_EQ(readWholeFile(*db->setAsidePath()), bytes);
    }
    // The notice is for the application to show; the store shows nothing itself.
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(PortfolioFileTest, AnUnreadableFileThatCannotBeSetAsideIsNeverOverwritten) {
    const std::string damaged = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Fam";
    writeWholeFile(file, damaged);
    setSetAsideFaultHookForTesting([] { return false; });
    auto db = open();
    setSetAsideFaultHookForTesting({});
    EXPECT_FALSE(db->setAsidePath());
    ASSERT_TRUE(db->startupNotice());
    EXPECT_NE(db->startupNotice()->find("left untouched"), std::string::npos);
    ASSERT_TRUE(db->addPortfolioWithName("New"));
    ASSERT_TRUE(db->addBondWithSerial("S", "100", "EE", "2001", "May"));
    db->save();
    db->deletePortfolioWithName("New");
    db->save();
    EXPECT_EQ(readWholeFile(file), damaged);
    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"portfolios.plist"});
}

TEST_F(PortfolioFileTest, SettingAsideNeverReplacesAnEarlierSetAsideFile) {
    writeWholeFile(file, "first");
    const auto first = setFileAside(file, "20090601-120000");
    writeWholeFile(file, "second");
    const auto second = setFileAside(file, "20090601-120000");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(first->filename(), "portfolios.unreadable-20090601-120000.plist");
    EXPECT_EQ(readWholeFile(*first), "first");
    EXPECT_EQ(readWholeFile(*second), "second");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PortfolioFileTest, AFileLargerThanTheLimitIsSetAsideUnread) {
    writeWholeFile(file, readWholeFile(fs::path(ORVELT_TEST_DATA_DIR) / "plist" /
                                       "plistlib_portfolios.plist"));
    PortfolioFileContents contents = readPortfolioFile(file, 100);
    EXPECT_TRUE(contents.portfolios->empty());
    ASSERT_TRUE(contents.setAsidePath);
    EXPECT_TRUE(contents.notice);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PortfolioFileTest, AFailedSaveLeavesThePreviousFileWhole) {
    auto db = open();
    ASSERT_TRUE(db->addPortfolioWithName("P"));
    ASSERT_TRUE(db->addBondWithSerial("S1", "100", "EE", "2001", "May"));
    db->save();
    const std::string before = readWholeFile(file);
    ASSERT_TRUE(db->addBondWithSerial("S2", "100", "EE", "2001", "May"));
    for (const char* step : {"open", "write", "sync", "rename"}) {
        SCOPED_TRACE(step);
        setAtomicWriteFaultHookForTesting(
            [step](std::string_view current) { return current != step; });
        db->save();
        setAtomicWriteFaultHookForTesting({});
        EXPECT_EQ(readWholeFile(file), before);
        EXPECT_EQ(filesInDir(), std::vector<fs::path>{"portfolios.plist"});
        EXPECT_TRUE(db->bondExistsWithSerial("S2"));
    }
    db->save();
    auto again = open();
    again->setNewCurrentPortfolio("P");
    EXPECT_TRUE(again->bondExistsWithSerial("S2"));
}

// Serials that differ only in a control character stay two bonds across a save.
TEST_F(PortfolioFileTest, SerialsWithControlCharactersReadBackUnchangedAndDistinct) {
    auto db = open();
    ASSERT_TRUE(db->addPortfolioWithName("P"));
    ASSERT_TRUE(db->addBondWithSerialWhileImporting("C1\x01"
                                                    "EE",
                                                    "100", "EE", "2001", "May"));
    ASSERT_TRUE(db->addBondWithSerialWhileImporting("C1\x1f"
                                                    "EE",
                                                    "100", "EE", "2001", "May"));
    ASSERT_TRUE(db->addBondWithSerial("Fine", "50", "I", "2002", "June"));
    db->save();
    auto again = open();
    EXPECT_FALSE(again->startupNotice());
    again->setNewCurrentPortfolio("P");
    ASSERT_EQ(again->currentBondList()->size(), 3u);
    EXPECT_TRUE(again->bondExistsWithSerial("C1\x01"
                                            "EE"));
    EXPECT_TRUE(again->bondExistsWithSerial("C1\x1f"
                                            "EE"));
    EXPECT_TRUE(again->bondExistsWithSerial("Fine"));
}

TEST_F(PortfolioFileTest, MonthNumbers) {
    BondDatabase db(services);
    EXPECT_EQ(db.getIntValueOfMonth("January"), 0);
    EXPECT_EQ(db.getIntValueOfMonth("December"), 11);
    EXPECT_EQ(db.getIntValueOfMonth("June"), 5);
    EXPECT_EQ(db.getIntValueOfMonth("january"), 12);
    EXPECT_EQ(db.getIntValueOfMonth(""), 12);
    EXPECT_EQ(db.getIntValueOfMonth(" March"), 12);
}

PlistValue bondOf(const char* year, const char* month, const char* serial = "") {
    auto bond = PlistDict::create();
    bond->set(kSerialKey, PlistValue(serial));
    bond->set(kIssueYearKey, PlistValue(year));
    bond->set(kIssueMonthKey, PlistValue(month));
    return PlistValue(bond);
}

TEST_F(PortfolioFileTest, MonthAndYearComparisons) {
    EXPECT_EQ(monthSort(bondOf("1990", "March"), bondOf("1990", "May"), nullptr), -1);
    EXPECT_EQ(monthSort(bondOf("1990", "December"), bondOf("1990", "May"), nullptr), 1);
    // Text that is no month name ranks with January.
    EXPECT_EQ(monthSort(bondOf("1990", "13"), bondOf("1990", "January"), nullptr), 0);
    EXPECT_EQ(monthSort(bondOf("1990", "march"), bondOf("1990", "February"), nullptr), -1);
    EXPECT_EQ(yearSort(bondOf("1990", ""), bondOf(" 1995x", ""), nullptr), -1);
    EXPECT_EQ(yearSort(bondOf("-5", ""), bondOf("abc", ""), nullptr), -1);
    EXPECT_EQ(yearSort(bondOf("+2001", ""), bondOf("2001.9", ""), nullptr), 0);
    EXPECT_EQ(yearSort(bondOf("2010", ""), bondOf("2009", ""), nullptr), 1);
    // A numeric year read from a file is compared as its number.
    auto numeric = PlistDict::create();
    numeric->set(kIssueYearKey, PlistValue::integer(1999));
    EXPECT_EQ(yearSort(PlistValue(numeric), bondOf("2000", ""), nullptr), -1);
}

TEST_F(PortfolioFileTest, SortByDateOrdersByYearThenMonth) {
    BondDatabase db(services);
    db.sortBondsByDate();
    ASSERT_TRUE(db.addPortfolioWithName("P"));
    for (auto [year, month, serial] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"1995", "March", "a"},
             {"1990", "December", "b"},
             {"1995", "January", "c"},
             {"1990", "January", "d"},
             {"1995", "Smarch", "e"},
             {"1990", "December", "f"}}) {
        db.currentBondList()->push_back(bondOf(year, month, serial));
    }
    const PlistArrayRef list = db.currentBondList();
    db.sortBondsByDate();
    EXPECT_EQ(db.currentBondList(), list);
    std::vector<std::string> serials;
    for (const PlistValue& bond : *list) {
        serials.push_back(bond.dictPtr()->text(kSerialKey));
    }
    EXPECT_EQ(serials, (std::vector<std::string>{"d", "b", "f", "c", "e", "a"}));
    // The new order is the portfolio's: it is what the next save writes.
    EXPECT_EQ(plistFind(db.portfolios().get(), {"P", kPortfolioBondsKey})->arrayPtr(), list.get());
}

} // namespace
