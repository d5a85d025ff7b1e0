#include "store/ElectronicAmount.h"

#include "store/SeriesRules.h"

std::optional<std::int64_t> centsOfAmountText(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view dollars = text.substr(0, point);
    const std::string_view cents =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        for (const char c : part) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
        return true;
    };
    if (dollars.empty() || dollars.size() > 9 || !allDigits(dollars) || !allDigits(cents) ||
        cents.size() > 2 || (point != std::string_view::npos && cents.empty())) {
        return std::nullopt;
    }
    std::int64_t whole = 0;
    for (const char c : dollars) {
        whole = whole * 10 + (c - '0');
    }
    std::int64_t fraction = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        fraction = fraction * 10 + (i < cents.size() ? cents[i] - '0' : 0);
    }
    return whole * 100 + fraction;
}

std::string amountTextOfCents(std::int64_t cents) {
    const std::int64_t fraction = cents % 100;
    return std::to_string(cents / 100) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
}

std::optional<std::int64_t> electronicAmountCents(std::string_view text) {
    const std::optional<std::int64_t> cents = centsOfAmountText(text);
    if (!cents || *cents < kSmallestElectronicCents) {
        return std::nullopt;
    }
    return cents;
}

std::optional<std::string> electronicAmountProblem(std::string_view text, std::string& stored) {
    const std::optional<std::int64_t> cents = centsOfAmountText(text);
    if (!cents) {
        return "The amount of an electronic bond is dollars and cents, such as 50.37, not \"" +
               std::string(text) + "\".";
    }
    if (*cents < kSmallestElectronicCents) {
        return "An electronic bond holds at least $25.00, not $" + amountTextOfCents(*cents) + ".";
    }
    stored = amountTextOfCents(*cents);
    return std::nullopt;
}
