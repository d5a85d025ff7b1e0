#pragma once

// Small conversions shared by the bond editing window's files.

#include "platform/PlistValue.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

inline QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The string entries of a list in a property list; anything else in it is not offered.
inline std::vector<std::string> stringsOf(const PlistValue& value) {
    std::vector<std::string> strings;
    if (const PlistArray* array = value.arrayPtr()) {
        for (const PlistValue& item : *array) {
            if (const std::string* text = item.stringPtr()) {
                strings.push_back(*text);
            }
        }
    }
    return strings;
}
