#pragma once

// Tables written for people (columns aligned with spaces) and for programs (CSV, RFC 4180).

#include <string>
#include <string_view>
#include <vector>

using TextRow = std::vector<std::string>;

enum class Alignment { Left, Right };

// Every column as wide as its widest cell (in characters, not bytes), two spaces between
// columns, no trailing spaces; an empty row is an empty line. Control characters in a cell
// (tabs and line breaks too) are shown as U+FFFD, so that one row stays one line and no escape
// sequence reaches a terminal.
std::string alignedText(const std::vector<TextRow>& rows, const std::vector<Alignment>& alignments);

// One field: between double quotes, with its quotes doubled, when it holds a comma, a double
// quote, a carriage return or a line feed (or starts or ends with a space); as it is otherwise.
// A cell a spreadsheet would take for a formula (one that begins with "=", "+", "-", "@", a tab
// or a carriage return, a plain number such as "-12.5" aside) is quoted with an apostrophe
// before its text, so that the spreadsheet shows it as text. Control characters other than tab,
// line feed and carriage return are written as U+FFFD, so that none reaches a terminal.
std::string csvField(std::string_view cell);

// The rows as CSV records ended by CRLF.
std::string csvText(const std::vector<TextRow>& rows);
