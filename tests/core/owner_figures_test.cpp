// The owner's figures of one bond at the edges of the Treasury's rules: final maturity of E
// bonds issued either side of December 1965, the penalty's 60th month, the year's interest from
// December or from the issue price, "NO PAY", a value missing from the table, and a series the
// rules do not know.

#include "core/value_table_fixture.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ValueTable.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

Bond bond(const std::string& series, const std::string& face, const std::string& year,
          const std::string& month) {
    PlistDictRef record = PlistDict::create();
    record->set("Serial", std::string("S1"));
    record->set("Type", series);
    record->set("Face Value", face);
    record->set("Issue Year", year);
    record->set("Issue Month", month);
    return Bond::fromRecord(PlistValue(record));
}

// The figures of a bond of the series, face value and issue month at June 2009 (or `month`).
OwnerFigures figuresAt(const ValueTableRef& table, const std::string& series,
                       const std::string& face, const std::string& year,
                       const std::string& issueMonth, const std::string& month = "06") {
    return ownerFiguresOfBond(table.get(), bond(series, face, year, issueMonth),
                              YearMonth::fromKeyText("2009-" + month));
}

TEST(OwnerFiguresTest, IssuePriceIsTheSeriesShareOfFace) {
    const ValueTableRef none = makeTypedValueTable({});
    EXPECT_EQ(figuresAt(none, "E", "100", "1970", "May").issuePrice, Amount::ofCents(7500));
    EXPECT_EQ(figuresAt(none, "EE", "100", "2001", "May").issuePrice, Amount::ofCents(5000));
    EXPECT_EQ(figuresAt(none, "I", "100", "2001", "May").issuePrice, Amount::ofCents(10000));
    EXPECT_EQ(figuresAt(none, "S", "25", "1968", "June").issuePrice, Amount::ofCents(2025));
    const OwnerFigures unknown = figuresAt(none, "H", "100", "1970", "May");
    EXPECT_FALSE(unknown.issuePrice);
    EXPECT_FALSE(unknown.finalMaturity);
    EXPECT_EQ(bondStatusText(unknown.status), "not known");
}

TEST(OwnerFiguresTest, EBondsIssuedBeforeDecember1965RunFortyYearsAndMatureInTheirMonth) {
    const ValueTableRef table = makeTypedValueTable({
        {"E", "2009", "06", "1979", "June", "008000"},
        {"E", "2009", "05", "1979", "June", "007990"},
    });
    EXPECT_EQ(finalMaturityText(figuresAt(table, "E", "100", "1965", "November").finalMaturity),
              "2005-11");
    EXPECT_EQ(finalMaturityText(figuresAt(table, "E", "100", "1965", "December").finalMaturity),
              "1995-12");
    EXPECT_EQ(figuresAt(table, "E", "100", "1979", "June", "05").status, BondStatus::Earning);
    const OwnerFigures matured = figuresAt(table, "E", "100", "1979", "June");
    EXPECT_EQ(bondStatusText(matured.status), "stopped earning");
    EXPECT_EQ(finalMaturityText(matured.finalMaturity), "2009-06");
}

TEST(OwnerFiguresTest, ThePenaltyEndsInTheSixtiethMonthAndSpareBondsBeforeMay1997) {
    const ValueTableRef table = makeTypedValueTable({
        {"EE", "2009", "06", "2004", "June", "001400"},
        {"EE", "2009", "06", "2004", "July", "001390"},
        {"EE", "2009", "06", "1997", "April", "002500"},
        {"I", "2009", "06", "2004", "July", "002800"},
    });
    auto statusOf = [&table](const char* series, const char* year, const char* month) {
        return bondStatusText(figuresAt(table, series, "100", year, month).status);
    };
    EXPECT_EQ(statusOf("EE", "2004", "June"), "") << "held 60 months";
    EXPECT_EQ(statusOf("EE", "2004", "July"), "includes the 3-month penalty") << "held 59 months";
    EXPECT_EQ(statusOf("I", "2004", "July"), "includes the 3-month penalty");
    EXPECT_EQ(statusOf("EE", "1997", "April"), "");
}

TEST(OwnerFiguresTest, InterestAndYieldComeFromPriceAndValue) {
    const ValueTableRef table = makeTypedValueTable({
        {"EE", "2010", "03", "2000", "March", "002500"},
        {"EE", "2009", "12", "2000", "March", "002400"},
    });
    const OwnerFigures figures =
        ownerFiguresOfBond(table.get(), bond("EE", "100", "2000", "March"), YearMonth{2010, 3});
    EXPECT_EQ(ownerAmountText(figures.interest), "$50.00");
    EXPECT_EQ(ownerAmountText(figures.interestThisYear), "$4.00");
    // Doubling in 120 months: 2 * (2^(6/120) - 1).
    EXPECT_EQ(yieldText(figures.yieldSinceIssue), "7.05%");
    EXPECT_EQ(figures.cashValue, Amount::ofCents(10000));
}

TEST(OwnerFiguresTest, TheYearsInterestStartsAtDecemberOrAtThePriceOfABondIssuedThisYear) {
    const ValueTableRef table = makeTypedValueTable({
        {"I", "2010", "05", "2010", "January", "002520"},
        {"I", "2010", "05", "2009", "January", "002600"},
        {"I", "2010", "05", "2008", "January", "002700"},
        {"I", "2009", "12", "2008", "January", "NO PAY"},
    });
    auto thisYear = [&table](const char* year) {
        return ownerAmountText(
            ownerFiguresOfBond(table.get(), bond("I", "25", year, "January"), YearMonth{2010, 5})
                .interestThisYear);
    };
    EXPECT_EQ(thisYear("2010"), "$0.20") << "issued in the redemption year: from its price";
    EXPECT_EQ(thisYear("2009"), "not known") << "the table has no December 2009 value";
    EXPECT_EQ(thisYear("2008"), "not known")
        << "December 2009 was not payable, and no rates give its value there";
}

TEST(OwnerFiguresTest, NoPayMissingValuesAndLaterIssuesGiveNoInterest) {
    const ValueTableRef table = makeTypedValueTable({
        {"EE", "2009", "06", "2009", "January", "NO PAY"},
        {"EE", "2009", "06", "2002", "January", "      "},
    });
    const OwnerFigures noPay = figuresAt(table, "EE", "1000", "2009", "January");
    EXPECT_EQ(bondStatusText(noPay.status), "not yet payable");
    EXPECT_EQ(noPay.issuePrice, Amount::ofCents(50000));
    EXPECT_FALSE(noPay.interest);
    EXPECT_FALSE(noPay.yieldSinceIssue);
    EXPECT_EQ(noPay.cashValue, Amount());

    for (const auto& [year, status] :
         {std::pair{"2002", "invalid issue date"}, std::pair{"2003", "no value"}}) {
        const OwnerFigures missing = figuresAt(table, "EE", "100", year, "January");
        EXPECT_EQ(bondStatusText(missing.status), status) << year;
        EXPECT_EQ(ownerAmountText(missing.interest), "not known") << year;
    }
    EXPECT_EQ(bondStatusText(figuresAt(table, "EE", "100", "2009", "July").status),
              "not issued yet");
    // Before the series' first issue, whatever the table holds for the date (six spaces here).
    const ValueTableRef early =
        makeTypedValueTable({{"I", "2009", "06", "1998", "August", "      "}});
    for (const auto& [series, year, month] :
         {std::tuple{"I", "1998", "August"}, {"EE", "1979", "December"}}) {
        const OwnerFigures before = figuresAt(early, series, "100", year, month);
        EXPECT_EQ(bondStatusText(before.status), "invalid issue date");
        EXPECT_NE(before.leaf, TableEntry::Kind::Invalid) << "whatever the table holds";
        EXPECT_FALSE(before.value);
        EXPECT_FALSE(before.finalMaturity) << "no such bond ever matures";
    }
}

// The Status cell's months and reasons, from the shipped table: when a bond can be cashed, when
// its penalty ends, when it stopped earning, when an EE bond doubles (17 or 20 years, none before
// May 1995 issues), and why no bond has its issue date.
TEST(OwnerFiguresTest, TheStatusCellNamesItsMonthsAndReasons) {
    const ValueTableRef shipped = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", "/nonexistent"));
    const ValueTableRef early =
        makeTypedValueTable({{"EE", "2003", "03", "2003", "January", "NO PAY"},
                             {"I", "2003", "03", "2003", "February", "NO PAY"},
                             {"EE", "2009", "06", "1995", "April", "002000"},
                             {"EE", "2009", "06", "1995", "May", "002000"}});
    auto note = [](const ValueTableRef& table, const char* series, const char* issued,
                   const char* at) {
        const YearMonth issue = *YearMonth::fromKeyText(issued);
        const Bond of =
            bond(series, "100", std::to_string(issue.year), std::string(monthName(issue.month)));
        return statusCellText(ownerFiguresOfBond(table.get(), of, YearMonth::fromKeyText(at)));
    };
    EXPECT_EQ(note(shipped, "EE", "2025-11", "2026-06"),
              "not yet payable until November 2026; doubles in November 2045");
    EXPECT_EQ(note(early, "EE", "2003-01", "2003-03"),
              "not yet payable until July 2003; doubles in January 2020");
    EXPECT_EQ(note(early, "I", "2003-02", "2003-03"), "not yet payable until February 2004");
    EXPECT_EQ(note(shipped, "I", "2024-05", "2026-11"),
              "includes the 3-month penalty until May 2029");
    EXPECT_EQ(note(shipped, "EE", "2024-11", "2026-11"),
              "includes the 3-month penalty until November 2029; doubles in November 2044");
    EXPECT_EQ(note(shipped, "EE", "2010-06", "2026-11"), "doubles in June 2030");
    EXPECT_EQ(note(shipped, "EE", "2006-11", "2026-11"), "") << "doubled this month";
    EXPECT_EQ(note(shipped, "EE", "2003-05", "2009-06"), "doubles in May 2020");
    EXPECT_EQ(note(shipped, "EE", "2003-06", "2009-06"), "doubles in June 2023");
    EXPECT_EQ(note(early, "EE", "1995-05", "2009-06"), "doubles in May 2012");
    EXPECT_EQ(note(early, "EE", "1995-04", "2009-06"), "");
    EXPECT_EQ(note(shipped, "EE", "1990-01", "2026-11"), "stopped earning in January 2020");
    EXPECT_EQ(note(shipped, "E", "1941-01", "2026-11"),
              "invalid issue date: Series E bonds were first issued in May 1941");
    EXPECT_EQ(note(shipped, "E", "1980-07", "2026-11"),
              "invalid issue date: Series E bonds were last issued in June 1980");
}

// The value stops growing at final maturity, and so do the months the yield counts.
TEST(OwnerFiguresTest, YieldAfterFinalMaturityNoLongerChanges) {
    const ValueTableRef table = makeTypedValueTable({
        {"E", "2009", "06", "1941", "May", "020000"},
        {"E", "2009", "08", "1941", "May", "020000"},
    });
    const OwnerFigures june = figuresAt(table, "E", "100", "1941", "May");
    const OwnerFigures august = figuresAt(table, "E", "100", "1941", "May", "08");
    ASSERT_TRUE(june.yieldSinceIssue);
    EXPECT_EQ(june.yieldSinceIssue, august.yieldSinceIssue);
    // 800 from 75 over the 480 months to May 1981: 2 * ((800 / 75)^(6 / 480) - 1).
    EXPECT_EQ(yieldText(june.yieldSinceIssue), "6.01%");
}

} // namespace
