#pragma once

// A lexical pass over XML property-list text, taken before the text is handed to the
// property-list library. It follows the library's own reading of the text (where a tag ends,
// which quotes it skips, how comments, CDATA sections, processing instructions and document
// types end, where the parse stops), so that the structure it sees is the structure the library
// builds:
// - the library frees nested values recursively, so text nested more deeply than a limit is
//   refused before it gets there, whatever markup hides the nesting;
// - the number of values is bounded, so that no file takes the memory of the whole machine;
// - each entry of a root dictionary is located, so that a large file can be parsed one part at
//   a time instead of as one huge tree;
// - keys are counted, so that a key given twice in one dictionary (which the library keeps
//   once) is noticed;
// - integers and dates whose text the library would silently change are refused.
// Text the pass cannot follow exactly (a document type with an internal subset, a nested
// <plist> element) is refused as well; no property-list writer produces it.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct PlistXmlLimits {
    // Deepest nesting of dictionaries and arrays, the root counting 1.
    int maxDepth = 256;
    // Most values (keys not counted) in one text.
    std::size_t maxValues = 4'000'000;
};

struct PlistXmlLayout {
    // Empty when the text can be handed to the library; otherwise why it cannot.
    std::string error;
    // Deepest nesting of dictionaries and arrays seen.
    int maxDepth = 0;
    // Values and dictionary keys in the text.
    std::size_t values = 0;
    std::size_t keys = 0;
    // True when the root value is a dictionary with entries directly inside the
    // <plist> element; `rootChildren` then holds the byte ranges [begin, end) of its child
    // elements in order: key, value, key, value...
    bool rootIsDict = false;
    std::vector<std::pair<std::size_t, std::size_t>> rootChildren;
};

PlistXmlLayout scanPlistXml(std::string_view xml, const PlistXmlLimits& limits = {});
