// What the bond entry checks without windows: a choice list with the extra entry of a bond's
// own value, and the warning about an issue date its series was not issued on.

#include "entry/BondChoiceLists.h"
#include "entry/ChoiceList.h"
#include "platform/ResourceLocations.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(ChoiceList, AValueTheListLacksBecomesTheExtraEntryUntilTheListChanges) {
    ChoiceList list({"10", "25"});
    EXPECT_EQ(list.indexFor("25"), 1);
    EXPECT_FALSE(list.hasExtra());
    EXPECT_EQ(list.indexFor("37.5"), 2);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.valueAt(2), "37.5");
    EXPECT_TRUE(list.isExtraAt(2));
    EXPECT_FALSE(list.isExtraAt(1));
    EXPECT_EQ(list.valueAt(3), std::nullopt);
    EXPECT_EQ(list.valueAt(-1), std::nullopt);
    list.setValues({"50"});
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.valueAt(1), std::nullopt);
}

TEST(IssueDateWarning, DatesBeforeASeriesFirstIssueAreWarnedAbout) {
    TempDir data;
    const BondChoiceLists lists = BondChoiceLists::read(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", data.path()));
    EXPECT_EQ(issueDateWarning(lists, "E", "May", "1941"), "");
    EXPECT_EQ(issueDateWarning(lists, "E", "January", "1941"),
              "Series E bonds were first issued in May 1941, not in January 1941. Please check "
              "the series and the issue date.");
    EXPECT_EQ(issueDateWarning(lists, "EE", "January", "1980"), "");
    EXPECT_NE(issueDateWarning(lists, "I", "August", "1998"), "");
    EXPECT_EQ(issueDateWarning(lists, "I", "September", "1998"), "");
    EXPECT_NE(issueDateWarning(lists, "S", "April", "1967"), "");
    EXPECT_EQ(issueDateWarning(lists, "S", "May", "1967"), "");
    // A year outside the series' years keeps its own message.
    EXPECT_EQ(issueDateWarning(lists, "E", "May", "1985")
                  .rfind("Series E bonds were issued from 1941 to 1980, not in 1985.", 0),
              0u);
    EXPECT_EQ(issueDateWarning(lists, "X", "January", "1900"), "");
}

} // namespace
