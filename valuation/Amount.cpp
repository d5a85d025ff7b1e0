#include "valuation/Amount.h"

#include <algorithm>
#include <cmath>

namespace {

using Millionths = Amount::Millionths;

constexpr Millionths kMillion = 1000000;
constexpr double kLargestDollars = 1e30;
constexpr Millionths kLargest = ~(Millionths{1} << 127);
constexpr Millionths kSmallest = -kLargest; // so that every amount has a size

std::string digitsOf(Millionths value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value > 0);
    return digits;
}

} // namespace

Amount Amount::ofDollars(double dollars) {
    if (std::isnan(dollars)) {
        return {};
    }
    dollars = std::clamp(dollars, -kLargestDollars, kLargestDollars);
    // The whole dollars are an integer the double holds exactly; the fraction below one dollar
    // times a million fits a long double closely enough to round as printing does.
    const double whole = std::trunc(dollars);
    const long double fraction = static_cast<long double>(dollars - whole) * 1000000.0L;
    return Amount(static_cast<Millionths>(whole) * kMillion +
                  static_cast<Millionths>(std::nearbyint(fraction)));
}

Amount operator+(Amount a, Amount b) {
    Millionths sum = 0;
    if (__builtin_add_overflow(a.millionths_, b.millionths_, &sum) || sum < kSmallest) {
        sum = b.millionths_ > 0 ? kLargest : kSmallest;
    }
    return Amount(sum);
}

Amount operator-(Amount a, Amount b) {
    Millionths difference = 0;
    if (__builtin_sub_overflow(a.millionths_, b.millionths_, &difference) ||
        difference < kSmallest) {
        difference = b.millionths_ < 0 ? kLargest : kSmallest;
    }
    return Amount(difference);
}

double Amount::dollars() const {
    return static_cast<double>(static_cast<long double>(millionths_) / 1000000.0L);
}

std::string amountText(Amount amount) {
    const Millionths millionths = amount.millionths();
    const Millionths size = millionths < 0 ? -millionths : millionths;
    const int cents = static_cast<int>(size % kMillion / 10000);
    return std::string(millionths < 0 ? "$-" : "$") + digitsOf(size / kMillion) + "." +
           static_cast<char>('0' + cents / 10) + static_cast<char>('0' + cents % 10);
}

std::optional<std::int64_t> wholeCentsOf(double dollars) {
    if (!(std::fabs(dollars) <= kLargestExactFace)) {
        return std::nullopt;
    }
    const double cents = std::nearbyint(dollars * 100.0);
    if (cents / 100.0 != dollars) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(cents);
}
