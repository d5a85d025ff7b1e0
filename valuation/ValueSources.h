#pragma once

// Where the values of the value table come from, in the words every place that tells the owner
// uses: the About box, the help page, the report's caption and printed page, and orvelt-cli.

#include "valuation/ValueTableMonths.h"

#include <string>
#include <string_view>

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
