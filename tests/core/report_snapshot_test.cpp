// The report computed once for a portfolio that mixes every kind of bond: each total counts the
// same bonds (issued by the month, with a value), says when it leaves one out, and never
// includes the table's invalid mark.

#include "core/value_table_fixture.h"
#include "valuation/ReportDocument.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportSnapshotTest, MixedPortfolioTotalsCountTheSameBondsAndSaySoWhenTheyLeaveOneOut) {
    const ValueTableRef table = makeTypedValueTable({
        {"EE", "2009", "06", "2001", "March", "002712"},
        {"EE", "2008", "12", "2001", "March", "002650"},
        {"I", "2009", "06", "2003", "July", "003000"},
        {"EE", "2009", "06", "2001", "April", "      "},
        {"EE", "2009", "06", "2009", "July", "      "},
        {"EE", "2009", "06", "2009", "January", "NO PAY"},
        {"E", "2009", "06", "1960", "January", "010000"},
        {"E", "2008", "12", "1960", "January", "010000"},
    });
    const std::vector<Bond> bonds = {
        {"LATE", "EE", "100", "2009", "July"},      // bought after the month
        {"OK1", "EE", "100", "2001", "March"},      // 108.48, this year 2.48
        {"BAD", "EE", "100", "2001", "April"},      // the table calls it invalid
        {"YOUNG", "EE", "1000", "2009", "January"}, // not yet payable: its price, 500
        {"OLD", "E", "100", "1950", "May"},         // matured, but the table lacks it
        {"OK2", "I", "100", "2003", "July"},        // 120.00, no December value
        {"OLD2", "E", "100", "1960", "January"},    // matured at 400.00
    };
    const ReportSnapshot report =
        computeReportSnapshot(bonds, "Mixed", table.get(), YearMonth{2009, 6});

    EXPECT_EQ(report.invalidSerials, std::vector<std::string>{"BAD"});
    std::vector<std::string> serials;
    for (const ReportRow& row : report.rows) {
        serials.push_back(row.bond.serial);
    }
    EXPECT_EQ(serials,
              (std::vector<std::string>{"OLD", "OLD2", "OK1", "BAD", "OK2", "YOUNG", "LATE"}));
    auto cell = [&report](std::string_view column, int bond) {
        return report.cellText(reportColumnNamed(column), bond + 2);
    };
    EXPECT_EQ(cell("Current Value", 0), "no value");
    EXPECT_EQ(cell("Status", 0), "no value") << "no value comes before matured";
    EXPECT_EQ(cell("Status", 1), "stopped earning in January 2000");
    EXPECT_EQ(cell("Status", 3),
              "invalid issue date: the value table holds no Series EE bond issued in April 2001");
    EXPECT_EQ(cell("Current Value", 3), "no value");
    EXPECT_EQ(cell("Current Value", 5), "$500.00");
    EXPECT_EQ(cell("Status", 5), "not yet payable until January 2010; doubles in January 2029");
    EXPECT_EQ(cell("Interest", 5), "not known");
    for (std::string_view column : {"Interest", "Yield Since Issue"}) {
        EXPECT_EQ(cell(column, 6), "not known") << column;
    }
    EXPECT_EQ(cell("Issue Price", 6), "$50.00") << "fixed by the series, bought or not";
    EXPECT_EQ(cell("Current Value", 6), "no value");
    EXPECT_EQ(cell("Status", 6), "not issued yet");

    const int totals = report.rowCount() - 1;
    auto total = [&](std::string_view column) {
        return report.cellText(reportColumnNamed(column), totals);
    };
    EXPECT_EQ(total("Face Value"), "$1400.00") << "every bond issued by the month but BAD";
    EXPECT_EQ(total("Current Value"), "$1128.48");
    EXPECT_EQ(total("Issue Price"), "$725.00");
    EXPECT_EQ(total("Interest"), "$403.48*");
    EXPECT_EQ(total("Interest This Year"), "$2.48*");
    EXPECT_EQ(report.summaryLines(),
              (std::vector<std::string>{
                  "Paid for these bonds: $725.00",
                  "Worth now: $1128.48, of which interest: $403.48*",
                  "Worth if cashed now: $628.48 (bonds not yet payable count nothing)",
                  "These totals count the bonds that have a value; they leave out 1 bond not "
                  "issued yet in June 2009, 1 bond with an invalid issue date and 1 bond without "
                  "a value.",
                  "The face value total leaves out 1 bond not issued yet in June 2009 and 1 bond "
                  "with an invalid issue date.",
                  "* The Interest total leaves out 1 bond whose figure is not known.",
                  "* The Interest This Year total leaves out 2 bonds whose figure is not known.",
              }));
    // A footnote names a column only where it is shown; the year's interest only its column
    // shows, the interest the summary's words too.
    ReportColumnPositions withoutInterest = allReportColumns();
    std::erase(withoutInterest, 7);
    std::erase(withoutInterest, 8);
    const std::vector<std::string> lines = report.summaryLines(&withoutInterest);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines.back(), "* The interest leaves out 1 bond whose figure is not known.");
    EXPECT_EQ(
        report.missingValuesNote(),
        "The value table has no value for 1 of these 5 bonds in June 2009; it shows \"no value\".");
}

// What to do, for a small portfolio valued with the shipped table in November 2026 (values per
// $25 in the comments), with two bonds of impossible dates listed and counted in no total.
TEST(ReportSnapshotTest, WhatToDoAndInvalidIssueDatesWithTheShippedTable) {
    const ValueTableRef shipped = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", "/nonexistent"));
    const ReportSnapshot report = computeReportSnapshot(
        {{"OLD1", "EE", "100", "1990", "January"},   // stopped January 2020 at 51.84
         {"OLD2", "EE", "100", "1993", "March"},     // stopped March 2023 at 41.03
         {"I24", "I", "1000", "2024", "May"},        // penalty until May 2029
         {"EE24", "EE", "100", "2024", "November"},  // penalty until November 2029
         {"EE07A", "EE", "100", "2007", "June"},     // doubles June 2027; 24.05 now
         {"EE07B", "EE", "100", "2007", "November"}, // doubles in 12 months; 22.02 now
         {"EE07C", "EE", "100", "2007", "December"}, // doubles in 13 months
         {"E41", "E", "50", "1941", "January"},
         {"E80", "E", "50", "1980", "July"}},
        "Family", shipped.get(), YearMonth{2026, 11});
    EXPECT_EQ(
        report.actionLines(),
        (std::vector<std::string>{
            "2 bonds have stopped earning interest, the first in January 2020. Together "
            "they are worth $371.48: cashing them loses nothing.",
            "2 bonds still carry the 3-month penalty; the first comes free of it in May 2029.",
            "2 EE bonds double within the next 12 months, the first in June 2027: waiting "
            "gains at least $15.72.",
        }));
    EXPECT_EQ(report.invalidSerials, (std::vector<std::string>{"E41", "E80"}));
    EXPECT_EQ(report.cellText(reportColumnNamed("Face Value"), report.rowCount() - 1), "$1600.00");
    EXPECT_EQ(invalidBondsMessage(report),
              "The bonds with the following serials are invalid:\n\nE41 (Series E bonds were "
              "first issued in May 1941)\nE80 (Series E bonds were last issued in June 1980)\n\n"
              "They are listed without a value and counted in no total. Please correct their "
              "issue dates.");
    EXPECT_TRUE(computeReportSnapshot({{"EE07C", "EE", "100", "2007", "December"}}, "Family",
                                      shipped.get(), YearMonth{2026, 11})
                    .actionLines()
                    .empty());
}

} // namespace
