#include "entry/BondChoiceLists.h"

#include "platform/DictionaryResource.h"
#include "store/BondRecord.h"
#include "store/SeriesRules.h"
#include "store/YearMonth.h"

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

BondChoiceLists::BondChoiceLists() : months_(kMonthNames.begin(), kMonthNames.end()) {
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

std::string BondChoiceLists::issueYearsText(const std::string& type) const {
    const std::vector<std::string> years = yearsForType(type);
    return years.empty() ? std::string() : years.front() + " to " + years.back();
}

std::string issueDateWarning(const BondChoiceLists& lists, const std::string& type,
                             const std::string& issueMonth, const std::string& issueYear) {
    const std::vector<std::string> years = lists.yearsForType(type);
    if (years.empty()) {
        return {};
    }
    if (std::find(years.begin(), years.end(), issueYear) == years.end()) {
        return "Series " + type + " bonds were issued from " + lists.issueYearsText(type) +
               ", not in " + issueYear + ". Please check the series and the issue year.";
    }
    const std::optional<YearMonth> issued = YearMonth::fromYearAndMonthName(issueYear, issueMonth);
    const std::optional<YearMonth> first = firstIssueOf(type);
    if (issued && first && *issued < *first) {
        return "Series " + type + " bonds were first issued in " + first->name() + ", not in " +
               issued->name() + ". Please check the series and the issue date.";
    }
    return {};
}
