#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/ScriptedToolkitServices.h"

#include <gtest/gtest.h>

namespace {

const char* const kDuplicateSerial = "Serial already exists. Please enter a different serial.";

class BondDatabaseTest : public ::testing::Test {
  protected:
    ScriptedToolkitServices services;
    BondDatabase db{services};

    std::vector<std::string> serials() const {
        std::vector<std::string> result;
        for (const PlistValue& bond : *db.currentBondList()) {
            result.push_back(bond.dictPtr()->text(kSerialKey));
        }
        return result;
    }

    // The "Bonds" list held by the record stored under `name`.
    PlistArrayRef storedList(const std::string& name) const {
        const PlistValue* bonds = plistFind(db.portfolios().get(), {name, kPortfolioBondsKey});
        return bonds != nullptr ? bonds->array() : nullptr;
    }

    void addThree() {
        ASSERT_TRUE(db.addPortfolioWithName("Family"));
        ASSERT_TRUE(db.addBondWithSerial("A1", "100", "EE", "1995", "March"));
        ASSERT_TRUE(db.addBondWithSerial("B2", "50", "E", "1980", "June"));
        ASSERT_TRUE(db.addBondWithSerial("C3", "1000", "I", "2001", "December"));
    }
};

TEST_F(BondDatabaseTest, DuplicateSerialIsRefusedWithAlertButSilentlyWhileImporting) {
    ASSERT_TRUE(db.addPortfolioWithName("Family"));
    EXPECT_TRUE(db.addBondWithSerial("C123", "100", "EE", "2001", "March"));
    EXPECT_FALSE(db.addBondWithSerial("C123", "50", "I", "2002", "May"));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_EQ(services.alerts[0].message, kDuplicateSerial);
    EXPECT_FALSE(db.addBondWithSerialWhileImporting("C123", "50", "I", "2002", "May"));
    EXPECT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(serials(), std::vector<std::string>{"C123"});
    EXPECT_EQ(db.getBondWithSerial("C123")->text(kFaceValueKey), "100");
}

// Text the portfolio file cannot hold would make every later save fail: it never gets in.
TEST_F(BondDatabaseTest, TextTheFileCannotHoldIsRefusedWithAnAlert) {
    const std::string nul("A\0B", 3);
    const std::string notUtf8 = "C\xff";
    EXPECT_FALSE(db.addPortfolioWithName(nul));
    db.setNewCurrentPortfolio(nul);
    EXPECT_FALSE(db.addBondWithSerial("C0", "100", "EE", "2001", "March"));
    ASSERT_TRUE(db.addPortfolioWithName("Family"));
    EXPECT_FALSE(db.addBondWithSerial(notUtf8, "100", "EE", "2001", "March"));
    EXPECT_FALSE(db.addBondWithSerial("C1", "100", "EE", nul, "March"));
    ASSERT_TRUE(db.addBondWithSerial("C1\x01", "100", "EE", "2001", "March"));
    EXPECT_FALSE(db.updateBondSerial(nul, "C1\x01"));
    db.updateFaceValue(notUtf8, "C1\x01");
    EXPECT_EQ(services.alerts.size(), 5u);
    EXPECT_EQ(db.getPortfolioNames(), std::vector<std::string>{"Family"});
    EXPECT_EQ(serials(), std::vector<std::string>{"C1\x01"});
    EXPECT_EQ(db.getBondWithSerial("C1\x01")->text(kFaceValueKey), "100");
}

TEST_F(BondDatabaseTest, AddedBondHoldsTheArgumentsUnderTheirKeysInArgumentOrder) {
    ASSERT_TRUE(db.addPortfolioWithName("P"));
    ASSERT_TRUE(db.addBondWithSerialWhileImporting(" s1 ", "25", "S", "2003", "Month 13"));
    PlistDictRef bond = db.getBondWithSerial(" s1 ");
    ASSERT_TRUE(bond);
    EXPECT_EQ(bond->keys(), (std::vector<std::string>{"Serial", "Face Value", "Type", "Issue Year",
                                                      "Issue Month"}));
    EXPECT_EQ(bond->text(kFaceValueKey), "25");
    EXPECT_EQ(bond->text(kTypeKey), "S");
    EXPECT_EQ(bond->text(kIssueYearKey), "2003");
    EXPECT_EQ(bond->text(kIssueMonthKey), "Month 13");
}

TEST_F(BondDatabaseTest, SerialsAreExactTextAndPortfoliosAreSeparate) {
    ASSERT_TRUE(db.addPortfolioWithName("One"));
    EXPECT_TRUE(db.addBondWithSerial("abc", "100", "EE", "2001", "May"));
    EXPECT_TRUE(db.addBondWithSerial("ABC", "100", "EE", "2001", "May"));
    EXPECT_TRUE(db.addBondWithSerial(" abc", "100", "EE", "2001", "May"));
    ASSERT_TRUE(db.addPortfolioWithName("Two"));
    EXPECT_TRUE(db.addBondWithSerial("abc", "50", "I", "2002", "June"));
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_EQ(storedList("One")->size(), 3u);
    EXPECT_EQ(storedList("Two")->size(), 1u);
}

TEST_F(BondDatabaseTest, NothingHappensWithoutAnOpenPortfolio) {
    EXPECT_FALSE(db.addBondWithSerial("A", "100", "EE", "2001", "May"));
    EXPECT_FALSE(db.addBondWithSerialWhileImporting("A", "100", "EE", "2001", "May"));
    EXPECT_FALSE(db.bondExistsWithSerial("A"));
    EXPECT_EQ(db.getBondIndexWithSerial("A"), 1234567890);
    EXPECT_FALSE(db.getBondWithSerial("A"));
    EXPECT_FALSE(db.updateBondSerial("B", "A"));
    db.deleteBondWithSerial("A");
    db.updateType("I", "A");
    db.sortBondsByDate();
    EXPECT_TRUE(services.alerts.empty());
    EXPECT_TRUE(db.portfolios()->empty());
    EXPECT_TRUE(db.getPortfolioNames().empty());
    EXPECT_FALSE(db.getCurrentPortfolio());
}

TEST_F(BondDatabaseTest, CurrentBondListIsThePortfoliosOwnList) {
    addThree();
    PlistArrayRef list = db.currentBondList();
    EXPECT_EQ(list, storedList("Family"));
    // A change made through the list is a change of the portfolio.
    list->pop_back();
    EXPECT_EQ(storedList("Family")->size(), 2u);
    ASSERT_TRUE(db.addPortfolioWithName("Other"));
    db.setNewCurrentPortfolio("Family");
    EXPECT_EQ(db.currentBondList(), list);
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "B2"}));
}

TEST_F(BondDatabaseTest, DeletingFromTheMiddleKeepsTheOthersInOrder) {
    addThree();
    db.deleteBondWithSerial("B2");
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "C3"}));
    db.deleteBondWithSerial("missing");
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "C3"}));
    EXPECT_EQ(db.getBondIndexWithSerial("C3"), 1);
    EXPECT_EQ(storedList("Family"), db.currentBondList());
}

TEST_F(BondDatabaseTest, ChangingASerial) {
    addThree();
    EXPECT_TRUE(db.updateBondSerial("B2", "B2"));
    EXPECT_TRUE(db.updateBondSerial("NEW", "B2"));
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "NEW", "C3"}));
    EXPECT_FALSE(db.bondExistsWithSerial("B2"));
    PlistDictRef moved = db.getBondWithSerial("NEW");
    EXPECT_EQ(moved->text(kFaceValueKey), "50");
    EXPECT_EQ(moved->text(kIssueMonthKey), "June");
    EXPECT_TRUE(services.alerts.empty());

    EXPECT_FALSE(db.updateBondSerial("C3", "A1"));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_EQ(services.alerts[0].message, kDuplicateSerial);
    EXPECT_FALSE(db.updateBondSerial("X", "absent"));
    EXPECT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "NEW", "C3"}));
}

TEST_F(BondDatabaseTest, FieldUpdatesChangeOneKeyInPlace) {
    addThree();
    db.updateIssueMonth("July", "B2");
    db.updateIssueYear("1999", "B2");
    db.updateType("I", "B2");
    db.updateFaceValue("75", "B2");
    db.updateFaceValue("75", "absent");
    PlistDictRef bond = db.getBondWithSerial("B2");
    EXPECT_EQ(bond->text(kIssueMonthKey), "July");
    EXPECT_EQ(bond->text(kIssueYearKey), "1999");
    EXPECT_EQ(bond->text(kTypeKey), "I");
    EXPECT_EQ(bond->text(kFaceValueKey), "75");
    EXPECT_EQ(serials(), (std::vector<std::string>{"A1", "B2", "C3"}));
    EXPECT_EQ(storedList("Family"), db.currentBondList());
}

TEST_F(BondDatabaseTest, ABondCopyChangesNothingUntilItIsSetBack) {
    addThree();
    PlistDictRef copy = db.getBondWithSerial("A1");
    copy->set(kFaceValueKey, PlistValue("999"));
    EXPECT_EQ(db.getBondWithSerial("A1")->text(kFaceValueKey), "100");
    db.setBond(copy, "A1");
    EXPECT_EQ(db.getBondWithSerial("A1")->text(kFaceValueKey), "999");
    EXPECT_EQ(db.getBondIndexWithSerial("A1"), 0);
}

TEST_F(BondDatabaseTest, FirstMatchWinsWhenASerialAppearsTwice) {
    ASSERT_TRUE(db.addPortfolioWithName("P"));
    auto twin = [](const char* face) {
        auto bond = PlistDict::create();
        bond->set(kSerialKey, PlistValue("T"));
        bond->set(kFaceValueKey, PlistValue(face));
        return PlistValue(bond);
    };
    db.currentBondList()->push_back(twin("1"));
    db.currentBondList()->push_back(twin("2"));
    EXPECT_EQ(db.getBondIndexWithSerial("T"), 0);
    db.deleteBondWithSerial("T");
    EXPECT_EQ(db.getBondWithSerial("T")->text(kFaceValueKey), "2");
}

TEST_F(BondDatabaseTest, CreatingPortfolios) {
    EXPECT_TRUE(db.getPortfolioNames().empty());
    ASSERT_TRUE(db.addPortfolioWithName("Family"));
    EXPECT_EQ(db.getCurrentPortfolio(), "Family");
    ASSERT_TRUE(db.currentBondList());
    EXPECT_TRUE(db.currentBondList()->empty());
    const PlistDict* record = db.portfolios()->find("Family")->dictPtr();
    EXPECT_EQ(record->text(kPortfolioNameKey), "Family");

    ASSERT_TRUE(db.addPortfolioWithName("family"));
    ASSERT_TRUE(db.addBondWithSerial("A", "100", "EE", "2001", "May"));
    PlistArrayRef open = db.currentBondList();
    EXPECT_FALSE(db.addPortfolioWithName("Family"));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_EQ(services.alerts[0].message, "Please enter a different name, \"Family\" is already "
                                          "being used by another portfolio.");
    EXPECT_EQ(db.getCurrentPortfolio(), "family");
    EXPECT_EQ(db.currentBondList(), open);
    EXPECT_EQ(db.getPortfolioNames(), (std::vector<std::string>{"Family", "family"}));
    EXPECT_EQ(db.getPortfolioNames(), db.portfolios()->keys());
}

TEST_F(BondDatabaseTest, DeletingPortfolios) {
    ASSERT_TRUE(db.addPortfolioWithName("Keep"));
    ASSERT_TRUE(db.addBondWithSerial("K", "100", "EE", "2001", "May"));
    ASSERT_TRUE(db.addPortfolioWithName("Gone"));
    ASSERT_TRUE(db.addBondWithSerial("G", "100", "EE", "2001", "May"));
    db.deletePortfolioWithName("absent");
    EXPECT_EQ(db.getPortfolioNames().size(), 2u);

    db.setNewCurrentPortfolio("Keep");
    db.deletePortfolioWithName("Gone");
    EXPECT_EQ(db.getCurrentPortfolio(), "Keep");
    EXPECT_EQ(serials(), std::vector<std::string>{"K"});

    // Deleting the open portfolio closes it, so that no later change or save brings it back.
    db.deletePortfolioWithName("Keep");
    EXPECT_FALSE(db.getCurrentPortfolio());
    EXPECT_FALSE(db.currentBondList());
    EXPECT_FALSE(db.addBondWithSerial("X", "100", "EE", "2001", "May"));
    db.save();
    EXPECT_TRUE(db.getPortfolioNames().empty());
}

TEST_F(BondDatabaseTest, OpeningAPortfolioStoresNothing) {
    ASSERT_TRUE(db.addPortfolioWithName("A"));
    ASSERT_TRUE(db.addPortfolioWithName("B"));
    const PlistValue before = PlistValue(db.portfolios()->copy());
    db.setNewCurrentPortfolio("A");
    db.setNewCurrentPortfolio("absent");
    EXPECT_EQ(db.getCurrentPortfolio(), "absent");
    EXPECT_FALSE(db.currentBondList());
    EXPECT_EQ(PlistValue(db.portfolios()), before);
}

TEST_F(BondDatabaseTest, ARecordWithoutBondsGetsAListWhenABondIsAdded) {
    auto record = PlistDict::create();
    record->set(kPortfolioNameKey, PlistValue("Bare"));
    record->set("Colour", PlistValue("blue"));
    db.portfolios()->set("Bare", PlistValue(record));
    db.setNewCurrentPortfolio("Bare");
    EXPECT_FALSE(db.currentBondList());
    EXPECT_EQ(db.getBondIndexWithSerial("A"), 1234567890);
    // Storing without a list keeps the record as it was.
    db.saveCurrentPortfolio();
    EXPECT_EQ(db.portfolios()->find("Bare")->dictPtr()->text("Colour"), "blue");

    ASSERT_TRUE(db.addBondWithSerial("A", "100", "EE", "2001", "May"));
    ASSERT_TRUE(storedList("Bare"));
    EXPECT_EQ(storedList("Bare"), db.currentBondList());
    EXPECT_EQ(serials(), std::vector<std::string>{"A"});
}

TEST_F(BondDatabaseTest, IndexIsNoneForAnEmptyList) {
    ASSERT_TRUE(db.addPortfolioWithName("Empty"));
    EXPECT_EQ(db.getBondIndexWithSerial(""), kNoBondIndex);
    EXPECT_EQ(kNoBondIndex, 1234567890);
}

} // namespace
