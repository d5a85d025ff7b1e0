#pragma once

// The lists a bond is entered from: the series, the face values, the issue months and, per
// series, the issue years. The face values and the years come from the "BondTypeYears"
// resource; the series and the months are fixed.

#include <map>
#include <string>
#include <string_view>
#include <vector>

class ResourceLocations;

class BondChoiceLists {
  public:
    static constexpr std::string_view kResourceName = "BondTypeYears";

    // The fixed series and months, no face values and no years.
    BondChoiceLists();

    // The fixed lists with the face values and years of the resource; without a readable
    // resource those lists stay empty.
    static BondChoiceLists read(const ResourceLocations& resources);

    const std::vector<std::string>& types() const { return types_; }
    const std::vector<std::string>& faceValues() const { return faceValues_; }
    const std::vector<std::string>& months() const { return months_; }

    // The issue years offered for a series ("E"); empty when the resource has none. Entries
    // that are not strings are not offered.
    std::vector<std::string> yearsForType(const std::string& type) const;

  private:
    // The resource's lists by key, their text entries only: the years under each series, the
    // face values under "Face Values".
    std::map<std::string, std::vector<std::string>, std::less<>> listsByKey_;
    std::vector<std::string> types_;
    std::vector<std::string> faceValues_;
    std::vector<std::string> months_;
};

class ValueTable;

// A warning when a bond's issue date lies outside the time its series was issued on paper (an
// imported "E" bond of 1985, an "EE" bond of 2030) or before the series' first issue (an "E"
// bond of January 1941); empty when the date lies inside, when `table` (if given) values bonds
// of that series and issue month (an electronic "EE" bond of 2015), or when the series is not
// one Orvelt knows. Such bonds are kept: the warning only asks the user to check them.
// An electronic bond is warned of when its series was never sold electronically or its issue
// month comes before the series' first electronic sale.
std::string issueDateWarning(const std::string& type, const std::string& issueMonth,
                             const std::string& issueYear, const ValueTable* table = nullptr,
                             bool electronic = false);
