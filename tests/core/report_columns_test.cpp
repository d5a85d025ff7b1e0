// The value report's column descriptors: looking a column up by position and by identifier.

#include "valuation/ReportColumn.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(ReportColumnsTest, PositionsOutsideTheColumnsHaveNoColumn) {
    EXPECT_EQ(reportColumnAt(-1), nullptr);
    EXPECT_EQ(reportColumnAt(static_cast<int>(kReportColumns.size())), nullptr);
    std::set<std::string_view> identifiers;
    for (int position = 0; position < static_cast<int>(kReportColumns.size()); ++position) {
        const ReportColumn* column = reportColumnAt(position);
        ASSERT_NE(column, nullptr);
        EXPECT_EQ(column->identifier, kReportColumnIdentifiers[static_cast<std::size_t>(position)]);
        EXPECT_EQ(reportColumnNamed(column->identifier).cellRule, column->cellRule);
        EXPECT_FALSE(column->widestSample.empty()) << column->identifier;
        identifiers.insert(column->identifier);
    }
    EXPECT_EQ(identifiers.size(), kReportColumns.size());
}

TEST(ReportColumnsTest, AnUnknownIdentifierNamesAStoredTextColumnWithABlankTotal) {
    const ReportColumn column = reportColumnNamed("Note");
    EXPECT_EQ(column.identifier, "Note");
    EXPECT_EQ(column.title, "Note");
    EXPECT_FALSE(column.isAmount);
    EXPECT_EQ(column.cellRule, ReportCellRule::StoredText);
    EXPECT_EQ(column.totalRule, ReportTotalRule::Blank);
}

} // namespace
