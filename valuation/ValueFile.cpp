#include "valuation/ValueFile.h"

#include "platform/ExportTarget.h"
#include "platform/RegularFile.h"
#include "platform/ResourceLocations.h"
#include "store/BondRecord.h"
#include "store/SeriesRules.h"
#include "store/YearMonth.h"
#include "valuation/ValueFileMerge.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTableFile.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace {

// A real value file is about 50 KB; anything far larger is some other file picked by mistake,
// and is refused before it is read into memory.
constexpr std::uintmax_t kMaxValueFileBytes = 32u * 1024u * 1024u;

constexpr std::string_view kBlankLeaf = "      ";
constexpr std::size_t kLeafWidth = 6;
constexpr std::size_t kKeyWidth = 11; // series code, redemption year and month, issue year
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// How many changed values a refusal names.
constexpr std::size_t kValueChangesListed = 20;

// The years a line may name. No savings bond was issued before the first series, and a value
// file is published for the months just ahead, so a later redemption year than this is a
// damaged line, not a real file.
constexpr int kFirstBondYear = kFirstSavingsBondIssue.year;
constexpr int kLastRedemptionYear = 2099;

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The field as it can be shown in a message: unprintable bytes become '?'.
std::string shown(std::string_view field) {
    std::string out = "\"";
    for (char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        out += (byte >= 0x20 && byte < 0x7f) ? c : '?';
    }
    return out + "\"";
}

int yearOf(std::string_view fourDigits) {
    int year = 0;
    for (char c : fourDigits) {
        year = year * 10 + (c - '0');
    }
    return year;
}

// The fault of the line's years, or the empty text when they can be real.
std::string yearFault(const ValueFileLine& line) {
    const int redemption = yearOf(line.redemptionYear);
    const int issue = yearOf(line.issueYear);
    if (redemption < kFirstBondYear || redemption > kLastRedemptionYear) {
        return "the redemption year " + line.redemptionYear + " is not a year of savings bond " +
               "values (" + std::to_string(kFirstBondYear) + " to " +
               std::to_string(kLastRedemptionYear) + ")";
    }
    if (issue > redemption) {
        return "the issue year " + line.issueYear + " is after the redemption year " +
               line.redemptionYear;
    }
    if (const SeriesRules* rules = seriesRulesOf(line.series)) {
        const int first = rules->firstIssue.year;
        const int last = rules->lastIssue.year;
        if (issue < first || (last != 0 && issue > last)) {
            const std::string range = last != 0
                                          ? std::to_string(first) + " to " + std::to_string(last)
                                          : "from " + std::to_string(first);
            return "the issue year " + line.issueYear + " is not a year in which series " +
                   line.series + " bonds were issued (" + range + ")";
        }
    }
    return {};
}

std::string seriesForCode(char code) {
    for (const SeriesRules& rules : kSeriesRules) {
        if (rules.valueFileCode == code) {
            return std::string(rules.series);
        }
    }
    return {};
}

char codeForSeries(std::string_view series) {
    if (const SeriesRules* rules = seriesRulesOf(series)) {
        return rules->valueFileCode;
    }
    return series.size() == 1 ? series[0] : ' ';
}

bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Checks one line and fills `out`; answers the fault, or the empty text when the line is good.
std::string readLine(std::string_view raw, const ValueFileOptions& options, ValueFileLine& out) {
    if (raw.size() > kValueFileLineLength) {
        return "the line has " + std::to_string(raw.size()) + " characters, more than the " +
               std::to_string(kValueFileLineLength) + " of a value file line";
    }
    std::string line(raw);
    line.resize(kValueFileLineLength, ' ');
    const std::string_view text(line);

    out.series = seriesForCode(text[0]);
    if (out.series.empty()) {
        return "the series code " + shown(text.substr(0, 1)) +
               " is not E, I, S or N (the code of series EE)";
    }
    out.redemptionYear = text.substr(1, 4);
    if (!allDigits(out.redemptionYear)) {
        return "the redemption year " + shown(out.redemptionYear) + " is not four digits";
    }
    out.redemptionMonth = text.substr(5, 2);
    if (!allDigits(out.redemptionMonth) || out.redemptionMonth < "01" ||
        out.redemptionMonth > "12") {
        return "the redemption month " + shown(out.redemptionMonth) + " is not 01 to 12";
    }
    out.issueYear = text.substr(7, 4);
    if (!allDigits(out.issueYear)) {
        return "the issue year " + shown(out.issueYear) + " is not four digits";
    }
    if (std::string fault = yearFault(out); !fault.empty()) {
        return fault;
    }
    for (std::size_t month = 0; month < 12; ++month) {
        const std::size_t leafStart = kKeyWidth + month * kLeafWidth;
        // A line that stops early has lost values; reading the missing ones as blanks would
        // put "no value" over good values already in the table.
        if (raw.size() < leafStart + kLeafWidth) {
            return "the line is cut short: it has " + std::to_string(raw.size()) + " of the " +
                   std::to_string(kValueFileLineLength) + " characters of a value file line, " +
                   "and the values from " + std::string(monthName(static_cast<int>(month) + 1)) +
                   " " + out.issueYear + " on are missing";
        }
        const std::string_view leaf = raw.substr(leafStart, kLeafWidth);
        const bool good = allDigits(leaf) || leaf == kNoPayLeaf || leaf == kBlankLeaf ||
                          (options.allowUnknownLeaves && leaf == kUnknownValueLeaf);
        if (!good) {
            return "the value for " + std::string(monthName(static_cast<int>(month) + 1)) + " " +
                   out.issueYear + ", " + shown(leaf) +
                   ", is not six digits, \"NO PAY\" or six spaces";
        }
        out.leaves[month] = leaf;
    }
    return {};
}

void setError(std::string* error, std::string message) {
    if (error != nullptr) {
        *error = std::move(message);
    }
}

bool readValueFileText(const std::filesystem::path& path, std::string& text, std::string* error) {
    const std::string name = path.filename().string();
    int code = 0;
    switch (readRegularFile(path, kMaxValueFileBytes, text, &code)) {
    case RegularFileRead::Read:
        return true;
    case RegularFileRead::TooLarge:
        setError(error,
                 "The file " + shown(name) + " is too large to be a savings bond value file.");
        return false;
    case RegularFileRead::NotRegular:
        setError(error, "The value file " + shown(name) + " cannot be read: it is not a file.");
        return false;
    case RegularFileRead::CannotOpen:
    case RegularFileRead::Failed:
        break;
    }
    setError(error, "The value file " + shown(name) + " cannot be read: " +
                        std::error_code(code, std::generic_category()).message() + ".");
    return false;
}

} // namespace

bool parseValueFile(std::string_view text, const std::string& sourceName,
                    std::vector<ValueFileLine>& lines, std::string* error,
                    const ValueFileOptions& options) {
    std::vector<ValueFileLine> parsed;
    // Where each key was first seen: a second line for it must repeat the same values.
    std::map<std::string, std::size_t> firstLineOfKey;
    int lineNumber = 0;
    std::size_t start = 0;
    // Editors on some systems put a byte-order mark before UTF-8 text; it is no part of a line.
    if (text.starts_with(kUtf8ByteOrderMark)) {
        start = kUtf8ByteOrderMark.size();
    }
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        if (isBlankLine(raw)) {
            continue;
        }
        ValueFileLine line;
        const std::string fault = readLine(raw, options, line);
        if (!fault.empty()) {
            setError(error,
                     sourceName + ", line " + std::to_string(lineNumber) + ": " + fault + ".");
            return false;
        }
        line.lineNumber = lineNumber;
        const std::string key =
            line.series + line.redemptionYear + line.redemptionMonth + " " + line.issueYear;
        const auto [seen, isNew] = firstLineOfKey.try_emplace(key, parsed.size());
        if (!isNew) {
            const ValueFileLine& first = parsed[seen->second];
            if (first.leaves == line.leaves) {
                continue;
            }
            setError(error, sourceName + ", line " + std::to_string(lineNumber) +
                                ": the values for series " + line.series + " bonds of " +
                                line.issueYear + " redeemed in " +
                                std::string(monthName(std::stoi(line.redemptionMonth))) + " " +
                                line.redemptionYear + " differ from those of line " +
                                std::to_string(first.lineNumber) + ".");
            return false;
        }
        parsed.push_back(std::move(line));
    }
    if (parsed.empty()) {
        setError(error, sourceName + " holds no savings bond values.");
        return false;
    }
    lines.insert(lines.end(), std::make_move_iterator(parsed.begin()),
                 std::make_move_iterator(parsed.end()));
    return true;
}

std::string formatValueFileLine(const ValueFileLine& line) {
    std::string out;
    out.reserve(kValueFileLineLength);
    out += codeForSeries(line.series);
    out += line.redemptionYear;
    out += line.redemptionMonth;
    out += line.issueYear;
    for (const std::string& leaf : line.leaves) {
        out += leaf;
    }
    out.resize(kValueFileLineLength, ' ');
    return out;
}

ValueTableRef mergeValueFile(const ValueTable* table, std::string_view text,
                             const std::string& sourceName, std::string* error,
                             const ValueFileOptions& options) {
    std::vector<ValueFileLine> lines;
    if (!parseValueFile(text, sourceName, lines, error, options)) {
        return {};
    }
    ValueFileMerger merger(table);
    merger.add(sourceName, lines);
    return merger.finish().table;
}

namespace {

ValueFileMerge mergeFiles(const ValueTable* table, const std::vector<std::filesystem::path>& files,
                          std::string* error, const ValueFileOptions& options) {
    if (files.empty()) {
        setError(error, "No value file was given.");
        return {};
    }
    ValueFileMerger merger(table);
    for (const std::filesystem::path& path : files) {
        std::string text;
        std::vector<ValueFileLine> lines;
        const std::string name = path.filename().string();
        if (!readValueFileText(path, text, error) ||
            !parseValueFile(text, name, lines, error, options)) {
            return {};
        }
        merger.add(name, lines);
    }
    return merger.finish();
}

bool writeTable(const std::filesystem::path& destination, const ValueTable& table,
                std::string* error, const AtomicWritePlace::Check& check = {}) {
    std::string writeError;
    if (!writeValueTableFile(destination, table, &writeError, check)) {
        setError(error, "The value table " + shown(destination.filename().string()) +
                            " could not be written: " + writeError + ".");
        return false;
    }
    return true;
}

} // namespace

ValueTableRef mergeValueFiles(const ValueTable* table,
                              const std::vector<std::filesystem::path>& files, std::string* error,
                              const ValueFileOptions& options) {
    return mergeFiles(table, files, error, options).table;
}

ValueFileMerge mergeValueFilesTelling(const ValueTable* table,
                                      const std::vector<std::filesystem::path>& files,
                                      std::string* error) {
    return mergeFiles(table, files, error, {});
}

bool writeTableWithValueFiles(const ValueTable* base,
                              const std::vector<std::filesystem::path>& files,
                              const std::filesystem::path& destination, std::string* error,
                              const ValueFileOptions& options,
                              const AtomicWritePlace::Check& check) {
    const ValueTableRef table = mergeValueFiles(base, files, error, options);
    if (!table) {
        return false;
    }
    return writeTable(destination, *table, error, check);
}

bool updateUserValueTable(const ResourceLocations& locations,
                          const std::vector<std::filesystem::path>& files, std::string* error,
                          ValueChangeConsent* consent) {
    const std::filesystem::path destination =
        locations.userPathForResource(kBondTableResource, kBondTableType);
    // The user's table may be a link: it must not lead to another of Orvelt's files.
    if (const std::string refusal = writeTargetRefusal(destination, locations, destination);
        !refusal.empty()) {
        setError(error, refusal);
        return false;
    }
    ValueTableRef current;
    bool startsFromShipped = true;
    if (const auto path = locations.pathForResource(kBondTableResource, kBondTableType)) {
        startsFromShipped = *path != destination;
        std::string readError;
        current = readBondTableFile(locations, *path, &readError);
        if (!current) {
            setError(error, "The value table " + shown(path->string()) + " cannot be read (" +
                                readError +
                                "). Remove it to start again from the table that "
                                "comes with Orvelt.");
            return false;
        }
    }
    ValueFileMerge merge = mergeValueFilesTelling(current.get(), files, error);
    if (!merge.table) {
        return false;
    }
    // A value the table holds changes only when the user agreed: a file that differs may be
    // damaged or not the Treasury's, and every figure of the bonds it values would follow it.
    if (!merge.changes.empty() && (consent == nullptr || consent->accepted != merge.changes)) {
        setError(error, valueChangesText(merge.changes, kValueChangesListed));
        if (consent != nullptr) {
            consent->refused = std::move(merge.changes);
        }
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(destination.parent_path(), ec);
    if (!writeTable(destination, *merge.table, error, writeTargetCheck(locations, destination))) {
        return false;
    }
    // Only the credits are lost when this fails: each month is then credited to the files the
    // user added, without their names.
    recordValueSources(locations, merge.supplied, startsFromShipped);
    return true;
}
