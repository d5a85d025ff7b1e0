#include "valuation/TableText.h"

#include <algorithm>

namespace {

std::string printable(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            c = ' ';
        }
    }
    return result;
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
            const std::string cell = printable(row[column]);
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

std::string csvField(std::string_view text) {
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes) {
        return std::string(text);
    }
    std::string field = "\"";
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
