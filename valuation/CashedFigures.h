#pragma once

// A bond cashed by the month shown is listed with what it came to when it was cashed, and counts
// in none of that month's totals: it is no longer held.

#include "store/Bond.h"
#include "valuation/OwnerFigures.h"

#include <optional>

// Whether `bond` was cashed in `month` or before (a cashed month that does not read as one is
// taken as held, so that the bond stays in the totals).
bool cashedBy(const Bond& bond, const std::optional<YearMonth>& month);

// The figures of a cashed bond at the month it was cashed: the amount received as its value, its
// issue price, and the received amount less the price as its interest; what is not known stays
// absent. It earns nothing more and cashing it again pays nothing.
OwnerFigures cashedFiguresOfBond(const ValueTable* table, const Bond& bond);
