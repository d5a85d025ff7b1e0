#include "valuation/ValueTableCompact.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The layout's name and version; a form of another layout or byte order is refused.
constexpr std::array<char, 8> kMagic = {'O', 'V', 'T', 'C', 'E', 'L', 'L', '2'};
constexpr std::uint32_t kByteOrderMark = 0x01020304;

struct Header {
    std::array<char, 8> magic{};
    std::uint32_t byteOrder = 0;
    std::int32_t firstRedemption = 0;
    std::int32_t redemptionCount = 0;
    std::uint32_t monthCount = 0;
    std::uint32_t cellCount = 0;
    std::uint32_t unused = 0;
    std::uint64_t sourceSize = 0;
    Sha256::Digest sourceDigest{};
};

// Month numbers (year * 12 + month - 1) of the years a table's keys can name, 0 to 9999: every
// sum and difference of two of them fits an int.
constexpr std::int64_t kMonthNumbers = 10000 * 12;

bool isMonthNumber(std::int64_t number) {
    return number >= 0 && number < kMonthNumbers;
}

// Whether `count` months from `first` on are all month numbers (none is, when count is 0).
bool monthsInside(std::int64_t first, std::int64_t count) {
    return count == 0 || (isMonthNumber(first) && count > 0 && count <= kMonthNumbers - first);
}

template <typename T> void append(std::string& out, const T* items, std::size_t count) {
    out.append(reinterpret_cast<const char*>(items), count * sizeof(T));
}

// Copies `count` items at `offset` of `bytes` into `items`, moving `offset` on.
template <typename T>
void take(std::string_view bytes, std::size_t& offset, std::vector<T>& items, std::size_t count) {
    items.resize(count);
    std::memcpy(items.data(), bytes.data() + offset, count * sizeof(T));
    offset += count * sizeof(T);
}

std::function<void()>& tableFileReadHook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void setTableFileReadHookForTesting(std::function<void()> hook) {
    tableFileReadHook() = std::move(hook);
}

TableFileFingerprint fingerprintOfBytes(std::string_view bytes) {
    return {bytes.size(), Sha256::of(bytes)};
}

std::optional<TableFileFingerprint>
fingerprintOfTableFile(const std::filesystem::path& path,
                       const std::filesystem::path& cacheFolder) {
    const std::optional<FileDigest> read =
        digestOfRegularFile(path, kMaxValueTableBytes,
                            cacheFolder.empty() ? cacheFolder : fingerprintRecordPath(cacheFolder),
                            tableFileReadHook());
    if (!read) {
        return std::nullopt;
    }
    return TableFileFingerprint{read->size, read->digest};
}

std::filesystem::path fingerprintRecordPath(const std::filesystem::path& cacheFolder) {
    return cacheFolder / "BondTable.fingerprint";
}

std::string compactFormOfTable(const ValueTable& table, const TableFileFingerprint& source) {
    Header header;
    header.magic = kMagic;
    header.byteOrder = kByteOrderMark;
    header.firstRedemption = table.firstRedemption_;
    header.redemptionCount = table.redemptionCount_;
    header.monthCount = static_cast<std::uint32_t>(table.months_.size());
    header.cellCount = static_cast<std::uint32_t>(table.cells_.size());
    header.sourceSize = source.size;
    header.sourceDigest = source.digest;
    std::string out;
    append(out, &header, 1);
    append(out, table.months_.data(), table.months_.size());
    append(out, table.rows_.data(), table.rows_.size());
    append(out, table.cells_.data(), table.cells_.size());
    const Sha256::Digest whole = Sha256::of(out);
    append(out, whole.data(), whole.size());
    return out;
}

ValueTableRef tableOfCompactForm(std::string_view compact, const TableFileFingerprint& source) {
    Header header;
    constexpr std::size_t kDigestBytes = std::tuple_size_v<Sha256::Digest>;
    if (compact.size() < sizeof header + kDigestBytes) {
        return {};
    }
    std::memcpy(&header, compact.data(), sizeof header);
    // Every count is checked before it is used in a sum or product: a form that passes its digest
    // may still have been made to mislead.
    if (header.magic != kMagic || header.byteOrder != kByteOrderMark ||
        !monthsInside(header.firstRedemption, header.redemptionCount) ||
        header.sourceSize != source.size || header.sourceDigest != source.digest) {
        return {};
    }
    const auto rowCount = std::size_t{kBondSeriesCount} * std::size_t(header.redemptionCount);
    const std::size_t expected = sizeof header +
                                 std::size_t{header.monthCount} * sizeof(YearMonth) +
                                 rowCount * sizeof(ValueTable::Row) +
                                 std::size_t{header.cellCount} * sizeof(ValueCell) + kDigestBytes;
    const std::string_view body = compact.substr(0, compact.size() - kDigestBytes);
    Sha256::Digest whole{};
    std::memcpy(whole.data(), compact.data() + body.size(), kDigestBytes);
    if (compact.size() != expected || whole != Sha256::of(body)) {
        return {};
    }
    auto table = std::make_shared<ValueTable>();
    table->firstRedemption_ = header.firstRedemption;
    table->redemptionCount_ = header.redemptionCount;
    std::size_t offset = sizeof header;
    take(compact, offset, table->months_, header.monthCount);
    take(compact, offset, table->rows_, rowCount);
    take(compact, offset, table->cells_, header.cellCount);
    // Whole as the digest says, yet checked as if it were not: a lookup never reads outside the
    // cells, and the months are those a table builds.
    const bool rowsInside = std::all_of(table->rows_.begin(), table->rows_.end(), [&](auto& row) {
        return row.start <= header.cellCount && row.count <= header.cellCount - row.start &&
               monthsInside(row.firstIssue, row.count);
    });
    const bool monthsInOrder = std::adjacent_find(table->months_.begin(), table->months_.end(),
                                                  [](const YearMonth& a, const YearMonth& b) {
                                                      return !(a < b);
                                                  }) == table->months_.end();
    const bool monthsReal =
        std::all_of(table->months_.begin(), table->months_.end(), [](const YearMonth& month) {
            return month.month >= 1 && month.month <= 12 &&
                   isMonthNumber(std::int64_t{month.year} * 12 + month.month - 1);
        });
    const bool cellsReal =
        std::all_of(table->cells_.begin(), table->cells_.end(),
                    [](ValueCell cell) { return cell >= kInvalidCell && cell <= 999999; });
    if (!rowsInside || !monthsInOrder || !monthsReal || !cellsReal) {
        return {};
    }
    return table;
}

std::filesystem::path compactFormPath(const std::filesystem::path& tablePath) {
    return std::filesystem::path(tablePath).replace_extension(".cells");
}
