#pragma once

// Reading and writing property-list files in the XML format. Nothing outside this file's
// implementation sees the property-list library.

#include "platform/PlistValue.h"

#include <filesystem>
#include <string>
#include <string_view>

// Parses XML property-list text. On failure gives the absent value and, when `error` is given,
// a short reason.
PlistValue propertyListFromXml(std::string_view xml, std::string* error = nullptr);

// Reads a whole property-list file; the absent value when the file is missing or is not a
// property list.
PlistValue readPropertyList(const std::filesystem::path& path, std::string* error = nullptr);

// The XML text of a property list, dictionary keys in their order.
std::string propertyListToXml(const PlistValue& root);

// Writes the property list whole to `path`, atomically and readable by its owner only. Answers
// false, with the file left as it was, when anything goes wrong.
bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error = nullptr);
