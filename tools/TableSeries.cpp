#include "TableSeries.h"

const SeriesRules& rulesOfSeries(BondSeries series) {
    // Every BondSeries has its rules: the series rules list each one the table holds.
    return *seriesRulesOf(bondSeriesName(series));
}

IssueMonths issueMonthsOf(BondSeries series, YearMonth tableLast) {
    const SeriesRules& rules = rulesOfSeries(series);
    const bool stillSold = rules.lastIssue == YearMonth{0, 0};
    return {rules.firstIssue, stillSold ? tableLast : rules.lastIssue};
}

YearMonth finalMaturityMonth(BondSeries series, YearMonth issue) {
    return finalMaturityOf(bondSeriesName(series), issue);
}
