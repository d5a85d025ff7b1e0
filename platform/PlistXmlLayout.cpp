#include "platform/PlistXmlLayout.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kNone = std::string_view::npos;
// The library resolves the references of one text in time that grows with their number squared
// (500,000 take seconds, millions minutes); no real text holds more than a few.
constexpr std::size_t kMaxReferencesInText = 65536;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The library reads an integer as an optional sign followed by strtoull's number of any base,
// stopping at the first character that is not a digit: "12a" would read as 12, "010" as 8 and
// beyond 64 bits it would keep a different value. Only text that other readers read as the same
// number is taken: a decimal number without leading zeros, or a hexadecimal one with "0x".
bool integerTextFits(std::string_view content) {
    while (!content.empty() && isSpace(content.back())) {
        content.remove_suffix(1);
    }
    bool negative = false;
    const bool hasSign = !content.empty() && (content[0] == '-' || content[0] == '+');
    if (hasSign) {
        negative = content[0] == '-';
        content.remove_prefix(1);
    }
    // A sign before "0x" is a number to the library and an error to others.
    const bool hex = content.size() > 2 && content[0] == '0' && (content[1] | 0x20) == 'x';
    if (hex && hasSign) {
        return false;
    }
    const std::string_view digits = hex ? content.substr(2) : content;
    const bool wellFormed =
        !digits.empty() && (hex || digits[0] != '0' || digits.size() == 1) &&
        std::all_of(digits.begin(), digits.end(), [hex](char c) {
            return isDigit(c) || (hex && ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'));
        });
    if (!wellFormed) {
        return false;
    }
    const std::string text(content);
    errno = 0;
    const unsigned long long magnitude = std::strtoull(text.c_str(), nullptr, 0);
    if (errno == ERANGE) {
        return false;
    }
    return negative ? magnitude <= (std::uint64_t{1} << 63) : magnitude <= INT64_MAX;
}

int number(std::string_view text) {
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// "YYYY-MM-DDTHH:MM:SSZ" with a real calendar date and time, then only white space. The library
// turns other text into some other date (a month 13 rolls into the next year, text that is no
// date becomes 1970), and writes years before 1000 with fewer than four digits, which no other
// reader takes for a date.
bool dateTextFits(std::string_view content) {
    constexpr std::string_view pattern = "dddd-dd-ddTdd:dd:ddZ";
    if (content.size() < pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == 'd' ? !isDigit(content[i]) : content[i] != pattern[i]) {
            return false;
        }
    }
    for (char c : content.substr(pattern.size())) {
        if (!isSpace(c)) {
            return false;
        }
    }
    const int year = number(content.substr(0, 4));
    const int month = number(content.substr(5, 2));
    const int day = number(content.substr(8, 2));
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
        return false;
    }
    return number(content.substr(11, 2)) < 24 && number(content.substr(14, 2)) < 60 &&
           number(content.substr(17, 2)) < 60;
}

class Scanner {
  public:
    Scanner(std::string_view xml, const PlistXmlLimits& limits, PlistXmlLayout& layout)
        : xml_(xml), limits_(limits), layout_(layout) {}

    void run() {
        while (!done_ && pos_ < xml_.size()) {
            skipSpace();
            if (pos_ >= xml_.size()) {
                break;
            }
            if (!readItem()) {
                return;
            }
        }
        if (!done_ && (!path_.empty() || plistOpen_)) {
            fail("the text ends before its elements are closed");
        } else if (!rootSeen_) {
            fail("the file holds no property list");
        }
    }

  private:
    struct Container {
        bool isDict = false;
        bool keyPending = false;
    };

    bool fail(std::string reason) {
        if (layout_.error.empty()) {
            layout_.error = std::move(reason);
        }
        return false;
    }

    void skipSpace() {
        while (pos_ < xml_.size() && isSpace(xml_[pos_])) {
            ++pos_;
        }
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

    bool startsWithAt(std::size_t at, std::string_view text) const {
        return xml_.size() - at > text.size() && xml_.compare(at, text.size(), text) == 0;
    }

    // One piece of markup at the element level, starting at '<'.
    bool readItem() {
        if (xml_[pos_] != '<') {
            return fail("the file holds text outside the elements");
        }
        const std::size_t start = pos_++;
        if (pos_ >= xml_.size()) {
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
        const std::size_t nameEnd = xml_.find_first_of(" \r\n\t<>", pos_);
        std::size_t close = nameEnd;
        if (close != kNone && xml_[close] != '>') {
            close = findSkippingQuotes(close, "<>");
        }
        if (close == kNone || xml_[close] != '>') {
            return fail("a tag is not closed");
        }
        std::string_view name = xml_.substr(pos_, nameEnd - pos_);
        const bool empty = xml_[close - 1] == '/';
        if (empty && close - pos_ - 1 < name.size()) {
            name = name.substr(0, close - pos_ - 1);
        }
        if (name.find('\0') != kNone) {
            return fail("a tag name holds a NUL byte");
        }
        pos_ = close + 1;
        return readTag(name, empty, start);
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

    // The library cuts a text at a NUL byte, dropping what follows.
    bool textHasNoNul(std::size_t begin, std::size_t end) {
        if (xml_.substr(begin, end - begin).find('\0') != kNone) {
            return fail("a text holds a NUL byte");
        }
        return true;
    }

    // The text of a <tag> element up to and past its end tag, with comments and CDATA sections
    // as the library reads them; the text and CDATA contents go to `content` when given.
    bool readText(std::string_view tag, bool skipLeadingSpace, std::string* content) {
        if (skipLeadingSpace) {
            skipSpace();
        }
        std::size_t references = 0;
        for (;;) {
            const std::size_t lt = xml_.find('<', pos_);
            if (lt == kNone || lt + 2 >= xml_.size()) {
                return fail("the text ends inside <" + std::string(tag) + ">");
            }
            if (!textHasNoNul(pos_, lt)) {
                return false;
            }
            references += static_cast<std::size_t>(
                std::count(xml_.begin() + static_cast<std::ptrdiff_t>(pos_),
                           xml_.begin() + static_cast<std::ptrdiff_t>(lt), '&'));
            if (references > kMaxReferencesInText) {
                return fail("a text holds more than " + std::to_string(kMaxReferencesInText) +
                            " character or entity references");
            }
            if (content != nullptr) {
                content->append(xml_.substr(pos_, lt - pos_));
            }
            pos_ = lt + 1;
            if (xml_[pos_] == '/') {
                break;
            }
            if (xml_[pos_] != '!') {
                return fail("an element inside <" + std::string(tag) + ">");
            }
            if (++pos_ + 1 >= xml_.size()) {
                return fail("the text ends inside <" + std::string(tag) + ">");
            }
            if (xml_[pos_] == '-' && xml_[pos_ + 1] == '-') {
                const std::size_t end = xml_.find("-->", pos_ + 2);
                if (end == kNone) {
                    return fail("a comment is not closed");
                }
                pos_ = end + 3;
            } else if (xml_[pos_] == '[' && startsWithAt(pos_ + 1, "CDATA[")) {
                const std::size_t begin = pos_ + 7;
                const std::size_t end = xml_.find("]]>", begin);
                if (end == kNone) {
                    return fail("a CDATA section is not closed");
                }
                if (!textHasNoNul(begin, end)) {
                    return false;
                }
                if (content != nullptr) {
                    content->append(xml_.substr(begin, end - begin));
                }
                pos_ = end + 3;
            } else {
                return fail("unknown markup inside <" + std::string(tag) + ">");
            }
        }
        ++pos_;
        if (pos_ + tag.size() >= xml_.size() || xml_.compare(pos_, tag.size(), tag) != 0) {
            return fail("<" + std::string(tag) + "> is not closed by its own end tag");
        }
        pos_ += tag.size();
        skipSpace();
        if (pos_ >= xml_.size() || xml_[pos_] != '>') {
            return fail("<" + std::string(tag) + "> is not closed by its own end tag");
        }
        ++pos_;
        return true;
    }

    bool readTag(std::string_view name, bool empty, std::size_t start) {
        if (name == "plist") {
            if (rootSeen_ && path_.empty() && !plistOpen_) {
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
        if (name == "/plist") {
            // Reached only after an empty root container: any other root ends the parse.
            if (!plistOpen_ || !path_.empty() || !rootSeen_) {
                return fail("a </plist> closes nothing");
            }
            plistOpen_ = false;
            return true;
        }
        if (name.starts_with('/')) {
            return closeContainer(name.substr(1));
        }
        return readValue(name, empty, start);
    }

    bool closeContainer(std::string_view name) {
        if (path_.empty() || name != (path_.back().isDict ? "dict" : "array")) {
            return fail("an end tag does not match its element");
        }
        path_.pop_back();
        if (path_.size() == 1 && rootDictInPlist_) {
            layout_.rootChildren.emplace_back(childBegin_, pos_);
        }
        if (path_.empty()) {
            // The library stops when the root value is closed.
            done_ = true;
            layout_.rootIsDict = rootDictInPlist_ && !layout_.rootChildren.empty() &&
                                 layout_.rootChildren.size() % 2 == 0;
        }
        return true;
    }

    bool readValue(std::string_view name, bool empty, std::size_t start) {
        const bool isDict = name == "dict";
        const bool isContainer = isDict || name == "array";
        const bool isInteger = name == "integer";
        const bool isDate = name == "date";
        const bool keepsSpace = name == "string" || name == "key";
        if (!isContainer && !isInteger && !isDate && !keepsSpace && name != "real" &&
            name != "true" && name != "false" && name != "data") {
            return fail("the file holds an element <" + std::string(name) + ">");
        }
        if (rootSeen_ && path_.empty()) {
            return fail("the file holds a value after its root value");
        }
        Container* parent = path_.empty() ? nullptr : &path_.back();
        const bool isKey =
            name == "key" && parent != nullptr && parent->isDict && !parent->keyPending;
        if (!isKey) {
            if (++layout_.values > limits_.maxValues) {
                return fail("the property list holds more than " +
                            std::to_string(limits_.maxValues) + " values");
            }
            if (parent != nullptr && parent->isDict && !parent->keyPending) {
                return fail("a dictionary value has no key");
            }
        }
        if (!isContainer && !empty) {
            std::string content;
            const bool checked = isInteger || isDate;
            if (!readText(name, !keepsSpace, checked ? &content : nullptr)) {
                return false;
            }
            if (isInteger && !integerTextFits(content)) {
                return fail("an integer does not fit in 64 bits");
            }
            if (isDate && !dateTextFits(content)) {
                return fail("a date is not a valid date between the years 1000 and 9999");
            }
        } else if (isDate && empty) {
            return fail("a date is empty");
        }
        if (parent != nullptr && parent->isDict) {
            if (!isKey) {
                ++layout_.keys;
            }
            parent->keyPending = isKey;
        }
        if (!rootSeen_) {
            rootSeen_ = true;
            rootDictInPlist_ = isDict && plistOpen_ && !empty;
            if (!isContainer) {
                done_ = true;
                return true;
            }
        } else if (path_.size() == 1 && rootDictInPlist_ && !(isContainer && !empty)) {
            layout_.rootChildren.emplace_back(start, pos_);
        }
        if (!isContainer) {
            return true;
        }
        const int depth = static_cast<int>(path_.size()) + 1;
        layout_.maxDepth = std::max(layout_.maxDepth, depth);
        if (depth > limits_.maxDepth) {
            return fail("the property list is nested too deeply");
        }
        if (!empty) {
            if (path_.size() == 1) {
                childBegin_ = start;
            }
            path_.push_back(Container{isDict, false});
        }
        return true;
    }

    std::string_view xml_;
    const PlistXmlLimits& limits_;
    PlistXmlLayout& layout_;
    std::size_t pos_ = 0;
    std::vector<Container> path_;
    bool plistOpen_ = false;
    bool rootSeen_ = false;
    bool rootDictInPlist_ = false;
    bool done_ = false;
    std::size_t childBegin_ = 0;
};

} // namespace

PlistXmlLayout scanPlistXml(std::string_view xml, const PlistXmlLimits& limits) {
    PlistXmlLayout layout;
    Scanner(xml, limits, layout).run();
    if (!layout.error.empty() || !layout.rootIsDict) {
        layout.rootIsDict = false;
        layout.rootChildren.clear();
    }
    return layout;
}
