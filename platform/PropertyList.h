#pragma once

// Reading and writing property-list files in the XML format.

#include "platform/AtomicFile.h"
#include "platform/PlistValue.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Parses XML property-list text in the encoding it declares (see XmlTextEncoding.h), refusing
// what readPlistXml refuses. On failure gives the absent value and, when `error` is given, a
// short reason.
PlistValue propertyListFromXml(std::string_view xml, std::string* error = nullptr);

// Larger files are not taken for property lists: reading one would take the memory of the
// whole machine.
inline constexpr std::uintmax_t kMaxPropertyListBytes = std::uintmax_t{1} << 30;

// Most values (keys not counted) a property-list file holds: neither read nor written beyond.
inline constexpr std::size_t kMaxPropertyListValues = 4'000'000;

// What a value would take in a property-list file, as part of a property list `depth` values
// deep: its values (keys not counted), and no fewer bytes of XML text than it would be written
// as.
struct PropertyListSize {
    std::size_t values = 0;
    std::uintmax_t maxXmlBytes = 0;
};
PropertyListSize propertyListSize(const PlistValue& value, int depth = 0);
// Whether a file of that size is sure to be written and read back; checked before a change
// that could grow a file beyond what it can hold.
bool fitsPropertyListFile(const PropertyListSize& size);

// Reads a whole property-list file; the absent value when the file is missing, larger than
// `maxBytes`, not a property list, nested more than 256 values deep, holding more than four
// million values, in a text encoding other than UTF-8, UTF-16, US-ASCII or ISO-8859-1, or holding
// anything that would not be written back the same: text that is not UTF-8 or holds a NUL
// byte, a key twice in one dictionary, an integer beyond 64 signed bits, a number that is not
// finite, a date that is not a real date of the years 1000 to 9999.
PlistValue readPropertyList(const std::filesystem::path& path, std::string* error = nullptr);
PlistValue readPropertyList(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string* error = nullptr);
// The dictionary at the root of the file; an empty reference, with the reader's reason in
// `error`, when the file cannot be read, or with `notADictionary` when its root is another value.
PlistDictRef readPropertyListDictionary(const std::filesystem::path& path,
                                        std::string_view notADictionary, std::string* error,
                                        std::uintmax_t maxBytes = kMaxPropertyListBytes);

// The XML text of a property list, dictionary keys in their order; absent values inside
// containers are left out; characters XML cannot hold as they are become character references.
// Empty, with the reason in `error`, for the absent value and for data that would not read back
// the same: a string or key that is not UTF-8 or holds a NUL character, an unsigned integer
// beyond the signed range, a number that is not finite, a date the reader refuses, nesting
// deeper than the reader takes.
std::string propertyListToXml(const PlistValue& root, std::string* error = nullptr);

// Writes the property list whole to `path`, atomically, where `check` allows it (see
// AtomicWritePlace). A file it replaces keeps the permissions its owner gave it; a new one is
// readable by its owner only. Answers false, with the file left as it was, when anything goes
// wrong or the data cannot be written as it is (see propertyListToXml).
bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error = nullptr, const AtomicWritePlace::Check& check = {});
// The same for a property list's text already made (see PlistXmlWriter).
bool writePropertyListText(const std::filesystem::path& path, std::string_view xml,
                           std::string* error = nullptr, const AtomicWritePlace::Check& check = {});
