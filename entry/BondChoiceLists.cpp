#include "entry/BondChoiceLists.h"

#include "entry/DictionaryResource.h"
#include "store/BondRecord.h"
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

// The month each series was first issued: E May 1941 (31 CFR 316), savings notes May 1967
// (31 CFR 342.0), EE January 1980 (31 CFR 351), I September 1998 (31 CFR 359).
struct FirstIssue {
    std::string_view series;
    YearMonth month;
};
constexpr std::array<FirstIssue, 4> kFirstIssues = {{
    {"E", {1941, 5}},
    {"S", {1967, 5}},
    {"EE", {1980, 1}},
    {"I", {1998, 9}},
}};

std::optional<YearMonth> firstIssueOf(std::string_view series) {
    for (const FirstIssue& first : kFirstIssues) {
        if (first.series == series) {
            return first.month;
        }
    }
    return std::nullopt;
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
