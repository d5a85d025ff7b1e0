#pragma once

// Text that an XML 1.0 document can hold. A serial imported from a file may contain a control
// character or bytes that are not UTF-8; written as they are, they would make the whole file
// unreadable to any XML reader. Such characters are written as U+FFFD instead, so that the file
// stays readable and the rest of the value is kept.

#include <string>
#include <string_view>

// True when every character of `text` is allowed in XML 1.0 and the text is valid UTF-8.
bool isXmlSafeText(std::string_view text);

// `text` with each disallowed character, and each byte that does not belong to a valid UTF-8
// sequence, replaced by U+FFFD.
std::string xmlSafeText(std::string_view text);
