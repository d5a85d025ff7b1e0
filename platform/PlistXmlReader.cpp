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

// No real text holds more references than this; the library, which reads the same files in the
// tests, takes time growing with their number squared.
constexpr std::size_t kMaxReferencesInText = 65536;
// Text the library itself would refuse.
constexpr std::string_view kNotAPropertyList = "the file is not an XML property list";
constexpr std::string_view kNotUtf8 = "the property list holds text that is not UTF-8";

// Bytes told apart by table: white space; the bytes that end a tag's name (white space, '<',
// '>' and the NUL byte, which no name may hold); and the bytes of a text that are not simply
// copied (a reference, a NUL byte, a byte outside ASCII).
struct ByteClasses {
    bool space[256] = {};
    bool nameEnd[256] = {};
    bool textStop[256] = {};
    bool plainEnd[256] = {};
    constexpr ByteClasses() {
        for (const char c : {' ', '\t', '\r', '\n'}) {
            space[static_cast<unsigned char>(c)] = nameEnd[static_cast<unsigned char>(c)] = true;
        }
        nameEnd[static_cast<unsigned char>('<')] = nameEnd[static_cast<unsigned char>('>')] = true;
        nameEnd[0] = textStop[0] = textStop[static_cast<unsigned char>('&')] = true;
        for (int c = 0x80; c < 0x100; ++c) {
            textStop[c] = true;
        }
        for (int c = 0; c < 0x100; ++c) {
            plainEnd[c] = textStop[c] || c == '<';
        }
    }
};
constexpr ByteClasses kBytes;

bool isSpace(char c) {
    return kBytes.space[static_cast<unsigned char>(c)];
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Numbers are read as in the "C" locale, whatever the process's.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

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
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (const char c : content.substr(at, length)) {
            value = value * 10 + (c - '0');
        }
        return value;
    };
    using namespace std::chrono;
    const year_month_day date{year(number(0, 4)), month(static_cast<unsigned>(number(5, 2))),
                              day(static_cast<unsigned>(number(8, 2)))};
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (!date.ok() || int(date.year()) < 1000 || hour >= 24 || minute >= 60 || second >= 60) {
        return false;
    }
    const auto days = (sys_days(date) - sys_days(year(2001) / 1 / 1)).count();
    out = PlistDate{days * 86400LL + hour * 3600 + minute * 60 + second, 0};
    return true;
}

int base64Digit(char c) {
    constexpr std::string_view digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t at = c == '\0' ? std::string_view::npos : digits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
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

enum class Element {
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

// Each name is compared as the constant it is, which costs less than a call to compare.
Element elementOf(std::string_view name) {
    const auto is = [name](const auto& literal) {
        return name.size() == sizeof literal - 1 &&
               std::memcmp(name.data(), literal, sizeof literal - 1) == 0;
    };
    return is("key")       ? Element::Key
           : is("string")  ? Element::String
           : is("dict")    ? Element::Dict
           : is("array")   ? Element::Array
           : is("integer") ? Element::Integer
           : is("real")    ? Element::Real
           : is("date")    ? Element::Date
           : is("data")    ? Element::Data
           : is("true")    ? Element::True
           : is("false")   ? Element::False
           : is("plist")   ? Element::Plist
                           : Element::Other;
}

struct Tag {
    std::string_view name;
    Element element = Element::Other;
    bool isEnd = false;
    bool isEmpty = false;
    bool isContainer() const { return element == Element::Dict || element == Element::Array; }
};

enum class TextUse { Skipped, Kept, Unescaped };

// The content of an element: its text, how many runs of text and CDATA sections it was read
// from, and whether that text may not be UTF-8.
struct Content {
    std::string text;
    int parts = 0;
    bool mayNotBeUtf8 = false;
};

// Reads the values in one pass, descending into containers as it meets them.
class Reader {
  public:
    Reader(std::string_view xml, const PlistXmlLimits& limits, std::string& error)
        : p_(xml.data()), end_(xml.data() + xml.size()), limits_(limits), error_(error) {}

    PlistValue run() {
        Tag tag;
        bool plistOpen = false;
        for (;;) {
            if (!nextTag(tag)) {
                return failed(plistOpen ? "the text ends before its elements are closed"
                                        : "the file holds no property list");
            }
            if (tag.element != Element::Plist) {
                break;
            }
            if (tag.isEnd || plistOpen || tag.isEmpty) {
                return failed(tag.isEnd ? "a </plist> closes nothing"
                                        : "a <plist> element is misplaced");
            }
            plistOpen = true;
        }
        PlistValue root = startValue(tag) ? readValue(tag, 0) : PlistValue();
        if (root.isAbsent()) {
            return {};
        }
        // The library reads on only after an empty root container, until a second property
        // list or the end.
        if (!tag.isEmpty || !tag.isContainer()) {
            return root;
        }
        while (nextTag(tag)) {
            if (tag.element != Element::Plist) {
                if (tag.isEnd || tag.element == Element::Other) {
                    refuseStart(tag);
                    return {};
                }
                return failed("the file holds a value after its root value");
            }
            if (!tag.isEnd) {
                return plistOpen ? failed("a <plist> element is misplaced") : root;
            }
            if (!plistOpen) {
                return failed("a </plist> closes nothing");
            }
            plistOpen = false;
        }
        return !error_.empty() ? PlistValue()
               : plistOpen     ? failed("the text ends before its elements are closed")
                               : root;
    }

  private:
    [[gnu::cold]] bool fail(std::string_view reason) {
        if (error_.empty()) {
            error_ = reason;
        }
        return false;
    }

    [[gnu::cold]] bool failAbout(std::string_view before, const Tag& tag, std::string_view after) {
        return fail(std::string(before) + std::string(tag.name) + std::string(after));
    }

    // The absent value, with `reason` unless a reason was given before.
    PlistValue failed(std::string_view reason) {
        fail(reason);
        return {};
    }

    void skipSpace() {
        const char* p = p_;
        while (p < end_ && isSpace(*p)) {
            ++p;
        }
        p_ = p;
    }

    bool startsWith(const char* at, std::string_view text) const {
        return static_cast<std::size_t>(end_ - at) > text.size() &&
               std::memcmp(at, text.data(), text.size()) == 0;
    }

    // The first byte from `from` on that `isStop` takes, stepping over double-quoted runs as the
    // library does inside markup; nullptr when there is none or a quote is not closed.
    template <typename Stop> const char* findOutsideQuotes(const char* from, Stop isStop) const {
        for (const char* p = from; p < end_; ++p) {
            if (*p == '"') {
                p = static_cast<const char*>(std::memchr(p + 1, '"', end_ - p - 1));
                if (p == nullptr) {
                    return nullptr;
                }
            } else if (isStop(p)) {
                return p;
            }
        }
        return nullptr;
    }

    const char* find(const char* from, std::string_view text) const {
        const auto* at = std::search(from, end_, text.begin(), text.end());
        return at == end_ ? nullptr : at;
    }

    // The next tag at the element level, past white space, comments, processing instructions
    // and the document type. False at the end of the text, and on a fault, with the reason.
    bool nextTag(Tag& tag) {
        for (;;) {
            skipSpace();
            if (p_ == end_) {
                return false;
            }
            if (*p_ != '<') {
                return fail("the file holds text outside the elements");
            }
            if (++p_ == end_) {
                return fail("the text ends inside a tag");
            }
            if (*p_ != '?' && *p_ != '!') {
                return readTag(tag);
            }
            if (!skipMarkup()) {
                return false;
            }
        }
    }

    bool readTag(Tag& tag) {
        // The usual tags are told without a scan of their names.
        const auto isUsual = [&](Element element, std::string_view text) {
            if (!startsWith(p_, text)) {
                return false;
            }
            tag = Tag{std::string_view(p_, text.size() - 1), element, false, false};
            p_ += text.size();
            return true;
        };
        return isUsual(Element::Key, "key>") || isUsual(Element::String, "string>") ||
               readAnyTag(tag);
    }

    [[gnu::noinline]] bool readAnyTag(Tag& tag) {
        const char* nameEnd = p_;
        while (nameEnd < end_ && !kBytes.nameEnd[static_cast<unsigned char>(*nameEnd)]) {
            ++nameEnd;
        }
        const char* close =
            nameEnd < end_ && *nameEnd != '>'
                ? findOutsideQuotes(nameEnd, [](const char* p) { return *p == '<' || *p == '>'; })
                : nameEnd;
        if (close == nullptr || close == end_ || *close != '>') {
            return fail("a tag is not closed");
        }
        if (*nameEnd == '\0') {
            return fail("a tag name holds a NUL byte");
        }
        tag.name = std::string_view(p_, static_cast<std::size_t>(nameEnd - p_));
        tag.isEmpty = close[-1] == '/';
        if (tag.isEmpty && nameEnd == close) {
            tag.name.remove_suffix(1);
        }
        tag.isEnd = tag.name.starts_with('/');
        tag.element = elementOf(tag.isEnd ? tag.name.substr(1) : tag.name);
        p_ = close + 1;
        return true;
    }

    // A processing instruction, a comment or the document type.
    [[gnu::noinline]] bool skipMarkup() {
        if (*p_ == '?') {
            const char* end = findOutsideQuotes(
                p_, [&](const char* p) { return *p == '?' && p + 1 < end_ && p[1] == '>'; });
            p_ = end != nullptr ? end + 2 : p_;
            return end != nullptr || fail("a processing instruction is not closed");
        }
        if (startsWith(p_, "!--")) {
            const char* end = find(p_ + 3, "-->");
            p_ = end != nullptr ? end + 3 : p_;
            return end != nullptr || fail("a comment is not closed");
        }
        if (!startsWith(p_, "!DOCTYPE")) {
            return fail("the file holds markup that is not part of a property list");
        }
        const char* stop =
            findOutsideQuotes(p_ + 8, [](const char* p) { return *p == '[' || *p == '>'; });
        if (stop == nullptr) {
            return fail("the document type is not closed");
        }
        // Its entities and comments could hide markup; no property list needs them.
        p_ = stop + 1;
        return *stop == '>' || fail("the document type has an internal subset");
    }

    // Counts the value a tag met where a value may stand starts, or refuses the tag.
    bool startValue(const Tag& tag) {
        return (!tag.isEnd && tag.element != Element::Other && ++values_ <= limits_.maxValues) ||
               refuseStart(tag);
    }

    [[gnu::cold]] bool refuseStart(const Tag& tag) {
        return tag.isEnd ? fail("an end tag does not match its element")
               : tag.element == Element::Other
                   ? failAbout("the file holds an element <", tag, ">")
                   : fail("the property list holds more than " + std::to_string(limits_.maxValues) +
                          " values");
    }

    // The value whose start tag `tag` has been read, inside `depth` containers; the absent value
    // on a fault.
    PlistValue readValue(const Tag& tag, int depth) {
        if (!tag.isContainer()) {
            return readScalar(tag);
        }
        if (depth + 1 > limits_.maxDepth) {
            return failed("the property list is nested too deeply");
        }
        const bool isDict = tag.element == Element::Dict;
        if (tag.isEmpty) {
            return isDict ? PlistValue(PlistDict::create())
                          : PlistValue(std::make_shared<PlistArray>());
        }
        return isDict ? readDict(depth + 1) : readArray(depth + 1);
    }

    // The next tag inside a container.
    bool readChild(Tag& tag) {
        if (nextTag(tag)) {
            return tag.element != Element::Plist ||
                   fail(tag.isEnd ? "a </plist> closes nothing" : "a <plist> element is misplaced");
        }
        return fail(error_.empty() ? "the text ends before its elements are closed" : "");
    }

    PlistValue readArray(int depth) {
        const std::size_t base = items_.size();
        Tag tag;
        while (readChild(tag) && !tag.isEnd) {
            items_.push_back(startValue(tag) ? readValue(tag, depth) : PlistValue());
            if (items_.back().isAbsent()) {
                return {};
            }
        }
        if (!error_.empty() || tag.element != Element::Array) {
            return failed("an end tag does not match its element");
        }
        auto array = std::make_shared<PlistArray>(std::make_move_iterator(items_.begin() + base),
                                                  std::make_move_iterator(items_.end()));
        items_.resize(base);
        return array;
    }

    // Entries of a key and the value after it, whatever its element. A key without a value
    // before the end tag is dropped, as the library drops it.
    PlistValue readDict(int depth) {
        const std::size_t base = entries_.size();
        Tag tag;
        while (readChild(tag) && !tag.isEnd) {
            if (tag.element != Element::Key) {
                return failed(startValue(tag) ? "a dictionary value has no key" : "");
            }
            Content key;
            // The library takes an empty <key/> for a value without a key.
            if ((tag.isEmpty && fail(kNotAPropertyList)) ||
                !readText(tag, TextUse::Unescaped, key) || !readChild(tag)) {
                return {};
            }
            if (tag.isEnd) {
                break;
            }
            PlistValue value = startValue(tag) ? readValue(tag, depth) : PlistValue();
            if (value.isAbsent()) {
                return {};
            }
            if (key.mayNotBeUtf8 && !isStorableText(key.text)) {
                return failed(kNotUtf8);
            }
            entries_.emplace_back(std::move(key.text), std::move(value));
        }
        if (!error_.empty() || tag.element != Element::Dict) {
            return failed("an end tag does not match its element");
        }
        std::vector<PlistDict::Entry> entries(std::make_move_iterator(entries_.begin() + base),
                                              std::make_move_iterator(entries_.end()));
        entries_.resize(base);
        auto dict = PlistDict::create();
        if (!dict->assignEntries(std::move(entries))) {
            return failed("a dictionary of the property list holds the same key twice");
        }
        return dict;
    }

    // The value of a scalar element whose start tag has been read.
    PlistValue readScalar(const Tag& tag) {
        const Element element = tag.element;
        const bool isString = element == Element::String || element == Element::Key;
        const bool isBoolean = element == Element::True || element == Element::False;
        Content content;
        if (!tag.isEmpty && !readText(tag,
                                      isString    ? TextUse::Unescaped
                                      : isBoolean ? TextUse::Skipped
                                                  : TextUse::Kept,
                                      content)) {
            return {};
        }
        std::string& text = content.text;
        if (isString) {
            return !content.mayNotBeUtf8 || isStorableText(text) ? PlistValue(std::move(text))
                                                                 : failed(kNotUtf8);
        }
        PlistInteger integer;
        PlistDate date;
        switch (element) {
        case Element::True:
        case Element::False:
            return element == Element::True;
        case Element::Integer:
            return tag.isEmpty || parseInteger(text, integer)
                       ? PlistValue(integer)
                       : failed("an integer does not fit in 64 bits");
        case Element::Real: {
            const double real = strtod_l(text.c_str(), nullptr, cLocale());
            // Neither written back the same nor an amount anyone stores.
            return std::isfinite(real)
                       ? PlistValue(real)
                       : failed("the property list holds a number that is not finite");
        }
        case Element::Date:
            return tag.isEmpty ? failed("a date is empty")
                   : content.parts <= 1 && parseDate(text, date)
                       ? PlistValue(date)
                       : failed("a date is not a valid date between the years 1000 and 9999");
        default: {
            PlistData data;
            return content.parts <= 1 && decodeBase64(text, data.bytes)
                       ? PlistValue(std::move(data))
                       : failed("the property list holds data that is not base64");
        }
        }
    }

    bool tooManyReferences() {
        return fail("a text holds more than " + std::to_string(kMaxReferencesInText) +
                    " character or entity references");
    }

    // Appends a run of text between markup; references are resolved when `use` says so, as the
    // library resolves them: the five predefined entities, told by their first letters, and
    // character references; a '&' that ends the run stays as it is.
    bool appendRun(std::string_view run, TextUse use, Content& out, std::size_t& references) {
        if (use != TextUse::Unescaped) {
            if (std::memchr(run.data(), '\0', run.size()) != nullptr) {
                return fail("a text holds a NUL byte");
            }
            references += static_cast<std::size_t>(std::count(run.begin(), run.end(), '&'));
            out.text.append(use == TextUse::Kept ? run : std::string_view());
            return references <= kMaxReferencesInText || tooManyReferences();
        }
        std::size_t done = 0;
        for (std::size_t pos = 0; pos < run.size(); ++pos) {
            const auto c = static_cast<unsigned char>(run[pos]);
            if (!kBytes.textStop[c]) {
                continue;
            }
            if (c == 0) {
                return fail("a text holds a NUL byte");
            }
            if (c >= 0x80) {
                const std::size_t length = utf8SequenceLength(run, pos);
                out.mayNotBeUtf8 = out.mayNotBeUtf8 || length == 0;
                pos += length > 0 ? length - 1 : 0;
                continue;
            }
            if (++references > kMaxReferencesInText) {
                return tooManyReferences();
            }
            if (pos + 1 == run.size()) {
                break;
            }
            const std::size_t semicolon = run.find(';', pos + 1);
            if (semicolon == std::string_view::npos || semicolon == pos + 1) {
                return fail(kNotAPropertyList);
            }
            out.text.append(run.substr(done, pos - done));
            const std::string_view name = run.substr(pos + 1, semicolon - pos - 1);
            if (name.find('\0') != std::string_view::npos) {
                return fail("a text holds a NUL byte");
            }
            constexpr std::string_view kEntities[] = {"amp", "apos", "quot", "lt", "gt"};
            constexpr std::string_view kCharacters = "&'\"<>";
            const auto* entity =
                std::find_if(std::begin(kEntities), std::end(kEntities),
                             [&](std::string_view e) { return name.starts_with(e); });
            const std::uint32_t code = name[0] == '#' ? characterReference(name) : 0;
            if (entity != std::end(kEntities)) {
                out.text += kCharacters[static_cast<std::size_t>(entity - std::begin(kEntities))];
            } else if (code != 0) {
                out.mayNotBeUtf8 = out.mayNotBeUtf8 || (code >= 0xD800 && code <= 0xDFFF);
                appendUtf8(out.text, code);
            } else {
                return fail(kNotAPropertyList);
            }
            pos = semicolon;
            done = semicolon + 1;
        }
        out.text.append(run.substr(done));
        return true;
    }

    // The content of the element `tag` up to and past its end tag, with comments and CDATA
    // sections as the library reads them. Text other than a string's starts after white space.
    bool readText(const Tag& tag, TextUse use, Content& out) {
        if (use != TextUse::Unescaped) {
            skipSpace();
        }
        std::size_t references = 0;
        for (;;) {
            // Plain text, the usual kind, is scanned once up to its '<'.
            const char* lt = p_;
            while (lt < end_ && !kBytes.plainEnd[static_cast<unsigned char>(*lt)]) {
                ++lt;
            }
            const bool plain = lt < end_ && *lt == '<';
            if (!plain) {
                lt = static_cast<const char*>(std::memchr(lt, '<', end_ - lt));
            }
            if (lt == nullptr || end_ - lt <= 2) {
                return failAbout("the text ends inside <", tag, ">");
            }
            if (lt > p_) {
                ++out.parts;
                const std::string_view run(p_, static_cast<std::size_t>(lt - p_));
                if (plain) {
                    out.text.append(use == TextUse::Skipped ? std::string_view() : run);
                } else if (!appendRun(run, use, out, references)) {
                    return false;
                }
            }
            p_ = lt + 1;
            if (*p_ == '/') {
                ++p_;
                break;
            }
            if (!readInnerMarkup(tag, use, out)) {
                return false;
            }
        }
        const std::size_t size = tag.name.size();
        const auto closes = [&](Element element, std::string_view name) {
            return tag.element == element && startsWith(p_, name);
        };
        if (!closes(Element::Key, "key") && !closes(Element::String, "string") &&
            (static_cast<std::size_t>(end_ - p_) <= size ||
             elementOf(std::string_view(p_, size)) != tag.element)) {
            return failAbout("<", tag, "> is not closed by its own end tag");
        }
        p_ += size;
        skipSpace();
        if (p_ == end_ || *p_ != '>') {
            return failAbout("<", tag, "> is not closed by its own end tag");
        }
        ++p_;
        out.mayNotBeUtf8 = use == TextUse::Unescaped && out.mayNotBeUtf8;
        return true;
    }

    // A comment or a CDATA section inside the text of `tag`, from the byte past its '<'.
    [[gnu::noinline]] bool readInnerMarkup(const Tag& tag, TextUse use, Content& out) {
        if (*p_ != '!') {
            return failAbout("an element inside <", tag, ">");
        }
        if (++p_ + 1 >= end_) {
            return failAbout("the text ends inside <", tag, ">");
        }
        const bool isComment = p_[0] == '-' && p_[1] == '-';
        if (!isComment && !(p_[0] == '[' && startsWith(p_ + 1, "CDATA["))) {
            return failAbout("unknown markup inside <", tag, ">");
        }
        const char* begin = p_ + (isComment ? 2 : 7);
        const char* end = find(begin, isComment ? "-->" : "]]>");
        if (end == nullptr) {
            return fail(isComment ? "a comment is not closed" : "a CDATA section is not closed");
        }
        ++out.parts;
        p_ = end + 3;
        if (isComment) {
            return true;
        }
        if (std::memchr(begin, '\0', static_cast<std::size_t>(end - begin)) != nullptr) {
            return fail("a text holds a NUL byte");
        }
        if (use != TextUse::Skipped) {
            out.mayNotBeUtf8 = true;
            out.text.append(begin, end);
        }
        return true;
    }

    const char* p_;
    const char* end_;
    const PlistXmlLimits& limits_;
    std::string& error_;
    std::size_t values_ = 0;
    // Entries and items of the containers being read, innermost last.
    std::vector<PlistDict::Entry> entries_;
    std::vector<PlistValue> items_;
};

} // namespace

PlistValue readPlistXml(std::string_view xml, std::string& error, const PlistXmlLimits& limits) {
    error.clear();
    return Reader(xml, limits, error).run();
}
