#pragma once

// The lines, in the Treasury value file format, from which the shipped value table is built:
//   - in the months of the official value file, its lines as they stand, after checking that
//     every leaf the rules compute for those months is the official one;
//   - elsewhere, Series I and Series EE issued May 1995 or later, computed from the published
//     rates (ValueEngine.h);
//   - bonds past final maturity (Series E, savings notes, EE by the official file's last month):
//     their final values, copied from the official file, since interest stops at final maturity;
//   - "NO PAY" for bonds not yet payable, six spaces where no bond of the series was issued
//     that month or the month is after the redemption month;
//   - kUnknownValueLeaf wherever the sourced data give no value, so that the key stays out of
//     the table.

#include "BondRates.h"
#include "valuation/ValueFile.h"

#include <string>
#include <vector>

// The Treasury's official value file the table is built with, every line of it.
struct OfficialValueFile {
    std::vector<ValueFileLine> lines;
    std::string name;
};

// Every line for the redemption months `first` to `last`. Answers false, with `error`, when a
// final value the rules call for is missing from the official file, or a leaf computed for one
// of its months differs from the official one.
bool buildTableLines(const BondRates& rates, const OfficialValueFile& official, MonthIndex first,
                     MonthIndex last, std::vector<ValueFileLine>& lines, std::string* error);

// Per series and decade of issue, how many of the issue months up to `redemption` have a value
// (or "NO PAY") in `lines` at that month: one line of text each.
std::string coverageText(const std::vector<ValueFileLine>& lines, MonthIndex redemption);
