// Sorting the report's bond rows by a column: by what the cells stand for, not their text, with
// bonds lacking the figure last either way.

#include "core/value_table_fixture.h"
#include "valuation/ReportOrder.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> serials(const ReportSnapshot& report,
                                 const std::vector<std::size_t>& order) {
    std::vector<std::string> result;
    for (const std::size_t position : order) {
        result.push_back(report.rows[position].bond.serial);
    }
    return result;
}

TEST(ReportOrderTest, AmountsAndDatesSortByValueBothWaysWithAbsentFiguresLast) {
    const ValueTableRef table = makeTypedValueTable({
        {"EE", "2009", "06", "2001", "May", "002712"},
        {"EE", "2009", "06", "2001", "March", "002712"},
        {"EE", "2009", "06", "2001", "January", "002712"},
    });
    const ReportSnapshot report = computeReportSnapshot({{"A", "EE", "50", "2001", "May"},
                                                         {"B", "EE", "1000", "2001", "March"},
                                                         {"C", "EE", "100", "2001", "January"},
                                                         {"D", "EE", "100", "2001", "April"}},
                                                        "Mixed", table.get(), YearMonth{2009, 6});
    using Serials = std::vector<std::string>;
    ASSERT_EQ(serials(report, {0, 1, 2, 3}), (Serials{"C", "B", "D", "A"})) << "issue-date order";
    const ReportColumn value = reportColumnNamed("Current Value");
    // The table lacks D (its cell shows "no value"): last both ways. As text "$108.48" <
    // "$1084.80" < "$54.24".
    EXPECT_EQ(serials(report, bondRowOrder(report, value, true)), (Serials{"A", "C", "B", "D"}));
    EXPECT_EQ(serials(report, bondRowOrder(report, value, false)), (Serials{"B", "C", "A", "D"}));
    // Equal face values keep the issue-date order.
    EXPECT_EQ(serials(report, bondRowOrder(report, reportColumnNamed(kFaceValueKey), true)),
              (Serials{"A", "C", "D", "B"}));
    const ReportColumn year = reportColumnNamed(kIssueYearKey);
    EXPECT_EQ(serials(report, bondRowOrder(report, year, true)), (Serials{"C", "B", "D", "A"}));
    EXPECT_EQ(serials(report, bondRowOrder(report, year, false)), (Serials{"A", "D", "B", "C"}));
    EXPECT_EQ(serials(report, bondRowOrder(report, reportColumnNamed(kSerialKey), false)),
              (Serials{"D", "C", "B", "A"}));

    const ReportSnapshot shown = withBondRowOrder(report, bondRowOrder(report, value, true));
    EXPECT_EQ(shown.cellText(value, 2), "$54.24");
    EXPECT_EQ(shown.cellText(value, 5), "no value");
    EXPECT_EQ(shown.cellText(value, shown.rowCount() - 1),
              report.cellText(value, report.rowCount() - 1))
        << "the totals stay";
}

// The Status column orders by how far a bond is from paying, then by the month its note names:
// its words would give the reverse.
TEST(ReportOrderTest, StatusSortsByItsOrderThenItsMonthNotByItsWords) {
    const ValueTableRef table =
        makeTypedValueTable({{"EE", "2009", "06", "2006", "May", "002712"},
                             {"EE", "2009", "06", "2005", "June", "002712"}});
    const ReportSnapshot report = computeReportSnapshot({{"PENALTY", "EE", "100", "2006", "May"},
                                                         {"NO VALUE", "EE", "100", "2001", "April"},
                                                         {"LATER", "EE", "100", "2010", "May"},
                                                         {"SOONER", "EE", "100", "2005", "June"}},
                                                        "Mixed", table.get(), YearMonth{2009, 6});
    const ReportColumn status = reportColumnNamed("Status");
    EXPECT_EQ(serials(report, bondRowOrder(report, status, true)),
              (std::vector<std::string>{"LATER", "NO VALUE", "SOONER", "PENALTY"}));
    EXPECT_EQ(serials(report, bondRowOrder(report, status, false)),
              (std::vector<std::string>{"PENALTY", "SOONER", "NO VALUE", "LATER"}));
}

} // namespace
