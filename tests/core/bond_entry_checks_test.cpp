// What the bond entry checks without windows: the lists a bond is entered from, a choice list
// with the extra entry of a bond's own value, the warning about an issue date its series was not
// issued on, and the note after an import.

#include "core/value_table_fixture.h"
#include "entry/BondChoiceLists.h"
#include "entry/ChoiceList.h"
#include "entry/ImportedBondNotes.h"
#include "store/SeriesRules.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(BondChoiceLists, OfferEveryPaperDenominationOnceAndEachSeriesPaperYears) {
    const BondChoiceLists lists;
    std::set<int> denominations;
    for (const SeriesRules& rules : kSeriesRules) {
        denominations.insert(rules.paperDenominations.begin(), rules.paperDenominations.end());
        const std::vector<std::string> years = lists.yearsForType(std::string(rules.series));
        ASSERT_EQ(years.size(), std::size_t(rules.lastPaperIssueYear - rules.firstIssue.year + 1));
        EXPECT_EQ(years.front(), std::to_string(rules.firstIssue.year));
        EXPECT_EQ(years.back(), std::to_string(rules.lastPaperIssueYear));
    }
    std::vector<std::string> faceValues;
    for (const int dollars : denominations) {
        faceValues.push_back(std::to_string(dollars));
    }
    EXPECT_EQ(lists.faceValues(), faceValues) << "smallest first, each once";
    EXPECT_TRUE(lists.yearsForType("X").empty());
}

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
    EXPECT_EQ(issueDateWarning("E", "May", "1941"), "");
    EXPECT_EQ(issueDateWarning("E", "January", "1941"),
              "Series E bonds were first issued in May 1941, not in January 1941. Please check "
              "the series and the issue date.");
    EXPECT_EQ(issueDateWarning("EE", "January", "1980"), "");
    EXPECT_NE(issueDateWarning("I", "August", "1998"), "");
    EXPECT_EQ(issueDateWarning("I", "September", "1998"), "");
    EXPECT_NE(issueDateWarning("S", "April", "1967"), "");
    EXPECT_EQ(issueDateWarning("S", "May", "1967"), "");
    // A year outside the series' years keeps its own message.
    EXPECT_EQ(issueDateWarning("E", "May", "1985")
                  .rfind("Series E bonds were issued from 1941 to 1980, not in 1985.", 0),
              0u);
    EXPECT_EQ(issueDateWarning("X", "January", "1900"), "");
}

// After an import: bonds dated after the month the list values them at are not issued yet, as
// the list says; an electronic-era bond the table values is no wrong date.
TEST(ImportedBondsNote, NamesBondsNotIssuedYetApartAndAcceptsWhatTheTableValues) {
    const ValueTableRef table =
        makeTypedValueTable({{"EE", "2016", "06", "2015", "June", "001253"}});
    const std::string note = importedBondsNote({{"E85", "E", "25", "1985", "January"},
                                                {"EE15", "EE", "100", "2015", "June"},
                                                {"F30", "EE", "100", "2030", "June"},
                                                {"EE15B", "EE", "100", "2015", "July"}},
                                               table.get(), YearMonth{2026, 11});
    EXPECT_EQ(note, "These bonds are not issued yet in November 2026 and count in no total until "
                    "they are:\nF30 (June 2030)\n\nThese bonds have an issue date on which their "
                    "series was not issued; they were kept, please check them:\nE85: Series E "
                    "bonds were issued from 1941 to 1980, not in 1985. Please check the series and "
                    "the issue year.\nEE15B: Series EE paper bonds were issued from 1980 to 2011, "
                    "not in 2015. Please check the series and the issue year.");
}

} // namespace
