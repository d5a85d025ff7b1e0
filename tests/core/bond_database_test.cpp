#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "store/PortfolioDefaults.h"

#include <gtest/gtest.h>

namespace {

const char* const kDuplicateSerial = "Serial already exists. Please enter a different serial.";

Bond bondOf(const char* serial, const char* face, const char* type, const char* year,
            const char* month) {
    return Bond(serial, type, face, year, month);
}

class BondDatabaseTest : public ::testing::Test {
  protected:
    BondDatabase db;

    std::vector<std::string> serials(const std::string& portfolio = "Family") const {
        std::vector<std::string> result;
        for (const Bond& bond : db.portfolio(portfolio)->bonds) {
            result.push_back(bond.serial);
        }
        return result;
    }

    // The "Bonds" list the portfolio is written with.
    PlistArrayRef storedList(const std::string& name) const {
        const PlistDictRef root = db.toPropertyList();
        const PlistValue* bonds = plistFind(root.get(), {name, kPortfolioBondsKey});
        return bonds != nullptr ? bonds->array() : nullptr;
    }

    void addThree() {
        ASSERT_TRUE(db.createPortfolio("Family"));
        ASSERT_TRUE(db.addBond("Family", bondOf("A1", "100", "EE", "1995", "March")));
        ASSERT_TRUE(db.addBond("Family", bondOf("B2", "50", "E", "1980", "June")));
        ASSERT_TRUE(db.addBond("Family", bondOf("C3", "1000", "I", "2001", "December")));
    }
};

TEST_F(BondDatabaseTest, DuplicateSerialIsRefusedWithTheMessageToShow) {
    ASSERT_TRUE(db.createPortfolio("Family"));
    EXPECT_TRUE(db.addBond("Family", bondOf("C123", "100", "EE", "2001", "March")));
    const StoreOutcome refused = db.addBond("Family", bondOf("C123", "50", "I", "2002", "May"));
    EXPECT_EQ(refused.status, StoreOutcome::Status::DuplicateSerial);
    EXPECT_EQ(refused.message, kDuplicateSerial);
    EXPECT_EQ(serials(), std::vector<std::string>{"C123"});
    EXPECT_EQ(db.bond("Family", "C123")->faceValue, "100");
}

// Text the portfolio file cannot hold would make every later save fail: it never gets in. A
// control character is refused where a name or a field is entered; one read from the file stays.
TEST_F(BondDatabaseTest, TextTheFileCannotHoldAndControlCharactersAreRefused) {
    const std::string nul("A\0B", 3);
    const std::string notUtf8 = "C\xff";
    EXPECT_EQ(db.createPortfolio(nul).status, StoreOutcome::Status::UnstorableText);
    EXPECT_EQ(db.addBond(nul, bondOf("C0", "100", "EE", "2001", "March")).status,
              StoreOutcome::Status::NoSuchPortfolio);
    for (const char* control : {"CTL\x01X", "\x1b[31m", "DEL\x7f", "C1\xC2\x9B", "C1\xC2\x9F"}) {
        SCOPED_TRACE(control);
        EXPECT_EQ(db.createPortfolio(control).status, StoreOutcome::Status::ControlCharacter);
    }
    PlistDict root;
    auto bonds = std::make_shared<PlistArray>();
    bonds->push_back(Bond("C1\x01", "EE", "100", "2001", "March").toRecord());
    auto record = PlistDict::create();
    record->set(kPortfolioBondsKey, PlistValue(bonds));
    root.set("Family", PlistValue(record));
    auto store = BondDatabase::fromPropertyList(root);
    const StoreOutcome control =
        store->addBond("Family", Bond("C2\x1b", "EE", "100", "2001", "May"));
    EXPECT_EQ(control.status, StoreOutcome::Status::ControlCharacter);
    EXPECT_NE(control.message.find("The serial holds a control character"), std::string::npos);
    EXPECT_FALSE(store->addBond("Family", Bond("C2", "EE", "100\t\x01", "2001", "May")));
    EXPECT_FALSE(store->addBond("Family", Bond(notUtf8, "EE", "100", "2001", "March")));
    EXPECT_FALSE(store->addBond("Family", Bond("C1", "EE", "100", nul, "March")));
    Bond renamed = *store->bond("Family", "C1\x01");
    renamed.serial = nul;
    EXPECT_FALSE(store->changeBond("Family", "C1\x01", renamed));
    Bond reFaced = *store->bond("Family", "C1\x01");
    reFaced.faceValue = notUtf8;
    const StoreOutcome refused = store->changeBond("Family", "C1\x01", reFaced);
    EXPECT_EQ(refused.status, StoreOutcome::Status::UnstorableText);
    EXPECT_FALSE(refused.message.empty());
    EXPECT_EQ(store->portfolioNames(), std::vector<std::string>{"Family"});
    EXPECT_EQ(store->bond("Family", "C1\x01")->faceValue, "100");
    // The serial read is not being entered: the bond's other fields can still be changed.
    reFaced.faceValue = "200";
    EXPECT_TRUE(store->changeBond("Family", "C1\x01", reFaced));
}

TEST_F(BondDatabaseTest, AddedBondIsWrittenWithItsFieldsInTheFilesOrder) {
    ASSERT_TRUE(db.createPortfolio("P"));
    ASSERT_TRUE(db.addBond("P", bondOf(" s1 ", "25", "S", "2003", "Month 13")));
    const PlistArrayRef list = storedList("P");
    const PlistDict* bond = (*list)[0].dictPtr();
    ASSERT_NE(bond, nullptr);
    EXPECT_EQ(bond->keys(), (std::vector<std::string>{"Serial", "Face Value", "Type", "Issue Year",
                                                      "Issue Month"}));
    EXPECT_EQ(bond->text(kSerialKey), " s1 ");
    EXPECT_EQ(bond->text(kFaceValueKey), "25");
    EXPECT_EQ(bond->text(kTypeKey), "S");
    EXPECT_EQ(bond->text(kIssueYearKey), "2003");
    EXPECT_EQ(bond->text(kIssueMonthKey), "Month 13");
}

TEST_F(BondDatabaseTest, SerialsAreExactTextAndPortfoliosAreSeparate) {
    ASSERT_TRUE(db.createPortfolio("One"));
    EXPECT_TRUE(db.addBond("One", bondOf("abc", "100", "EE", "2001", "May")));
    EXPECT_TRUE(db.addBond("One", bondOf("ABC", "100", "EE", "2001", "May")));
    EXPECT_TRUE(db.addBond("One", bondOf(" abc", "100", "EE", "2001", "May")));
    ASSERT_TRUE(db.createPortfolio("Two"));
    EXPECT_TRUE(db.addBond("Two", bondOf("abc", "50", "I", "2002", "June")));
    EXPECT_EQ(storedList("One")->size(), 3u);
    EXPECT_EQ(storedList("Two")->size(), 1u);
}

TEST_F(BondDatabaseTest, NothingHappensInAPortfolioThatDoesNotExist) {
    const Bond bond = bondOf("A", "100", "EE", "2001", "May");
    EXPECT_EQ(db.addBond("absent", bond).status, StoreOutcome::Status::NoSuchPortfolio);
    EXPECT_EQ(db.changeBond("absent", "A", bond).status, StoreOutcome::Status::NoSuchPortfolio);
    EXPECT_EQ(db.removeBond("absent", "A").status, StoreOutcome::Status::NoSuchPortfolio);
    EXPECT_EQ(db.sortBondsByDate("absent").status, StoreOutcome::Status::NoSuchPortfolio);
    EXPECT_EQ(db.deletePortfolio("absent").status, StoreOutcome::Status::NoSuchPortfolio);
    EXPECT_EQ(db.bond("absent", "A"), nullptr);
    EXPECT_EQ(db.portfolio("absent"), nullptr);
    EXPECT_TRUE(db.toPropertyList()->empty());
    EXPECT_TRUE(db.portfolioNames().empty());
    EXPECT_FALSE(db.hasUnsavedChanges());
}

TEST_F(BondDatabaseTest, RemovingFromTheMiddleKeepsTheOthersInOrder) {
    addThree();
    ASSERT_TRUE(db.removeBond("Family", "B2"));
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "C3"}));
    EXPECT_EQ(db.removeBond("Family", "missing").status, StoreOutcome::Status::NoSuchBond);
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "C3"}));
    EXPECT_EQ(db.portfolio("Family")->indexOf("C3"), 1u);
    EXPECT_EQ(storedList("Family")->size(), 2u);
}

TEST_F(BondDatabaseTest, ChangingABondKeepsItsPlace) {
    addThree();
    Bond same = *db.bond("Family", "B2");
    EXPECT_TRUE(db.changeBond("Family", "B2", same));
    Bond changed = same;
    changed.serial = "NEW";
    changed.issueMonth = "July";
    changed.issueYear = "1999";
    changed.type = "I";
    changed.faceValue = "75";
    EXPECT_TRUE(db.changeBond("Family", "B2", changed));
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "NEW", "C3"}));
    EXPECT_EQ(db.bond("Family", "B2"), nullptr);
    EXPECT_TRUE(db.bond("Family", "NEW")->sameFields(changed));

    Bond clash = *db.bond("Family", "A1");
    clash.serial = "C3";
    const StoreOutcome refused = db.changeBond("Family", "A1", clash);
    EXPECT_EQ(refused.status, StoreOutcome::Status::DuplicateSerial);
    EXPECT_EQ(refused.message, kDuplicateSerial);
    EXPECT_EQ(db.changeBond("Family", "absent", clash).status, StoreOutcome::Status::NoSuchBond);
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "NEW", "C3"}));
}

TEST_F(BondDatabaseTest, FirstMatchWinsWhenASerialAppearsTwice) {
    ASSERT_TRUE(db.createPortfolio("P"));
    ASSERT_TRUE(db.appendBonds("P", {Bond("T", "", "1", "", ""), Bond("T", "", "2", "", "")}));
    EXPECT_EQ(db.portfolio("P")->indexOf("T"), 0u);
    ASSERT_TRUE(db.removeBond("P", "T"));
    EXPECT_EQ(db.bond("P", "T")->faceValue, "2");
}

TEST_F(BondDatabaseTest, CreatingPortfolios) {
    EXPECT_TRUE(db.portfolioNames().empty());
    ASSERT_TRUE(db.createPortfolio("Family"));
    ASSERT_NE(db.portfolio("Family"), nullptr);
    EXPECT_TRUE(db.portfolio("Family")->bonds.empty());
    const PlistDictRef root = db.toPropertyList();
    const PlistDict* record = root->find("Family")->dictPtr();
    EXPECT_EQ(record->text(kPortfolioNameKey), "Family");

    ASSERT_TRUE(db.createPortfolio("family"));
    ASSERT_TRUE(db.addBond("family", bondOf("A", "100", "EE", "2001", "May")));
    const StoreOutcome refused = db.createPortfolio("Family");
    EXPECT_EQ(refused.status, StoreOutcome::Status::DuplicateName);
    EXPECT_EQ(refused.message, "Please enter a different name, \"Family\" is already "
                               "being used by another portfolio.");
    EXPECT_EQ(serials("family"), std::vector<std::string>{"A"});
    EXPECT_EQ(db.portfolioNames(), (std::vector<std::string>{"Family", "family"}));
    EXPECT_EQ(db.portfolioNames(), db.toPropertyList()->keys());
}

TEST_F(BondDatabaseTest, DeletingAndRestoringPortfoliosUnderANewName) {
    ASSERT_TRUE(db.createPortfolio("Keep"));
    ASSERT_TRUE(db.addBond("Keep", bondOf("K", "100", "EE", "2001", "May")));
    ASSERT_TRUE(db.createPortfolio("Gone"));
    ASSERT_TRUE(db.addBond("Gone", bondOf("G", "100", "EE", "2001", "May")));
    EXPECT_FALSE(db.deletePortfolio("absent"));
    EXPECT_EQ(db.portfolioNames().size(), 2u);

    ASSERT_TRUE(db.deletePortfolio("Gone"));
    EXPECT_EQ(serials("Keep"), std::vector<std::string>{"K"});
    EXPECT_FALSE(db.addBond("Gone", bondOf("X", "100", "EE", "2001", "May")));
    EXPECT_EQ(db.portfolioNames(), std::vector<std::string>{"Keep"});

    // Put back under another name, as undoing a deletion does when its name was taken.
    Portfolio kept = *db.portfolio("Keep");
    ASSERT_TRUE(db.deletePortfolio("Keep"));
    ASSERT_TRUE(db.createPortfolio("Other"));
    kept.name = "Other";
    EXPECT_EQ(db.restorePortfolio(kept, 0).status, StoreOutcome::Status::DuplicateName);
    kept.name = std::string("K\0pt", 4);
    EXPECT_EQ(db.restorePortfolio(kept, 0).status, StoreOutcome::Status::UnstorableText);
    kept.name = "Kept";
    kept.bondsChanged = true;
    ASSERT_TRUE(db.restorePortfolio(kept, 0));
    EXPECT_EQ(db.portfolioNames(), (std::vector<std::string>{"Kept", "Other"}));
    EXPECT_EQ(db.toPropertyList()->find("Kept")->dictPtr()->text(kPortfolioNameKey), "Kept");
    EXPECT_EQ(serials("Kept"), std::vector<std::string>{"K"});
}

// A record read from the file is written back as it was while its bonds are untouched; a new
// name given as it is put back must still reach the name inside it.
TEST_F(BondDatabaseTest, APortfolioReadFromTheFileAndRestoredRenamedIsWrittenUnderItsNewName) {
    auto record = PlistDict::create();
    record->set(kPortfolioNameKey, PlistValue("Old"));
    record->set(kPortfolioBondsKey, PlistValue(std::make_shared<PlistArray>(PlistArray{
                                        bondOf("A", "100", "EE", "2001", "May").toRecord()})));
    PlistDict root;
    root.set("Old", PlistValue(record));
    auto store = BondDatabase::fromPropertyList(root);
    Portfolio restored = *store->portfolio("Old");
    ASSERT_TRUE(store->deletePortfolio("Old"));
    restored.name = "New";
    restored.bondsChanged = true;
    ASSERT_TRUE(store->restorePortfolio(restored, 0));
    const PlistDictRef written = store->toPropertyList();
    EXPECT_EQ(written->keys(), std::vector<std::string>{"New"});
    EXPECT_EQ(written->find("New")->dictPtr()->text(kPortfolioNameKey), "New");
}

TEST_F(BondDatabaseTest, ARecordWithoutBondsKeepsItsKeysUntilABondIsAdded) {
    PlistDict root;
    auto record = PlistDict::create();
    record->set(kPortfolioNameKey, PlistValue("Bare"));
    record->set("Colour", PlistValue("blue"));
    record->set(kPortfolioDefaultOwnerKey, PlistValue("Ruth Alvarez"));
    root.set("Bare", PlistValue(record));
    auto store = BondDatabase::fromPropertyList(root);
    // The owner new bonds are entered with.
    EXPECT_EQ(defaultOwnerOf(*store, "Bare"), "Ruth Alvarez");
    EXPECT_EQ(defaultOwnerOf(*store, "Nowhere"), "");
    EXPECT_TRUE(store->portfolio("Bare")->bonds.empty());
    EXPECT_FALSE(store->portfolio("Bare")->indexOf("A"));
    // Written without a list, the record is kept as it was.
    EXPECT_EQ(PlistValue(store->toPropertyList()->find("Bare")->dict()), PlistValue(record));

    ASSERT_TRUE(store->addBond("Bare", bondOf("A", "100", "EE", "2001", "May")));
    const PlistDictRef written = store->toPropertyList();
    const PlistValue* list = plistFind(written.get(), {"Bare", kPortfolioBondsKey});
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->arrayPtr()->size(), 1u);
}

// A record of another shape than a portfolio record is never replaced: it takes no bonds, and
// says why.
TEST_F(BondDatabaseTest, ARecordOfAnotherShapeTakesNoBondsAndIsKept) {
    PlistDict root;
    root.set("Text", PlistValue("a string"));
    auto record = PlistDict::create();
    record->set(kPortfolioBondsKey, PlistValue(PlistDict::create()));
    root.set("Mapped", PlistValue(record));
    auto store = BondDatabase::fromPropertyList(root);
    const StoreOutcome refused = store->addBond("Text", bondOf("A", "100", "EE", "2001", "May"));
    EXPECT_EQ(refused.status, StoreOutcome::Status::RecordUnfitForBonds);
    EXPECT_NE(refused.message.find("\"Text\": its record in the portfolio file is not a "
                                   "dictionary"),
              std::string::npos)
        << refused.message;
    EXPECT_EQ(store->appendBonds("Mapped", {bondOf("A", "100", "EE", "2001", "May")}).status,
              StoreOutcome::Status::RecordUnfitForBonds);
    EXPECT_EQ(PlistValue(store->toPropertyList()), PlistValue(root.copy()));
}

TEST_F(BondDatabaseTest, AFreeNameForARestoredPortfolio) {
    ASSERT_TRUE(db.createPortfolio("A"));
    ASSERT_TRUE(db.createPortfolio("A (restored)"));
    EXPECT_EQ(db.freeNameLike("B"), "B");
    EXPECT_EQ(db.freeNameLike("A"), "A (restored 2)");
}

// Every change says which portfolio it touched; reading says nothing.
TEST_F(BondDatabaseTest, ChangesAreAnnouncedWithTheirPortfolio) {
    std::vector<std::string> bonds;
    int portfolios = 0;
    QObject::connect(&db, &BondDatabase::bondsChanged,
                     [&bonds](const std::string& name) { bonds.push_back(name); });
    QObject::connect(&db, &BondDatabase::portfoliosChanged, [&portfolios] { ++portfolios; });
    addThree();
    ASSERT_TRUE(db.createPortfolio("Other"));
    EXPECT_EQ(portfolios, 2);
    EXPECT_EQ(bonds.size(), 3u);
    EXPECT_EQ(bonds.back(), "Family");
    db.portfolio("Family");
    db.toPropertyList();
    EXPECT_FALSE(db.addBond("Family", bondOf("A1", "1", "E", "1990", "May")));
    EXPECT_EQ(bonds.size(), 3u);
    ASSERT_TRUE(db.sortBondsByDate("Family"));
    EXPECT_EQ(bonds.size(), 4u);
    ASSERT_TRUE(db.sortBondsByDate("Family")); // already in order: no change
    EXPECT_EQ(bonds.size(), 4u);
    ASSERT_TRUE(db.removeBonds("Family", {"A1", "C3"}));
    EXPECT_EQ(serials(), std::vector<std::string>{"B2"});
    EXPECT_EQ(bonds.size(), 5u);
    ASSERT_TRUE(db.deletePortfolio("Other"));
    EXPECT_EQ(portfolios, 3);
    EXPECT_TRUE(db.hasUnsavedChanges());
}

} // namespace
