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

    std::unique_ptr<BondDatabase> open() { return BondDatabase::open(file); }

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

    std::vector<std::string> dates(const BondDatabase& db, const std::string& portfolio) const {
        std::vector<std::string> result;
        for (const Bond& bond : db.portfolio(portfolio)->bonds) {
            result.push_back(bond.issueMonth + " " + bond.issueYear);
        }
        return result;
    }
};

TEST_F(PortfolioFileTest, SavedPortfoliosReadBackWithTheirBondsInOrder) {
    {
        auto db = open();
        EXPECT_FALSE(db->startupNotice());
        EXPECT_TRUE(db->portfolioNames().empty());
        ASSERT_TRUE(db->createPortfolio("Zeta"));
        ASSERT_TRUE(db->addBond("Zeta", Bond("Z1", "EE", "100", "1995", "March")));
        ASSERT_TRUE(db->createPortfolio("Alpha"));
        ASSERT_TRUE(db->addBond("Alpha", Bond("A2", "I", "50", "2001", "May")));
        ASSERT_TRUE(db->addBond("Alpha", Bond("A1", "S", "25", "1990", "January")));
        EXPECT_TRUE(db->hasUnsavedChanges());
        EXPECT_TRUE(db->save());
        EXPECT_FALSE(db->hasUnsavedChanges());
    }
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Permissions the owner gives the file are theirs: a save keeps them.
    ::chmod(file.c_str(), 0444);
    ASSERT_TRUE(open()->save());
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    auto db = open();
    EXPECT_EQ(db->portfolioNames(), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_EQ(dates(*db, "Alpha"), (std::vector<std::string>{"May 2001", "January 1990"}));
    // The portfolios read can be changed.
    ASSERT_TRUE(db->removeBond("Alpha", "A2"));
    ASSERT_TRUE(db->addBond("Alpha", Bond("A3", "EE", "75", "2002", "June")));
    ASSERT_TRUE(db->sortBondsByDate("Alpha"));
    db->save();
    auto again = open();
    EXPECT_EQ(dates(*again, "Alpha"), (std::vector<std::string>{"January 1990", "June 2002"}));
}

TEST_F(PortfolioFileTest, SaveOfAnEmptyDatabaseAndOfANewPortfolio) {
    auto db = open();
    db->save();
    EXPECT_EQ(savedKeys(), std::vector<std::string>{});
    ASSERT_TRUE(db->createPortfolio("P"));
    ASSERT_TRUE(db->addBond("P", Bond("S", "EE", "100", "2001", "May")));
    // Created after the last save: not in the file until the next one.
    EXPECT_EQ(savedKeys(), std::vector<std::string>{});
    db->save();
    EXPECT_EQ(readPropertyList(file), PlistValue(db->toPropertyList()));
}

TEST_F(PortfolioFileTest, RecordsNotStoredAnewAreWrittenBackAsRead) {
    writeWholeFile(file, readWholeFile(fs::path(ORVELT_TEST_DATA_DIR) / "plist" /
                                       "plistlib_portfolios.plist"));
    const PlistValue original = readPropertyList(file);
    ASSERT_NE(original.dictPtr(), nullptr);
    auto db = open();
    EXPECT_FALSE(db->startupNotice());
    // An <integer> face value is read as a number, and kept as one.
    const Bond* bond = db->bond("Family", "Q 42 & <co>");
    ASSERT_TRUE(bond);
    EXPECT_EQ(bond->faceAmount(), 500.0);
    const PlistValue record = bond->toRecord();
    const PlistValue* face = record.dictPtr()->find(kFaceValueKey);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(doubleValueOf(*face), 500.0);
    // A portfolio whose bonds changed is stored anew.
    const std::string changed = "Grandmère's 債券";
    ASSERT_TRUE(db->addBond(changed, Bond("Added", "EE", "100", "2001", "May")));
    ASSERT_TRUE(db->removeBond(changed, "Added"));
    db->save();
    PlistValue saved = readPropertyList(file);
    ASSERT_NE(saved.dictPtr(), nullptr);
    // "Family" and "No list" keep their unknown keys as they were; the changed portfolio keeps
    // its other keys too.
    EXPECT_EQ(saved.dictPtr()->value("Family"), original.dictPtr()->value("Family"));
    EXPECT_EQ(saved.dictPtr()->value("No list"), original.dictPtr()->value("No list"));
    const PlistValue* storedRecord = saved.dictPtr()->find("Grandmère's 債券");
    ASSERT_TRUE(storedRecord != nullptr && storedRecord->dictPtr() != nullptr);
    const PlistDict* stored = storedRecord->dictPtr();
    EXPECT_EQ(stored->keys(), (std::vector<std::string>{"Name", "Bonds", "Note"}));
    EXPECT_EQ(stored->value("Note"), original.dictPtr()->find(changed)->dictPtr()->value("Note"));
    EXPECT_EQ(saved.dictPtr()->keys(), original.dictPtr()->keys());
}

TEST_F(PortfolioFileTest, ARecordWithoutBondsKeepsTheBondAddedToIt) {
    writeWholeFile(file, readWholeFile(fs::path(ORVELT_TEST_DATA_DIR) / "plist" /
                                       "plistlib_portfolios.plist"));
    {
        auto db = open();
        db->save();
        EXPECT_EQ(savedKeys("No list"), std::vector<std::string>{"Name"});
        ASSERT_TRUE(db->addBond("No list", Bond("N1", "EE", "100", "2001", "May")));
        db->save();
    }
    auto db = open();
    EXPECT_TRUE(db->bond("No list", "N1"));
}

TEST_F(PortfolioFileTest, AMissingFileStartsEmptyAndSavesNormally) {
    auto db = open();
    EXPECT_FALSE(db->startupNotice());
    EXPECT_TRUE(db->portfolioNames().empty());
    ASSERT_TRUE(db->createPortfolio("New"));
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
        auto db = BondDatabase::open(path);
        EXPECT_TRUE(db->portfolioNames().empty());
        ASSERT_TRUE(db->startupNotice());
        ASSERT_TRUE(db->setAsidePath());
        EXPECT_EQ(db->setAsidePath()->parent_path(), caseDir.path());
        EXPECT_NE(db->startupNotice()->find(db->setAsidePath()->string()), std::string::npos);
        EXPECT_EQ(readWholeFile(*db->setAsidePath()), bytes);
        ASSERT_TRUE(db->createPortfolio("After"));
        ASSERT_TRUE(db->addBond("After", Bond("S", "EE", "100", "2001", "May")));
        EXPECT_TRUE(db->save());
        auto reopened = BondDatabase::open(path);
        EXPECT_FALSE(reopened->startupNotice());
        EXPECT_TRUE(reopened->bond("After", "S"));
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
    ASSERT_TRUE(db->createPortfolio("New"));
    ASSERT_TRUE(db->addBond("New", Bond("S", "EE", "100", "2001", "May")));
    // The save is refused, with a reason the application shows.
    const SaveOutcome refused = db->save();
    EXPECT_FALSE(refused.saved);
    EXPECT_EQ(refused.file, file);
    EXPECT_FALSE(refused.reason.empty());
    EXPECT_TRUE(db->hasUnsavedChanges());
    ASSERT_TRUE(db->deletePortfolio("New"));
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
    ASSERT_TRUE(contents.notice);
    EXPECT_NE(contents.notice->find("(" + file.string() + " is too large to be a property list)"),
              std::string::npos)
        << *contents.notice;
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PortfolioFileTest, AFailedSaveLeavesThePreviousFileWhole) {
    auto db = open();
    ASSERT_TRUE(db->createPortfolio("P"));
    ASSERT_TRUE(db->addBond("P", Bond("S1", "EE", "100", "2001", "May")));
    db->save();
    const std::string before = readWholeFile(file);
    ASSERT_TRUE(db->addBond("P", Bond("S2", "EE", "100", "2001", "May")));
    for (const char* step : {"open", "write", "sync", "rename"}) {
        SCOPED_TRACE(step);
        setAtomicWriteFaultHookForTesting(
            [step](std::string_view current) { return current != step; });
        // The failure is answered with its reason, never passed over.
        const SaveOutcome failed = db->save();
        setAtomicWriteFaultHookForTesting({});
        EXPECT_FALSE(failed.saved);
        EXPECT_FALSE(failed.reason.empty());
        EXPECT_TRUE(db->hasUnsavedChanges());
        EXPECT_EQ(readWholeFile(file), before);
        EXPECT_EQ(filesInDir(), std::vector<fs::path>{"portfolios.plist"});
        EXPECT_TRUE(db->bond("P", "S2"));
    }
    // The change stayed in memory, so a later save succeeds.
    EXPECT_TRUE(db->save());
    EXPECT_FALSE(db->hasUnsavedChanges());
    auto again = open();
    EXPECT_TRUE(again->bond("P", "S2"));
}

// A file that holds control characters (written before they were refused) still opens; a save
// writes each as U+FFFD, which XML readers take.
TEST_F(PortfolioFileTest, ControlCharactersReadFromAFileAreSavedAsReplacementCharacters) {
    writeWholeFile(file, "<plist version=\"1.0\"><dict><key>CTL&#1;X</key><dict><key>Bonds</key>"
                         "<array><dict><key>Serial</key><string>C&#27;[2J</string></dict>"
                         "</array></dict></dict></plist>");
    auto db = open();
    EXPECT_FALSE(db->startupNotice());
    ASSERT_TRUE(db->bond("CTL\x01X", "C\x1b[2J"));
    ASSERT_TRUE(db->addBond("CTL\x01X", Bond("Fine", "I", "50", "2002", "June")));
    ASSERT_TRUE(db->save());
    auto again = open();
    EXPECT_TRUE(again->bond("CTL\xEF\xBF\xBDX", "C\xEF\xBF\xBD[2J"));
    EXPECT_TRUE(again->bond("CTL\xEF\xBF\xBDX", "Fine"));
}

TEST_F(PortfolioFileTest, MonthNumbers) {
    EXPECT_EQ(monthNumberOfName("January"), 1);
    EXPECT_EQ(monthNumberOfName("December"), 12);
    EXPECT_EQ(monthNumberOfName("June"), 6);
    EXPECT_EQ(monthNumberOfName("january"), std::nullopt);
    EXPECT_EQ(monthNumberOfName(""), std::nullopt);
    EXPECT_EQ(monthNumberOfName(" March"), std::nullopt);
}

// The serials of a portfolio of bonds with these issue dates, once sorted.
std::vector<std::string> sortedSerials(const std::vector<PlistValue>& records) {
    PlistDict root;
    auto record = PlistDict::create();
    record->set(kPortfolioBondsKey, PlistValue(std::make_shared<PlistArray>(records)));
    root.set("P", PlistValue(record));
    auto db = BondDatabase::fromPropertyList(root);
    db->sortBondsByDate("P");
    std::vector<std::string> serials;
    for (const Bond& bond : db->portfolio("P")->bonds) {
        serials.push_back(bond.serial);
    }
    return serials;
}

PlistValue bondOf(const char* year, const char* month, const char* serial = "") {
    auto bond = PlistDict::create();
    bond->set(kSerialKey, PlistValue(serial));
    bond->set(kIssueYearKey, PlistValue(year));
    bond->set(kIssueMonthKey, PlistValue(month));
    return PlistValue(bond);
}

TEST_F(PortfolioFileTest, MonthAndYearComparisons) {
    using Serials = std::vector<std::string>;
    EXPECT_EQ(sortedSerials({bondOf("1990", "May", "b"), bondOf("1990", "March", "a")}),
              (Serials{"a", "b"}));
    EXPECT_EQ(sortedSerials({bondOf("1990", "December", "b"), bondOf("1990", "May", "a")}),
              (Serials{"a", "b"}));
    // Text that is no month name ranks with January: the order stays.
    EXPECT_EQ(sortedSerials({bondOf("1990", "13", "a"), bondOf("1990", "January", "b")}),
              (Serials{"a", "b"}));
    EXPECT_EQ(sortedSerials({bondOf("1990", "February", "b"), bondOf("1990", "march", "a")}),
              (Serials{"a", "b"}));
    EXPECT_EQ(sortedSerials({bondOf(" 1995x", "", "b"), bondOf("1990", "", "a")}),
              (Serials{"a", "b"}));
    EXPECT_EQ(sortedSerials({bondOf("abc", "", "b"), bondOf("-5", "", "a")}), (Serials{"a", "b"}));
    EXPECT_EQ(sortedSerials({bondOf("+2001", "", "a"), bondOf("2001.9", "", "b")}),
              (Serials{"a", "b"}));
    EXPECT_EQ(sortedSerials({bondOf("2010", "", "b"), bondOf("2009", "", "a")}),
              (Serials{"a", "b"}));
    // A numeric year read from a file is compared as its number.
    auto numeric = PlistDict::create();
    numeric->set(kSerialKey, PlistValue("a"));
    numeric->set(kIssueYearKey, PlistValue::integer(1999));
    EXPECT_EQ(sortedSerials({bondOf("2000", "", "b"), PlistValue(numeric)}), (Serials{"a", "b"}));
}

TEST_F(PortfolioFileTest, SortByDateOrdersByYearThenMonth) {
    BondDatabase db;
    EXPECT_FALSE(db.sortBondsByDate("P"));
    ASSERT_TRUE(db.createPortfolio("P"));
    for (auto [year, month, serial] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"1995", "March", "a"},
             {"1990", "December", "b"},
             {"1995", "January", "c"},
             {"1990", "January", "d"},
             {"1995", "Smarch", "e"},
             {"1990", "December", "f"}}) {
        ASSERT_TRUE(db.addBond("P", Bond(serial, "", "", year, month)));
    }
    ASSERT_TRUE(db.sortBondsByDate("P"));
    std::vector<std::string> serials;
    for (const Bond& bond : db.portfolio("P")->bonds) {
        serials.push_back(bond.serial);
    }
    EXPECT_EQ(serials, (std::vector<std::string>{"d", "b", "f", "c", "e", "a"}));
    // The new order is the portfolio's: it is what the next save writes.
    const PlistDictRef root = db.toPropertyList();
    const PlistArray* written = plistFind(root.get(), {"P", kPortfolioBondsKey})->arrayPtr();
    ASSERT_EQ(written->size(), serials.size());
    for (std::size_t i = 0; i < serials.size(); ++i) {
        EXPECT_EQ((*written)[i].dictPtr()->text(kSerialKey), serials[i]);
    }
}

} // namespace

// The text a save writes straight from the portfolios is the text of the tree they map to, for
// every sample file and for names written alike, as read and once every portfolio has changed.
TEST(PortfolioFileText, IsTheTextOfThePortfoliosAsAPropertyList) {
    std::vector<PlistDict> roots(1);
    roots[0].set("A\x01", PlistValue(PlistDict::create()));
    roots[0].set("A\x02", PlistValue(PlistDict::create()));
    for (const fs::path& folder : {fs::path(ORVELT_TEST_DATA_DIR) / "plist",
                                   fs::path(ORVELT_SOURCE_DIR) / "fuzz" / "corpus" / "portfolio"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (const PlistValue root = readPropertyList(entry.path()); root.dictPtr() != nullptr) {
                roots.push_back(*root.dictPtr());
            }
        }
    }
    ASSERT_GE(roots.size(), 8u);
    for (std::size_t i = 0; i < roots.size(); ++i) {
        auto db = BondDatabase::fromPropertyList(std::move(roots[i]));
        for (int pass = 0; pass < 2; ++pass) {
            std::string text;
            std::string error;
            std::string treeError;
            const bool written = db->fileText(text, error);
            const std::string tree =
                propertyListToXml(PlistValue(db->toPropertyList()), &treeError);
            EXPECT_EQ(written ? text : error, tree.empty() ? treeError : tree)
                << "root " << i << " pass " << pass;
            for (const std::string& name : db->portfolioNames()) {
                db->addBond(name, Bond("Z1", "EE", "100", "2001", "May"));
            }
        }
    }
}
