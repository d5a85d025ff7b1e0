// The undoable bond commands on a session's store without any window: one save per redo and per
// undo whatever the number of bonds, and the list exactly as it was after an undo.

#include "store/BondCommands.h"
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

    static std::vector<std::string> serialsOf(const BondDatabase& store) {
        std::vector<std::string> result;
        for (const Bond& bond : store.portfolio("Family")->bonds) {
            result.push_back(bond.serial);
        }
        return result;
    }
    std::vector<std::string> serials() const { return serialsOf(session.store()); }
    std::vector<std::string> serialsOnDisk() const {
        return serialsOf(*BondDatabase::open(folder / "portfolios.plist"));
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

} // namespace
