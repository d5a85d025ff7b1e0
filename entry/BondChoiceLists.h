#pragma once

// The lists a bond is entered from, all taken from the series rules: the series, the face values
// (every paper denomination of any series, smallest first, as dollars without "$"), the issue
// months and, per series, the years its paper bonds were issued.

#include <string>
#include <vector>

class BondChoiceLists {
  public:
    BondChoiceLists();

    const std::vector<std::string>& types() const { return types_; }
    const std::vector<std::string>& faceValues() const { return faceValues_; }
    const std::vector<std::string>& months() const { return months_; }

    // The issue years offered for a series ("E"): its first issue year to its last paper
    // year; empty for a series Orvelt does not know.
    std::vector<std::string> yearsForType(const std::string& type) const;

  private:
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
