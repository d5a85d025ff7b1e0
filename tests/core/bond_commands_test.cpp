// The undoable bond commands on a session's store without any window: one save per redo and per
// undo whatever the number of bonds, and the list exactly as it was after an undo.

#include "store/BondCommands.h"
#include "store/Cashing.h"
#include "store/MoveBondsCommand.h"
#include "store/PortfolioDefaults.h"
#include "store/PortfolioDetailsCommand.h"
#include "support/TempDir.h"
#include "valuation/Session.h"

#include <gtest/gtest.h>

namespace {

class BondCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.open(Session::Access::Write));
        ASSERT_TRUE(session.store().createPortfolio("Family"));
        std::vector<Bond> bonds;
        for (int i = 0; i < 1000; ++i) {
            bonds.emplace_back("S" + std::to_string(i), "EE", "100", "2001", "March");
        }
        ASSERT_TRUE(session.store().appendBonds("Family", std::move(bonds)));
    }

    // Writes the file, as the windows and the command line do, and counts the writes.
    SaveStore countedSave() {
        return [this] {
            ASSERT_TRUE(session.save());
            ++saves;
        };
    }

    static std::vector<std::string> serialsOf(const BondDatabase& store,
                                              const std::string& portfolio = "Family") {
        std::vector<std::string> result;
        for (const Bond& bond : store.portfolio(portfolio)->bonds) {
            result.push_back(bond.serial);
        }
        return result;
    }
    std::vector<std::string> serials(const std::string& portfolio = "Family") const {
        return serialsOf(session.store(), portfolio);
    }
    std::vector<std::string> serialsOnDisk(const std::string& portfolio = "Family") const {
        return serialsOf(*BondDatabase::open(folder / "portfolios.plist"), portfolio);
    }

    TempDir folder;
    Session session{ResourceLocations(folder / "shipped", folder.path())};
    int saves = 0;
};

TEST_F(BondCommandsTest, DeletingManyBondsIsOneSaveAndUndoPutsEachBackInItsPlace) {
    const std::vector<std::string> before = serials();
    std::vector<std::string> chosen;
    for (int i = 3; i < 1000; i += 7) {
        chosen.push_back("S" + std::to_string(i));
    }
    chosen.push_back("S0");
    chosen.push_back("S999");
    chosen.push_back("no such bond");
    RemoveBondsCommand remove(session.store(), "Family", chosen, "Delete Bonds", countedSave());

    remove.redo();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(serials().size(), 1000u - (chosen.size() - 1));
    EXPECT_EQ(serialsOnDisk(), serials());
    remove.undo();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(serials(), before);
    EXPECT_EQ(serialsOnDisk(), before);
    remove.redo();
    EXPECT_EQ(saves, 3);
    EXPECT_EQ(serials().size(), 1000u - (chosen.size() - 1));
}

TEST_F(BondCommandsTest, AnImportIsOneSaveAndUndoTakesItBackWhole) {
    std::vector<Bond> imported;
    for (int i = 0; i < 300; ++i) {
        imported.emplace_back("N" + std::to_string(i), "I", "50", "2003", "July");
    }
    AddBondsCommand add(session.store(), "Family", imported, "Import Bonds", countedSave());
    add.redo();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(serialsOnDisk().size(), 1300u);
    add.undo();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(serialsOnDisk().size(), 1000u);
    EXPECT_EQ(serialsOnDisk().back(), "S999");
}

TEST_F(BondCommandsTest, APortfolioDeletedSinceIsNotBroughtBackAndNothingIsSaved) {
    RemoveBondsCommand remove(session.store(), "Family", {"S1"}, "Delete Bond", countedSave());
    remove.redo();
    ASSERT_TRUE(session.store().deletePortfolio("Family"));
    remove.undo();
    ChangeBondCommand change(session.store(), "Family", Bond("S2", "EE", "100", "2001", "March"),
                             Bond("S2", "EE", "200", "2001", "March"), "Change Bond",
                             countedSave());
    change.redo();
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(session.store().hasPortfolio("Family"));
}

TEST_F(BondCommandsTest, CashingSplitsAnElectronicBondLeavingAtLeast25DollarsAndUndoRestoresIt) {
    BondDatabase& store = session.store();
    Bond electronic("E1", "I", "100.00", "2010", "May");
    electronic.electronic = true;
    ASSERT_TRUE(store.insertBonds("Family", 5, {electronic}));
    const Portfolio& family = *store.portfolio("Family");
    auto cash = [&family](const Bond& bond, std::string received, std::string part = {}) {
        return cashedBonds(bond, {YearMonth{2026, 3}, std::move(received), std::move(part)},
                           family);
    };
    EXPECT_FALSE(cash(electronic, "48.5", "80").refusal.empty()) << "$20.00 would stay";
    EXPECT_FALSE(cash(*store.bond("Family", "S1"), "40", "20").refusal.empty()) << "paper";
    EXPECT_FALSE(cash(electronic, "12,50").refusal.empty());
    EXPECT_FALSE(cashedBonds(electronic, {YearMonth{2010, 4}, "1", {}}, family).refusal.empty());
    EXPECT_EQ(cash(electronic, "200", "100").bonds.size(), 1u) << "all of it is the whole bond";

    CashedBonds split = cash(electronic, "48.5", "60");
    ASSERT_TRUE(split.refusal.empty()) << split.refusal;
    ASSERT_EQ(split.bonds.size(), 2u);
    EXPECT_EQ(split.bonds[0].serial, "E1");
    EXPECT_EQ(split.bonds[0].faceValue, "40.00");
    EXPECT_TRUE(split.bonds[0].cashed().empty());
    EXPECT_EQ(split.bonds[1].serial, "E1 (cashed 2026-03)");
    EXPECT_EQ(split.bonds[1].faceValue, "60.00");
    EXPECT_EQ(split.bonds[1].cashedMonth(), (YearMonth{2026, 3}));
    EXPECT_EQ(split.bonds[1].amountReceived(), "48.50");
    EXPECT_TRUE(split.bonds[1].electronic);

    const std::vector<std::string> before = serials();
    ReplaceBondCommand command(store, "Family", electronic, split.bonds, "Cash Bond",
                               countedSave());
    command.redo();
    EXPECT_EQ(saves, 1);
    std::vector<std::string> after = before;
    after.insert(after.begin() + 6, "E1 (cashed 2026-03)");
    EXPECT_EQ(serialsOnDisk(), after);
    EXPECT_EQ(BondDatabase::open(folder / "portfolios.plist")->bond("Family", "E1")->faceValue,
              "40.00");
    command.undo();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(serialsOnDisk(), before);
    EXPECT_TRUE(BondDatabase::open(folder / "portfolios.plist")
                    ->bond("Family", "E1")
                    ->sameFields(electronic));
}

TEST_F(BondCommandsTest, MovingOrCopyingBondsIsOneSaveAndUndoRestoresBothPortfolios) {
    BondDatabase& store = session.store();
    ASSERT_TRUE(store.createPortfolio("Other"));
    ASSERT_TRUE(store.addBond("Other", Bond("S5", "E", "50", "1970", "June")));
    std::vector<std::string> chosen;
    for (int i = 10; i < 1000; i += 3) {
        chosen.push_back("S" + std::to_string(i));
    }
    EXPECT_EQ(MoveBondsCommand::check(store, "Family", "Other", {"S4", "S5"}).status,
              StoreOutcome::Status::DuplicateSerial);
    EXPECT_FALSE(MoveBondsCommand::check(store, "Family", "Family", chosen));
    ASSERT_TRUE(MoveBondsCommand::check(store, "Family", "Other", chosen));

    const std::vector<std::string> family = serials();
    MoveBondsCommand move(store, "Family", "Other", chosen, MoveBondsCommand::Kind::Move,
                          "Move Bonds to Other", countedSave());
    move.redo();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(serialsOnDisk().size(), 1000u - chosen.size());
    std::vector<std::string> other = {"S5"};
    other.insert(other.end(), chosen.begin(), chosen.end());
    EXPECT_EQ(serialsOnDisk("Other"), other);
    move.undo();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(serialsOnDisk(), family);
    EXPECT_EQ(serialsOnDisk("Other"), std::vector<std::string>{"S5"});

    MoveBondsCommand copy(store, "Family", "Other", {"S1"}, MoveBondsCommand::Kind::Copy,
                          "Copy Bond to Other", countedSave());
    copy.redo();
    EXPECT_EQ(serials(), family);
    EXPECT_EQ(serials("Other"), (std::vector<std::string>{"S5", "S1"}));
    copy.undo();
    EXPECT_EQ(serials("Other"), std::vector<std::string>{"S5"});
    EXPECT_EQ(saves, 4);
}

TEST_F(BondCommandsTest, PortfolioDetailsAreOneSaveKeptInTheFileAndUndoMakesThemNoneAgain) {
    BondDatabase& store = session.store();
    const auto onDisk = [this] {
        return portfolioDetailsOf(
            *BondDatabase::open(folder / "portfolios.plist")->portfolio("Family"));
    };
    const PortfolioDetails none = portfolioDetailsOf(*store.portfolio("Family"));
    ASSERT_EQ(none, PortfolioDetails{});
    const PortfolioDetails chosen{"Ruth Alvarez", YearMonth{1961, 4}, TaxMethod::Accrual};
    EXPECT_EQ(store.checkPortfolioDetails("Family", {"Ruth\x1b", {}, {}}).status,
              StoreOutcome::Status::ControlCharacter);

    SetPortfolioDetailsCommand set(store, "Family", none, chosen, countedSave());
    set.redo();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(onDisk(), chosen);
    EXPECT_EQ(defaultOwnerOf(store, "Family"), "Ruth Alvarez");
    EXPECT_EQ(serialsOnDisk().size(), 1000u) << "the bonds stay";
    set.undo();
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(onDisk(), none);
    const PlistDictRef record = store.toPropertyList()->find("Family")->dict();
    EXPECT_EQ(record->keys(), (std::vector<std::string>{"Name", "Bonds"})) << "no key is left";

    set.redo();
    ASSERT_TRUE(store.deletePortfolio("Family"));
    set.undo();
    EXPECT_EQ(saves, 3) << "a portfolio deleted since is left alone";
}

} // namespace
