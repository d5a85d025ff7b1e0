#pragma once

// The redemption month the user chose last, kept in the user's settings so that the next start
// of the application begins with it (while the value table holds it).

#include "valuation/ValueTableMonths.h"

#include <optional>

// Nothing when no month was kept or the setting does not read as one.
std::optional<RedemptionMonth> rememberedRedemptionMonth();
void rememberRedemptionMonth(RedemptionMonth month);
