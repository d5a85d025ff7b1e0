#pragma once

// The value table's file: its nested dictionaries (series, redemption year, redemption month,
// issue year, issue month name, leaf) become a ValueTable and are gone once it is built; a table
// is written straight from its cells.

#include "platform/AtomicFile.h"
#include "platform/PlistValue.h"
#include "valuation/ValueTable.h"

#include <filesystem>
#include <string>

// The dictionaries as a table. Keys not of the table's own form (series other than E, EE, I and
// S, years not of four digits, months other than "01" to "12" or the English month names) and
// leaves that are not text are passed over; a redemption month of another series still counts as
// held.
ValueTableRef valueTableOfDictionary(const PlistDict& root);

// The table held in a property-list file; an empty reference, and `error` set, when the file
// cannot be read or holds no dictionary. Read from the compact form beside the file when that
// was made from exactly this file (see ValueTableCompact.h), else from the file's XML. The file's
// fingerprint, once verified, is remembered in `cacheFolder` when one is given.
ValueTableRef readValueTableFile(const std::filesystem::path& path, std::string* error = nullptr,
                                 const std::filesystem::path& cacheFolder = {});

// The same from the file's XML alone.
ValueTableRef readValueTableXml(const std::filesystem::path& path, std::string* error = nullptr);

// Writes the table's file atomically, where `check` allows it (see AtomicWritePlace): each cell
// that holds a leaf as its leaf, keys in order (series, years and months ascending, issue months
// January to December). False, with the file as it was and the reason in `error`, when it cannot
// be written.
bool writeValueTableFile(const std::filesystem::path& path, const ValueTable& table,
                         std::string* error = nullptr, const AtomicWritePlace::Check& check = {});
