#pragma once

// The order of the report's bond rows when the user sorts them by a column. Cells are compared
// by what they stand for, never by their text: amounts and yields as numbers, issue and
// maturity dates as months, statuses in the order they are decided. A bond without a figure in
// the column comes last in either direction, and bonds that compare equal keep the report's
// issue-date order. The heading, blank and totals rows are not bond rows and never move.

#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"

#include <cstddef>
#include <vector>

// Positions into `snapshot.rows`, ordered by `column`, ascending or descending.
std::vector<std::size_t> bondRowOrder(const ReportSnapshot& snapshot, const ReportColumn& column,
                                      bool ascending);

// The snapshot with its bond rows in `order` (positions into its rows, each once), as the
// window shows them; everything else stays.
ReportSnapshot withBondRowOrder(ReportSnapshot snapshot, const std::vector<std::size_t>& order);
