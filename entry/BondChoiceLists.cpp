#include "entry/BondChoiceLists.h"

#include "store/BondRecord.h"
#include "store/SeriesRules.h"
#include "store/YearMonth.h"
#include "valuation/ValueTableMonths.h"

BondChoiceLists::BondChoiceLists() {
    for (const SeriesRules& rules : kSeriesRules) {
        types_.emplace_back(rules.series);
    }
    for (const int dollars : paperDenominationsOfAllSeries()) {
        faceValues_.push_back(std::to_string(dollars));
    }
    for (int month = 1; month <= 12; ++month) {
        months_.emplace_back(monthName(month));
    }
}

std::vector<std::string> BondChoiceLists::yearsForType(const std::string& type) const {
    std::vector<std::string> years;
    if (const SeriesRules* rules = seriesRulesOf(type)) {
        for (int year = rules->firstIssue.year; year <= rules->lastPaperIssueYear; ++year) {
            years.push_back(std::to_string(year));
        }
    }
    return years;
}

std::string issueDateWarning(const std::string& type, const std::string& issueMonth,
                             const std::string& issueYear, const ValueTable* table,
                             bool electronic) {
    const SeriesRules* rules = seriesRulesOf(type);
    if (rules == nullptr) {
        return {};
    }
    const std::optional<YearMonth> issued = YearMonth::fromYearAndMonthName(issueYear, issueMonth);
    if (electronic) {
        if (!soldElectronically(*rules)) {
            return "Series " + type +
                   " bonds were never sold electronically. Please check the series and the kind.";
        }
        if (issued && *issued < rules->firstElectronicIssue) {
            return "Electronic Series " + type + " bonds were first sold in " +
                   rules->firstElectronicIssue.name() + ", not in " + issued->name() +
                   ". Please check the kind and the issue date.";
        }
        return {};
    }
    if (issued && tableValuesIssue(table, type, *issued)) {
        return {};
    }
    const std::optional<int> year = fourDigitYear(issueYear);
    if (!year || *year < rules->firstIssue.year || *year > rules->lastPaperIssueYear) {
        // A series still sold is sold electronically: only its paper years are certain.
        const bool alsoElectronic = rules->lastIssue.year != rules->lastPaperIssueYear;
        return "Series " + type + (alsoElectronic ? " paper" : "") + " bonds were issued from " +
               std::to_string(rules->firstIssue.year) + " to " +
               std::to_string(rules->lastPaperIssueYear) + ", not in " + issueYear +
               ". Please check the series and the issue year.";
    }
    if (issued && *issued < rules->firstIssue) {
        return "Series " + type + " bonds were first issued in " + rules->firstIssue.name() +
               ", not in " + issued->name() + ". Please check the series and the issue date.";
    }
    return {};
}
