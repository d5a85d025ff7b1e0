#pragma once

// Text in XML property lists. Every valid UTF-8 text without a NUL character is written so that
// it reads back the same: characters that XML 1.0 cannot hold as they are (control characters,
// the non-characters U+FFFE and U+FFFF) are written as character references, which the
// property-list library reads back as the characters themselves. Bytes that are not UTF-8 and
// the NUL character cannot be written at all, so such text is neither read nor written.

#include "platform/Utf8.h"

#include <string>
#include <string_view>

// True when `text` is valid UTF-8 (no overlong forms, no surrogates) without a NUL character.
bool isStorableText(std::string_view text);

// Appends `text` as the content of a string or key element, as the property-list library
// writes it (<, > and & as entities), with every control character other than tab and line
// feed, and U+FFFE and U+FFFF, as a character reference: the library would write them as they
// are, where XML readers would refuse them or, for a carriage return, turn it into a line feed.
// False, with `out` partly appended, when `text` is not storable (see isStorableText).
bool appendXmlText(std::string& out, std::string_view text);
