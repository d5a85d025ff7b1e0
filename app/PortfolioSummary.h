#pragma once

// The lines the main window shows about the open portfolio: how many bonds, their face total,
// their value at the redemption month, the month itself, how many bonds have no value in the
// table, then the report's summary lines (paid, worth, interest, worth if cashed now, matured).

#include <string>

struct ReportSnapshot;

// The lines for the open portfolio's report.
std::string portfolioSummaryText(const ReportSnapshot& report);
