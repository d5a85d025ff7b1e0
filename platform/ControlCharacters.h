#pragma once

// Control characters in names and serials. They cannot be seen, an XML 1.0 reader refuses most
// of them, and in a terminal an escape sequence acts instead of being shown; so they are refused
// where a name or a serial is typed or imported, and text that already holds one (a file written
// before, or by another program) is shown and written with each replaced by U+FFFD, the
// replacement character.

#include <cstddef>
#include <string>
#include <string_view>

// True when `text` (UTF-8) holds a control character other than tab: C0 (U+0000 to U+001F),
// DEL (U+007F), C1 (U+0080 to U+009F), or one of the non-characters U+FFFE and U+FFFF.
bool holdsControlCharacter(std::string_view text);

// The length in bytes of the character at `pos` when XML 1.0 cannot hold it at all (C0 other
// than tab, line feed and carriage return; U+FFFE and U+FFFF); 0 for any other character.
std::size_t xmlForbiddenCharacterAt(std::string_view text, std::size_t pos);

// The replacement character U+FFFD in UTF-8.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// `text` with each control character (as holdsControlCharacter counts them) replaced by U+FFFD;
// tab, line feed and carriage return are kept when `keepLineBreaks`, replaced otherwise.
std::string withControlCharactersReplaced(std::string_view text, bool keepLineBreaks);
