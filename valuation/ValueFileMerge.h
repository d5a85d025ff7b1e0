#pragma once

// Value files merged into a table file by file, telling what each one changes: the leaves that
// differ from those the table already holds, and which file brought each redemption month its
// values. An update of the user's table shows the first to the user before anything is replaced,
// and keeps the second to credit each month to its file.

#include "store/YearMonth.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueTable.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// A leaf of a value file that differs from the leaf already held under its keys (a value, "NO
// PAY" or six spaces alike).
struct ValueChange {
    BondSeries series = BondSeries::E;
    YearMonth redemption;
    YearMonth issue;
    ValueCell before = kMissingCell;
    ValueCell after = kMissingCell;
    std::string file; // the value file's name
    bool operator==(const ValueChange&) const = default;
};

// The files that brought a redemption month leaves it lacked or leaves that differ, in order.
struct MonthSupply {
    std::vector<std::string> files;
    // One of them brought a leaf for every leaf the month held before it: whatever supplied the
    // month earlier supplies none of its values any more.
    bool replacesEarlier = false;
};

struct ValueFileMerge {
    ValueTableRef table;
    std::vector<ValueChange> changes;
    std::map<YearMonth, MonthSupply> supplied;
};

class ValueFileMerger {
  public:
    // `base` (none: an empty table) must outlive the merger.
    explicit ValueFileMerger(const ValueTable* base);

    // The lines of one file, after those added before (later files win).
    void add(const std::string& file, const std::vector<ValueFileLine>& lines);
    // The table with every file's values; the merger is spent.
    ValueFileMerge finish();

  private:
    struct SetCell {
        BondSeries series;
        YearMonth redemption;
        YearMonth issue;
        ValueCell cell;
    };
    // The cell a file sets, or kMissingCell.
    ValueCell heldCell(std::uint64_t key, BondSeries series, YearMonth redemption,
                       YearMonth issue) const;

    const ValueTable* base_;
    // The cells the files set, by their keys packed into one number.
    std::unordered_map<std::uint64_t, SetCell> set_;
    // The leaves each redemption month holds: the base's and those the files added.
    std::map<YearMonth, std::size_t> heldPerMonth_;
    ValueFileMerge result_;
};

// Reads the files and merges them in the order given into `table` (none: an empty one), as
// mergeValueFiles does, telling what each changes. No table, with `error` saying why, when a
// file cannot be read or holds a malformed line.
ValueFileMerge mergeValueFilesTelling(const ValueTable* table,
                                      const std::vector<std::filesystem::path>& files,
                                      std::string* error);

// The changes of values the user agreed to. An update of the user's table given none of them
// changes no value the table holds; given them, only when the files make exactly these changes.
struct ValueChangeConsent {
    std::vector<ValueChange> accepted;
    // The changes an update found and refused for want of consent.
    std::vector<ValueChange> refused;
};

// One change as a line: "Series EE, redeemed in June 2016, issued in January 2000: 003944 in
// the table, 009999 in sb201606.asc".
std::string valueChangeText(const ValueChange& change);

// How many changes there are and the first `listed` of them, one a line, then how many more.
std::string valueChangesText(const std::vector<ValueChange>& changes, std::size_t listed);
