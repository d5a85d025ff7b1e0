#include "platform/ControlCharacters.h"

namespace {

// The length in bytes of the control character at `pos`, 0 when none starts there.
std::size_t controlCharacterAt(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x20 || byte == 0x7F) {
        return 1;
    }
    // C1 is C2 80 to C2 9F in UTF-8.
    if (byte == 0xC2 && pos + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[pos + 1]);
        return next >= 0x80 && next <= 0x9F ? 2 : 0;
    }
    return xmlForbiddenCharacterAt(text, pos) == 3 ? 3 : 0;
}

} // namespace

std::size_t xmlForbiddenCharacterAt(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x20) {
        return byte == '\t' || byte == '\n' || byte == '\r' ? 0 : 1;
    }
    // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
    if (byte == 0xEF && pos + 2 < text.size() && text[pos + 1] == '\xBF' &&
        (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF')) {
        return 3;
    }
    return 0;
}

bool holdsControlCharacter(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '\t' && controlCharacterAt(text, pos) != 0) {
            return true;
        }
    }
    return false;
}

std::string withControlCharactersReplaced(std::string_view text, bool keepLineBreaks) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        const bool lineBreak = c == '\t' || c == '\n' || c == '\r';
        const std::size_t length = keepLineBreaks && lineBreak ? 0 : controlCharacterAt(text, pos);
        if (length == 0) {
            result += c;
            ++pos;
            continue;
        }
        result += kReplacementCharacter;
        pos += length;
    }
    return result;
}
