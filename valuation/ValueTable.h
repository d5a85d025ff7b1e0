#pragma once

// The redemption value table and the value of one bond.
//
// The table file is nested dictionaries: series, redemption year, redemption month ("01" to
// "12"), issue year, issue month name, down to a six-character leaf. A leaf of six digits is the
// value of 25 dollars of face value (four digits of dollars, two of cents), "NO PAY" marks a bond
// too young to cash, and six spaces mark a bond the table calls invalid. The file is read once
// into a `ValueTable` of whole cents; its dictionaries are gone once it is read.

#include "store/Bond.h"
#include "store/SeriesRules.h"
#include "store/YearMonth.h"
#include "valuation/Amount.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ResourceLocations;

inline constexpr std::string_view kBondTableResource = "BondTable";
inline constexpr std::string_view kBondTableType = "plist";
inline constexpr std::string_view kInvalidLeaf = "      ";
inline constexpr std::string_view kNoPayLeaf = "NO PAY";

// One leaf: the whole cents of $25 face value, or a marker below zero.
using ValueCell = std::int32_t;
inline constexpr ValueCell kMissingCell = -1; // no leaf, or one that is none of the forms
inline constexpr ValueCell kNoPayCell = -2;
inline constexpr ValueCell kInvalidCell = -3;

// "002712" is 2712, "NO PAY" kNoPayCell, six spaces kInvalidCell; any other text is not a
// leaf (kMissingCell).
ValueCell valueCellOfLeaf(std::string_view leaf);
// The leaf of a cell, as the table file holds it: 2712 is "002712"; the empty text for
// kMissingCell.
std::string leafOfValueCell(ValueCell cell);

// Larger files are not taken for a value table (the shipped one is 14.4 MB): reading one would
// take time and memory for nothing.
inline constexpr std::uintmax_t kMaxValueTableBytes = std::uintmax_t{256} << 20;

class ValueTable;
struct TableFileFingerprint;
using ValueTableRef = std::shared_ptr<const ValueTable>;
class EarningRates;

// The table as read: for each series and redemption month a row of cells, one per issue month
// from the row's first to its last, so a lookup is two subtractions and an index. Immutable.
class ValueTable {
  public:
    class Builder {
      public:
        // Later leaves under the same keys replace earlier ones.
        void setCell(BondSeries series, YearMonth redemption, YearMonth issue, ValueCell cell);
        // A month the table holds, for any series (one of another series, or with no leaf).
        void holdMonth(YearMonth redemption);
        ValueTableRef build();

      private:
        std::map<std::pair<int, int>, std::vector<std::pair<int, ValueCell>>> rows_;
        std::vector<YearMonth> months_;
    };

    ValueCell cell(BondSeries series, YearMonth redemption, YearMonth issue) const;
    // Every redemption month filed under any series, in calendar order without repeats.
    const std::vector<YearMonth>& redemptionMonths() const { return months_; }
    bool holdsMonth(YearMonth redemption) const;
    // Calls visit(series, redemption, issue, cell) for every cell that holds a leaf (all but
    // kMissingCell), in the table file's order: series E, EE, I, S, then redemption months and
    // issue months ascending.
    template <typename Visit> void forEachCell(Visit&& visit) const;
    // The bytes the cells and rows take, for the benchmarks.
    std::size_t storageBytes() const;
    // What each bond earns (EarningRates.h), shipped beside the table; nullptr when not read.
    const EarningRates* earningRates() const { return earningRates_.get(); }
    // `table` with `rates` beside it: the same table when nothing else holds it yet.
    friend ValueTableRef withEarningRates(ValueTableRef table,
                                          std::shared_ptr<const EarningRates> rates);

  private:
    // The compact form is the table's own storage, written and read whole.
    friend std::string compactFormOfTable(const ValueTable& table,
                                          const TableFileFingerprint& source);
    friend ValueTableRef tableOfCompactForm(std::string_view compact,
                                            const TableFileFingerprint& source);

    struct Row {
        std::uint32_t start = 0;
        std::int32_t firstIssue = 0;
        std::uint32_t count = 0;
    };
    int firstRedemption_ = 0;
    int redemptionCount_ = 0;
    std::vector<Row> rows_; // series-major, then redemption month
    std::vector<ValueCell> cells_;
    std::vector<YearMonth> months_;
    std::shared_ptr<const EarningRates> earningRates_;
};

ValueTableRef withEarningRates(ValueTableRef table, std::shared_ptr<const EarningRates> rates);

template <typename Visit> void ValueTable::forEachCell(Visit&& visit) const {
    const auto monthOfIndex = [](int index) { return YearMonth{index / 12, index % 12 + 1}; };
    for (int series = 0; series < kBondSeriesCount; ++series) {
        for (int offset = 0; offset < redemptionCount_; ++offset) {
            const Row& row = rows_[static_cast<std::size_t>(series * redemptionCount_ + offset)];
            const YearMonth redemption = monthOfIndex(firstRedemption_ + offset);
            for (std::uint32_t i = 0; i < row.count; ++i) {
                const ValueCell cell = cells_[row.start + i];
                if (cell != kMissingCell) {
                    visit(static_cast<BondSeries>(series), redemption,
                          monthOfIndex(row.firstIssue + static_cast<int>(i)), cell);
                }
            }
        }
    }
}

// The table resource read whole, with the earning rates beside it; an empty reference when it is
// missing or not a dictionary. Calls share one table while its files stay the same. When a table
// file is there but cannot be used (damaged, cut short), or the earning rates that come with it
// are missing or damaged, the table is not used and `problem` names the file, the reason and
// what to do.
ValueTableRef loadBondTable(const ResourceLocations& resources, std::string* problem = nullptr);

// The table file at `path`, the one in effect for `resources`: the user's own copy (Update
// Values) always from its XML, a shipped table from its compact form when that was made from
// exactly its bytes (ValueTableCompact.h).
ValueTableRef readBondTableFile(const ResourceLocations& resources,
                                const std::filesystem::path& path, std::string* error = nullptr);

// What the table says of a bond at a redemption month. Only `Value` carries an amount: the
// leaf scaled by face value / 25 (for an electronic bond, FaceScale::ofBond).
struct TableEntry {
    enum class Kind {
        Missing,       // the table has no leaf (a key is missing, or a field is not one)
        Invalid,       // six spaces: the table calls the bond invalid
        NotYetPayable, // "NO PAY"
        Value,
    };
    Kind kind = Kind::Missing;
    Amount amount;
};

// No table, or a bond whose series or issue month is not one the table knows, or an electronic
// bond that cannot be valued, gives Missing.
TableEntry tableEntryOfBond(const ValueTable* table, const Bond& bond, const YearMonth& redemption);

// What a value of `cents` per $25 face comes to for a bond of `face` dollars: scaled by face
// value / 25, exactly when the face value is whole cents (wholeCentsOf); otherwise the floating
// product of the leaf's dollars and face / 25, to the nearest millionth of a dollar.
Amount amountOfFace(double face, ValueCell cents);
// The same rule worked out once for a face value, for the many leaves of one bond.
class FaceScale {
  public:
    explicit FaceScale(double face);
    // The scale of a bond's leaves: its face value, or for an electronic bond its amount as an
    // account's bond is valued (ElectronicValue.h).
    static FaceScale ofBond(const Bond& bond);
    // False for an electronic bond that cannot be valued: a series never sold so, or an amount
    // that is not dollars and cents of at least $25.
    bool valuable() const { return valuable_; }
    Amount amountOf(ValueCell cents) const;

  private:
    double face_;
    std::optional<std::int64_t> faceCents_;
    std::optional<BondSeries> electronicSeries_;
    bool valuable_ = true;
};
// The face value in dollars that a bond's leaves are scaled by: its face value text read as
// every number text is.
double tableFaceOfBond(const Bond& bond);
// What a leaf says of a bond of that scale: Missing, Invalid, NotYetPayable or its Value.
TableEntry tableEntryOfCell(ValueCell cell, const FaceScale& scale);
// What a leaf comes to for the bond (FaceScale::ofBond); 0 for a bond that cannot be valued.
Amount amountOfBond(const Bond& bond, ValueCell cents);
