// orvelt-build-table: builds the redemption value table "BondTable" from value files.
//
//   orvelt-build-table shipped --data DIR --lines OUT.asc --table OUT.plist [--rates RATES.plist]
//                              [--keep TABLE.plist]
//       Computes the lines of the shipped table (the redemption months of valuation/ValueSources.h)
//       from the rate files and the official June 2016 value file in DIR (tools/data), writes
//       them to OUT.asc in the Treasury value file format, then converts that file into
//       OUT.plist. Prints how much of each series has a value. With --keep, fails unless every
//       leaf of TABLE.plist is in OUT.plist unchanged: a table may gain values, never change one.
//       With --rates, also writes the rate each bond earns and when its value next grows
//       (EarningRates.h) to RATES.plist.
//   orvelt-build-table convert --table OUT.plist [--base TABLE.plist] FILE...
//       Converts official Treasury value files into a table, merged into a copy of TABLE.plist
//       when given (later files win).

#include "BondRates.h"
#include "EarningRates.h"
#include "TableLines.h"
#include "platform/AtomicFile.h"
#include "platform/PropertyList.h"
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

constexpr MonthIndex kShippedFirst = monthIndex(kShippedFirstMonth.year, kShippedFirstMonth.month);
constexpr MonthIndex kShippedLast = monthIndex(kShippedLastMonth.year, kShippedLastMonth.month);
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

// The first leaf of `kept` that `built` lacks or holds differently, as its key path; empty when
// there is none.
std::string changedLeaf(const PlistDict& kept, const PlistDict& built, const std::string& path) {
    for (const auto& [key, value] : kept.entries()) {
        const PlistValue* now = built.find(key);
        const std::string where = path + "/" + key;
        if (now == nullptr) {
            return where + " is gone";
        }
        if (value.dictPtr() != nullptr) {
            if (now->dictPtr() == nullptr) {
                return where + " is no longer a dictionary";
            }
            if (std::string changed = changedLeaf(*value.dictPtr(), *now->dictPtr(), where);
                !changed.empty()) {
                return changed;
            }
        } else if (!value.isString() || !now->isString() || value.text() != now->text()) {
            return where + " changed";
        }
    }
    return {};
}

int checkKept(const std::filesystem::path& keptPath, const std::filesystem::path& builtPath) {
    std::string error;
    const PlistValue kept = readPropertyList(keptPath, &error);
    const PlistValue built = readPropertyList(builtPath, &error);
    if (kept.dictPtr() == nullptr || built.dictPtr() == nullptr) {
        return fail("cannot compare with " + keptPath.string() + ": " + error);
    }
    if (std::string changed = changedLeaf(*kept.dictPtr(), *built.dictPtr(), "");
        !changed.empty()) {
        return fail(builtPath.string() + " would change a value of " + keptPath.string() + ": " +
                    changed);
    }
    std::printf("Every value of %s is kept unchanged.\n", keptPath.string().c_str());
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
    if (!buildTableLines(*rates, official, kShippedFirst, kShippedLast, lines, &error)) {
        return fail(error);
    }
    std::printf("Values (or NO PAY) per series and issue years:\n\n%s\n",
                coverageText(lines, kShippedFirst, kShippedLast).c_str());
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
        !writePropertyList(
            options.at("--rates"),
            earningRatesPropertyList(buildEarningRates(*rates, kShippedFirst, kShippedLast)),
            &error)) {
        return fail(options.at("--rates") + ": " + error);
    }
    ValueFileOptions computed;
    computed.allowUnknownLeaves = true;
    if (!writeTableWithValueFiles(nullptr, {linesPath}, options.at("--table"), &error, computed)) {
        return fail(error);
    }
    return options.contains("--keep") ? checkKept(options.at("--keep"), options.at("--table")) : 0;
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
