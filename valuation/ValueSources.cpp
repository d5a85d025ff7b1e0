#include "valuation/ValueSources.h"

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "valuation/ValueTable.h"

#include <algorithm>
#include <filesystem>

namespace {

std::string rangeText(RedemptionMonth first, RedemptionMonth last) {
    return first.name() + " to " + last.name();
}

bool inRange(RedemptionMonth month, RedemptionMonth first, RedemptionMonth last) {
    return first <= month && month <= last;
}

// A record of a few hundred months is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxRecordBytes = 1u << 20;

std::filesystem::path recordPath(const ResourceLocations& locations) {
    return locations.userDataDir() / kValueSourcesFile;
}

// "a.asc", "a.asc and b.asc", "a.asc, b.asc and c.asc".
std::string joined(const std::vector<std::string>& texts, std::string_view last = " and ") {
    std::string text;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == texts.size() ? std::string(last) : ", ") + texts[i];
    }
    return text;
}

std::string shippedSource(RedemptionMonth month) {
    if (inRange(month, kOfficialFirstMonth, kOfficialLastMonth)) {
        return "the Treasury's official values from " + std::string(kShippedOfficialFile) +
               ", which comes with Orvelt";
    }
    return "computed from the Treasury's published interest rates by its rules (31 CFR parts 351 "
           "and 359)";
}

std::string addedSource(const std::vector<std::string>* files) {
    if (files == nullptr || files->empty()) {
        return "the Treasury's official values from value files you added";
    }
    return "the Treasury's official values from " + joined(*files) + ", which you added";
}

// How many of a month's leaves are the shipped table's own, and how many are not.
struct MonthLeaves {
    std::size_t shipped = 0;
    std::size_t other = 0;
};

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

ValueSourceRecord readValueSourceRecord(const ResourceLocations& locations) {
    ValueSourceRecord record;
    std::string error;
    const PlistValue root = readPropertyList(recordPath(locations), kMaxRecordBytes, &error);
    const PlistDict* months = root.dictPtr();
    if (months == nullptr) {
        return record;
    }
    for (const auto& [key, files] : months->entries()) {
        const std::optional<RedemptionMonth> month = RedemptionMonth::fromKeyText(key);
        const PlistArray* names = files.arrayPtr();
        if (!month || names == nullptr) {
            continue;
        }
        for (const PlistValue& name : *names) {
            if (const std::string* text = name.stringPtr()) {
                record[*month].push_back(*text);
            }
        }
    }
    return record;
}

bool recordValueSources(const ResourceLocations& locations,
                        const std::map<RedemptionMonth, MonthSupply>& supplied, bool startsAfresh) {
    ValueSourceRecord record =
        startsAfresh ? ValueSourceRecord() : readValueSourceRecord(locations);
    for (const auto& [month, supply] : supplied) {
        std::vector<std::string>& files = record[month];
        if (supply.replacesEarlier) {
            files.clear();
        }
        for (const std::string& file : supply.files) {
            if (std::find(files.begin(), files.end(), file) == files.end()) {
                files.push_back(file);
            }
        }
    }
    auto root = PlistDict::create();
    for (const auto& [month, files] : record) {
        auto names = std::make_shared<PlistArray>(files.begin(), files.end());
        root->set(month.keyText(), PlistValue(names));
    }
    return writePropertyList(recordPath(locations), PlistValue(root));
}

std::vector<std::string> monthSourceLines(const ValueTable& inEffect, const ValueTable* shipped,
                                          const ValueSourceRecord& record) {
    std::map<RedemptionMonth, MonthLeaves> leaves;
    inEffect.forEachCell(
        [&](BondSeries series, RedemptionMonth month, YearMonth issue, ValueCell cell) {
            MonthLeaves& counted = leaves[month];
            ++(shipped != nullptr && shipped->cell(series, month, issue) == cell ? counted.shipped
                                                                                 : counted.other);
        });
    // Each source with its months, in the order of their first month.
    std::vector<std::pair<std::string, std::vector<RedemptionMonth>>> sources;
    for (const RedemptionMonth& month : inEffect.redemptionMonths()) {
        const MonthLeaves counted = leaves[month];
        const bool shippedMonth = shipped != nullptr
                                      ? shipped->holdsMonth(month)
                                      : inRange(month, kShippedFirstMonth, kShippedLastMonth);
        const auto recorded = record.find(month);
        const std::vector<std::string>* files =
            recorded != record.end() ? &recorded->second : nullptr;
        std::vector<std::string> parts;
        if (shippedMonth && (shipped == nullptr || counted.shipped > 0 || counted.other == 0)) {
            parts.push_back(shippedSource(month));
        }
        if (!shippedMonth || (shipped != nullptr ? counted.other > 0 : files != nullptr)) {
            parts.push_back(addedSource(files));
        }
        const std::string source = joined(parts, "; and ");
        const auto same =
            std::find_if(sources.begin(), sources.end(),
                         [&source](const auto& entry) { return entry.first == source; });
        if (same != sources.end()) {
            same->second.push_back(month);
        } else {
            sources.push_back({source, {month}});
        }
    }
    std::vector<std::string> lines;
    for (const auto& [source, months] : sources) {
        lines.push_back(redemptionMonthRangesText(months) + ": " + source + ".");
    }
    return lines;
}
