// The program's reader of property-list text against the property-list library's reading: a
// text the reader takes must read as the same values the library reads; a text read must be
// written and read back, by both alike, as the same values or as values written the same.
//
// The input is the text's bytes.

#include "FuzzCheck.h"
#include "platform/PropertyList.h"
#include "support/PlistLibraryReading.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

void checkSame(const char* what, const PlistValue& expected, const PlistValue& got) {
    if (expected != got) {
        std::fprintf(stderr, "%s\nexpected:\n%s\ngot:\n%s\n", what,
                     propertyListToXml(expected).c_str(), propertyListToXml(got).c_str());
    }
    FUZZ_CHECK(expected == got);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PlistValue read = propertyListFromXml(text);
    if (read.isAbsent()) {
        return 0;
    }
    checkSame("the reader and the library differ", propertyListFromXmlByLibrary(text), read);
    std::string error;
    const std::string written = propertyListToXml(read, &error);
    // Keys told apart only by characters written as U+FFFD are refused by the writer.
    if (written.empty() && error.starts_with("two keys of a dictionary differ only")) {
        return 0;
    }
    if (written.empty()) {
        std::fprintf(stderr, "read but not writable: %s\n", error.c_str());
    }
    FUZZ_CHECK(!written.empty());
    // The writer writes characters XML cannot hold as U+FFFD, so what reads back may differ
    // from what was read only in what writes as the same text.
    const PlistValue back = propertyListFromXml(written);
    FUZZ_CHECK(!back.isAbsent());
    checkSame("the library reads the written text otherwise", back,
              propertyListFromXmlByLibrary(written));
    FUZZ_CHECK(back == read || propertyListToXml(back) == written);
    return 0;
}
