#include "entry/BondChoiceLists.h"

#include "platform/DictionaryResource.h"
#include "store/BondRecord.h"
#include "store/SeriesRules.h"
#include "store/YearMonth.h"
#include "valuation/ValueTableMonths.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kFaceValuesKey = "Face Values";

// The string entries of a list in a property list; anything else in it is not offered.
std::vector<std::string> stringsOf(const PlistValue& value) {
    std::vector<std::string> strings;
    if (const PlistArray* array = value.arrayPtr()) {
        for (const PlistValue& item : *array) {
            if (const std::string* text = item.stringPtr()) {
                strings.push_back(*text);
            }
        }
    }
    return strings;
}

} // namespace

BondChoiceLists::BondChoiceLists() {
    for (int month = 1; month <= 12; ++month) {
        months_.emplace_back(monthName(month));
    }
    for (const SeriesRules& rules : kSeriesRules) {
        types_.emplace_back(rules.series);
    }
}

BondChoiceLists BondChoiceLists::read(const ResourceLocations& resources) {
    BondChoiceLists lists;
    if (const PlistDictRef resource = readDictionaryResource(resources, kResourceName)) {
        for (const auto& [key, value] : resource->entries()) {
            if (value.arrayPtr() != nullptr) {
                lists.listsByKey_.emplace(key, stringsOf(value));
            }
        }
    }
    lists.faceValues_ = lists.yearsForType(std::string(kFaceValuesKey));
    return lists;
}

std::vector<std::string> BondChoiceLists::yearsForType(const std::string& type) const {
    const auto found = listsByKey_.find(type);
    return found != listsByKey_.end() ? found->second : std::vector<std::string>{};
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
