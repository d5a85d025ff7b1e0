#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/ScriptedToolkitServices.h"

#include <gtest/gtest.h>

namespace {

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
};

TEST_F(BondDatabaseTest, DuplicateSerialIsRefusedWithAlertButSilentlyWhileImporting) {
    ASSERT_TRUE(db.addPortfolioWithName("Family"));
    EXPECT_TRUE(db.addBondWithSerial("C123", "100", "EE", "2001", "March"));
    EXPECT_FALSE(db.addBondWithSerial("C123", "50", "I", "2002", "May"));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_EQ(services.alerts[0].message, "Serial already exists. Please enter a different serial.");
    EXPECT_FALSE(db.addBondWithSerialWhileImporting("C123", "50", "I", "2002", "May"));
    EXPECT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(serials(), std::vector<std::string>{"C123"});
}

} // namespace
