#pragma once

// Text in XML property lists. Every valid UTF-8 text without a NUL character can be written, and
// what is written is XML 1.0 that any XML reader accepts: a carriage return is written as a
// character reference, and the characters XML 1.0 cannot hold at all (the control characters
// other than tab, line feed and carriage return, and the non-characters U+FFFE and U+FFFF) are
// written as U+FFFD, the replacement character. Names and serials never take such characters
// in (see ControlCharacters.h); only text read from an older file can hold them. Bytes that are
// not UTF-8 and the NUL character cannot be written at all, so such text is neither read nor
// written.

#include "platform/Utf8.h"

#include <string>
#include <string_view>

// True when `text` is valid UTF-8 (no overlong forms, no surrogates) without a NUL character.
bool isStorableText(std::string_view text);

// Appends `text` as the content of a string or key element, as the property-list library
// writes it (<, > and & as entities), with a carriage return as a character reference (a reader
// would turn it into a line feed) and each character XML 1.0 cannot hold as U+FFFD. False, with
// `out` partly appended, when `text` is not storable (see isStorableText). `replaced` (when
// given) tells whether a character was replaced, so that what was written differs from `text`.
bool appendXmlText(std::string& out, std::string_view text, bool* replaced = nullptr);
