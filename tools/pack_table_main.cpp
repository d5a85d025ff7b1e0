// orvelt-pack-table: writes the compact form of a value table file, read by the application
// instead of the file's XML while it was made from exactly that file (see
// valuation/ValueTableCompact.h).
//
//   orvelt-pack-table TABLE.plist OUT.cells

#include "platform/AtomicFile.h"
#include "valuation/ValueTableCompact.h"
#include "valuation/ValueTableFile.h"

#include <cstdio>
#include <optional>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvelt-pack-table TABLE.plist OUT.cells\n");
        return 2;
    }
    std::string error;
    const std::optional<TableFileFingerprint> source = fingerprintOfTableFile(argv[1]);
    const ValueTableRef table = readValueTableXml(argv[1], &error);
    if (!source || !table) {
        std::fprintf(stderr, "orvelt-pack-table: %s cannot be read: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::string compact = compactFormOfTable(*table, *source);
    // Read back as the application reads it, so that a form it would refuse is never installed.
    if (!tableOfCompactForm(compact, *source) ||
        !writeFileAtomically(argv[2], compact, &error, AtomicFileMode::KeepExisting)) {
        std::fprintf(stderr, "orvelt-pack-table: %s cannot be written: %s\n", argv[2],
                     error.c_str());
        return 1;
    }
    return 0;
}
