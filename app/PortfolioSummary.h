#pragma once

// The lines the main window shows about the open portfolio: how many bonds, their face total,
// their value at the redemption month, the month itself, and how many bonds have no value in the
// table or have matured.

#include "platform/PlistValue.h"

#include <string>

class ValuationContext;

// Empty when no portfolio is open. `bondTable` may be empty (every bond then has no value).
std::string portfolioSummaryText(ValuationContext& context, PlistDictRef bondTable);
