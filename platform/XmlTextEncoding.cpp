#include "platform/XmlTextEncoding.h"

#include <algorithm>

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

} // namespace

bool decodeDeclaredEncoding(std::string_view xml, std::string& utf8, bool& converted,
                            std::string& error) {
    converted = false;
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
    error = "the file's text encoding \"" + encoding + "\" is not supported";
    return false;
}
