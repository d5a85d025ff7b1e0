#pragma once

// A quick reader for the plain XML text that property-list writers produce: the usual prolog,
// elements without attributes separated by white space, texts holding only the five predefined
// entities and character references. It builds the values straight from the text, without the
// property-list library's tree. Text outside that plain form is left to the careful reading,
// which follows the library in every detail.

#include "platform/PlistValue.h"

#include <string_view>

// The value of `xml`, or false when the text is not in the plain form or holds anything the
// careful reading might refuse or read otherwise: values beyond the reader's limits, a key twice
// in one dictionary, text that is not UTF-8, numbers it would read otherwise.
bool readPlainPlistXml(std::string_view xml, PlistValue& out);
