#pragma once

// Cashing a bond: the month it was redeemed and the dollars it paid, kept on the bond so that its
// figures at that month stay. An electronic bond may be cashed in part as long as $25.00 of it
// stays held: it then becomes two bonds, the part cashed and the rest still held.

#include "store/Bond.h"
#include "store/Portfolio.h"
#include "store/YearMonth.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The least an electronic bond may hold, in cents: what stays after a part is cashed.
inline constexpr std::int64_t kElectronicMinimumCents = 2500;

struct Cashing {
    YearMonth month;
    // What was received, in dollars: "1234.56".
    std::string amountReceived;
    // For an electronic bond, the amount cashed in dollars; empty for the whole bond.
    std::string partCashed;
};

// Dollars as the owner types them or a bond stores them ("1234.56", "25", "0.5") in cents;
// nothing for other text, a third decimal, a sign or more than ten billion dollars.
std::optional<std::int64_t> centsOfDollarText(std::string_view text);
// Cents as stored dollars with two decimals: "1234.56".
std::string dollarTextOfCents(std::int64_t cents);

// The bonds that take `bond`'s place in `portfolio` once cashed (one, or for a part of an
// electronic bond the rest still held and then the part cashed, under a serial new to the
// portfolio), or why it cannot be cashed so.
struct CashedBonds {
    std::vector<Bond> bonds;
    std::string refusal;
};
CashedBonds cashedBonds(const Bond& bond, const Cashing& cashing, const Portfolio& portfolio);

// The bond held again, its cashing forgotten.
Bond heldAgain(Bond bond);
