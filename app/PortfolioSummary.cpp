#include "app/PortfolioSummary.h"

#include "app/BondListModel.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ReportSnapshot.h"

namespace {

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string portfolioSummaryText(const ReportSnapshot& report) {
    const ReportSummary& summary = report.summary;
    const std::string& month = report.monthName;
    // The worth follows the report's rule for totals: bonds without a value are named below.
    std::string text = counted(report.bondCount(), "bond", "bonds") + ", face value " +
                       amountText(report.totalFaceValue) + ", worth " +
                       report.totalText(summary.worth) + " in " + month + ".";
    // Bonds of an impossible issue date are without a value too, but the table is not to blame.
    if (summary.withoutValue > 0) {
        text += "\n" + counted(summary.withoutValue, "bond has", "bonds have") + " no value for " +
                month + " in the value table.";
    }
    const int invalid = static_cast<int>(report.invalidSerials.size());
    if (invalid > 0) {
        text += "\n" +
                counted(invalid, "bond has an invalid issue date and counts",
                        "bonds have invalid issue dates and count") +
                " in no total.";
    }
    if (summary.notIssuedYet > 0) {
        text += "\n" + counted(summary.notIssuedYet, "bond is", "bonds are") +
                " not issued yet in " + month + " and counted in no total.";
    }
    if (summary.cashed > 0) {
        text += "\n" + counted(summary.cashed, "bond was", "bonds were") + " cashed by " + month +
                " and " + (summary.cashed == 1 ? "is" : "are") + " counted in no total.";
    }
    // Then what was paid, what the bonds are worth and earned, and which have matured.
    // Its footnotes name only the columns the list shows.
    ReportColumnPositions shown;
    for (const ReportColumn& column : BondListModel::shownColumns()) {
        for (std::size_t position = 0; position < kReportColumns.size(); ++position) {
            if (kReportColumns[position].identifier == column.identifier) {
                shown.push_back(position);
            }
        }
    }
    for (const std::string& line : report.summaryLines(&shown)) {
        text += "\n" + line;
    }
    return text;
}
