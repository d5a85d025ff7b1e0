#include "app/PortfolioSummary.h"

#include "platform/NumberText.h"
#include "store/BondDatabase.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueReport.h"

#include <array>

namespace {

// Amounts as the report shows them ("$12345.67"): a point, no grouping, whatever the locale.
std::string money(double amount) {
    return ownerAmountText(amount);
}

std::string monthText(const std::string& year, const std::string& month) {
    static const std::array<const char*, 12> names = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const int number = intValueOfText(month);
    return number >= 1 && number <= 12 ? std::string(names[number - 1]) + " " + year
                                       : month + "/" + year;
}

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string portfolioSummaryText(ValuationContext& context, PlistDictRef bondTable) {
    const BondDatabase* db = context.bondDatabase();
    const std::optional<std::string> open = context.openPortfolio();
    if (db == nullptr || !open || !db->hasPortfolio(*open)) {
        return {};
    }
    ValueReport report(std::move(bondTable));
    report.setContext(&context);
    const std::string month = monthText(context.redemptionYear(), context.redemptionMonth());
    std::string text = counted(report.bondCount(), "bond", "bonds") + ", face value " +
                       money(report.totalFaceValue()) + ", worth " +
                       money(report.totalCurrentValue()) + " in " + month + ".";

    const int matured = report.summary().matured;
    const int withoutValue = report.bondsWithoutValue();
    if (withoutValue > 0) {
        text += "\n" + counted(withoutValue, "bond has", "bonds have") + " no value for " + month +
                " in the value table.";
    }
    if (matured > 0) {
        text += "\n" + counted(matured, "bond has", "bonds have") +
                " matured and no longer earn interest.";
    }
    return text;
}
