#pragma once

// The compact form of a value table: its months, rows and cells as they are in memory, with a
// fingerprint of the table file they were read from and one of the whole form. The shipped
// table's compact form is made by the build beside its file and read instead of the file's XML,
// but only when it was made from exactly the bytes of the file beside it and is whole; any
// other compact form is refused, and the XML is read.

#include "valuation/ValueTable.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// A 64-bit fingerprint of the bytes: any change of the bytes changes it but by chance.
std::uint64_t fingerprintOfBytes(std::string_view bytes);

// The compact form of `table`, read from a file holding `source`.
std::string compactFormOfTable(const ValueTable& table, std::string_view source);

// The table of a compact form; an empty reference when the form is damaged, cut short, of another
// layout, or was made from a file other than `source`.
ValueTableRef tableOfCompactForm(std::string_view compact, std::string_view source);

// Where the compact form of the table file at `tablePath` is kept: beside it, ".cells" for
// ".plist".
std::filesystem::path compactFormPath(const std::filesystem::path& tablePath);
