// A report of a month after the value table: every figure from a projected value carries the
// mark, the totals too, and the caption names the assumption in the summary, the CSV and the
// printed page; what the bond's dates fix is told against the month shown.

#include "platform/ResourceLocations.h"
#include "store/Bond.h"
#include "support/TempDir.h"
#include "valuation/MonthCaption.h"
#include "valuation/ReportDocument.h"
#include "valuation/ReportSnapshot.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const ValueTable& shippedTable() {
    static const TempDir userData;
    static const ValueTableRef table = loadBondTable(
        ResourceLocations(std::filesystem::path(ORVELT_SOURCE_DIR) / "resources", userData.path()));
    return *table;
}

std::string cell(const ReportSnapshot& report, std::string_view title, int row) {
    const auto column =
        std::find_if(kReportColumns.begin(), kReportColumns.end(),
                     [title](const ReportColumn& candidate) { return candidate.title == title; });
    return report.cellText(*column, row);
}

bool holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST(ProjectedReportTest, ProjectedFiguresAreMarkedAndTheCaptionNamesTheAssumption) {
    // Rows in issue order: the E bond stopped earning long ago, the I bond of 2001 stops in
    // September 2031, the EE bond of 2025 has no rate in November 2026.
    const std::vector<Bond> bonds = {Bond("I01", "I", "100", "2001", "September"),
                                     Bond("E75", "E", "100", "1975", "January"),
                                     Bond("EE25", "EE", "100", "2025", "June")};
    const ReportSnapshot october2031 =
        computeReportSnapshot(bonds, "Savings", &shippedTable(), YearMonth{2031, 10});
    ASSERT_TRUE(october2031.projected());
    EXPECT_EQ(october2031.projectionCaption(),
              "~ projected: rates in force in November 2026 held unchanged");
    EXPECT_EQ(valuesForMonthText(october2031, YearMonth{2026, 12}),
              "Values for October 2031, projected (~): rates in force in November 2026 held "
              "unchanged");
    // The E bond's value stays what it was at final maturity, marked all the same.
    EXPECT_EQ(cell(october2031, "Current Value", 2),
              "~" + amountText(tableEntryOfBond(&shippedTable(), bonds[1], {2026, 11}).amount));
    EXPECT_EQ(cell(october2031, "Status", 3), "stopped earning in September 2031");
    EXPECT_EQ(cell(october2031, "Interest Rate", 3), "none");
    EXPECT_EQ(cell(october2031, "Current Value", 4), "no value");
    EXPECT_EQ(cell(october2031, "Issue Price", 4), "$50.00") << "what was paid is no projection";
    EXPECT_EQ(cell(october2031, "Current Value", october2031.rowCount() - 1).substr(0, 2), "~$");
    EXPECT_EQ(cell(october2031, "Issue Price", october2031.rowCount() - 1).substr(0, 2), "$1");
    const std::vector<std::string> summary = october2031.summaryLines();
    EXPECT_EQ(summary.back(), october2031.projectionCaption() + ".");
    EXPECT_EQ(october2031.actionLines().front(),
              "2 bonds have stopped earning interest, the first in January 2005. Together they "
              "are worth " +
                  october2031.totalText(october2031.summary.worth) +
                  ": cashing them loses nothing.");
    EXPECT_EQ(october2031.missingValuesNote(),
              "No value can be projected to October 2031 for 1 bond: the value table has no value "
              "or no rate for it in November 2026; it shows \"no value\".");
    const std::string csv = reportCsv(october2031, allReportColumns());
    EXPECT_NE(csv.find(",~$"), std::string::npos) << csv;
    EXPECT_NE(csv.find(october2031.projectionCaption()), std::string::npos) << csv;
    const ReportPageTexts page = reportPageTexts(october2031, {}, allReportColumns());
    EXPECT_EQ(page.caption,
              "Values at the redemption date October 2031, projected (~): rates in force "
              "in November 2026 held unchanged.");
    EXPECT_TRUE(holds(page.notes, october2031.projectionCaption() + "."));

    // In the table's months nothing is projected; the latest is named as such when today is
    // later, and a bond's own dates are told against the month shown whatever the clock.
    const ReportSnapshot november =
        computeReportSnapshot(bonds, "Savings", &shippedTable(), YearMonth{2026, 11});
    EXPECT_FALSE(november.projected());
    EXPECT_TRUE(november.projectionCaption().empty());
    EXPECT_EQ(cell(november, "Current Value", 3).front(), '$');
    EXPECT_EQ(valuesForMonthText(november, YearMonth{2031, 10}),
              "Values for November 2026, the latest month the table holds; today is October 2031");
    EXPECT_EQ(valuesForMonthText(november, YearMonth{2026, 11}), "Values for November 2026");
    EXPECT_EQ(cell(november, "Status", 3), "");
    EXPECT_EQ(cell(november, "Next Accrual", 3), "2026-12");
    EXPECT_EQ(cell(october2031, "Next Accrual", 3), "none");
    const ReportSnapshot december =
        computeReportSnapshot(bonds, "Savings", &shippedTable(), YearMonth{2026, 12});
    EXPECT_EQ(cell(december, "Next Accrual", 3), "2027-01");
    EXPECT_EQ(cell(december, "Interest Rate", 3), "~" + cell(november, "Interest Rate", 3));
}
