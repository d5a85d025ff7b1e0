#pragma once

// The lines the main window shows about the open portfolio: how many bonds, their face total,
// their value at the redemption month, the month itself, and how many bonds have no value in the
// table or have matured.

#include "valuation/ValueTable.h"

#include <string>

class ValuationContext;
struct ReportSnapshot;

// Empty when no portfolio is open. `bondTable` may be empty (every bond then has no value).
// The open portfolio's report is computed once for it.
std::string portfolioSummaryText(ValuationContext& context, ValueTableRef bondTable);
// The lines for a report already computed.
std::string portfolioSummaryText(const ReportSnapshot& report);
