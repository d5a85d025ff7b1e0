#pragma once

// The redemption months that a value table holds, and the message that names them when a user
// picks a month outside them.

#include "store/YearMonth.h"
#include "valuation/ValueTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A month in which a bond is valued.
using RedemptionMonth = YearMonth;

// Every (year, month) filed under any series of the table, in calendar order without repeats.
// None without a table.
std::vector<RedemptionMonth> redemptionMonthsInTable(const ValueTable* table);

// Whether `table` holds a value or "NO PAY" for bonds of `series` issued in `issue`, in any
// of its redemption months; false without a table.
bool tableValuesIssue(const ValueTable* table, std::string_view series, YearMonth issue);

// The distinct years of `months`, ascending, as four-digit texts (the year box's items).
std::vector<std::string> redemptionYearTexts(const std::vector<RedemptionMonth>& months);

// Whether `months` (as given by redemptionMonthsInTable) holds the month.
bool holdsRedemptionMonth(const std::vector<RedemptionMonth>& months, int year, int month);

// The months as ranges, one per run of consecutive months: "June 2009 to May 2010", "June 2009
// to May 2010 and June 2016 to November 2016", "A to B, C to D and E to F"; empty for none.
std::string redemptionMonthRangesText(const std::vector<RedemptionMonth>& months);

// How a user adds the Treasury's value files for more months, in the application's windows.
inline constexpr std::string_view kAddValuesWithUpdateValues =
    "To add values for other months, choose Update Values… with the Treasury's value files for "
    "them.";

// The refusal for a month the table does not hold (`chosen`; none: "that month"): that the table
// holds no values for it, the months it holds as ranges ("June 2009 to May 2010 and June 2016 to
// November 2016", as redemptionMonthRangesText) and then `howToAdd`.
std::string
unsupportedRedemptionDateMessage(const std::vector<RedemptionMonth>& months,
                                 std::optional<RedemptionMonth> chosen,
                                 std::string_view howToAdd = kAddValuesWithUpdateValues);
