#pragma once

// Writes property-list values as XML text straight into one buffer, in exactly the layout of
// the property-list library's writer (tab indentation, the library's forms of numbers, dates
// and data), without building the library's tree of the values first.

#include "platform/PlistValue.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// The same text written piece by piece, for data held in other types than property-list values:
// the same bytes as appendPlistXml gives for the tree of the same values. The first piece that
// would not read back the same stops the writing; `finish` tells why.
class PlistXmlWriter {
  public:
    // Appends the text's opening lines to `out`.
    explicit PlistXmlWriter(std::string& out);

    void beginDict();
    void beginArray();
    // A dictionary's key; its value is written next.
    void key(std::string_view key);
    void string(std::string_view text);
    // Any value, as appendPlistXml writes it; the absent value leaves out its key.
    void value(const PlistValue& value);
    // Closes the innermost dictionary or array.
    void end();
    // Appends the closing line; false, with the reason, when anything written would not read
    // back the same.
    bool finish(std::string& error);

  private:
    struct Frame {
        bool isDict = false;
        std::size_t start = 0;    // where its opening tag starts
        std::size_t entries = 0;  // where its entries start
        std::size_t firstKey = 0; // its first key in keys_
        bool keyReplaced = false; // a key was written otherwise than it is
    };
    void begin(bool isDict);
    bool stopped() const { return !error_.empty(); }
    int depth() const { return static_cast<int>(frames_.size()); }

    std::string& out_;
    std::string error_;
    std::size_t values_ = 0;
    std::vector<Frame> frames_;
    // Where in `out_` each key of the open dictionaries was written (start, end of its text).
    std::vector<std::pair<std::size_t, std::size_t>> keys_;
};
