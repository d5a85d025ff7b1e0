#include "platform/XmlSafeText.h"

#include <cstdint>

std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return lead != 0 ? 1 : 0;
    }
    std::size_t length;
    std::uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

bool isStorableText(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x01 && c < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

namespace {

// Bytes that end a run of text written as it is.
struct SpecialBytes {
    bool table[256] = {};
    constexpr SpecialBytes() {
        for (int c = 0; c < 0x20; ++c) {
            table[c] = c != '\t' && c != '\n';
        }
        table[static_cast<unsigned char>('<')] = true;
        table[static_cast<unsigned char>('>')] = true;
        table[static_cast<unsigned char>('&')] = true;
        for (int c = 0x80; c < 0x100; ++c) {
            table[c] = true;
        }
    }
};
constexpr SpecialBytes kSpecial;

} // namespace

bool appendXmlText(std::string& out, std::string_view text) {
    const std::size_t size = text.size();
    std::size_t done = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (!kSpecial.table[c]) {
            ++pos;
            continue;
        }
        std::size_t length = 1;
        std::string_view replacement;
        char buffer[8];
        if (c >= 0x80) {
            length = utf8SequenceLength(text, pos);
            if (length == 0) {
                return false;
            }
            if (length == 3 && c == 0xEF && text[pos + 1] == '\xBF' &&
                (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF')) {
                replacement = text[pos + 2] == '\xBE' ? "&#65534;" : "&#65535;";
            }
        } else if (c == '<') {
            replacement = "&lt;";
        } else if (c == '>') {
            replacement = "&gt;";
        } else if (c == '&') {
            replacement = "&amp;";
        } else if (c == 0) {
            return false;
        } else {
            buffer[0] = '&';
            buffer[1] = '#';
            buffer[2] = static_cast<char>('0' + c / 10);
            buffer[3] = static_cast<char>('0' + c % 10);
            buffer[4] = ';';
            replacement = std::string_view(buffer, 5);
        }
        if (!replacement.empty()) {
            out.append(text.data() + done, pos - done).append(replacement);
            done = pos + length;
        }
        pos += length;
    }
    out.append(text.data() + done, size - done);
    return true;
}
