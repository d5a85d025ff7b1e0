#pragma once

// An amount of money held exactly, as a whole number of millionths of a dollar.
//
// A bond's value is the table's whole cents per $25 face scaled by face value / 25, and a $10
// bond's value is 0.4 of the leaf: a fraction of a cent that the totals must keep (two $10 bonds
// at $10.848 each are worth $21.69, not $21.68). Every face value of whole cents gives an amount
// of whole millionths, and a millionth is the finest figure the amounts were ever printed to.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

class Amount {
  public:
    // Wide enough for any face value the text-to-number rule reads short of 10^30 dollars.
    __extension__ using Millionths = __int128;

    constexpr Amount() = default;
    static constexpr Amount ofMillionths(Millionths millionths) { return Amount(millionths); }
    static constexpr Amount ofCents(std::int64_t cents) {
        return Amount(Millionths{cents} * 10000);
    }
    // The nearest millionth of `dollars`, halves to even as six-decimal printing rounds; beyond
    // 10^30 dollars (or not a number) the amount is held at that bound (0).
    static Amount ofDollars(double dollars);

    constexpr Millionths millionths() const { return millionths_; }
    // For ratios and drawing, never for a figure the user reads as an amount.
    double dollars() const;

    // Sums and differences stop at the bounds of the type rather than wrap.
    friend Amount operator+(Amount a, Amount b);
    friend Amount operator-(Amount a, Amount b);
    Amount& operator+=(Amount other) { return *this = *this + other; }
    Amount& operator-=(Amount other) { return *this = *this - other; }
    friend constexpr auto operator<=>(Amount, Amount) = default;

  private:
    constexpr explicit Amount(Millionths millionths) : millionths_(millionths) {}
    Millionths millionths_ = 0;
};

// "$" and the amount with its fraction of a cent cut off, not rounded: "$27.12" for 27.125 and
// "$-0.44" for -0.445; a point and no thousands separators, under every locale.
std::string amountText(Amount amount);

// Face values up to this many dollars that are whole cents are valued by integer arithmetic.
inline constexpr double kLargestExactFace = 1e6;

// `dollars` as whole cents when it is the number a text of whole cents reads as ("37.5",
// "100"), no more than kLargestExactFace in size; nothing otherwise.
std::optional<std::int64_t> wholeCentsOf(double dollars);
