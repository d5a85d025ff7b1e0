// The owner's figures of one bond at the edges of the Treasury's rules: final maturity of E
// bonds issued either side of December 1965, the penalty's 60th month, the year's interest from
// December or from the issue price, "NO PAY", a value missing from the table, and a series the
// rules do not know.

#include "core/value_table_fixture.h"
#include "valuation/OwnerFigures.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

PlistValue bond(const std::string& series, const std::string& face, const std::string& year,
                const std::string& month) {
    PlistDictRef record = PlistDict::create();
    record->set("Serial", std::string("S1"));
    record->set("Type", series);
    record->set("Face Value", face);
    record->set("Issue Year", year);
    record->set("Issue Month", month);
    return PlistValue(record);
}

TEST(OwnerFiguresTest, IssuePriceIsTheSeriesShareOfFace) {
    const PlistDictRef none = PlistDict::create();
    EXPECT_EQ(
        ownerFiguresOfBond(none.get(), bond("E", "100", "1970", "May"), "2009", "06").issuePrice,
        75.0);
    EXPECT_EQ(
        ownerFiguresOfBond(none.get(), bond("EE", "100", "2001", "May"), "2009", "06").issuePrice,
        50.0);
    EXPECT_EQ(
        ownerFiguresOfBond(none.get(), bond("I", "100", "2001", "May"), "2009", "06").issuePrice,
        100.0);
    EXPECT_EQ(
        ownerFiguresOfBond(none.get(), bond("S", "25", "1968", "June"), "2009", "06").issuePrice,
        20.25);
    const OwnerFigures unknown =
        ownerFiguresOfBond(none.get(), bond("H", "100", "1970", "May"), "2009", "06");
    EXPECT_FALSE(unknown.issuePrice);
    EXPECT_FALSE(unknown.finalMaturity);
    EXPECT_EQ(bondStatusText(unknown.status), "not known");
}

TEST(OwnerFiguresTest, EBondsIssuedBeforeDecember1965RunFortyYearsAndMatureInTheirMonth) {
    const PlistDictRef table = makeValueTable({
        {"E", "2009", "06", "1979", "June", "008000"},
        {"E", "2009", "05", "1979", "June", "007990"},
    });
    EXPECT_EQ(finalMaturityText(ownerFiguresOfBond(
                                    table.get(), bond("E", "100", "1965", "November"), "2009", "06")
                                    .finalMaturity),
              "2005-11");
    EXPECT_EQ(finalMaturityText(ownerFiguresOfBond(
                                    table.get(), bond("E", "100", "1965", "December"), "2009", "06")
                                    .finalMaturity),
              "1995-12");
    EXPECT_EQ(
        ownerFiguresOfBond(table.get(), bond("E", "100", "1979", "June"), "2009", "05").status,
        BondStatus::Earning);
    const OwnerFigures matured =
        ownerFiguresOfBond(table.get(), bond("E", "100", "1979", "June"), "2009", "06");
    EXPECT_EQ(bondStatusText(matured.status), "matured");
    EXPECT_EQ(finalMaturityText(matured.finalMaturity), "2009-06");
}

TEST(OwnerFiguresTest, ThePenaltyEndsInTheSixtiethMonthAndSpareBondsBeforeMay1997) {
    const PlistDictRef table = makeValueTable({
        {"EE", "2009", "06", "2004", "June", "001400"},
        {"EE", "2009", "06", "2004", "July", "001390"},
        {"EE", "2009", "06", "1997", "April", "002500"},
        {"I", "2009", "06", "2004", "July", "002800"},
    });
    auto statusOf = [&table](const char* series, const char* year, const char* month) {
        return bondStatusText(
            ownerFiguresOfBond(table.get(), bond(series, "100", year, month), "2009", "06").status);
    };
    EXPECT_EQ(statusOf("EE", "2004", "June"), "") << "held 60 months";
    EXPECT_EQ(statusOf("EE", "2004", "July"), "includes 3-month penalty") << "held 59 months";
    EXPECT_EQ(statusOf("I", "2004", "July"), "includes 3-month penalty");
    EXPECT_EQ(statusOf("EE", "1997", "April"), "");
}

TEST(OwnerFiguresTest, InterestAndYieldComeFromPriceAndValue) {
    const PlistDictRef table = makeValueTable({
        {"EE", "2010", "03", "2000", "March", "002500"},
        {"EE", "2009", "12", "2000", "March", "002400"},
    });
    const OwnerFigures figures =
        ownerFiguresOfBond(table.get(), bond("EE", "100", "2000", "March"), "2010", "03");
    EXPECT_EQ(ownerAmountText(figures.interest), "$50.00");
    EXPECT_EQ(ownerAmountText(figures.interestThisYear), "$4.00");
    // Doubling in 120 months: 2 * (2^(6/120) - 1).
    EXPECT_EQ(yieldText(figures.yieldSinceIssue), "7.05%");
    EXPECT_EQ(figures.cashValue, 100.0);
}

TEST(OwnerFiguresTest, TheYearsInterestStartsAtDecemberOrAtThePriceOfABondIssuedThisYear) {
    const PlistDictRef table = makeValueTable({
        {"I", "2010", "05", "2010", "January", "002520"},
        {"I", "2010", "05", "2009", "January", "002600"},
        {"I", "2010", "05", "2008", "January", "002700"},
        {"I", "2009", "12", "2008", "January", "NO PAY"},
    });
    auto thisYear = [&table](const char* year) {
        return ownerAmountText(
            ownerFiguresOfBond(table.get(), bond("I", "25", year, "January"), "2010", "05")
                .interestThisYear);
    };
    EXPECT_EQ(thisYear("2010"), "$0.20") << "issued in the redemption year: from its price";
    EXPECT_EQ(thisYear("2009"), "not known") << "the table has no December 2009 value";
    EXPECT_EQ(thisYear("2008"), "not known") << "December 2009 was not payable";
}

TEST(OwnerFiguresTest, NoPayMissingValuesAndLaterIssuesGiveNoInterest) {
    const PlistDictRef table = makeValueTable({
        {"EE", "2009", "06", "2009", "January", "NO PAY"},
        {"EE", "2009", "06", "2002", "January", "      "},
    });
    const OwnerFigures noPay =
        ownerFiguresOfBond(table.get(), bond("EE", "1000", "2009", "January"), "2009", "06");
    EXPECT_EQ(bondStatusText(noPay.status), "not yet payable");
    EXPECT_EQ(noPay.issuePrice, 500.0);
    EXPECT_FALSE(noPay.interest);
    EXPECT_FALSE(noPay.yieldSinceIssue);
    EXPECT_EQ(noPay.cashValue, 0.0);

    for (const char* year : {"2002", "2003"}) {
        const OwnerFigures missing =
            ownerFiguresOfBond(table.get(), bond("EE", "100", year, "January"), "2009", "06");
        EXPECT_EQ(bondStatusText(missing.status), "no value") << year;
        EXPECT_EQ(ownerAmountText(missing.interest), "not known") << year;
    }
    EXPECT_EQ(bondStatusText(
                  ownerFiguresOfBond(table.get(), bond("EE", "100", "2009", "July"), "2009", "06")
                      .status),
              "not issued yet");
}

} // namespace
