#pragma once

// The amount of an electronic bond: dollars and cents from $25.00, as the bond's "Face Value"
// holds it with two decimals ("34.59").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Amounts beyond this many dollars are refused: no account holds one, and the cents of any amount
// below it multiply by a table's leaf without overflow.
inline constexpr std::int64_t kLargestElectronicDollars = 999'999'999;

// The cents of `text` when it is dollars with at most two decimals ("50", "50.3", "50.37"), no
// sign, no thousands separators and no spaces; nothing otherwise. Any amount, also below $25.
std::optional<std::int64_t> centsOfAmountText(std::string_view text);

// The amount as stored: "34.59" for 3459 cents.
std::string amountTextOfCents(std::int64_t cents);

// The cents of an electronic bond whose amount text is `text`: at least $25.00; nothing when the
// text is no such amount (a record written by hand, another program's file).
std::optional<std::int64_t> electronicAmountCents(std::string_view text);

// Why `text` cannot be an electronic bond's amount, in words for the owner; nothing when it can,
// and `stored` is then the amount as kept ("50.30" for "50.3").
std::optional<std::string> electronicAmountProblem(std::string_view text, std::string& stored);
