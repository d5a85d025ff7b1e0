#include "entry/BondChoiceLists.h"

#include "entry/DictionaryResource.h"
#include "store/BondRecord.h"

#include <algorithm>

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

BondChoiceLists::BondChoiceLists()
    : types_{"E", "EE", "I", "S"}, months_(kMonthNames.begin(), kMonthNames.end()) {}

BondChoiceLists BondChoiceLists::read(const ResourceLocations& resources) {
    BondChoiceLists lists;
    lists.bondTypeYears_ = readDictionaryResource(resources, kResourceName);
    lists.faceValues_ = stringsOf(lists.bondTypeYears_ ? lists.bondTypeYears_->value(kFaceValuesKey)
                                                       : PlistValue());
    return lists;
}

std::vector<std::string> BondChoiceLists::yearsForType(const std::string& type) const {
    return bondTypeYears_ ? stringsOf(bondTypeYears_->value(type)) : std::vector<std::string>{};
}

std::string BondChoiceLists::issueYearsText(const std::string& type) const {
    const std::vector<std::string> years = yearsForType(type);
    return years.empty() ? std::string() : years.front() + " to " + years.back();
}

std::string issueYearWarning(const BondChoiceLists& lists, const std::string& type,
                             const std::string& issueYear) {
    const std::vector<std::string> years = lists.yearsForType(type);
    if (years.empty() || std::find(years.begin(), years.end(), issueYear) != years.end()) {
        return {};
    }
    return "Series " + type + " bonds were issued from " + lists.issueYearsText(type) +
           ", not in " + issueYear + ". Please check the series and the issue year.";
}
