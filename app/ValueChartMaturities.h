#pragma once

// The final-maturity marks of the "Value Over Time" chart. Each mark has a label; where marks lie
// too close for their labels to stand apart, they are grouped by quarter, half year, year or
// longer, the shortest period whose labels all fit, and a group is drawn as a strip along the top
// of the plot over the months its bonds mature in.

#include "store/YearMonth.h"
#include "valuation/WorthOverTime.h"

#include <QString>
#include <cstddef>
#include <vector>

class QFontMetricsF;

struct MaturityMark {
    YearMonth first; // the first and last month a bond of the mark matures in
    YearMonth last;
    std::size_t bonds = 0;
    // "March 2025", "Mar–Nov 2025 (4 bonds)", "2021–2026 (310 bonds)".
    QString label;
};

// The marks of the maturities from `from` to `to`, for a plot `pixelsPerMonth` wide per month
// whose labels are drawn with `metrics`: single months where their labels fit apart, otherwise
// the finest grouping whose labels do (one group of all when none does).
std::vector<MaturityMark> maturityMarks(const std::vector<FinalMaturity>& maturities,
                                        YearMonth from, YearMonth to, double pixelsPerMonth,
                                        const QFontMetricsF& metrics);
