// Final maturity: 40 years for E bonds issued before December 1965, 30 years for every other
// bond, counted from the issue month.

#include "valuation/BondMaturity.h"

#include <gtest/gtest.h>

TEST(BondMaturity, MaturesInItsFinalMonthAndNotBefore) {
    // E of November 1965: 40 years, so November 2005.
    EXPECT_FALSE(hasMatured("E", 1965, 11, 2005, 10));
    EXPECT_TRUE(hasMatured("E", 1965, 11, 2005, 11));
    // E of December 1965 and every later or other bond: 30 years.
    EXPECT_FALSE(hasMatured("E", 1965, 12, 1995, 11));
    EXPECT_TRUE(hasMatured("E", 1965, 12, 1995, 12));
    EXPECT_TRUE(hasMatured("S", 1968, 1, 1998, 1));
    EXPECT_FALSE(hasMatured("EE", 1980, 6, 2009, 6));
    EXPECT_FALSE(hasMatured("E", 0, 0, 2009, 6)) << "an issue date that cannot be read";
}
