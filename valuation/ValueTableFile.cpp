#include "valuation/ValueTableFile.h"

#include "platform/PlistXmlWriter.h"
#include "platform/PropertyList.h"
#include "platform/RegularFile.h"
#include "valuation/ValueTableCompact.h"

#include <array>

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

// The compact form beside a table file is the build's: a link there, or anything larger than
// the forms it makes, is not one.
constexpr std::uintmax_t kMaxCompactFormBytes = std::uintmax_t{64} << 20;

// The table from the compact form beside the file, when that was made from the file's bytes.
ValueTableRef readCompactForm(const std::filesystem::path& path,
                              const std::filesystem::path& cacheFolder) {
    std::string compact;
    if (readRegularFile(compactFormPath(path), kMaxCompactFormBytes, compact, nullptr,
                        LinkAtPath::Refuse) != RegularFileRead::Read) {
        return {};
    }
    const std::optional<TableFileFingerprint> source = fingerprintOfTableFile(path, cacheFolder);
    return source ? tableOfCompactForm(compact, *source) : ValueTableRef();
}

// Writes the cells as nested dictionaries, opening and closing a level whenever its key
// changes from the cell before.
class TableXmlWriter {
  public:
    explicit TableXmlWriter(std::string& out) : writer_(out) { writer_.beginDict(); }

    void add(BondSeries series, YearMonth redemption, YearMonth issue, ValueCell cell) {
        const std::array<int, 4> keys = {static_cast<int>(series), redemption.year,
                                         redemption.month, issue.year};
        std::size_t same = 0;
        while (same < open_ && keys[same] == keys_[same]) {
            ++same;
        }
        closeTo(same);
        for (; open_ < keys.size(); ++open_) {
            keys_[open_] = keys[open_];
            writer_.key(keyText(open_, keys[open_]));
            writer_.beginDict();
        }
        writer_.key(monthName(issue.month));
        writer_.string(leafOfValueCell(cell));
    }

    bool finish(std::string& error) {
        closeTo(0);
        writer_.end();
        return writer_.finish(error);
    }

  private:
    void closeTo(std::size_t level) {
        for (; open_ > level; --open_) {
            writer_.end();
        }
    }

    // Series by name, years in four digits, redemption months in two.
    static std::string keyText(std::size_t level, int key) {
        if (level == 0) {
            return std::string(bondSeriesName(static_cast<BondSeries>(key)));
        }
        std::string digits = std::to_string(key);
        const std::size_t width = level == 2 ? 2 : 4;
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    }

    PlistXmlWriter writer_;
    std::array<int, 4> keys_{};
    std::size_t open_ = 0;
};

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

ValueTableRef readValueTableFile(const std::filesystem::path& path, std::string* error,
                                 const std::filesystem::path& cacheFolder) {
    if (ValueTableRef compact = readCompactForm(path, cacheFolder)) {
        return compact;
    }
    return readValueTableXml(path, error);
}

ValueTableRef readValueTableXml(const std::filesystem::path& path, std::string* error) {
    ValueTableRef table;
    {
        const PlistDictRef root = readPropertyListDictionary(
            path, "it holds no dictionary of values", error, kMaxValueTableBytes);
        if (!root) {
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

bool writeValueTableFile(const std::filesystem::path& path, const ValueTable& table,
                         std::string* error, const AtomicWritePlace::Check& check) {
    std::string xml;
    std::string writeError;
    TableXmlWriter writer(xml);
    table.forEachCell([&writer](BondSeries series, YearMonth redemption, YearMonth issue,
                                ValueCell cell) { writer.add(series, redemption, issue, cell); });
    if (!writer.finish(writeError)) {
        if (error != nullptr) {
            *error = writeError;
        }
        return false;
    }
    return writePropertyListText(path, xml, error, check);
}
