#include "platform/PlistXmlReader.h"

#include "platform/XmlSafeText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <locale.h>
#include <vector>

namespace {

constexpr std::size_t kNone = std::string_view::npos;
// No real text holds more references than this; the library, which reads the same files in the
// tests, takes time growing with their number squared.
constexpr std::size_t kMaxReferencesInText = 65536;
// Text the library itself would refuse.
constexpr std::string_view kNotAPropertyList = "the file is not an XML property list";
constexpr std::string_view kNotUtf8 = "the property list holds text that is not UTF-8";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Numbers are read as in the "C" locale, whatever the process's.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// Bytes of a string's text that are not simply copied.
struct TextStops {
    bool table[256] = {};
    constexpr TextStops() {
        table[0] = true;
        table[static_cast<unsigned char>('&')] = true;
        for (int c = 0x80; c < 0x100; ++c) {
            table[c] = true;
        }
    }
};
constexpr TextStops kTextStops;

// Text without a reference, a NUL byte or a byte outside ASCII: the usual text, taken as it is.
bool isPlainRun(std::string_view run) {
    return std::none_of(run.begin(), run.end(),
                        [](char c) { return kTextStops.table[static_cast<unsigned char>(c)]; });
}

// White space, and the bytes that end a tag's name: white space, '<' and '>', and the NUL byte,
// which no name may hold.
struct MarkupBytes {
    bool space[256] = {};
    bool nameEnd[256] = {};
    constexpr MarkupBytes() {
        for (const char c : {' ', '\t', '\r', '\n'}) {
            space[static_cast<unsigned char>(c)] = nameEnd[static_cast<unsigned char>(c)] = true;
        }
        nameEnd[static_cast<unsigned char>('<')] = nameEnd[static_cast<unsigned char>('>')] = true;
        nameEnd[0] = true;
    }
};
constexpr MarkupBytes kMarkupBytes;

// The character of a reference "#65" or "#x41" (without '&' and ';') as the library reads it,
// with strtoull; 0 when the library refuses it.
std::uint32_t characterReference(std::string_view name) {
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    if (name.size() > 8 || name.size() < (hex ? 3u : 2u)) {
        return 0;
    }
    char digits[9] = {};
    std::memcpy(digits, name.data(), name.size());
    char* end = nullptr;
    const unsigned long long code =
        strtoull_l(digits + (hex ? 2 : 1), &end, hex ? 16 : 10, cLocale());
    return end == digits + name.size() && code <= 0x10FFFF ? static_cast<std::uint32_t>(code) : 0;
}

// An integer the way other readers read it too: decimal without leading zeros, or hexadecimal
// with "0x" and no sign; then white space. The library would read "12a" as 12, "010" as 8.
bool parseInteger(std::string_view content, PlistInteger& out) {
    while (!content.empty() && isSpace(content.back())) {
        content.remove_suffix(1);
    }
    const bool hasSign = !content.empty() && (content[0] == '-' || content[0] == '+');
    const bool negative = hasSign && content[0] == '-';
    content.remove_prefix(hasSign ? 1 : 0);
    const bool hex = content.size() > 2 && content[0] == '0' && (content[1] | 0x20) == 'x';
    const std::string_view digits = hex ? content.substr(2) : content;
    if (digits.empty() || (hex && hasSign) || (!hex && digits[0] == '0' && digits.size() > 1) ||
        (digits[0] == '+' || digits[0] == '-')) {
        return false;
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size() ||
        magnitude > (negative ? std::uint64_t{1} << 63 : std::uint64_t{INT64_MAX})) {
        return false;
    }
    const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
    out = PlistInteger{bits, static_cast<std::int64_t>(bits) < 0};
    return true;
}

int number(std::string_view text) {
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// "YYYY-MM-DDTHH:MM:SSZ" with a real calendar date and time, then only white space, shorter than
// the 32 bytes the library reads. The library turns other text into some other date, and writes
// years before 1000 with fewer than four digits.
bool parseDate(std::string_view content, PlistDate& out) {
    constexpr std::string_view pattern = "dddd-dd-ddTdd:dd:ddZ";
    if (content.size() < pattern.size() || content.size() >= 32) {
        return false;
    }
    for (std::size_t i = 0; i < content.size(); ++i) {
        const bool fits = i >= pattern.size() ? isSpace(content[i])
                          : pattern[i] == 'd' ? isDigit(content[i])
                                              : content[i] == pattern[i];
        if (!fits) {
            return false;
        }
    }
    using namespace std::chrono;
    const year_month_day date{year(number(content.substr(0, 4))),
                              month(static_cast<unsigned>(number(content.substr(5, 2)))),
                              day(static_cast<unsigned>(number(content.substr(8, 2))))};
    const int hour = number(content.substr(11, 2));
    const int minute = number(content.substr(14, 2));
    const int second = number(content.substr(17, 2));
    if (!date.ok() || int(date.year()) < 1000 || hour >= 24 || minute >= 60 || second >= 60) {
        return false;
    }
    const auto days = (sys_days(date) - sys_days(year(2001) / 1 / 1)).count();
    out = PlistDate{days * 86400LL + hour * 3600 + minute * 60 + second, 0};
    return true;
}

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (isDigit(c)) {
        return c - '0' + 52;
    }
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// Base64 in groups of four characters, padded with '=' at the end of a group, the groups parted
// by white space only between them.
bool decodeBase64(std::string_view text, std::string& out) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (isSpace(text[pos])) {
            ++pos;
            continue;
        }
        if (text.size() - pos < 4) {
            return false;
        }
        const int a = base64Digit(text[pos]);
        const int b = base64Digit(text[pos + 1]);
        const int c = base64Digit(text[pos + 2]);
        const int d = base64Digit(text[pos + 3]);
        const bool padded3 = text[pos + 2] == '=' && text[pos + 3] == '=';
        if (a < 0 || b < 0 || (c < 0 && !padded3) || (d < 0 && text[pos + 3] != '=')) {
            return false;
        }
        out += static_cast<char>(a << 2 | b >> 4);
        if (c >= 0) {
            out += static_cast<char>((b << 4 | c >> 2) & 0xFF);
        }
        if (d >= 0) {
            out += static_cast<char>((c << 6 | d) & 0xFF);
        }
        pos += 4;
    }
    return true;
}

enum class TextUse { Skipped, Kept, Unescaped };

// The elements of a property list, told apart once per tag.
enum class Element : std::uint8_t {
    Key,
    String,
    Dict,
    Array,
    Integer,
    Real,
    Date,
    Data,
    True,
    False,
    Plist,
    Other
};
constexpr std::string_view kElementNames[] = {"key",  "string", "dict", "array", "integer", "real",
                                              "date", "data",   "true", "false", "plist"};

Element elementOf(std::string_view name) {
    switch (name.empty() ? '\0' : name[0]) {
    case 'k':
        return name == "key" ? Element::Key : Element::Other;
    case 's':
        return name == "string" ? Element::String : Element::Other;
    case 'd':
        return name == "dict"   ? Element::Dict
               : name == "date" ? Element::Date
               : name == "data" ? Element::Data
                                : Element::Other;
    case 'a':
        return name == "array" ? Element::Array : Element::Other;
    case 'i':
        return name == "integer" ? Element::Integer : Element::Other;
    case 'r':
        return name == "real" ? Element::Real : Element::Other;
    case 't':
        return name == "true" ? Element::True : Element::Other;
    case 'f':
        return name == "false" ? Element::False : Element::Other;
    case 'p':
        return name == "plist" ? Element::Plist : Element::Other;
    default:
        return Element::Other;
    }
}

std::string_view nameOf(Element element) {
    return kElementNames[static_cast<int>(element)];
}

class Reader {
  public:
    Reader(std::string_view xml, const PlistXmlLimits& limits, std::string& error)
        : xml_(xml), limits_(limits), error_(error) {}

    PlistValue run() {
        while (!done_ && pos_ < xml_.size()) {
            skipSpace();
            if (pos_ >= xml_.size()) {
                break;
            }
            if (!readItem()) {
                return {};
            }
        }
        if (!done_ && (!frames_.empty() || plistOpen_)) {
            fail("the text ends before its elements are closed");
            return {};
        }
        if (!rootSeen_) {
            fail("the file holds no property list");
            return {};
        }
        return std::move(root_);
    }

  private:
    struct Frame {
        bool isDict = false;
        bool keyPending = false;
        // Where the frame's entries or items start in the shared lists.
        std::size_t base = 0;
        std::string key;
        // Whether the key may not be UTF-8: checked when a value takes it, as a key that takes
        // no value is dropped.
        bool keyUnchecked = false;
    };

    bool fail(std::string_view reason) {
        if (error_.empty()) {
            error_ = reason;
        }
        return false;
    }

    void skipSpace() {
        while (pos_ < xml_.size() && kMarkupBytes.space[static_cast<unsigned char>(xml_[pos_])]) {
            ++pos_;
        }
    }

    bool startsWithAt(std::size_t at, std::string_view text) const {
        return xml_.size() - at > text.size() && xml_.compare(at, text.size(), text) == 0;
    }

    // The first of `chars` at or after `from`, stepping over double-quoted runs as the library
    // does inside tags; kNone when there is none or a quote is not closed.
    std::size_t findSkippingQuotes(std::size_t from, std::string_view chars) const {
        for (std::size_t p = from; p < xml_.size(); ++p) {
            if (xml_[p] == '"') {
                p = xml_.find('"', p + 1);
                if (p == kNone) {
                    return kNone;
                }
            } else if (chars.find(xml_[p]) != kNone) {
                return p;
            }
        }
        return kNone;
    }

    std::size_t findTextSkippingQuotes(std::size_t from, std::string_view text) const {
        std::size_t p = from;
        while (p + text.size() < xml_.size()) {
            if (xml_.compare(p, text.size(), text) == 0) {
                return p;
            }
            if (xml_[p] == '"') {
                p = xml_.find('"', p + 1);
                if (p == kNone) {
                    return kNone;
                }
            }
            ++p;
        }
        return p + text.size() <= xml_.size() && xml_.compare(p, text.size(), text) == 0 ? p
                                                                                         : kNone;
    }

    // One piece of markup at the element level, starting at '<'.
    bool readItem() {
        if (xml_[pos_] != '<') {
            return fail("the file holds text outside the elements");
        }
        if (++pos_ >= xml_.size()) {
            return fail("the text ends inside a tag");
        }
        if (xml_[pos_] == '?') {
            const std::size_t end = findTextSkippingQuotes(pos_, "?>");
            if (end == kNone) {
                return fail("a processing instruction is not closed");
            }
            pos_ = end + 2;
            return true;
        }
        if (xml_[pos_] == '!') {
            return readDeclaration();
        }
        std::size_t nameEnd = pos_;
        while (nameEnd < xml_.size() &&
               !kMarkupBytes.nameEnd[static_cast<unsigned char>(xml_[nameEnd])]) {
            ++nameEnd;
        }
        std::size_t close = nameEnd;
        if (close < xml_.size() && xml_[close] != '>') {
            close = findSkippingQuotes(close, "<>");
        }
        if (close >= xml_.size() || xml_[close] != '>') {
            return fail("a tag is not closed");
        }
        std::string_view name = xml_.substr(pos_, nameEnd - pos_);
        const bool empty = xml_[close - 1] == '/';
        if (empty && close - pos_ - 1 < name.size()) {
            name = name.substr(0, close - pos_ - 1);
        }
        if (xml_[nameEnd] == '\0') {
            return fail("a tag name holds a NUL byte");
        }
        pos_ = close + 1;
        return readTag(name, empty);
    }

    bool readDeclaration() {
        if (startsWithAt(pos_, "!--")) {
            const std::size_t end = xml_.find("-->", pos_ + 3);
            if (end == kNone) {
                return fail("a comment is not closed");
            }
            pos_ = end + 3;
            return true;
        }
        if (!startsWithAt(pos_, "!DOCTYPE")) {
            return fail("the file holds markup that is not part of a property list");
        }
        pos_ += 8;
        for (;;) {
            const std::size_t stop = findSkippingQuotes(pos_, " \t\r\n[>");
            if (stop == kNone) {
                return fail("the document type is not closed");
            }
            if (xml_[stop] == '[') {
                // Its entities and comments could hide markup; no property list needs them.
                return fail("the document type has an internal subset");
            }
            if (xml_[stop] == '>') {
                pos_ = stop + 1;
                return true;
            }
            pos_ = stop;
            skipSpace();
        }
    }

    // Appends a run of text between markup; references are resolved when `use` says so, as the
    // library resolves them: the five predefined entities, told by their first letters, and
    // character references; a '&' that ends the run stays as it is.
    bool appendRun(std::string_view run, TextUse use, std::string& out, std::size_t& references,
                   bool& checkUtf8) {
        if (use != TextUse::Unescaped) {
            if (std::memchr(run.data(), '\0', run.size()) != nullptr) {
                return fail("a text holds a NUL byte");
            }
            references += static_cast<std::size_t>(std::count(run.begin(), run.end(), '&'));
            if (use == TextUse::Kept) {
                out.append(run);
            }
            return references <= kMaxReferencesInText ||
                   fail("a text holds more than " + std::to_string(kMaxReferencesInText) +
                        " character or entity references");
        }
        std::size_t done = 0;
        for (std::size_t pos = 0; pos < run.size(); ++pos) {
            const auto c = static_cast<unsigned char>(run[pos]);
            if (!kTextStops.table[c]) {
                continue;
            }
            if (c == 0) {
                return fail("a text holds a NUL byte");
            }
            if (c >= 0x80) {
                const std::size_t length = utf8SequenceLength(run, pos);
                checkUtf8 = checkUtf8 || length == 0;
                pos += length > 0 ? length - 1 : 0;
                continue;
            }
            if (++references > kMaxReferencesInText) {
                return fail("a text holds more than " + std::to_string(kMaxReferencesInText) +
                            " character or entity references");
            }
            if (pos + 1 == run.size()) {
                break;
            }
            const std::size_t semicolon = run.find(';', pos + 1);
            if (semicolon == kNone || semicolon == pos + 1) {
                return fail(kNotAPropertyList);
            }
            out.append(run.substr(done, pos - done));
            const std::string_view name = run.substr(pos + 1, semicolon - pos - 1);
            if (name.find('\0') != kNone) {
                return fail("a text holds a NUL byte");
            }
            if (name.starts_with("amp")) {
                out += '&';
            } else if (name.starts_with("apos")) {
                out += '\'';
            } else if (name.starts_with("quot")) {
                out += '"';
            } else if (name.starts_with("lt")) {
                out += '<';
            } else if (name.starts_with("gt")) {
                out += '>';
            } else if (const std::uint32_t code = name[0] == '#' ? characterReference(name) : 0) {
                checkUtf8 = checkUtf8 || (code >= 0xD800 && code <= 0xDFFF);
                appendUtf8(out, code);
            } else {
                return fail(kNotAPropertyList);
            }
            pos = semicolon;
            done = semicolon + 1;
        }
        out.append(run.substr(done));
        return true;
    }

    // The content of a <tag> element up to and past its end tag, with comments and CDATA
    // sections as the library reads them. `parts` counts the runs of text and CDATA sections.
    bool readText(std::string_view tag, bool skipLeadingSpace, TextUse use, std::string& out,
                  int& parts) {
        if (skipLeadingSpace) {
            skipSpace();
        }
        std::size_t references = 0;
        bool checkUtf8 = false;
        const auto unclosed = [&] {
            return fail("the text ends inside <" + std::string(tag) + ">");
        };
        for (;;) {
            const auto* lt =
                static_cast<const char*>(std::memchr(xml_.data() + pos_, '<', xml_.size() - pos_));
            const std::size_t at =
                lt != nullptr ? static_cast<std::size_t>(lt - xml_.data()) : kNone;
            if (at == kNone || at + 2 >= xml_.size()) {
                return unclosed();
            }
            if (at > pos_) {
                ++parts;
                const std::string_view run(xml_.data() + pos_, at - pos_);
                if (use == TextUse::Unescaped && isPlainRun(run)) {
                    out.append(run);
                } else if (!appendRun(run, use, out, references, checkUtf8)) {
                    return false;
                }
            }
            pos_ = at + 1;
            if (xml_[pos_] == '/') {
                break;
            }
            if (xml_[pos_] != '!') {
                return fail("an element inside <" + std::string(tag) + ">");
            }
            if (++pos_ + 1 >= xml_.size()) {
                return unclosed();
            }
            if (xml_[pos_] == '-' && xml_[pos_ + 1] == '-') {
                const std::size_t end = xml_.find("-->", pos_ + 2);
                if (end == kNone) {
                    return fail("a comment is not closed");
                }
                ++parts;
                pos_ = end + 3;
            } else if (xml_[pos_] == '[' && startsWithAt(pos_ + 1, "CDATA[")) {
                const std::size_t begin = pos_ + 7;
                const std::size_t end = xml_.find("]]>", begin);
                if (end == kNone) {
                    return fail("a CDATA section is not closed");
                }
                const std::string_view section = xml_.substr(begin, end - begin);
                if (section.find('\0') != kNone) {
                    return fail("a text holds a NUL byte");
                }
                ++parts;
                if (use != TextUse::Skipped) {
                    checkUtf8 = true;
                    out.append(section);
                }
                pos_ = end + 3;
            } else {
                return fail("unknown markup inside <" + std::string(tag) + ">");
            }
        }
        ++pos_;
        const auto misclosed = [&] {
            return fail("<" + std::string(tag) + "> is not closed by its own end tag");
        };
        if (pos_ + tag.size() >= xml_.size() || xml_.compare(pos_, tag.size(), tag) != 0) {
            return misclosed();
        }
        pos_ += tag.size();
        skipSpace();
        if (pos_ >= xml_.size() || xml_[pos_] != '>') {
            return misclosed();
        }
        ++pos_;
        textNeedsUtf8Check_ = use == TextUse::Unescaped && checkUtf8;
        return true;
    }

    bool readTag(std::string_view name, bool empty) {
        const bool isEnd = name.starts_with('/');
        const Element element = elementOf(isEnd ? name.substr(1) : name);
        if (element == Element::Plist && !isEnd) {
            if (rootSeen_ && frames_.empty() && !plistOpen_) {
                // The library stops at a second property list.
                done_ = true;
                return true;
            }
            if (rootSeen_ || plistOpen_ || empty) {
                return fail("a <plist> element is misplaced");
            }
            plistOpen_ = true;
            return true;
        }
        if (element == Element::Plist) {
            // Reached only after an empty root container: any other root ends the reading.
            if (!plistOpen_ || !frames_.empty() || !rootSeen_) {
                return fail("a </plist> closes nothing");
            }
            plistOpen_ = false;
            return true;
        }
        if (isEnd) {
            return closeContainer(element);
        }
        return readValue(element, name, empty);
    }

    bool closeContainer(Element element) {
        if (frames_.empty() ||
            element != (frames_.back().isDict ? Element::Dict : Element::Array)) {
            return fail("an end tag does not match its element");
        }
        const std::size_t base = frames_.back().base;
        PlistValue container;
        if (frames_.back().isDict) {
            // A key without a value before the end tag is dropped, as the library drops it.
            std::vector<PlistDict::Entry> entries(std::make_move_iterator(entries_.begin() + base),
                                                  std::make_move_iterator(entries_.end()));
            entries_.resize(base);
            auto dict = PlistDict::create();
            if (!dict->assignEntries(std::move(entries))) {
                return fail("a dictionary of the property list holds the same key twice");
            }
            container = PlistValue(std::move(dict));
        } else {
            container = PlistValue(
                std::make_shared<PlistArray>(std::make_move_iterator(items_.begin() + base),
                                             std::make_move_iterator(items_.end())));
            items_.resize(base);
        }
        frames_.pop_back();
        // The library stops when the root value is closed.
        done_ = frames_.empty();
        return add(std::move(container));
    }

    // Adds a finished value to the container being read, or makes it the root.
    bool add(PlistValue&& value) {
        if (frames_.empty()) {
            root_ = std::move(value);
        } else if (Frame& parent = frames_.back(); parent.isDict) {
            if (parent.keyUnchecked && !isStorableText(parent.key)) {
                return fail(kNotUtf8);
            }
            entries_.emplace_back(std::move(parent.key), std::move(value));
        } else {
            items_.push_back(std::move(value));
        }
        return true;
    }

    bool readValue(Element element, std::string_view name, bool empty) {
        const bool isDict = element == Element::Dict;
        const bool isContainer = isDict || element == Element::Array;
        if (element == Element::Other) {
            return fail("the file holds an element <" + std::string(name) + ">");
        }
        if (rootSeen_ && frames_.empty()) {
            return fail("the file holds a value after its root value");
        }
        Frame* parent = frames_.empty() ? nullptr : &frames_.back();
        const bool isKey =
            element == Element::Key && parent != nullptr && parent->isDict && !parent->keyPending;
        if (!isKey) {
            if (++values_ > limits_.maxValues) {
                return fail("the property list holds more than " +
                            std::to_string(limits_.maxValues) + " values");
            }
            if (parent != nullptr && parent->isDict && !parent->keyPending) {
                return fail("a dictionary value has no key");
            }
        }
        // A scalar is added as it is read.
        if (!isContainer && !readScalar(element, empty, isKey ? &parent->key : nullptr)) {
            return false;
        }
        if (parent != nullptr && parent->isDict) {
            parent->keyPending = isKey;
            if (isKey) {
                parent->keyUnchecked = textNeedsUtf8Check_;
                return true;
            }
        }
        const bool first = !rootSeen_;
        rootSeen_ = true;
        if (!isContainer) {
            done_ = first;
            return true;
        }
        if (static_cast<int>(frames_.size()) + 1 > limits_.maxDepth) {
            return fail("the property list is nested too deeply");
        }
        if (empty) {
            return add(isDict ? PlistValue(PlistDict::create())
                              : PlistValue(std::make_shared<PlistArray>()));
        }
        frames_.push_back(
            Frame{isDict, false, isDict ? entries_.size() : items_.size(), std::string(), false});
        return true;
    }

    // Adds the value of a scalar element whose start tag has been read; a dictionary's key goes
    // to `key` instead.
    bool readScalar(Element element, bool empty, std::string* key) {
        const bool isString = element == Element::String || element == Element::Key;
        const bool isBoolean = element == Element::True || element == Element::False;
        std::string content;
        int parts = 0;
        textNeedsUtf8Check_ = false;
        if (key != nullptr) {
            // The library takes an empty <key/> for a value without a key.
            if (empty) {
                return fail(kNotAPropertyList);
            }
            key->clear();
        }
        if (!empty) {
            const TextUse use = isString    ? TextUse::Unescaped
                                : isBoolean ? TextUse::Skipped
                                            : TextUse::Kept;
            if (!readText(nameOf(element), !isString, use, key != nullptr ? *key : content,
                          parts)) {
                return false;
            }
        }
        if (key != nullptr) {
            return true;
        }
        if (isString) {
            if (textNeedsUtf8Check_ && !isStorableText(content)) {
                return fail(kNotUtf8);
            }
            return add(PlistValue(std::move(content)));
        } else if (isBoolean) {
            return add(PlistValue(element == Element::True));
        } else if (element == Element::Integer) {
            PlistInteger integer;
            if (!empty && !parseInteger(content, integer)) {
                return fail("an integer does not fit in 64 bits");
            }
            return add(PlistValue(integer));
        } else if (element == Element::Real) {
            const double real = strtod_l(content.c_str(), nullptr, cLocale());
            if (!std::isfinite(real)) {
                // Neither written back the same nor an amount anyone stores.
                return fail("the property list holds a number that is not finite");
            }
            return add(PlistValue(real));
        } else if (element == Element::Date) {
            PlistDate date;
            if (empty) {
                return fail("a date is empty");
            }
            if (parts > 1 || !parseDate(content, date)) {
                return fail("a date is not a valid date between the years 1000 and 9999");
            }
            return add(PlistValue(date));
        } else {
            PlistData data;
            if (parts > 1 || !decodeBase64(content, data.bytes)) {
                return fail("the property list holds data that is not base64");
            }
            return add(PlistValue(std::move(data)));
        }
        return true;
    }

    std::string_view xml_;
    const PlistXmlLimits& limits_;
    std::string& error_;
    std::size_t pos_ = 0;
    std::size_t values_ = 0;
    std::vector<Frame> frames_;
    // Entries and items of the containers being read, innermost last.
    std::vector<PlistDict::Entry> entries_;
    std::vector<PlistValue> items_;
    PlistValue root_;
    bool plistOpen_ = false;
    bool rootSeen_ = false;
    bool done_ = false;
    // Whether the text last read may not be UTF-8.
    bool textNeedsUtf8Check_ = false;
};

} // namespace

PlistValue readPlistXml(std::string_view xml, std::string& error, const PlistXmlLimits& limits) {
    error.clear();
    return Reader(xml, limits, error).run();
}
