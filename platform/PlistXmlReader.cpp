#include "platform/PlistXmlReader.h"

#include "platform/PlistXmlWriter.h"
#include "platform/XmlSafeText.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                     "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                     "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                     "<plist version=\"1.0\">";
// As many values as the careful reading takes.
constexpr std::size_t kMaxValues = kMaxPlistValues;
// Containers this deep are left to the careful reading, which knows the exact limits.
constexpr int kMaxDepth = kMaxPlistDepth - 2;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Bytes of a text that are not simply copied: entity starts, bytes outside ASCII, and those the
// careful reading treats in ways of its own (control characters, a stray '>').
struct TextStops {
    bool table[256] = {};
    constexpr TextStops() {
        for (int c = 0; c < 0x20; ++c) {
            table[c] = c != '\t' && c != '\n';
        }
        table[static_cast<unsigned char>('&')] = true;
        table[static_cast<unsigned char>('>')] = true;
        for (int c = 0x80; c < 0x100; ++c) {
            table[c] = true;
        }
    }
};
constexpr TextStops kTextStops;

// The character of a reference "#65;" or "#x41;" (without its '&'), of a character other than
// NUL that UTF-8 can hold; 0 otherwise, and for references longer than the library reads.
std::uint32_t characterReference(std::string_view reference) {
    if (reference.size() < 3 || reference.size() > 9 || reference[0] != '#' ||
        reference.back() != ';') {
        return 0;
    }
    std::string_view digits = reference.substr(1, reference.size() - 2);
    int base = 10;
    if (digits[0] == 'x') {
        base = 16;
        digits.remove_prefix(1);
    }
    std::uint32_t code = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, base);
    const bool whole = error == std::errc() && end == digits.data() + digits.size() &&
                       !digits.empty() && digits[0] != '+' && digits[0] != '-';
    if (!whole || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return code;
}

class PlainReader {
  public:
    explicit PlainReader(std::string_view xml) : p_(xml.data()), end_(xml.data() + xml.size()) {}

    bool read(PlistValue& out) {
        if (!take(kProlog)) {
            return false;
        }
        skipSpace();
        if (!value(out, 0)) {
            return false;
        }
        skipSpace();
        if (!take("</plist>")) {
            return false;
        }
        skipSpace();
        return p_ == end_;
    }

  private:
    void skipSpace() {
        while (p_ < end_ && isSpace(*p_)) {
            ++p_;
        }
    }

    bool take(std::string_view text) {
        if (static_cast<std::size_t>(end_ - p_) < text.size() ||
            std::memcmp(p_, text.data(), text.size()) != 0) {
            return false;
        }
        p_ += text.size();
        return true;
    }

    // One value at `p_`, inside `depth` containers.
    bool value(PlistValue& out, int depth) {
        if (++values_ > kMaxValues || end_ - p_ < 3 || *p_ != '<') {
            return false;
        }
        switch (p_[1]) {
        case 's': {
            std::string string;
            if (!take("<string>") || !text(string) || !take("/string>")) {
                return false;
            }
            out = PlistValue(std::move(string));
            return true;
        }
        case 'd':
            if (take("<dict>")) {
                return dict(out, depth + 1);
            }
            if (take("<dict/>")) {
                out = PlistValue(PlistDict::create());
                return depth < kMaxDepth;
            }
            return false;
        case 'a':
            if (take("<array>")) {
                return array(out, depth + 1);
            }
            if (take("<array/>")) {
                out = PlistValue(std::make_shared<PlistArray>());
                return depth < kMaxDepth;
            }
            return false;
        case 'i':
            return take("<integer>") && integer(out) && take("</integer>");
        case 'r':
            return take("<real>") && real(out) && take("</real>");
        case 't':
            out = PlistValue(true);
            return take("<true/>");
        case 'f':
            out = PlistValue(false);
            return take("<false/>");
        default:
            return false;
        }
    }

    bool dict(PlistValue& out, int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        const std::size_t base = entries_.size();
        for (;;) {
            skipSpace();
            if (take("</dict>")) {
                break;
            }
            std::string key;
            if (!take("<key>") || !text(key) || !take("/key>")) {
                return false;
            }
            skipSpace();
            PlistValue child;
            if (!value(child, depth)) {
                return false;
            }
            entries_.emplace_back(std::move(key), std::move(child));
        }
        std::vector<PlistDict::Entry> entries(std::make_move_iterator(entries_.begin() + base),
                                              std::make_move_iterator(entries_.end()));
        entries_.resize(base);
        auto dict = PlistDict::create();
        if (!dict->assignEntries(std::move(entries))) {
            return false;
        }
        out = PlistValue(std::move(dict));
        return true;
    }

    bool array(PlistValue& out, int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        const std::size_t base = items_.size();
        for (;;) {
            skipSpace();
            if (take("</array>")) {
                break;
            }
            PlistValue child;
            if (!value(child, depth)) {
                return false;
            }
            items_.push_back(std::move(child));
        }
        auto array = std::make_shared<PlistArray>(std::make_move_iterator(items_.begin() + base),
                                                  std::make_move_iterator(items_.end()));
        items_.resize(base);
        out = PlistValue(std::move(array));
        return true;
    }

    // The text up to the next '<', which is passed; false for text outside the plain form.
    bool text(std::string& out) {
        const auto* lt = static_cast<const char*>(std::memchr(p_, '<', end_ - p_));
        if (lt == nullptr) {
            return false;
        }
        const std::string_view text(p_, static_cast<std::size_t>(lt - p_));
        p_ = lt + 1;
        std::size_t done = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const auto c = static_cast<unsigned char>(text[pos]);
            if (!kTextStops.table[c]) {
                ++pos;
                continue;
            }
            if (c >= 0x80) {
                const std::size_t length = utf8SequenceLength(text, pos);
                if (length == 0) {
                    return false;
                }
                pos += length;
                continue;
            }
            if (c != '&') {
                return false;
            }
            const std::size_t semicolon = text.find(';', pos);
            if (semicolon == std::string_view::npos) {
                return false;
            }
            out.append(text.data() + done, pos - done);
            const std::string_view entity = text.substr(pos + 1, semicolon - pos);
            if (entity == "amp;") {
                out.push_back('&');
            } else if (entity == "lt;") {
                out.push_back('<');
            } else if (entity == "gt;") {
                out.push_back('>');
            } else if (entity == "quot;") {
                out.push_back('"');
            } else if (entity == "apos;") {
                out.push_back('\'');
            } else if (const std::uint32_t code = characterReference(entity); code != 0) {
                appendUtf8(out, code);
            } else {
                return false;
            }
            pos = semicolon + 1;
            done = pos;
        }
        out.append(text.data() + done, text.size() - done);
        return true;
    }

    // A decimal integer of 64 signed bits without leading zeros or '+'.
    bool integer(PlistValue& out) {
        const bool negative = p_ < end_ && *p_ == '-';
        const char* digits = p_ + (negative ? 1 : 0);
        std::uint64_t magnitude = 0;
        const auto [end, error] = std::from_chars(digits, end_, magnitude);
        if (error != std::errc() || end == digits || (*digits == '0' && end - digits > 1) ||
            (negative && magnitude == 0) ||
            magnitude > (negative ? std::uint64_t{1} << 63 : std::uint64_t{INT64_MAX})) {
            return false;
        }
        p_ = end;
        out = PlistValue(PlistInteger{negative ? 0 - magnitude : magnitude, negative});
        return true;
    }

    // A finite number in the plain decimal form, read as the C library reads it.
    bool real(PlistValue& out) {
        const char* start = p_;
        const char* p = p_;
        const auto digits = [&] {
            const char* first = p;
            while (p < end_ && *p >= '0' && *p <= '9') {
                ++p;
            }
            return p > first;
        };
        if (p < end_ && *p == '-') {
            ++p;
        }
        if (!digits()) {
            return false;
        }
        if (p < end_ && *p == '.') {
            ++p;
            if (!digits()) {
                return false;
            }
        }
        if (p < end_ && (*p == 'e' || *p == 'E')) {
            ++p;
            if (p < end_ && (*p == '+' || *p == '-')) {
                ++p;
            }
            if (!digits()) {
                return false;
            }
        }
        double number = 0;
        const auto [end, error] = std::from_chars(start, p, number);
        if (error != std::errc() || end != p) {
            return false;
        }
        p_ = p;
        out = PlistValue(number);
        return true;
    }

    const char* p_;
    const char* end_;
    std::size_t values_ = 0;
    // Entries and items of the containers being read, innermost last.
    std::vector<PlistDict::Entry> entries_;
    std::vector<PlistValue> items_;
};

} // namespace

bool readPlainPlistXml(std::string_view xml, PlistValue& out) {
    PlistValue value;
    if (!PlainReader(xml).read(value)) {
        return false;
    }
    out = std::move(value);
    return true;
}
