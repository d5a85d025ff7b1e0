#pragma once

// The property-list library's own reading of XML property-list text, as the oracle that the
// tests and the fuzz target hold the program's reader against. The text is decoded by the
// encoding it declares first, as the program does: the library reads every text as UTF-8.

#include "platform/PlistValue.h"

#include <string_view>

// The values the library reads from `xml`, or the absent value when it refuses the text or
// holds a value no property-list value matches.
PlistValue propertyListFromXmlByLibrary(std::string_view xml);
