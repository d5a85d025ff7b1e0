#include "platform/XmlTextEncoding.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <optional>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of the encoding pseudo-attribute of an XML declaration at the start of `xml`, in
// lower case; empty when there is no declaration or it names no encoding.
std::string declaredEncoding(std::string_view xml) {
    std::size_t pos = 0;
    while (pos < xml.size() && isSpace(xml[pos])) {
        ++pos;
    }
    xml.remove_prefix(pos);
    if (!xml.starts_with("<?xml") || xml.size() < 6 || !isSpace(xml[5])) {
        return {};
    }
    const std::string_view declaration = xml.substr(0, xml.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    at += 8;
    const auto skipSpace = [&] {
        while (at < declaration.size() && isSpace(declaration[at])) {
            ++at;
        }
    };
    skipSpace();
    if (at >= declaration.size() || declaration[at] != '=') {
        return {};
    }
    ++at;
    skipSpace();
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) {
        return {};
    }
    const std::size_t end = declaration.find(declaration[at], at + 1);
    if (end == std::string_view::npos) {
        return {};
    }
    std::string name(declaration.substr(at + 1, end - at - 1));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return name;
}

enum class Utf16Order { LittleEndian, BigEndian };

// UTF-16 text is told by its byte-order mark, or without one by "<" as its first character
// (as XML 1.0 tells encodings, in its appendix F).
std::optional<Utf16Order> utf16OrderOf(std::string_view xml) {
    if (xml.starts_with("\xFF\xFE") || xml.starts_with(std::string_view("<\0", 2))) {
        return Utf16Order::LittleEndian;
    }
    if (xml.starts_with("\xFE\xFF") || xml.starts_with(std::string_view("\0<", 2))) {
        return Utf16Order::BigEndian;
    }
    return std::nullopt;
}

// The UTF-16 text as UTF-8, without its byte-order mark; false when it is cut short or holds a
// surrogate that is not one of a pair.
bool utf16ToUtf8(std::string_view xml, Utf16Order order, std::string& utf8) {
    if (xml.size() % 2 != 0) {
        return false;
    }
    const auto unitAt = [xml, order](std::size_t at) {
        const auto first = static_cast<unsigned char>(xml[at]);
        const auto second = static_cast<unsigned char>(xml[at + 1]);
        return static_cast<char32_t>(order == Utf16Order::LittleEndian ? first | second << 8
                                                                       : first << 8 | second);
    };
    utf8.clear();
    utf8.reserve(xml.size() / 2);
    std::size_t at = unitAt(0) == 0xFEFF ? 2 : 0;
    while (at < xml.size()) {
        char32_t code = unitAt(at);
        at += 2;
        if (code >= 0xDC00 && code <= 0xDFFF) {
            return false;
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            const char32_t low = at < xml.size() ? unitAt(at) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        }
        appendUtf8(utf8, code);
    }
    return true;
}

} // namespace

bool decodeDeclaredEncoding(std::string_view xml, std::string& utf8, bool& converted,
                            std::string& error) {
    converted = false;
    if (const std::optional<Utf16Order> order = utf16OrderOf(xml)) {
        if (!utf16ToUtf8(xml, *order, utf8)) {
            error = "the file's UTF-16 text is damaged";
            return false;
        }
        converted = true;
        const std::string declared = declaredEncoding(utf8);
        if (!declared.empty() && declared != "utf-16" && declared != "utf-16le" &&
            declared != "utf-16be" && declared != "utf16") {
            error = "the file is UTF-16 text but declares the encoding \"" + declared + "\"";
            return false;
        }
        return true;
    }
    const std::string encoding = declaredEncoding(xml);
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8") {
        return true;
    }
    if (encoding == "us-ascii" || encoding == "ascii") {
        if (std::any_of(xml.begin(), xml.end(), [](char c) { return (c & 0x80) != 0; })) {
            error = "the file declares US-ASCII but holds other characters";
            return false;
        }
        return true;
    }
    if (encoding == "iso-8859-1" || encoding == "iso8859-1" || encoding == "iso_8859-1" ||
        encoding == "latin1" || encoding == "latin-1" || encoding == "l1") {
        utf8.clear();
        utf8.reserve(xml.size() + xml.size() / 8);
        for (char c : xml) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                utf8 += c;
            } else {
                utf8 += static_cast<char>(0xC0 | (byte >> 6));
                utf8 += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        converted = true;
        return true;
    }
    if (encoding.starts_with("utf-16") || encoding == "utf16") {
        error = "the file declares UTF-16 but its text is not UTF-16";
        return false;
    }
    error = "the file's text encoding \"" + encoding + "\" is not supported";
    return false;
}
