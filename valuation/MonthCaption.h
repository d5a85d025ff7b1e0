#pragma once

// The line that names the month a portfolio's values are for, as the main window, the report
// and the command line say it.

#include "store/YearMonth.h"

#include <optional>
#include <string>

struct ReportSnapshot;

// "Values for November 2026"; ", the latest month the table holds; today is December 2026" added
// when that month is the table's latest and `today` comes after it; for a month after the table
// ", projected (~): rates in force in November 2026 held unchanged". `lead` replaces "Values for".
std::string valuesForMonthText(const ReportSnapshot& snapshot, std::optional<YearMonth> today,
                               const std::string& lead = "Values for");

// Whether the month shown is the table's latest while `today` comes after it.
bool showsLatestBeforeToday(const ReportSnapshot& snapshot, std::optional<YearMonth> today);
