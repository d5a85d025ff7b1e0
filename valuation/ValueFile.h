#pragma once

// The Treasury's Savings Bond Value Files, and their conversion into the redemption value table.
//
// A value file is plain text, one fixed-width line of 83 characters per series, redemption month
// and issue year:
//   column 1      series code: "I", "E", "N" (series EE) or "S" (savings notes)
//   columns 2-5   redemption year
//   columns 6-7   redemption month, 01 to 12
//   columns 8-11  issue year
//   columns 12-83 twelve six-character leaves, issue months January to December: six digits
//                 (dollars and cents of $25 face value), "NO PAY", or six spaces
// A line that stops early, a key given twice with different values and years no bond can have
// are refused. A carriage return before the line feed is ignored, and so are empty lines and
// a UTF-8 byte-order mark at the start.
//
// Each line's leaves become the table's cells of its series, redemption month and issue months;
// the table file keeps each cell as its leaf (see ValueTableFile.h).

#include "platform/AtomicFile.h"
#include "valuation/ValueTable.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class ResourceLocations;

inline constexpr std::size_t kValueFileLineLength = 83;

// A leaf that the table builder writes where its sourced data give no value: the converter
// leaves such a key out of the table instead of storing anything. Official files never hold it,
// and it is refused unless the options allow it.
inline constexpr std::string_view kUnknownValueLeaf = "------";

struct ValueFileOptions {
    bool allowUnknownLeaves = false;
};

struct ValueFileLine {
    std::string series;                 // "I", "E", "EE" or "S": the table's series key
    std::string redemptionYear;         // four digits
    std::string redemptionMonth;        // "01" to "12"
    std::string issueYear;              // four digits
    std::array<std::string, 12> leaves; // January to December, six characters each
    int lineNumber = 0;
};

// Reads every line of a value file. On the first malformed line answers false, with `error`
// naming the file, the line number and the fault, and leaves `lines` as it was.
bool parseValueFile(std::string_view text, const std::string& sourceName,
                    std::vector<ValueFileLine>& lines, std::string* error,
                    const ValueFileOptions& options = {});

// The line in the file's own format, 83 characters without the line feed.
std::string formatValueFileLine(const ValueFileLine& line);

// `table` (none: an empty one) with the file's values merged in: its leaves replace the cells
// under the same keys. None, with `error` saying why, when a line is malformed; `table` itself
// never changes.
ValueTableRef mergeValueFile(const ValueTable* table, std::string_view text,
                             const std::string& sourceName, std::string* error,
                             const ValueFileOptions& options = {});

// Reads the files and merges them in the order given (later files win), as above; a file that
// cannot be read is an error naming it.
ValueTableRef mergeValueFiles(const ValueTable* table,
                              const std::vector<std::filesystem::path>& files, std::string* error,
                              const ValueFileOptions& options = {});

// Merges the files into `base` (an empty table when null) and writes the result to
// `destination` atomically, only when every file is good and `check` allows the place.
bool writeTableWithValueFiles(const ValueTable* base,
                              const std::vector<std::filesystem::path>& files,
                              const std::filesystem::path& destination, std::string* error,
                              const ValueFileOptions& options = {},
                              const AtomicWritePlace::Check& check = {});

struct ValueChangeConsent;

// The "Update Values…" step: merges the files into the table in effect (the user's own copy
// when there is one, else the shipped table) and writes the user's copy, then notes which file
// brought each month its values (ValueSources.h). The shipped table is never written. A file
// leaf that differs from one the table holds is refused, unless `consent` accepted exactly the
// changes the files make; a refusal names them in `error` and lists them in `consent`. On any
// error nothing is written and `error` says why.
bool updateUserValueTable(const ResourceLocations& locations,
                          const std::vector<std::filesystem::path>& files, std::string* error,
                          ValueChangeConsent* consent = nullptr);
