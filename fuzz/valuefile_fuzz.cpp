// The value-file reader with its all-or-nothing merge into a value table that already holds
// values: a refused file leaves the table (and a level a report holds) exactly as it was; an
// accepted one puts every line's values in the table, and its lines format back to lines that
// read the same.

#include "FuzzCheck.h"
#include "store/BondRecord.h"
#include "valuation/ValueFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A table as the user's copy could hold it, with a level shared with a report window.
PlistDict startingTable() {
    PlistDict table;
    const std::string text = "I2009061999000100000200000300000400000500000600000700000800000900"
                             "001000001100001200\n"
                             "N2016061999NO PAY" +
                             std::string(66, ' ') + "\n";
    FUZZ_CHECK(mergeValueFile(table, text, "start.asc", nullptr));
    table.set("notes", PlistValue("not a series"));
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The table builder's option is chosen by the input's length, so that any seed tries both.
    ValueFileOptions options;
    options.allowUnknownLeaves = size % 2 == 1;

    PlistDict table = startingTable();
    const PlistDictRef held = plistFind(&table, {"I", "2009", "06"})->dict();
    const PlistDict before = table;
    const PlistDict heldBefore = *held;

    std::string error;
    const bool merged = mergeValueFile(table, text, "fuzz.asc", &error, options);
    FUZZ_CHECK(*held == heldBefore);
    if (!merged) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(table == before);
        return 0;
    }

    std::vector<ValueFileLine> lines;
    FUZZ_CHECK(parseValueFile(text, "fuzz.asc", lines, nullptr, options));
    std::string formatted;
    for (const ValueFileLine& line : lines) {
        const std::string again = formatValueFileLine(line);
        FUZZ_CHECK(again.size() == kValueFileLineLength);
        formatted += again + "\n";
        for (std::size_t month = 0; month < 12; ++month) {
            const PlistValue* leaf =
                plistFind(&table, {line.series, line.redemptionYear, line.redemptionMonth,
                                   line.issueYear, kMonthNames[month]});
            if (line.leaves[month] == kUnknownValueLeaf) {
                continue; // left out, or a value the table held before
            }
            FUZZ_CHECK(leaf != nullptr && leaf->text() == line.leaves[month]);
        }
    }
    std::vector<ValueFileLine> reread;
    FUZZ_CHECK(parseValueFile(formatted, "again.asc", reread, nullptr, options));
    FUZZ_CHECK(reread.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(formatValueFileLine(reread[i]) == formatValueFileLine(lines[i]));
    }
    return 0;
}
