#include "platform/XmlSafeText.h"

#include <cstdint>

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
