#pragma once

// The interest of a portfolio's held bonds that becomes reportable in each coming year if every
// bond is kept to final maturity: under the cash method in the year each reaches it, under the
// accrual method each year's increase. Each year is the tax year's own answer (TaxYear.h) for
// the bonds held, so the figures come from the value table or its marked projection. It informs;
// it does not advise when to cash.

#include "store/Bond.h"
#include "store/PortfolioDetails.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/TableText.h"
#include "valuation/ValueTable.h"

#include <optional>
#include <string>
#include <vector>

struct ScheduleYear {
    int year = 0;
    // Held bonds that reach final maturity in the year.
    int maturing = 0;
    ReportTotal reportable;
};

struct ReportableSchedule {
    std::string portfolioName;
    TaxMethod method = TaxMethod::Cash;
    int fromYear = 0;
    // Under the cash method only the years in which a bond reaches final maturity; under the
    // accrual method every year until the last bond does.
    std::vector<ScheduleYear> years;
    ReportTotal total;
    // Held bonds whose final maturity the rules do not know (no such series or issue date): in
    // no year, and counted out of the total.
    int unscheduled = 0;
    std::optional<YearMonth> lastTableMonth;

    bool projected() const { return total.projected; }
    // The heading, a row per year and the total.
    std::vector<TextRow> table() const;
    static bool isAmountColumn(std::size_t column) { return column == 2; }
    // What the schedule assumes and leaves out, one sentence a line.
    std::vector<std::string> noteLines() const;
};

ReportableSchedule computeReportableSchedule(const std::vector<Bond>& bonds,
                                             std::string portfolioName, const ValueTable* table,
                                             int fromYear, TaxMethod method);
