// A bond marked cashed, valued over the shipped table: from the month cashed on it is listed with
// what it came to then and counts in no total, no what-to-do line and no later month of the
// worth; before that month it is held like any other.

#include "platform/ResourceLocations.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTableFile.h"
#include "valuation/WorthOverTime.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(CashedBondTest, LeavesTheTotalsActionLinesAndLaterMonthsAndKeepsItsFiguresThen) {
    const ResourceLocations shipped(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources",
                                    std::filesystem::temp_directory_path());
    const ValueTableRef table = loadBondTable(shipped);
    ASSERT_TRUE(table);
    Bond cashed("GONE", "E", "100", "1960", "January"); // stopped earning in January 2000
    cashed.setCashed("2023-01");
    cashed.setAmountReceived("512.34");
    const Bond held("KEPT", "EE", "100", "2001", "March");
    const std::vector<Bond> bonds = {held, cashed};
    const YearMonth after{2024, 6};
    const YearMonth before{2022, 6};

    const ReportSnapshot now = computeReportSnapshot(bonds, "Family", table.get(), after);
    const ReportSnapshot heldOnly = computeReportSnapshot({held}, "Family", table.get(), after);
    EXPECT_EQ(now.summary.worth.known, heldOnly.summary.worth.known);
    EXPECT_EQ(now.summary.paid.known, heldOnly.summary.paid.known);
    EXPECT_EQ(now.totalFaceValue, heldOnly.totalFaceValue);
    EXPECT_EQ(now.summary.cashed, 1);
    EXPECT_EQ(now.actionLines(), heldOnly.actionLines()) << "it no longer stopped earning";
    const int row = 2; // the E bond of 1960 stands first
    ASSERT_EQ(now.bondRow(row)->bond.serial, "GONE");
    EXPECT_EQ(now.cellText(reportColumnNamed("Status"), row),
              "cashed in January 2023, received $512.34");
    EXPECT_EQ(now.cellText(reportColumnNamed("Current Value"), row), "$512.34");
    EXPECT_EQ(now.cellText(reportColumnNamed("Issue Price"), row), "$75.00");
    EXPECT_EQ(now.cellText(reportColumnNamed("Interest"), row), "$437.34");
    const std::vector<std::string> lines = now.summaryLines();
    for (const std::string expected :
         {"These totals count the bonds that have a value; they leave out 1 bond cashed by June "
          "2024.",
          "The face value total leaves out 1 bond cashed by June 2024.",
          "Received for the cashed bond: $512.34."}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    }

    // Held until then: counted, and the line of the worth runs on to the month before.
    const ReportSnapshot then = computeReportSnapshot(bonds, "Family", table.get(), before);
    EXPECT_EQ(then.summary.cashed, 0);
    EXPECT_EQ(then.summary.withValue, 2);
    const WorthOverTime worth = worthOverTime(bonds, table.get());
    const WorthOverTime worthHeld = worthOverTime({held}, table.get());
    EXPECT_EQ(worth.worthAt(before), then.summary.worth.known);
    EXPECT_NE(worth.worthAt(YearMonth{2022, 12}), worthHeld.worthAt(YearMonth{2022, 12}));
    EXPECT_EQ(worth.worthAt(YearMonth{2023, 1}), worthHeld.worthAt(YearMonth{2023, 1}));
    EXPECT_EQ(worth.worthAt(after), worthHeld.worthAt(after));
}

} // namespace
