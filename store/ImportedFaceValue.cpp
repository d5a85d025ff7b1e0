#include "store/ImportedFaceValue.h"

#include <algorithm>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// Digits, or groups of three after a first group of one to three: "1,000,000".
std::optional<std::string> digitsOfWholePart(std::string_view text) {
    if (text.find(',') == std::string_view::npos) {
        return allDigits(text) ? std::optional<std::string>(text) : std::nullopt;
    }
    std::string digits;
    std::size_t groupStart = 0;
    for (bool first = true;; first = false) {
        const std::size_t comma = text.find(',', groupStart);
        const std::string_view group = text.substr(groupStart, comma - groupStart);
        const bool fits = first ? group.size() <= 3 : group.size() == 3;
        if (!fits || !allDigits(group)) {
            return std::nullopt;
        }
        digits += group;
        if (comma == std::string_view::npos) {
            return digits;
        }
        groupStart = comma + 1;
    }
}

// The text echoed in a reason: short, so that a line of any length gives a short reason.
std::string shown(std::string_view text) {
    constexpr std::size_t kShownCharacters = 24;
    if (text.size() <= kShownCharacters) {
        return std::string(text);
    }
    std::size_t cut = kShownCharacters;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut; // never inside a UTF-8 character
    }
    return std::string(text.substr(0, cut)) + "...";
}

} // namespace

std::optional<std::string> wholeDollarsOf(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos) {
        const std::string_view cents = text.substr(point + 1);
        if (!allDigits(cents) || cents.find_first_not_of('0') != std::string_view::npos) {
            return std::nullopt;
        }
        text = text.substr(0, point);
    }
    std::optional<std::string> digits = digitsOfWholePart(text);
    if (!digits) {
        return std::nullopt;
    }
    digits->erase(0, std::min(digits->find_first_not_of('0'), digits->size()));
    return digits->empty() ? std::nullopt : digits;
}

std::optional<std::string> faceValueProblem(std::string_view text,
                                            const std::vector<std::string>& faceValues,
                                            std::string& dollars) {
    const std::optional<std::string> whole = wholeDollarsOf(text);
    if (!whole) {
        return "the face value $" + shown(text) + " is not a positive whole number of dollars";
    }
    if (std::find(faceValues.begin(), faceValues.end(), *whole) == faceValues.end()) {
        std::string offered;
        for (const std::string& value : faceValues) {
            offered += (offered.empty() ? "$" : ", $") + value;
        }
        return "the face value $" + shown(text) + " is not one a bond is issued in (" + offered +
               ")";
    }
    dollars = *whole;
    return std::nullopt;
}
