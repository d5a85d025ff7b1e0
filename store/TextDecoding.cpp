#include "store/TextDecoding.h"

#include "platform/Utf8.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80) {
            out.push_back(byte);
        } else if (value < 0xA0) {
            appendUtf8(out, kWindows1252High[value - 0x80]);
        } else {
            appendUtf8(out, value);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t index) -> char16_t {
        const unsigned char first = p[2 * index];
        const unsigned char second = p[2 * index + 1];
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, kReplacementCharacter);
        } else {
            appendUtf8(out, unit);
        }
    }
    if (bytes.size() % 2 != 0) {
        appendUtf8(out, kReplacementCharacter);
    }
    return out;
}

std::string decodeWindowsText(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LittleEndianMark)) {
        return utf16ToUtf8(bytes.substr(kUtf16LittleEndianMark.size()), false);
    }
    if (bytes.starts_with(kUtf16BigEndianMark)) {
        return utf16ToUtf8(bytes.substr(kUtf16BigEndianMark.size()), true);
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    // Line by line: a file that one program wrote and another added to may mix the two, and
    // one line of Windows-1252 must not turn the UTF-8 of the others into other letters.
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        const std::string_view line =
            bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
        out += isValidUtf8(line) ? std::string(line) : windows1252ToUtf8(line);
        bytes.remove_prefix(line.size());
    }
    return out;
}
