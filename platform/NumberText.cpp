#include "platform/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view skipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    return text.substr(i);
}

// The text after leading white space and an optional sign; `negative` tells which sign it was.
std::string_view skipSpaceAndSign(std::string_view text, bool* negative) {
    text = skipSpace(text);
    *negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return text;
}

} // namespace

double doubleValueOfText(std::string_view text) {
    bool negative = false;
    text = skipSpaceAndSign(text, &negative);
    std::size_t i = 0;
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (fraction > 0) {
            digits += fraction;
            i = j;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    double value = 0.0;
    const char* begin = text.data() + numberStart;
    std::from_chars(begin, text.data() + i, value, std::chars_format::fixed);
    return negative ? -value : value;
}

int intValueOfText(std::string_view text) {
    bool negative = false;
    text = skipSpaceAndSign(text, &negative);
    std::size_t i = 0;
    long long value = 0;
    bool any = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        any = true;
        if (value <= static_cast<long long>(INT_MAX) + 1) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (!any) {
        return 0;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

double doubleValueOf(const PlistValue& value) {
    if (const std::string* text = value.stringPtr()) {
        return doubleValueOfText(*text);
    }
    if (const PlistInteger* integer = value.integerPtr()) {
        return integer->asDouble();
    }
    if (const double* real = value.realPtr()) {
        return *real;
    }
    if (const bool* flag = value.booleanPtr()) {
        return *flag ? 1.0 : 0.0;
    }
    return 0.0;
}

int intValueOf(const PlistValue& value) {
    if (const std::string* text = value.stringPtr()) {
        return intValueOfText(*text);
    }
    double number = doubleValueOf(value);
    if (std::isnan(number)) {
        return 0;
    }
    if (number >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (number <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(number);
}

std::string formatSixDecimals(double value) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}
