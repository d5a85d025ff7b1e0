#include "valuation/ValueSources.h"

#include "platform/ResourceLocations.h"
#include "valuation/ValueTable.h"

#include <filesystem>

namespace {

std::string rangeText(RedemptionMonth first, RedemptionMonth last) {
    return first.name() + " to " + last.name();
}

bool inRange(RedemptionMonth month, RedemptionMonth first, RedemptionMonth last) {
    return first <= month && month <= last;
}

} // namespace

std::string valueSourcesText() {
    return "The values for " + rangeText(kOfficialFirstMonth, kOfficialLastMonth) +
           " are the Treasury's official values, from its Savings Bond Value File " +
           std::string(kShippedOfficialFile) +
           ", and so are those of the Treasury value files you add (Update Values…). The "
           "values of the other months from " +
           rangeText(kShippedFirstMonth, kShippedLastMonth) +
           " are computed from the Treasury's published interest rates by its rules (31 CFR "
           "parts 351 and 359); a bond past final maturity keeps its final value. A bond or month "
           "the data do not cover has no value.";
}

std::string monthValueSourceText(RedemptionMonth month, bool userValueFiles) {
    const std::string official = rangeText(kOfficialFirstMonth, kOfficialLastMonth);
    std::string text = "Values of this month: ";
    if (inRange(month, kOfficialFirstMonth, kOfficialLastMonth)) {
        return text + "the Treasury's official values (value file " +
               std::string(kShippedOfficialFile) +
               "); the other months are computed from its published interest rates and rules.";
    }
    if (!inRange(month, kShippedFirstMonth, kShippedLastMonth)) {
        return text + "the Treasury's official values, from the value files you added.";
    }
    text += "computed from the Treasury's published interest rates and rules";
    if (userValueFiles) {
        text += ", unless a Treasury value file you added holds this month";
    }
    return text + " (the Treasury's official values are those of " + official +
           " and of the value files you add).";
}

std::string monthValueSourceText(RedemptionMonth month, const ResourceLocations& resources) {
    std::error_code error;
    const bool updated = std::filesystem::exists(
        resources.userPathForResource(kBondTableResource, kBondTableType), error);
    return monthValueSourceText(month, updated);
}
