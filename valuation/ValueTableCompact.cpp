#include "valuation/ValueTableCompact.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The layout's name and version; a form of another layout or byte order is refused.
constexpr std::array<char, 8> kMagic = {'O', 'V', 'T', 'C', 'E', 'L', 'L', '1'};
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
    std::uint64_t sourceFingerprint = 0;
};

std::uint64_t load64(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

std::uint64_t rotate(std::uint64_t word, int bits) {
    return (word << bits) | (word >> (64 - bits));
}

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

std::uint64_t mixWord(std::uint64_t lane, std::uint64_t word) {
    return rotate(lane + word * kPrime2, 31) * kPrime1;
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

} // namespace

// Four lanes side by side, so that the multiplications overlap: the 14 MB table file takes
// about a millisecond.
std::uint64_t fingerprintOfBytes(std::string_view bytes) {
    std::array<std::uint64_t, 4> lanes = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    std::size_t at = 0;
    for (; at + 32 <= bytes.size(); at += 32) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            lanes[lane] = mixWord(lanes[lane], load64(bytes.data() + at + lane * 8));
        }
    }
    std::uint64_t hash = rotate(lanes[0], 1) + rotate(lanes[1], 7) + rotate(lanes[2], 12) +
                         rotate(lanes[3], 18) + bytes.size();
    for (; at < bytes.size(); ++at) {
        hash = mixWord(hash, static_cast<unsigned char>(bytes[at]));
    }
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    return hash;
}

std::string compactFormOfTable(const ValueTable& table, std::string_view source) {
    Header header;
    header.magic = kMagic;
    header.byteOrder = kByteOrderMark;
    header.firstRedemption = table.firstRedemption_;
    header.redemptionCount = table.redemptionCount_;
    header.monthCount = static_cast<std::uint32_t>(table.months_.size());
    header.cellCount = static_cast<std::uint32_t>(table.cells_.size());
    header.sourceSize = source.size();
    header.sourceFingerprint = fingerprintOfBytes(source);
    std::string out;
    append(out, &header, 1);
    append(out, table.months_.data(), table.months_.size());
    append(out, table.rows_.data(), table.rows_.size());
    append(out, table.cells_.data(), table.cells_.size());
    const std::uint64_t whole = fingerprintOfBytes(out);
    append(out, &whole, 1);
    return out;
}

ValueTableRef tableOfCompactForm(std::string_view compact, std::string_view source) {
    Header header;
    if (compact.size() < sizeof header + sizeof(std::uint64_t)) {
        return {};
    }
    std::memcpy(&header, compact.data(), sizeof header);
    const std::size_t rowCount =
        kBondSeriesCount *
        std::size_t{header.redemptionCount < 0 ? 0U : unsigned(header.redemptionCount)};
    const std::size_t expected =
        sizeof header + header.monthCount * sizeof(YearMonth) + rowCount * sizeof(ValueTable::Row) +
        std::size_t{header.cellCount} * sizeof(ValueCell) + sizeof(std::uint64_t);
    const std::string_view body = compact.substr(0, compact.size() - sizeof(std::uint64_t));
    if (header.magic != kMagic || header.byteOrder != kByteOrderMark ||
        header.redemptionCount < 0 || compact.size() != expected ||
        load64(compact.data() + body.size()) != fingerprintOfBytes(body) ||
        header.sourceSize != source.size() ||
        header.sourceFingerprint != fingerprintOfBytes(source)) {
        return {};
    }
    auto table = std::make_shared<ValueTable>();
    table->firstRedemption_ = header.firstRedemption;
    table->redemptionCount_ = header.redemptionCount;
    std::size_t offset = sizeof header;
    take(compact, offset, table->months_, header.monthCount);
    take(compact, offset, table->rows_, rowCount);
    take(compact, offset, table->cells_, header.cellCount);
    // Whole as the fingerprint says, yet checked as if it were not: a lookup never reads outside
    // the cells, and the months are those a table builds.
    const bool rowsInside = std::all_of(table->rows_.begin(), table->rows_.end(), [&](auto& row) {
        return row.start <= header.cellCount && row.count <= header.cellCount - row.start;
    });
    const bool monthsInOrder = std::adjacent_find(table->months_.begin(), table->months_.end(),
                                                  [](const YearMonth& a, const YearMonth& b) {
                                                      return !(a < b);
                                                  }) == table->months_.end();
    const bool monthsReal =
        std::all_of(table->months_.begin(), table->months_.end(),
                    [](const YearMonth& month) { return month.month >= 1 && month.month <= 12; });
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
