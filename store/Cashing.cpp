#include "store/Cashing.h"

#include <charconv>

namespace {

constexpr std::int64_t kLargestCents = 1'000'000'000'000; // ten billion dollars

std::optional<std::int64_t> digitsValue(std::string_view digits) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

// A serial for the part cashed that the portfolio does not hold yet.
std::string partSerial(const Bond& bond, const YearMonth& month, const Portfolio& portfolio) {
    const std::string base = (bond.serial.empty() ? std::string() : bond.serial + " ") +
                             "(cashed " + month.keyText() + ")";
    std::string serial = base;
    for (int n = 2; portfolio.find(serial) != nullptr; ++n) {
        serial = base.substr(0, base.size() - 1) + " " + std::to_string(n) + ")";
    }
    return serial;
}

} // namespace

std::optional<std::int64_t> centsOfDollarText(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || fraction.size() > 2 ||
        (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> dollars = whole.empty() ? 0 : digitsValue(whole);
    const std::optional<std::int64_t> cents = fraction.empty() ? 0 : digitsValue(fraction);
    if (!dollars || !cents || *dollars > kLargestCents / 100) {
        return std::nullopt;
    }
    return *dollars * 100 + *cents * (fraction.size() == 1 ? 10 : 1);
}

std::string dollarTextOfCents(std::int64_t cents) {
    const std::string hundredths = std::to_string(cents % 100);
    return std::to_string(cents / 100) + "." + (hundredths.size() == 1 ? "0" : "") + hundredths;
}

CashedBonds cashedBonds(const Bond& bond, const Cashing& cashing, const Portfolio& portfolio) {
    if (!bond.cashed().empty()) {
        return {{}, "This bond is already marked cashed."};
    }
    if (const std::optional<YearMonth> issue = bond.issued(); issue && cashing.month < *issue) {
        return {{}, "A bond cannot be cashed before its issue month, " + issue->name() + "."};
    }
    const std::optional<std::int64_t> received = centsOfDollarText(cashing.amountReceived);
    if (!received) {
        return {{},
                "\"" + cashing.amountReceived + "\" is not an amount in dollars, such as 1234.56."};
    }
    Bond cashed = bond;
    cashed.setCashed(cashing.month.keyText());
    cashed.setAmountReceived(dollarTextOfCents(*received));
    if (cashing.partCashed.empty()) {
        return {{std::move(cashed)}, {}};
    }
    if (!bond.electronic) {
        return {{}, "Only an electronic bond can be cashed in part."};
    }
    const std::optional<std::int64_t> amount = centsOfDollarText(bond.faceValue);
    const std::optional<std::int64_t> part = centsOfDollarText(cashing.partCashed);
    if (!amount || !part || *part <= 0 || *part > *amount) {
        return {{},
                "The part cashed must be an amount in dollars of at most the bond's $" +
                    bond.faceValue + "."};
    }
    if (*part == *amount) {
        return {{std::move(cashed)}, {}};
    }
    if (*amount - *part < kElectronicMinimumCents) {
        return {{},
                "At least $25.00 of the bond must stay held: cash the whole bond instead, or "
                "a part of at most $" +
                    dollarTextOfCents(*amount - kElectronicMinimumCents) + "."};
    }
    Bond rest = bond;
    rest.faceValue = dollarTextOfCents(*amount - *part);
    cashed.faceValue = dollarTextOfCents(*part);
    cashed.serial = partSerial(bond, cashing.month, portfolio);
    return {{std::move(rest), std::move(cashed)}, {}};
}

Bond heldAgain(Bond bond) {
    bond.setCashed({});
    bond.setAmountReceived({});
    return bond;
}
