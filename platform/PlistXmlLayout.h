#pragma once

// A quick look at the element structure of XML property-list text, taken before the text is
// handed to the property-list library: that library parses nested elements recursively, so text
// nested thousands deep must be refused before it gets there. The same pass finds where each
// entry of a root dictionary begins and ends, so that a large file can be parsed one part at a
// time instead of as one huge tree.

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

struct PlistXmlLayout {
    // Deepest element nesting seen, the <plist> element counting 1.
    int maxDepth = 0;
    // True when the text is a <plist> whose value is a <dict> and the pass understood all of
    // it; `rootChildren` then holds the byte ranges [begin, end) of the dictionary's child
    // elements in order: key, value, key, value...
    bool rootIsDict = false;
    std::vector<std::pair<std::size_t, std::size_t>> rootChildren;
};

// Scans `xml`; stops early, with `maxDepth` above `depthLimit`, when the nesting goes deeper.
PlistXmlLayout scanPlistXml(std::string_view xml, int depthLimit);
