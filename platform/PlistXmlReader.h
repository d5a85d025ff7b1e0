#pragma once

// The reader of XML property-list text. One pass over the text builds the values. The text is
// read as the property-list library reads it (where a tag ends, which quotes it skips, how
// comments, CDATA sections, processing instructions and document types end, where the reading
// stops), so that files other writers made read as they always have. Text the library would
// read as some other value than its writer meant, and text that would not be written back the
// same, is refused.

#include "platform/PlistValue.h"
#include "platform/PlistXmlWriter.h"

#include <cstddef>
#include <string>
#include <string_view>

struct PlistXmlLimits {
    // Deepest nesting of dictionaries and arrays, the root counting 1.
    int maxDepth = kMaxPlistDepth;
    // Most values (keys not counted) in one text.
    std::size_t maxValues = kMaxPlistValues;
};

// The value of the UTF-8 text `xml`; the absent value, with the reason in `error`, when the text
// is not a property list, exceeds the limits, holds a key twice in one dictionary, a document
// type with an internal subset, text that is not UTF-8 or holds a NUL byte, an integer that is
// not a decimal or "0x" number of 64 signed bits, a number that is not finite, a date that is
// not a real date of the years 1000 to 9999, or data that is not base64.
PlistValue readPlistXml(std::string_view xml, std::string& error,
                        const PlistXmlLimits& limits = {});
