#include "platform/XmlSafeText.h"

#include <cstdint>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool isAllowedAscii(unsigned char c) {
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

// Length of the valid, XML-allowed UTF-8 sequence at `pos`, or 0 when there is none.
std::size_t allowedSequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return isAllowedAscii(lead) ? 1 : 0;
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
    const bool nonCharacter = code == 0xFFFE || code == 0xFFFF;
    if (overlong || surrogate || nonCharacter || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

} // namespace

bool isXmlSafeText(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x20 && c < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = allowedSequenceLength(text, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::string xmlSafeText(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = allowedSequenceLength(text, pos);
        if (length == 0) {
            result += kReplacement;
            ++pos;
        } else {
            result.append(text.substr(pos, length));
            pos += length;
        }
    }
    return result;
}
