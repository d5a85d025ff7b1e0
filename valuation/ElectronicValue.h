#pragma once

// The value of an electronic bond from the table's leaves. The table holds the value of $25 face
// of paper; an electronic bond is valued as its amount / 100 times the value of a $100 bond,
// rounded to the nearest cent once, halves up ($25.045 is $25.05).

#include "valuation/Amount.h"
#include "valuation/ValueTable.h"

#include <cstdint>

// How many $25 leaves make the value of $100 of an electronic bond: four for an I bond ($100
// face), eight for an EE bond ($100 of principal is a $200-face paper bond, bought at half).
int leavesPerElectronicHundred(BondSeries series);

// `amountCents` of an electronic bond when $100 of it is worth `hundredCents`.
Amount electronicValueOfHundred(std::int64_t amountCents, std::int64_t hundredCents);

// `amountCents` of an electronic bond of `series` whose leaf for $25 face is `cell` cents.
Amount electronicValue(BondSeries series, std::int64_t amountCents, ValueCell cell);
