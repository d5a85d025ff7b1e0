// Reads a property-list file with Orvelt's reader and writes it back with Orvelt's writer, adding
// to a dictionary root a string with carriage returns, which XML readers would otherwise turn
// into line feeds, and one with control characters, which XML 1.0 cannot hold. Used by the plistlib
// cross-check (plistlib_cross_check.py).
//
//   plist_rewrite INPUT OUTPUT

#include "platform/PropertyList.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: plist_rewrite INPUT OUTPUT\n");
        return 2;
    }
    std::string error;
    PlistValue root = readPropertyList(argv[1], &error);
    if (root.isAbsent()) {
        std::fprintf(stderr, "cannot read %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (PlistDictRef dict = root.dict()) {
        dict->set("Carriage return", PlistValue("line\r\nnext\rlast"));
        dict->set("Control", PlistValue("CTL\x01X\x1b[31m"));
    }
    if (!writePropertyList(argv[2], root, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
