#include "platform/PlistXmlWriter.h"

#include "platform/ControlCharacters.h"
#include "platform/XmlSafeText.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <unordered_set>

namespace {

constexpr std::string_view kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                     "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                     "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                     "<plist version=\"1.0\">\n";
constexpr std::string_view kEpilog = "</plist>\n";

constexpr std::string_view kUnwritableText = "a text is not UTF-8 or holds a NUL character";

constexpr std::int64_t kSecondsFrom1970To2001 = 978307200;

std::int64_t secondsFrom2001(std::chrono::year_month_day day) {
    return std::chrono::sys_days(day).time_since_epoch().count() * std::int64_t{86400} -
           kSecondsFrom1970To2001;
}

// Dates written with a four-digit year and whole seconds, as the reader takes them back.
bool isWritableDate(const PlistDate& date) {
    using namespace std::chrono;
    return date.microseconds == 0 &&
           date.seconds >= secondsFrom2001(std::chrono::year(1000) / January / 1) &&
           date.seconds < secondsFrom2001(std::chrono::year(10000) / January / 1);
}

// Why `value` itself cannot be written so that it reads back the same; empty when it can.
// Strings are checked while they are written.
std::string_view unwritableReason(const PlistValue& value) {
    switch (value.type()) {
    case PlistValue::Type::Integer: {
        const PlistInteger& integer = *value.integerPtr();
        return integer.isNegative == (integer.asSigned() < 0)
                   ? std::string_view()
                   : std::string_view("an integer does not fit in 64 signed bits");
    }
    case PlistValue::Type::Real:
        return std::isfinite(*value.realPtr()) ? std::string_view()
                                               : std::string_view("a number is not finite");
    case PlistValue::Type::Date:
        return isWritableDate(*value.datePtr())
                   ? std::string_view()
                   : std::string_view("a date is outside the years 1000 to 9999 or has a "
                                      "fraction of a second");
    default:
        return {};
    }
}

// The library writes data in lines of base64, indented by the depth up to 8 tabs, each line
// holding as many whole groups of three bytes as fit in 76 columns of 8-column tabs.
std::size_t dataBytesPerLine(int indent) {
    return static_cast<std::size_t>(((76 - (indent << 3)) >> 2) * 3);
}

void appendBase64(std::string& out, const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t i = 0;
    for (; i + 3 <= count; i += 3) {
        const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        const char digits[4] = {kDigits[group >> 18], kDigits[(group >> 12) & 63],
                                kDigits[(group >> 6) & 63], kDigits[group & 63]};
        out.append(digits, 4);
    }
    if (i < count) {
        const bool two = i + 1 < count;
        const unsigned group = (bytes[i] << 16) | (two ? bytes[i + 1] << 8 : 0);
        const char digits[4] = {kDigits[group >> 18], kDigits[(group >> 12) & 63],
                                two ? kDigits[(group >> 6) & 63] : '=', '='};
        out.append(digits, 4);
    }
}

// The text as appendXmlText writes it, before entities: each character XML cannot hold as U+FFFD.
std::string withXmlForbiddenReplaced(std::string_view text) {
    std::string result;
    for (std::size_t pos = 0; pos < text.size();) {
        if (const std::size_t length = xmlForbiddenCharacterAt(text, pos); length != 0) {
            result += kReplacementCharacter;
            pos += length;
        } else {
            result += text[pos++];
        }
    }
    return result;
}

void appendIndent(std::string& out, int depth) {
    static constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    for (; depth > static_cast<int>(kTabs.size()); depth -= static_cast<int>(kTabs.size())) {
        out.append(kTabs);
    }
    out.append(kTabs.data(), static_cast<std::size_t>(depth));
}

bool appendTextElement(std::string& out, std::string_view tag, std::string_view text, int depth,
                       bool* replaced = nullptr) {
    appendIndent(out, depth);
    out.append("<").append(tag).append(">");
    if (!appendXmlText(out, text, replaced)) {
        return false;
    }
    out.append("</").append(tag).append(">\n");
    return true;
}

// Why a container at `depth` cannot be written; empty when it can. Containers count from 1 at
// the root, as the reader counts them.
std::string_view depthProblem(int depth, bool isContainer) {
    return depth > kMaxPlistDepth || (isContainer && depth >= kMaxPlistDepth)
               ? std::string_view("the data is nested too deeply")
               : std::string_view();
}

constexpr std::string_view kTooManyValues =
    "the data holds more values than a property-list file can";
constexpr std::string_view kKeysMeet = "two keys of a dictionary differ only in control "
                                       "characters, which are written as U+FFFD";

class XmlWriter {
  public:
    XmlWriter(std::string& out, std::string& error, std::size_t& values)
        : out_(out), error_(error), values_(values) {}

    // Appends `value` at `depth`; the absent value appends nothing.
    bool write(const PlistValue& value, int depth) {
        const bool isContainer = value.dictPtr() != nullptr || value.arrayPtr() != nullptr;
        if (const std::string_view problem = depthProblem(depth, isContainer); !problem.empty()) {
            return fail(problem);
        }
        if (const std::string_view reason = unwritableReason(value); !reason.empty()) {
            return fail(reason);
        }
        if (!value.isAbsent() && ++values_ > kMaxPlistValues) {
            return fail(kTooManyValues);
        }
        switch (value.type()) {
        case PlistValue::Type::Dict:
            return writeDict(*value.dictPtr(), depth);
        case PlistValue::Type::Array:
            return writeArray(*value.arrayPtr(), depth);
        case PlistValue::Type::String:
            return writeText("string", *value.stringPtr(), depth);
        case PlistValue::Type::Integer: {
            char digits[24];
            const auto end =
                std::to_chars(digits, digits + sizeof digits, value.integerPtr()->asSigned()).ptr;
            writeElement("integer", std::string_view(digits, end - digits), depth);
            return true;
        }
        case PlistValue::Type::Real:
            writeReal(*value.realPtr(), depth);
            return true;
        case PlistValue::Type::Boolean:
            indent(depth);
            out_.append(*value.booleanPtr() ? "<true/>\n" : "<false/>\n");
            return true;
        case PlistValue::Type::Date:
            writeDate(value.datePtr()->seconds, depth);
            return true;
        case PlistValue::Type::Data:
            writeData(value.dataPtr()->bytes, depth);
            return true;
        case PlistValue::Type::Absent:
            return true;
        }
        return true;
    }

  private:
    bool fail(std::string_view reason) {
        error_ = reason;
        return false;
    }

    void indent(int depth) { appendIndent(out_, depth); }

    void writeElement(std::string_view tag, std::string_view content, int depth) {
        indent(depth);
        out_.append("<").append(tag).append(">").append(content);
        out_.append("</").append(tag).append(">\n");
    }

    bool writeText(std::string_view tag, std::string_view text, int depth,
                   bool* replaced = nullptr) {
        return appendTextElement(out_, tag, text, depth, replaced) || fail(kUnwritableText);
    }

    // A container without entries is written as an empty element; entries that are all absent
    // leave it without entries.
    template <typename WriteEntries>
    bool writeContainer(std::string_view tag, int depth, WriteEntries writeEntries) {
        const std::size_t start = out_.size();
        indent(depth);
        out_.append("<").append(tag).append(">\n");
        const std::size_t entries = out_.size();
        if (!writeEntries()) {
            return false;
        }
        if (out_.size() == entries) {
            out_.resize(start);
            indent(depth);
            out_.append("<").append(tag).append("/>\n");
        } else {
            indent(depth);
            out_.append("</").append(tag).append(">\n");
        }
        return true;
    }

    bool writeDict(const PlistDict& dict, int depth) {
        return writeContainer("dict", depth, [&] {
            // Keys written otherwise than they are, which must not meet another key.
            std::unordered_set<std::string> replacedKeys;
            for (const auto& [key, child] : dict.entries()) {
                const std::size_t start = out_.size();
                bool replaced = false;
                if (!writeText("key", key, depth + 1, &replaced)) {
                    return false;
                }
                if (replaced) {
                    std::string written = withXmlForbiddenReplaced(key);
                    if (dict.contains(written) || !replacedKeys.insert(std::move(written)).second) {
                        return fail(kKeysMeet);
                    }
                }
                if (child.isAbsent()) {
                    out_.resize(start);
                }
                if (!write(child, depth + 1)) {
                    return false;
                }
            }
            return true;
        });
    }

    bool writeArray(const PlistArray& array, int depth) {
        return writeContainer("array", depth, [&] {
            for (const PlistValue& child : array) {
                if (!write(child, depth + 1)) {
                    return false;
                }
            }
            return true;
        });
    }

    // Seventeen significant digits, so that every number reads back the same; zero as "0.0".
    void writeReal(double real, int depth) {
        char digits[64];
        std::string_view text = "0.0";
        if (real != 0.0) {
            const auto end =
                std::to_chars(digits, digits + sizeof digits, real, std::chars_format::general, 17)
                    .ptr;
            text = std::string_view(digits, static_cast<std::size_t>(end - digits));
        }
        writeElement("real", text, depth);
    }

    void writeDate(std::int64_t secondsSince2001, int depth) {
        using namespace std::chrono;
        const std::int64_t unix = secondsSince2001 + kSecondsFrom1970To2001;
        std::int64_t days = unix / 86400;
        std::int64_t rest = unix % 86400;
        if (rest < 0) {
            rest += 86400;
            --days;
        }
        const year_month_day date{sys_days(std::chrono::days(days))};
        char text[32];
        const int length =
            std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                          unsigned(date.month()), unsigned(date.day()), int(rest / 3600),
                          int(rest / 60 % 60), int(rest % 60));
        writeElement("date", std::string_view(text, static_cast<std::size_t>(length)), depth);
    }

    void writeData(const std::string& bytes, int depth) {
        indent(depth);
        out_.append("<data>\n");
        const int lineIndent = depth > 8 ? 8 : depth;
        const std::size_t perLine = dataBytesPerLine(lineIndent);
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        for (std::size_t done = 0; done < bytes.size(); done += perLine) {
            indent(lineIndent);
            appendBase64(out_, data + done, std::min(perLine, bytes.size() - done));
            out_.push_back('\n');
        }
        indent(depth);
        out_.append("</data>\n");
    }

    std::string& out_;
    std::string& error_;
    std::size_t& values_;
};

} // namespace

bool appendPlistXml(const PlistValue& root, std::string& out, std::string& error) {
    if (root.isAbsent()) {
        error = "the data cannot be written as a property list";
        return false;
    }
    PlistXmlWriter writer(out);
    writer.value(root);
    return writer.finish(error);
}

PlistXmlWriter::PlistXmlWriter(std::string& out) : out_(out) {
    out_.append(kProlog);
}

void PlistXmlWriter::begin(bool isDict) {
    if (stopped()) {
        return;
    }
    if (const std::string_view problem = depthProblem(depth(), true); !problem.empty()) {
        error_ = problem;
        return;
    }
    if (++values_ > kMaxPlistValues) {
        error_ = kTooManyValues;
        return;
    }
    Frame frame{isDict, out_.size(), 0, keys_.size(), false};
    appendIndent(out_, depth());
    out_.append(isDict ? "<dict>\n" : "<array>\n");
    frame.entries = out_.size();
    frames_.push_back(frame);
}

void PlistXmlWriter::beginDict() {
    begin(true);
}

void PlistXmlWriter::beginArray() {
    begin(false);
}

void PlistXmlWriter::key(std::string_view key) {
    if (stopped()) {
        return;
    }
    const std::size_t start = out_.size();
    bool replaced = false;
    if (!appendTextElement(out_, "key", key, depth(), &replaced)) {
        error_ = kUnwritableText;
        return;
    }
    frames_.back().keyReplaced |= replaced;
    keys_.emplace_back(start, out_.size());
}

void PlistXmlWriter::string(std::string_view text) {
    if (stopped()) {
        return;
    }
    if (++values_ > kMaxPlistValues) {
        error_ = kTooManyValues;
    } else if (!appendTextElement(out_, "string", text, depth())) {
        error_ = kUnwritableText;
    }
}

void PlistXmlWriter::value(const PlistValue& value) {
    if (stopped()) {
        return;
    }
    if (value.isAbsent() && !frames_.empty() && frames_.back().isDict &&
        keys_.size() > frames_.back().firstKey) {
        // Its key goes too.
        out_.resize(keys_.back().first);
        keys_.pop_back();
        return;
    }
    XmlWriter(out_, error_, values_).write(value, depth());
}

void PlistXmlWriter::end() {
    if (stopped() || frames_.empty()) {
        return;
    }
    const Frame frame = frames_.back();
    frames_.pop_back();
    if (frame.keyReplaced) {
        // The keys as written, which must all differ.
        std::unordered_set<std::string_view> written;
        for (std::size_t k = frame.firstKey; k < keys_.size(); ++k) {
            const auto [start, stop] = keys_[k];
            if (!written.insert(std::string_view(out_).substr(start, stop - start)).second) {
                error_ = kKeysMeet;
                return;
            }
        }
    }
    keys_.resize(frame.firstKey);
    const std::string_view tag = frame.isDict ? "dict" : "array";
    if (out_.size() == frame.entries) {
        out_.resize(frame.start);
        appendIndent(out_, depth());
        out_.append("<").append(tag).append("/>\n");
    } else {
        appendIndent(out_, depth());
        out_.append("</").append(tag).append(">\n");
    }
}

bool PlistXmlWriter::finish(std::string& error) {
    if (stopped()) {
        error = error_;
        return false;
    }
    out_.append(kEpilog);
    return true;
}
