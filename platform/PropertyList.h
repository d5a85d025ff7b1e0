#pragma once

// Reading and writing property-list files in the XML format. Nothing outside this file's
// implementation sees the property-list library.

#include "platform/PlistValue.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Parses XML property-list text. On failure gives the absent value and, when `error` is given,
// a short reason.
PlistValue propertyListFromXml(std::string_view xml, std::string* error = nullptr);

// Larger files are not taken for property lists: reading one would take the memory of the
// whole machine.
inline constexpr std::uintmax_t kMaxPropertyListBytes = std::uintmax_t{1} << 30;

// Reads a whole property-list file; the absent value when the file is missing, larger than
// `maxBytes`, not a property list, or nested more than 256 values deep.
PlistValue readPropertyList(const std::filesystem::path& path, std::string* error = nullptr);
PlistValue readPropertyList(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string* error = nullptr);

// The XML text of a property list, dictionary keys in their order; empty for the absent value.
// A string or key that XML cannot hold (a control character, bytes that are not UTF-8) is
// written with U+FFFD in place of each such character, so that the file stays readable;
// absent values inside containers are left out.
std::string propertyListToXml(const PlistValue& root);

// Writes the property list whole to `path`, atomically and readable by its owner only. Answers
// false, with the file left as it was, when anything goes wrong.
bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error = nullptr);
