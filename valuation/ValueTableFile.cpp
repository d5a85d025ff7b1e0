#include "valuation/ValueTableFile.h"

#include "platform/PropertyList.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// What a series that is not a dictionary holds.
const std::vector<PlistDict::Entry> kNoEntries;

void addIssueYears(ValueTable::Builder& builder, BondSeries series, YearMonth redemption,
                   const PlistDict& issueYears) {
    for (const auto& [yearKey, yearValue] : issueYears.entries()) {
        const std::optional<int> year = fourDigitYear(yearKey);
        const PlistDict* months = yearValue.dictPtr();
        if (!year || months == nullptr) {
            continue;
        }
        for (const auto& [monthKey, leafValue] : months->entries()) {
            const std::optional<int> month = monthNumberOfName(monthKey);
            const std::string* leaf = leafValue.stringPtr();
            if (month && leaf != nullptr) {
                builder.setCell(series, redemption, {*year, *month}, valueCellOfLeaf(*leaf));
            }
        }
    }
}

} // namespace

ValueTableRef valueTableOfDictionary(const PlistDict& root) {
    ValueTable::Builder builder;
    for (const auto& [seriesName, seriesValue] : root.entries()) {
        const std::optional<BondSeries> series = bondSeriesOfName(seriesName);
        const PlistDict* years = seriesValue.dictPtr();
        for (const auto& [yearKey, yearValue] : years != nullptr ? years->entries() : kNoEntries) {
            const std::optional<int> year = fourDigitYear(yearKey);
            const PlistDict* months = yearValue.dictPtr();
            if (!year || months == nullptr) {
                continue;
            }
            for (const auto& [monthKey, monthValue] : months->entries()) {
                const std::optional<YearMonth> redemption =
                    YearMonth::fromKeyText(yearKey + "-" + monthKey);
                const PlistDict* issueYears = monthValue.dictPtr();
                if (!redemption || issueYears == nullptr) {
                    continue;
                }
                builder.holdMonth(*redemption);
                if (series) {
                    addIssueYears(builder, *series, *redemption, *issueYears);
                }
            }
        }
    }
    return builder.build();
}

ValueTableRef readValueTableFile(const std::filesystem::path& path, std::string* error) {
    ValueTableRef table;
    {
        std::string readError;
        const PlistValue read = readPropertyList(path, &readError);
        const PlistDict* root = read.dictPtr();
        if (root == nullptr) {
            if (error != nullptr) {
                *error = readError.empty() ? "it holds no dictionary of values" : readError;
            }
            return {};
        }
        table = valueTableOfDictionary(*root);
    }
    // The file's dictionaries took some twenty times the table's memory in small blocks, now
    // free: without this the process keeps them resident for good.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    return table;
}
