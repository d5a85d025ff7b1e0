#pragma once

// When a bond stops earning: its final maturity, 40 years after issue for E bonds issued before
// December 1965 and 30 years after issue for every other bond. From that month on the bond has
// matured and keeps the value it had.

#include <string>

// Whether the bond has matured by the redemption month (issue and redemption years as four
// digits, months 1 to 12). An issue date that cannot be read is not matured.
bool hasMatured(const std::string& type, int issueYear, int issueMonth, int redemptionYear,
                int redemptionMonth);
