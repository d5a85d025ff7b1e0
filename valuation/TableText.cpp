#include "valuation/TableText.h"

#include "platform/ControlCharacters.h"

#include <algorithm>

namespace {

// A number as a spreadsheet reads it, e.g. "-12.5": nothing a formula could be made of.
bool isPlainNumber(std::string_view text) {
    if (text.starts_with('-')) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return !whole.empty() && digits(whole) &&
           (point == std::string_view::npos || (!fraction.empty() && digits(fraction)));
}

// A spreadsheet would take the cell for a formula (or, after a tab or carriage return, may).
bool readsAsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
           !isPlainNumber(text);
}

// Characters of UTF-8 text: every byte but the continuation bytes starts one.
std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

std::string alignedText(const std::vector<TextRow>& rows,
                        const std::vector<Alignment>& alignments) {
    std::vector<std::size_t> widths;
    for (const TextRow& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], characterCount(row[column]));
        }
    }
    std::string out;
    for (const TextRow& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string cell = withControlCharactersReplaced(row[column], false);
            const std::string padding(widths[column] - characterCount(cell), ' ');
            const bool right = column < alignments.size() && alignments[column] == Alignment::Right;
            if (column > 0) {
                line += "  ";
            }
            line += right ? padding + cell : cell + padding;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        out += '\n';
    }
    return out;
}

std::string csvField(std::string_view cell) {
    const std::string text = withControlCharactersReplaced(cell, true);
    const bool formula = readsAsFormula(text);
    const bool needsQuotes = formula || text.find_first_of(",\"\r\n") != std::string::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes) {
        return text;
    }
    std::string field = formula ? "\"'" : "\"";
    for (char c : text) {
        if (c == '"') {
            field += '"';
        }
        field += c;
    }
    field += '"';
    return field;
}

std::string csvText(const std::vector<TextRow>& rows) {
    std::string out;
    for (const TextRow& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0) {
                out += ',';
            }
            out += csvField(row[column]);
        }
        out += "\r\n";
    }
    return out;
}
