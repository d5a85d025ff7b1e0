#include "app/PortfolioSummary.h"

#include "store/BondDatabase.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueReport.h"

namespace {

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string portfolioSummaryText(ValuationContext& context, ValueTableRef bondTable) {
    const BondDatabase* db = context.bondDatabase();
    const std::optional<std::string> open = context.openPortfolio();
    if (db == nullptr || !open || !db->hasPortfolio(*open)) {
        return {};
    }
    ValueReport report(std::move(bondTable));
    report.setOwner(&context);
    return portfolioSummaryText(report.snapshot());
}

std::string portfolioSummaryText(const ReportSnapshot& report) {
    const ReportSummary& summary = report.summary;
    const std::string& month = report.monthName;
    // The worth follows the report's rule for totals: bonds without a value are named below.
    std::string text = counted(report.bondCount(), "bond", "bonds") + ", face value " +
                       amountText(report.totalFaceValue) + ", worth " +
                       report.totalText(summary.worth) + " in " + month + ".";
    if (summary.withoutValue > 0) {
        text += "\n" + counted(summary.withoutValue, "bond has", "bonds have") + " no value for " +
                month + " in the value table.";
    }
    if (summary.notIssuedYet > 0) {
        text += "\n" + counted(summary.notIssuedYet, "bond is", "bonds are") +
                " not issued yet in " + month + " and counted in no total.";
    }
    if (summary.matured > 0) {
        text += "\n" + counted(summary.matured, "bond has", "bonds have") +
                " matured and no longer earn interest.";
    }
    return text;
}
