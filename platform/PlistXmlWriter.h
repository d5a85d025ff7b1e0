#pragma once

// Writes property-list values as XML text straight into one buffer, in exactly the layout of
// the property-list library's writer (tab indentation, the library's forms of numbers, dates
// and data), without building the library's tree of the values first.

#include "platform/PlistValue.h"

#include <cstddef>
#include <string>

// Deeper nesting than this is neither written nor read.
inline constexpr int kMaxPlistDepth = 256;
// More values (keys not counted) than this are neither written nor read: far beyond any
// portfolio file (100,000 bonds hold about 600,000), and the library's tree takes about 150
// bytes per value.
inline constexpr std::size_t kMaxPlistValues = 4'000'000;

// Appends the whole XML text of `root` to `out`; absent values inside containers are left out.
// False, with the reason in `error` and `out` partly appended, for the absent value and for data
// that would not read back the same (see propertyListToXml).
bool appendPlistXml(const PlistValue& root, std::string& out, std::string& error);
