#pragma once

// The redemption value table and the value of one bond.
//
// The table is nested dictionaries: series, redemption year, redemption month ("01" to "12"),
// issue year, issue month name, down to a six-character leaf. A leaf of six digits is the value
// of 25 dollars of face value (four digits of dollars, two of cents), "NO PAY" marks a bond too
// young to cash, and six spaces mark a bond the table calls invalid.

#include "platform/PlistValue.h"
#include "store/Bond.h"
#include "store/YearMonth.h"

#include <string>
#include <string_view>

class ResourceLocations;

inline constexpr std::string_view kBondTableResource = "BondTable";
inline constexpr std::string_view kBondTableType = "plist";
inline constexpr std::string_view kInvalidLeaf = "      ";
inline constexpr std::string_view kNoPayLeaf = "NO PAY";

// The table resource read whole; an empty reference when it is missing or not a dictionary.
// Calls share one table while its file stays the same: the table must not be changed. When a
// table file is there but cannot be used (damaged, cut short), `problem` names the file, the
// reason and what to do.
PlistDictRef loadBondTable(const ResourceLocations& resources, std::string* problem = nullptr);

// Why the table file in effect cannot be used; empty when it can, or when there is none.
std::string valueTableProblem(const ResourceLocations& resources);

// The leaf read as a number with a point put after its fourth character ("002712" is 27.12).
// Everything after the fourth character is the fraction ("0027125" is 27.125). A leaf of four
// characters or fewer is read whole as the dollar part ("12" is 12.0, "" is 0.0); text that is
// not a number gives 0.0. Never reads past the end of the leaf.
double sixDigitStringValueToDouble(std::string_view leaf);

// The table's keys of a redemption month: "2009" and "06".
struct RedemptionKeys {
    std::string year;
    std::string month;
};
RedemptionKeys redemptionKeysOf(const YearMonth& month);

// What the table says of a bond at a redemption month. Only `Value` carries an amount: the
// leaf scaled by face value / 25.
struct TableEntry {
    enum class Kind {
        Missing,       // the table has no leaf (a key is missing, or a field is not one)
        Invalid,       // six spaces: the table calls the bond invalid
        NotYetPayable, // "NO PAY"
        Value,
    };
    Kind kind = Kind::Missing;
    double amount = 0.0;
};

// Five keyed lookups and a scaling. No table gives Missing.
TableEntry tableEntryOfBond(const PlistDict* table, const Bond& bond, const RedemptionKeys& keys);

// "$" and the amount with six decimals cut (not rounded) to two: 27.125 gives "$27.12".
std::string amountText(double amount);

// Six-decimal text with its last four characters dropped: "27.129999" gives "27.12".
std::string cutToTwoDecimals(std::string_view sixDecimals);

// A stored value as the user sees it: text as it is, a number in plain decimal notation
// (locale-independent), anything else the empty text.
std::string storedValueText(const PlistValue& value);
