#pragma once

// The redemption month a session starts with, the application's and the command line's alike:
// the month the user chose last (kept in the user's settings), the current month, or the latest
// month the value table holds.

#include "valuation/ValueTableMonths.h"

#include <optional>
#include <string>
#include <string_view>

// Nothing when no month was kept or the setting does not read as one.
std::optional<RedemptionMonth> rememberedRedemptionMonth();
void rememberRedemptionMonth(RedemptionMonth month);

// The month of the local clock.
RedemptionMonth currentRedemptionMonth();

// The month the user chose last (`remembered`) while the table holds it, else the current month
// when the table holds it, else the latest month the table holds (a month without values would
// show no value for any bond). With no months at all the current month stays.
struct StartingMonth {
    RedemptionMonth month;
    // The current month is not in the table and the latest month it holds stands in for it.
    bool latestHeld = false;
};
StartingMonth startingRedemptionMonth(const std::vector<RedemptionMonth>& months,
                                      RedemptionMonth current,
                                      std::optional<RedemptionMonth> remembered);
