#pragma once

// UTF-8, as the portfolio file, the import and the property-list reader need it.

#include <string>
#include <string_view>

// Appends the UTF-8 form of the character `code` (at most U+10FFFF) to `out`.
void appendUtf8(std::string& out, char32_t code);

// Length of the valid UTF-8 sequence of a character other than NUL at `pos` of `text`, or 0
// (no overlong forms, no surrogates, nothing beyond U+10FFFF).
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos);

// True when `bytes` is valid UTF-8; NUL characters are allowed.
bool isValidUtf8(std::string_view bytes);
