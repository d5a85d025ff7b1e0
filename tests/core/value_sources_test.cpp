// Where values come from, as every window and orvelt-cli tell it, and the help page's copy.

#include "platform/ResourceLocations.h"
#include "support/TempDir.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueFileMerge.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTableFile.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

TEST(ValueSources, TheOfficialAndTheComputedMonthsAreNamed) {
    const std::string text = valueSourcesText();
    EXPECT_NE(text.find("values for June 2016 to November 2016 are the Treasury's official values"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("value files you add (Update Values…)"), std::string::npos) << text;
    EXPECT_NE(text.find("other months from June 2009 to November 2026 are computed from the "
                        "Treasury's published interest rates"),
              std::string::npos)
        << text;

    const auto month = [](RedemptionMonth m, bool updated) {
        return monthValueSourceText(m, updated);
    };
    EXPECT_NE(month({2016, 6}, false).find("official values (value file sb201606.asc)"),
              std::string::npos);
    EXPECT_NE(month({2026, 11}, false).find("computed from the Treasury's published"),
              std::string::npos);
    EXPECT_EQ(month({2026, 11}, false).find("unless"), std::string::npos);
    EXPECT_NE(month({2026, 11}, true).find("unless a Treasury value file you added"),
              std::string::npos);
    EXPECT_NE(month({2027, 1}, true).find("from the value files you added"), std::string::npos);
    EXPECT_NE(month({2009, 5}, true).find("from the value files you added"), std::string::npos);
}

// A value file line: series code, redemption year and month, issue year, twelve equal leaves.
std::string valueLine(const std::string& head, const std::string& leaf) {
    std::string line = head;
    for (int month = 0; month < 12; ++month) {
        line += leaf;
    }
    return line + "\n";
}

// The user's table credits each month to the files its values came from, and to the shipped
// table's source while any of the shipped values stays.
TEST(ValueSources, EachMonthOfTheUsersTableIsCreditedToItsFiles) {
    TempDir shipped;
    TempDir user;
    const ValueTableRef shippedTable =
        mergeValueFile(nullptr,
                       valueLine("I2009061999", "000100") + valueLine("I2016061999", "000200") +
                           valueLine("I2016071999", "000300"),
                       "s", nullptr);
    ASSERT_TRUE(writeValueTableFile(shipped / "BondTable.plist", *shippedTable));
    const ResourceLocations locations(shipped.path(), user.path());
    const auto update = [&](const std::string& name, const std::string& text, bool replaces) {
        writeWholeFile(shipped / name, text);
        std::string error;
        ValueChangeConsent consent;
        bool done = updateUserValueTable(locations, {shipped / name}, &error, &consent);
        if (replaces) {
            consent.accepted = consent.refused;
            done = updateUserValueTable(locations, {shipped / name}, &error, &consent);
        }
        EXPECT_TRUE(done) << error;
    };
    update("later.asc", valueLine("I2027061999", "000400"), false);
    update("more.asc", valueLine("I2009062000", "000500"), false);
    update("again.asc", valueLine("I2016071999", "000300"), false);
    update("fixed.asc", valueLine("I2016061999", "000600"), true);

    const ValueTableRef mine = readValueTableFile(user / "BondTable.plist");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(monthSourceLines(*mine, shippedTable.get(), readValueSourceRecord(locations)),
              (std::vector<std::string>{
                  "June 2009 to June 2009: computed from the Treasury's published interest rates "
                  "by its rules (31 CFR parts 351 and 359); and the Treasury's official values "
                  "from more.asc, which you added.",
                  "June 2016 to June 2016: the Treasury's official values from fixed.asc, which "
                  "you added.",
                  "July 2016 to July 2016: the Treasury's official values from sb201606.asc, "
                  "which comes with Orvelt.",
                  "June 2027 to June 2027: the Treasury's official values from later.asc, which "
                  "you added.",
              }));
}

TEST(ValueSources, TheHelpPageSaysTheSame) {
    std::ifstream page(std::filesystem::path(ORVELT_SOURCE_DIR) /
                       "resources/site/help/orvelthelp/Orvelt_Help.html");
    std::stringstream html;
    html << page.rdbuf();
    EXPECT_NE(html.str().find(valueSourcesText()), std::string::npos);
}
