#pragma once

// Writes property-list values as XML text straight into one buffer, in exactly the layout of
// the property-list library's writer (tab indentation, the library's forms of numbers, dates
// and data), without building the library's tree of the values first.

#include "platform/PlistValue.h"

#include <string>

// Deeper nesting than this is neither written nor read.
inline constexpr int kMaxPlistDepth = 256;

// Appends the whole XML text of `root` to `out`; absent values inside containers are left out.
// False, with the reason in `error` and `out` partly appended, for the absent value and for data
// that would not read back the same (see propertyListToXml).
bool appendPlistXml(const PlistValue& root, std::string& out, std::string& error);
