#pragma once

// Tables written for people (columns aligned with spaces) and for programs (CSV, RFC 4180).

#include <string>
#include <string_view>
#include <vector>

using TextRow = std::vector<std::string>;

enum class Alignment { Left, Right };

// Every column as wide as its widest cell (in characters, not bytes), two spaces between
// columns, no trailing spaces; an empty row is an empty line. Control characters in a cell are
// shown as spaces so that one row stays one line.
std::string alignedText(const std::vector<TextRow>& rows, const std::vector<Alignment>& alignments);

// One field: between double quotes, with its quotes doubled, when it holds a comma, a double
// quote, a carriage return or a line feed (or starts or ends with a space); as it is otherwise.
std::string csvField(std::string_view text);

// The rows as CSV records ended by CRLF.
std::string csvText(const std::vector<TextRow>& rows);
