// The value-file reader with its merge into a value table that already holds values: a refused
// file gives no table and leaves the one merged into as it was; an accepted one puts every
// line's values in the merged table, tells exactly the leaves it changed, and its lines format
// back to lines that read the same.

#include "FuzzCheck.h"
#include "store/BondRecord.h"
#include "store/YearMonth.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueFileMerge.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A table as the user's copy could hold it.
ValueTableRef startingTable() {
    const std::string text = "I2009061999000100000200000300000400000500000600000700000800000900"
                             "001000001100001200\n"
                             "N2016061999NO PAY" +
                             std::string(66, ' ') + "\n";
    ValueTableRef table = mergeValueFile(nullptr, text, "start.asc", nullptr);
    FUZZ_CHECK(table != nullptr);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The table builder's option is chosen by the input's length, so that any seed tries both.
    ValueFileOptions options;
    options.allowUnknownLeaves = size % 2 == 1;

    static const ValueTableRef table = startingTable();
    std::string error;
    const ValueTableRef merged = mergeValueFile(table.get(), text, "fuzz.asc", &error, options);
    FUZZ_CHECK(table->cell(BondSeries::I, {2009, 6}, {1999, 1}) == 100);
    FUZZ_CHECK(table->redemptionMonths().size() == 2);
    if (merged == nullptr) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }

    std::vector<ValueFileLine> lines;
    FUZZ_CHECK(parseValueFile(text, "fuzz.asc", lines, nullptr, options));
    std::string formatted;
    for (const ValueFileLine& line : lines) {
        const std::string again = formatValueFileLine(line);
        FUZZ_CHECK(again.size() == kValueFileLineLength);
        formatted += again + "\n";
        const std::optional<BondSeries> series = bondSeriesOfName(line.series);
        const std::optional<YearMonth> redemption =
            YearMonth::fromKeyText(line.redemptionYear + "-" + line.redemptionMonth);
        const std::optional<int> issueYear = fourDigitYear(line.issueYear);
        FUZZ_CHECK(series && redemption && issueYear);
        for (std::size_t month = 0; month < 12; ++month) {
            if (line.leaves[month] == kUnknownValueLeaf) {
                continue; // left out, or a value the table held before
            }
            const ValueCell cell =
                merged->cell(*series, *redemption, {*issueYear, static_cast<int>(month) + 1});
            FUZZ_CHECK(leafOfValueCell(cell) == line.leaves[month]);
        }
    }
    // The changes told are the leaves of the table the merge replaced, every one of them.
    ValueFileMerger merger(table.get());
    merger.add("fuzz.asc", lines);
    const ValueFileMerge told = merger.finish();
    std::size_t replaced = 0;
    table->forEachCell(
        [&](BondSeries series, YearMonth redemption, YearMonth issue, ValueCell cell) {
            replaced += told.table->cell(series, redemption, issue) != cell ? 1 : 0;
        });
    FUZZ_CHECK(told.changes.size() == replaced);
    for (const ValueChange& change : told.changes) {
        FUZZ_CHECK(change.before == table->cell(change.series, change.redemption, change.issue));
        FUZZ_CHECK(change.after == merged->cell(change.series, change.redemption, change.issue));
        FUZZ_CHECK(change.after != change.before);
    }

    std::vector<ValueFileLine> reread;
    FUZZ_CHECK(parseValueFile(formatted, "again.asc", reread, nullptr, options));
    FUZZ_CHECK(reread.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(formatValueFileLine(reread[i]) == formatValueFileLine(lines[i]));
    }
    return 0;
}
