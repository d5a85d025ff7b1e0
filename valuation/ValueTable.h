#pragma once

// The redemption value table and the value of one bond.
//
// The table is nested dictionaries: series, redemption year, redemption month ("01" to "12"),
// issue year, issue month name, down to a six-character leaf. A leaf of six digits is the value
// of 25 dollars of face value (four digits of dollars, two of cents), "NO PAY" values the bond
// at its face value, and six spaces mark a bond the table has no value for.

#include "platform/PlistValue.h"

#include <string>
#include <string_view>

class ResourceLocations;

// What a bond is worth when the table marks it as having no value. It prints with six decimals
// as "135790246.500000" and reads back unchanged, which is how the report recognises it.
inline constexpr double kInvalidValueMarker = 135790246.5;

inline constexpr std::string_view kBondTableResource = "BondTable";
inline constexpr std::string_view kBondTableType = "plist";
inline constexpr std::string_view kInvalidLeaf = "      ";
inline constexpr std::string_view kNoPayLeaf = "NO PAY";

// The table resource read whole; an empty reference when it is missing or not a dictionary.
// Calls share one table while its file stays the same: the table must not be changed.
PlistDictRef loadBondTable(const ResourceLocations& resources);

// The leaf read as a number with a point put after its fourth character ("002712" is 27.12).
// Everything after the fourth character is the fraction ("0027125" is 27.125). A leaf of four
// characters or fewer is read whole as the dollar part ("12" is 12.0, "" is 0.0); text that is
// not a number gives 0.0. Never reads past the end of the leaf.
double sixDigitStringValueToDouble(std::string_view leaf);

// The value in dollars of a bond record at the given redemption date: five keyed lookups and a
// scaling by face value / 25. A bond or date the table does not cover (or no table) is worth
// 0.0; a leaf of six spaces gives kInvalidValueMarker.
double valueOfBond(const PlistDict* table, const PlistValue& bond, std::string_view redemptionYear,
                   std::string_view redemptionMonth);

// Whether the table holds a leaf for the bond at the redemption date: false when any of its
// keys (series, redemption year or month, issue year or month) is missing from the table, or
// the bond lacks one of its fields. Such a bond is worth 0.0 without being worth nothing.
bool tableHasLeafForBond(const PlistDict* table, const PlistValue& bond,
                         std::string_view redemptionYear, std::string_view redemptionMonth);

// The bond's leaf at the redemption date as the table holds it; nullptr when the table has none.
const std::string* tableLeafForBond(const PlistDict* table, const PlistValue& bond,
                                    std::string_view redemptionYear,
                                    std::string_view redemptionMonth);

// "$" and the amount with six decimals cut (not rounded) to two: 27.125 gives "$27.12".
std::string amountText(double amount);

// Six-decimal text with its last four characters dropped: "27.129999" gives "27.12".
std::string cutToTwoDecimals(std::string_view sixDecimals);

// A stored value as the user sees it: text as it is, a number in plain decimal notation
// (locale-independent), anything else the empty text.
std::string storedValueText(const PlistValue& value);
