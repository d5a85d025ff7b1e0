#pragma once

// The lines, in the Treasury value file format, from which the shipped value table is built:
//   - Series I and Series EE issued May 1997 or later, computed from the published rates;
//   - bonds past final maturity (Series E, savings notes, and the first EE issues of 1980):
//     their final values, copied from the official June 2016 value file, since interest stops
//     at final maturity;
//   - "NO PAY" for bonds not yet payable, six spaces where no bond of the series was issued
//     that month or the month is after the redemption month;
//   - kUnknownValueLeaf wherever the sourced data give no value, so that the key stays out of
//     the table.

#include "BondRates.h"
#include "valuation/ValueFile.h"

#include <string>
#include <vector>

// The official file's lines for one redemption month, from which final values are taken.
struct FinalValueSource {
    std::vector<ValueFileLine> lines;
    std::string name;
};

// Every line for the redemption months `first` to `last`. Answers false, with `error`, when a
// final value the rules call for is missing from the official file.
bool buildTableLines(const BondRates& rates, const FinalValueSource& finalValues, MonthIndex first,
                     MonthIndex last, std::vector<ValueFileLine>& lines, std::string* error);
