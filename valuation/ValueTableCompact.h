#pragma once

// The compact form of a value table: its months, rows and cells as they are in memory, with the
// size and SHA-256 digest of the table file they were read from and the digest of the whole form.
// The shipped table's compact form is made by the build beside its file and read instead of the
// file's XML, but only when it was made from exactly the bytes of the file beside it and is whole;
// any other compact form is refused, and the XML is read.

#include "platform/FileDigest.h"
#include "valuation/ValueTable.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What a compact form knows of the table file it was made from.
struct TableFileFingerprint {
    std::uint64_t size = 0;
    Sha256::Digest digest{};
    bool operator==(const TableFileFingerprint&) const = default;
};

TableFileFingerprint fingerprintOfBytes(std::string_view bytes);

// The fingerprint of the regular file at `path`, its bytes read (never mapped: a file cut short
// meanwhile gives other bytes, not a signal); nothing when it cannot be read or is larger than a
// value table is taken to be. With a cache folder, the fingerprint verified at an earlier reading
// of this very version of the file is taken from there instead (see FileDigest.h).
std::optional<TableFileFingerprint>
fingerprintOfTableFile(const std::filesystem::path& path,
                       const std::filesystem::path& cacheFolder = {});

// Where the verified fingerprint of the last table file read is remembered in a cache folder.
std::filesystem::path fingerprintRecordPath(const std::filesystem::path& cacheFolder);

// The compact form of `table`, read from a file of fingerprint `source`.
std::string compactFormOfTable(const ValueTable& table, const TableFileFingerprint& source);

// The table of a compact form; an empty reference when the form is damaged, cut short, of another
// layout, holds rows or months outside what a table can hold, or was made from a file other than
// the one of fingerprint `source`.
ValueTableRef tableOfCompactForm(std::string_view compact, const TableFileFingerprint& source);

// Where the compact form of the table file at `tablePath` is kept: beside it, ".cells" for
// ".plist".
std::filesystem::path compactFormPath(const std::filesystem::path& tablePath);

// Test seam: called after each part of a table file read for its fingerprint, so that a test can
// change the file while it is read.
void setTableFileReadHookForTesting(std::function<void()> hook);
