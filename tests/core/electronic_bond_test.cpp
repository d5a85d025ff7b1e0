// Electronic bonds valued from the shipped table: the amount / 100 times the value of a $100 bond
// (EE: $100 of principal, eight $25 leaves), rounded to the cent once with halves up; bought at
// the amount; EE doubling at twice the amount; no electronic bond before its series was first
// sold so. The amount as the entry and the file take it.

#include "platform/ResourceLocations.h"
#include "store/ElectronicAmount.h"
#include "valuation/ElectronicValue.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/WorthOverTime.h"

#include <gtest/gtest.h>

namespace {

Bond electronic(const std::string& series, const std::string& amount, const std::string& year,
                const std::string& month) {
    Bond bond("", series, amount, year, month);
    bond.electronic = true;
    return bond;
}

TEST(ElectronicBondTest, ValuedFromTheShippedTableToTheCentOnce) {
    const ValueTableRef table = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", "/nonexistent"));
    ASSERT_TRUE(table);
    const auto figures = [&table](const Bond& bond, int year, int month) {
        return ownerFiguresOfBond(table.get(), bond, YearMonth{year, month});
    };
    // I of October 2002, $25 worth $35.26 in January 2010: $100 worth $141.04. $43.75 is
    // $61.705, a half cent that goes up.
    const Bond i02 = electronic("I", "43.75", "2002", "October");
    EXPECT_EQ(figures(i02, 2010, 1).value, Amount::ofCents(6171));
    // November 2026: $25 worth $75.13, $100 $300.52; $50.37 is $151.3719.
    EXPECT_EQ(figures(electronic("I", "50.37", "2002", "October"), 2026, 11).value,
              Amount::ofCents(15137));
    EXPECT_EQ(figures(i02, 2010, 1).issuePrice, Amount::ofCents(4375));

    // EE of May 2003 in November 2026: $25 face worth $29.39, $100 principal $235.12; $43.75 is
    // $102.865, up to $102.87. Bought at the amount, where paper costs half of face.
    const Bond ee03 = electronic("EE", "43.75", "2003", "May");
    const OwnerFigures ee03Now = figures(ee03, 2026, 11);
    EXPECT_EQ(ee03Now.value, Amount::ofCents(10287));
    EXPECT_EQ(ee03Now.issuePrice, Amount::ofCents(4375));
    EXPECT_EQ(ee03Now.interest, Amount::ofCents(10287 - 4375));
    EXPECT_EQ(figures(Bond("", "EE", "50", "2003", "May"), 2026, 11).issuePrice,
              Amount::ofCents(2500));
    // Doubling: May 2003 at 17 years, June 2003 at 20, to twice the amount.
    EXPECT_EQ(figures(ee03, 2020, 5).value, Amount::ofCents(8750));
    const Bond ee03June = electronic("EE", "50.37", "2003", "June");
    EXPECT_EQ(figures(ee03June, 2023, 5).doublesIn, (YearMonth{2023, 6}));
    EXPECT_EQ(figures(ee03June, 2023, 6).value, Amount::ofCents(10074));

    // Before the first electronic sale, of a series never sold so, or an amount no account
    // holds: no value, and the reason says why.
    const OwnerFigures early = figures(electronic("I", "100.00", "2002", "September"), 2010, 1);
    EXPECT_EQ(early.status, BondStatus::InvalidIssueDate);
    EXPECT_EQ(early.invalidReason, "electronic Series I bonds were first sold in October 2002");
    EXPECT_EQ(figures(electronic("EE", "100.00", "2003", "April"), 2010, 1).status,
              BondStatus::InvalidIssueDate);
    EXPECT_EQ(figures(electronic("E", "100.00", "1970", "May"), 2010, 1).invalidReason,
              "Series E bonds were never sold electronically");
    EXPECT_FALSE(figures(electronic("I", "24.99", "2002", "October"), 2010, 1).value);

    // The chart's worth by month is the report's total in each month.
    const std::vector<Bond> bonds = {i02, ee03, ee03June};
    const WorthOverTime worth = worthOverTime(bonds, table.get());
    for (const YearMonth month : {YearMonth{2010, 1}, YearMonth{2023, 6}, YearMonth{2026, 11}}) {
        const ReportSnapshot report = computeReportSnapshot(bonds, "E", table.get(), month);
        EXPECT_EQ(worth.worthAt(month), report.summary.worth.known) << month.keyText();
    }
}

// 31 CFR 359, Appendix A: $34.59 of I bonds issued May 2001, redeemed December 2001, when $100
// is worth $101.96: 35.267964, $35.27.
TEST(ElectronicBondTest, TheRegulationsWorkedExample) {
    EXPECT_EQ(electronicValueOfHundred(3459, 10196), Amount::ofCents(3527));
    EXPECT_EQ(electronicValue(BondSeries::I, 3459, 2549), Amount::ofCents(3527));
}

TEST(ElectronicBondTest, AnAmountIsDollarsAndCentsFromTwentyFive) {
    std::string stored;
    EXPECT_FALSE(electronicAmountProblem("50.3", stored));
    EXPECT_EQ(stored, "50.30");
    EXPECT_FALSE(electronicAmountProblem("25", stored));
    EXPECT_EQ(stored, "25.00");
    EXPECT_EQ(electronicAmountProblem("24.99", stored),
              "An electronic bond holds at least $25.00, not $24.99.");
    for (const char* text : {"50.375", "-50", "1,000", " 50", "50.", ".5", "", "5e3"}) {
        EXPECT_TRUE(electronicAmountProblem(text, stored)) << text;
    }
}

} // namespace
