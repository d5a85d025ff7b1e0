#pragma once

// Where the values of the value table come from, in the words every place that tells the owner
// uses: the About box, the help page, the report's caption and printed page, and orvelt-cli.

#include "valuation/ValueFileMerge.h"
#include "valuation/ValueTableMonths.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

class ResourceLocations;

// The redemption months of the table shipped with Orvelt, and those of them that hold the
// Treasury's official values as published in its value file; the table builder builds exactly
// these, computing the other months from the Treasury's published rates and rules.
inline constexpr RedemptionMonth kShippedFirstMonth{2009, 6};
inline constexpr RedemptionMonth kShippedLastMonth{2026, 11};
inline constexpr RedemptionMonth kOfficialFirstMonth{2016, 6};
inline constexpr RedemptionMonth kOfficialLastMonth{2016, 11};
inline constexpr std::string_view kShippedOfficialFile = "sb201606.asc";

// Which months hold the Treasury's official values and which are computed, in a few sentences.
std::string valueSourcesText();

// Where the values of one redemption month come from, as a sentence ("Values of this month:
// ..."). `userValueFiles` tells that the user has added value files (an updated table).
std::string monthValueSourceText(RedemptionMonth month, bool userValueFiles);

// The same for the table in effect at `resources`.
std::string monthValueSourceText(RedemptionMonth month, const ResourceLocations& resources);

// The file in the user's data folder that names the value files each redemption month of the
// user's table came from: a dictionary of months ("2027-06") and lists of file names.
inline constexpr std::string_view kValueSourcesFile = "BondTableSources.plist";

// The value files each redemption month of the user's table came from, in the order added.
using ValueSourceRecord = std::map<RedemptionMonth, std::vector<std::string>>;

// The record kept in the user's data folder; empty when there is none or it cannot be read.
ValueSourceRecord readValueSourceRecord(const ResourceLocations& locations);

// Adds what an update of the user's table brought to the record (a month whose every value a
// file replaced is credited to that file alone) and writes it; `startsAfresh` when the update
// started from the shipped table, so that a record left from an earlier table counts no more.
// False when the record could not be written.
bool recordValueSources(const ResourceLocations& locations,
                        const std::map<RedemptionMonth, MonthSupply>& supplied, bool startsAfresh);

// Where the values of each month of `inEffect` come from, one line per source with its months as
// ranges: "June 2027 to November 2027: the Treasury's official values from sb202706.asc, which
// you added." A month keeps the shipped table's source while any of its values is the one
// `shipped` holds (none: the shipped table could not be read, its months keep their source), and
// is credited to the files of `record` where it holds others.
std::vector<std::string> monthSourceLines(const ValueTable& inEffect, const ValueTable* shipped,
                                          const ValueSourceRecord& record);
