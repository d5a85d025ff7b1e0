#include "platform/XmlSafeText.h"

#include "platform/ControlCharacters.h"

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

bool appendXmlText(std::string& out, std::string_view text, bool* replaced) {
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
        if (c >= 0x80) {
            length = utf8SequenceLength(text, pos);
            if (length == 0) {
                return false;
            }
        }
        if (c == 0) {
            return false;
        }
        if (xmlForbiddenCharacterAt(text, pos) != 0) {
            replacement = kReplacementCharacter;
            if (replaced != nullptr) {
                *replaced = true;
            }
        } else if (c == '<') {
            replacement = "&lt;";
        } else if (c == '>') {
            replacement = "&gt;";
        } else if (c == '&') {
            replacement = "&amp;";
        } else if (c == '\r') {
            replacement = "&#13;";
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
