#pragma once

// The lines, in the Treasury value file format, from which the shipped value table is built:
//   - in the months of the official value file, its lines as they stand, after checking that
//     every leaf the rules compute for those months is the official one;
//   - elsewhere, Series I and Series EE, computed from the published rates and rules
//     (ValueEngine.h), and Series E issued July 1979 - June 1980 in their last extension;
//   - bonds past final maturity (Series E, savings notes, EE issued before November 1982): their
//     final values, copied from the official file, since interest stops at final maturity;
//   - "NO PAY" for bonds not yet payable, six spaces where no bond of the series was issued
//     that month or the month is after the redemption month;
//   - kUnknownValueLeaf wherever the sourced data give no value, so that the key stays out of
//     the table.

#include "BondRates.h"
#include "valuation/ValueFile.h"

#include <map>
#include <string>
#include <vector>

// The Treasury's official value file the table is built with, every line of it.
struct OfficialValueFile {
    std::vector<ValueFileLine> lines;
    std::string name;
};

// Every line for the redemption months `first` to `last`. Answers false, with `error`, when the
// rules do not give an official value of rates.eePublishedValues, a last extension does not end at
// the official final value, a final value the rules call for is missing from the official file,
// a leaf computed for one of its months differs from the official one, or a published final value
// (rates.eeFinalValuesByIssue) is not the one the lines hold.
bool buildTableLines(const BondRates& rates, const OfficialValueFile& official, YearMonth first,
                     YearMonth last, std::vector<ValueFileLine>& lines, std::string* error);

// Whether every EE bond of `finals` holds its final value in `lines` from its final maturity on,
// for the redemption months `first` to `last`; if not, `error` names the first that differs.
bool matchesFinalValues(const std::vector<ValueFileLine>& lines,
                        const std::map<YearMonth, PublishedFinalValue>& finals, YearMonth first,
                        YearMonth last, std::string* error);

// Per series and five-year band of issue months, the share of (issue month, redemption month)
// pairs with the bond issued by then that have a value (or "NO PAY") in `lines`, over the
// redemption months `first` to `last` and in `last` alone: a Markdown table.
std::string coverageText(const std::vector<ValueFileLine>& lines, YearMonth first, YearMonth last);
