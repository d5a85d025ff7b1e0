// The two readings of property-list text against each other: the quick reader of the plain form
// and the careful reading through the property-list library. A text the quick reader takes must
// read as the same values the careful way, or be refused by both; a text read must be written
// and read back the same, by the careful reading and by the quick one where it takes the text.
//
// The input is the text's bytes.

#include "FuzzCheck.h"
#include "platform/PlistXmlReader.h"
#include "platform/PropertyList.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

void report(const char* what, const PlistValue& expected, const PlistValue& got) {
    std::fprintf(stderr, "%s\nexpected:\n%s\ngot:\n%s\n", what, propertyListToXml(expected).c_str(),
                 propertyListToXml(got).c_str());
}

// Writes `value` and reads the text back both ways: each must give `value` again.
void checkWrittenBack(const PlistValue& value) {
    std::string error;
    const std::string written = propertyListToXml(value, &error);
    if (written.empty()) {
        std::fprintf(stderr, "read but not writable: %s\n", error.c_str());
    }
    FUZZ_CHECK(!written.empty());
    // The quick reader leaves dates and data to the careful one.
    PlistValue plain;
    const bool plainRead = readPlainPlistXml(written, plain);
    const PlistValue careful = propertyListFromXmlWithLibrary(written);
    if ((plainRead && plain != value) || careful != value) {
        report("written text reads otherwise", value, careful != value ? careful : plain);
    }
    FUZZ_CHECK(!plainRead || plain == value);
    FUZZ_CHECK(careful == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PlistValue plain;
    const bool plainRead = readPlainPlistXml(text, plain);
    const PlistValue careful = propertyListFromXmlWithLibrary(text);
    if (plainRead) {
        if (careful != plain) {
            report("the quick reader and the library differ", careful, plain);
        }
        FUZZ_CHECK(careful == plain);
    }
    if (!careful.isAbsent()) {
        checkWrittenBack(careful);
    }
    return 0;
}
