// orvelt-build-table: builds the redemption value table "BondTable" from value files.
//
//   orvelt-build-table shipped --data DIR --lines OUT.asc --table OUT.plist [--rates RATES.plist]
//                              [--keep TABLE.plist]
//       Computes the lines of the shipped table (the redemption months of valuation/ValueSources.h)
//       from the rate files and the official June 2016 value file in DIR (tools/data), writes
//       them to OUT.asc in the Treasury value file format, then converts that file into
//       OUT.plist. Prints how much of each series has a value. With --keep, lists every leaf of
//       TABLE.plist that OUT.plist changes and fails unless each is an EE value the market-based
//       value raised: a table may gain values, and change none but those.
//       With --rates, also writes the rate each bond earns and when its value next grows
//       (EarningRatesBuilder.h) to RATES.plist.
//   orvelt-build-table convert --table OUT.plist [--base TABLE.plist] FILE...
//       Converts official Treasury value files into a table, merged into a copy of TABLE.plist
//       when given (later files win).

#include "BondRates.h"
#include "EarningRatesBuilder.h"
#include "TableLines.h"
#include "ValueEngine.h"
#include "platform/AtomicFile.h"
#include "platform/PropertyList.h"
#include "store/YearMonth.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTableFile.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The Treasury's official value file (see tools/data/README.md): its months are shipped as they
// stand, and it gives the final values of matured bonds.
const std::string kOfficialFile(kShippedOfficialFile);

int usage() {
    std::fprintf(stderr,
                 "usage: orvelt-build-table shipped --data DIR --lines OUT.asc --table OUT.plist "
                 "[--rates RATES.plist] [--keep TABLE.plist]\n"
                 "       orvelt-build-table convert --table OUT.plist [--base TABLE.plist] "
                 "FILE...\n");
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "orvelt-build-table: %s\n", message.c_str());
    return 1;
}

// A leaf of the kept table that the built one lacks or holds differently.
struct ChangedLeaf {
    std::vector<std::string> keys; // series, redemption year and month, issue year and month
    std::string kept;
    std::string built; // empty when the built table lacks it
};

void collectChangedLeaves(const PlistDict& kept, const PlistDict& built,
                          std::vector<std::string>& keys, std::vector<ChangedLeaf>& changed) {
    for (const auto& [key, value] : kept.entries()) {
        keys.push_back(key);
        const PlistValue* now = built.find(key);
        if (value.dictPtr() != nullptr && now != nullptr && now->dictPtr() != nullptr) {
            collectChangedLeaves(*value.dictPtr(), *now->dictPtr(), keys, changed);
        } else if (value.dictPtr() != nullptr || now == nullptr || !value.isString() ||
                   !now->isString() || value.text() != now->text()) {
            changed.push_back({keys, value.isString() ? value.text() : "(a dictionary)",
                               now != nullptr && now->isString() ? now->text() : std::string()});
        }
        keys.pop_back();
    }
}

std::string pathText(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) {
        text += "/" + key;
    }
    return text;
}

bool isSixDigits(const std::string& leaf) {
    return leaf.size() == 6 && leaf.find_first_not_of("0123456789") == std::string::npos;
}

// Whether the change is an EE value the market-based value raised above the guaranteed path
// (31 CFR 351.20(b)(3)): the one change a rebuild may make to a value the table held.
bool raisedByMarketBasedValue(const BondRates& rates, const ChangedLeaf& leaf) {
    if (leaf.keys.size() != 5 || bondSeriesOfName(leaf.keys[0]) != BondSeries::EE ||
        !isSixDigits(leaf.kept) || !isSixDigits(leaf.built) ||
        std::stoll(leaf.built) <= std::stoll(leaf.kept)) {
        return false;
    }
    const std::optional<YearMonth> redemption =
        YearMonth::fromKeyText(leaf.keys[1] + "-" + leaf.keys[2]);
    const std::optional<YearMonth> issue =
        YearMonth::fromYearAndMonthName(leaf.keys[3], leaf.keys[4]);
    return redemption && issue && marketBasedValueGoverns(rates, *issue, *redemption);
}

std::string centsText(const std::string& leaf) {
    return std::to_string(std::stoll(leaf) / 100) + "." + leaf.substr(4);
}

// Lists every value of the kept table the built one changes; fails unless each is one the
// market-based value raised.
int checkKept(const BondRates& rates, const std::filesystem::path& keptPath,
              const std::filesystem::path& builtPath) {
    std::string error;
    const PlistValue kept = readPropertyList(keptPath, &error);
    const PlistValue built = readPropertyList(builtPath, &error);
    if (kept.dictPtr() == nullptr || built.dictPtr() == nullptr) {
        return fail("cannot compare with " + keptPath.string() + ": " + error);
    }
    std::vector<std::string> keys;
    std::vector<ChangedLeaf> changed;
    collectChangedLeaves(*kept.dictPtr(), *built.dictPtr(), keys, changed);
    int raised = 0;
    int other = 0;
    for (const ChangedLeaf& leaf : changed) {
        if (raisedByMarketBasedValue(rates, leaf)) {
            std::printf("Raised by the market-based value: %s %s -> %s\n",
                        pathText(leaf.keys).c_str(), centsText(leaf.kept).c_str(),
                        centsText(leaf.built).c_str());
            ++raised;
        } else {
            const std::string now =
                leaf.built.empty() ? "is gone" : "became \"" + leaf.built + "\"";
            std::fprintf(stderr, "orvelt-build-table: %s: \"%s\" %s\n", pathText(leaf.keys).c_str(),
                         leaf.kept.c_str(), now.c_str());
            ++other;
        }
    }
    if (other > 0) {
        return fail(builtPath.string() + " would change " + std::to_string(other) + " value" +
                    (other == 1 ? "" : "s") + " of " + keptPath.string());
    }
    std::printf("Every value of %s is kept unchanged", keptPath.string().c_str());
    if (raised > 0) {
        std::printf(" but the %d raised by the market-based value", raised);
    }
    std::printf(".\n");
    return 0;
}

bool readText(const std::filesystem::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = std::move(bytes).str();
    return static_cast<bool>(in);
}

int buildShipped(const std::map<std::string, std::string>& options) {
    if (!options.contains("--data") || !options.contains("--lines") ||
        !options.contains("--table")) {
        return usage();
    }
    const std::filesystem::path dataDir = options.at("--data");
    std::string error;
    const std::optional<BondRates> rates = BondRates::load(dataDir, &error);
    if (!rates) {
        return fail(error);
    }
    std::string officialText;
    OfficialValueFile official{{}, kOfficialFile};
    if (!readText(dataDir / kOfficialFile, officialText) ||
        !parseValueFile(officialText, kOfficialFile, official.lines, &error)) {
        return fail(error.empty() ? kOfficialFile + " cannot be read" : error);
    }
    std::vector<ValueFileLine> lines;
    if (!buildTableLines(*rates, official, kShippedFirstMonth, kShippedLastMonth, lines, &error)) {
        return fail(error);
    }
    std::printf("Values (or NO PAY) per series and issue years:\n\n%s\n",
                coverageText(lines, kShippedFirstMonth, kShippedLastMonth).c_str());
    std::string text;
    for (const ValueFileLine& line : lines) {
        text += formatValueFileLine(line);
        text += '\n';
    }
    const std::filesystem::path linesPath = options.at("--lines");
    if (!writeFileAtomically(linesPath, text, &error)) {
        return fail(linesPath.string() + ": " + error);
    }
    if (options.contains("--rates") &&
        !writePropertyList(options.at("--rates"),
                           earningRatesPropertyList(
                               buildEarningRates(*rates, kShippedFirstMonth, kShippedLastMonth)),
                           &error)) {
        return fail(options.at("--rates") + ": " + error);
    }
    ValueFileOptions computed;
    computed.allowUnknownLeaves = true;
    if (!writeTableWithValueFiles(nullptr, {linesPath}, options.at("--table"), &error, computed)) {
        return fail(error);
    }
    return options.contains("--keep")
               ? checkKept(*rates, options.at("--keep"), options.at("--table"))
               : 0;
}

int convert(const std::map<std::string, std::string>& options,
            const std::vector<std::filesystem::path>& files) {
    if (!options.contains("--table") || files.empty()) {
        return usage();
    }
    std::string error;
    ValueTableRef base;
    if (options.contains("--base")) {
        base = readValueTableXml(options.at("--base"), &error);
        if (base == nullptr) {
            return fail(options.at("--base") + ": not a value table (" + error + ")");
        }
    }
    if (!writeTableWithValueFiles(base.get(), files, options.at("--table"), &error)) {
        return fail(error);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string command = argv[1];
    std::map<std::string, std::string> options;
    std::vector<std::filesystem::path> files;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("--")) {
            if (i + 1 >= argc) {
                return usage();
            }
            options[arg] = argv[++i];
        } else {
            files.emplace_back(arg);
        }
    }
    if (command == "shipped" && files.empty()) {
        return buildShipped(options);
    }
    if (command == "convert") {
        return convert(options, files);
    }
    return usage();
}
