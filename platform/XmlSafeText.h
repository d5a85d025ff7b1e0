#pragma once

// Text in XML property lists. Every valid UTF-8 text without a NUL character is written so that
// it reads back the same: characters that XML 1.0 cannot hold as they are (control characters,
// the non-characters U+FFFE and U+FFFF) are written as character references, which the
// property-list library reads back as the characters themselves. Bytes that are not UTF-8 and
// the NUL character cannot be written at all, so such text is neither read nor written.

#include <string>
#include <string_view>

// True when `text` is valid UTF-8 (no overlong forms, no surrogates) without a NUL character.
bool isStorableText(std::string_view text);

// Appends the property-list library's XML output `xml` to `out`, with every control character
// other than tab and line feed, and U+FFFE and U+FFFF, as a character reference: the library
// writes them as they are, where XML readers would refuse them or, for a carriage return, turn
// it into a line feed. The library's own layout uses only line feeds and tabs, so such
// characters can only be the content of strings and keys.
void appendWithCharacterReferences(std::string& out, std::string_view xml);
