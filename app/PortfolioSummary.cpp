#include "app/PortfolioSummary.h"

#include "platform/NumberText.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/BondMaturity.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueReport.h"

#include <array>

namespace {

// Dollars cut, not rounded, to cents, with thousands grouped: "$12,345.67".
std::string money(double amount) {
    std::string text = formatSixDecimals(amount);
    text.resize(text.size() - 4);
    const std::size_t point = text.find('.');
    const std::size_t firstDigit = text.front() == '-' ? 1 : 0;
    for (std::size_t at = point; at > firstDigit + 3; at -= 3) {
        text.insert(at - 3, ",");
    }
    return "$" + text;
}

std::string monthText(const std::string& year, const std::string& month) {
    static const std::array<const char*, 12> names = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const int number = intValueOfText(month);
    return number >= 1 && number <= 12 ? std::string(names[number - 1]) + " " + year
                                       : month + "/" + year;
}

int monthNumber(const std::string& name) {
    static const std::array<const char*, 12> names = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (name == names[index]) {
            return static_cast<int>(index) + 1;
        }
    }
    return 0;
}

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string portfolioSummaryText(ValuationContext& context, PlistDictRef bondTable) {
    const BondDatabase* db = context.bondDatabase();
    if (db == nullptr || !db->getCurrentPortfolio() || !db->currentBondList()) {
        return {};
    }
    ValueReport report(std::move(bondTable));
    report.setContext(&context);
    const std::string month = monthText(context.redemptionYear(), context.redemptionMonth());
    std::string text = counted(report.bondCount(), "bond", "bonds") + ", face value " +
                       money(report.totalFaceValue()) + ", worth " +
                       money(report.totalCurrentValue()) + " in " + month + ".";

    const int redemptionYear = intValueOfText(context.redemptionYear());
    const int redemptionMonth = intValueOfText(context.redemptionMonth());
    int matured = 0;
    for (const PlistValue& bond : *db->currentBondList()) {
        const PlistDict* record = bond.dictPtr();
        if (record != nullptr &&
            hasMatured(record->text(kTypeKey), intValueOfText(record->text(kIssueYearKey)),
                       monthNumber(record->text(kIssueMonthKey)), redemptionYear,
                       redemptionMonth)) {
            ++matured;
        }
    }
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
