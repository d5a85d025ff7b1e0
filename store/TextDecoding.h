#pragma once

// Turning the bytes of a text file written on Windows into UTF-8. Bond lists exported by the
// Windows edition come as UTF-8 (with or without a byte-order mark), as UTF-16 with a mark
// ("Unicode" in Windows programs), or in the Windows-1252 code page.

#include "platform/Utf8.h"

#include <string>
#include <string_view>

// Each byte read as a Windows-1252 character. The five bytes the code page leaves undefined
// become the control characters of the same number, as Windows itself reads them.
std::string windows1252ToUtf8(std::string_view bytes);

// UTF-16 code units, two bytes each, without a byte-order mark. A lone surrogate or an odd last
// byte becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The file's text as UTF-8, the byte-order mark removed: UTF-16 when the bytes begin with its
// mark; otherwise line by line (a line ends at a carriage return or a line feed), each line as
// UTF-8 when it is well-formed UTF-8 and as Windows-1252 when it is not.
std::string decodeWindowsText(std::string_view bytes);
