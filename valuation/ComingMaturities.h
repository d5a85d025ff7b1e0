#pragma once

// The bonds that reach final maturity in a year, and the interest that becomes reportable then
// for an owner who reports when a bond is cashed or matures (IRS Publication 550, method 1), even
// if the bonds are not cashed.

#include "store/Bond.h"
#include "valuation/Amount.h"
#include "valuation/ValueTable.h"

#include <string>
#include <vector>

struct MaturityInYear {
    int year = 0;
    int count = 0;
    // The series when every bond is of one, else empty.
    std::string series;
    // Value at final maturity less price, summed over the bonds whose value then is known.
    Amount interest;
    int interestKnown = 0;
    // Some of that value lies after the table's last month: projected, and marked so.
    bool projected = false;
};

// The bonds of `bonds` not cashed before their final maturity in `year`.
MaturityInYear bondsReachingFinalMaturity(const std::vector<Bond>& bonds, const ValueTable* table,
                                          int year);

// "3 EE bonds reach final maturity in 2027: $1234.56 of interest becomes reportable for 2027
// even if they are not cashed."; "~$1234.56 of interest (projected)" when the interest is
// projected; empty when none does.
std::string finalMaturityLine(const MaturityInYear& maturing);
