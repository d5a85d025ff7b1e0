#pragma once

// The value report as a document an owner can keep: the table of every column (heading, bonds,
// totals) as CSV, and as a page of HTML with the portfolio's name, the redemption month, the
// summary, the note on missing values, the date it was made and where its values come from.
// The report window prints and saves the page as PDF.

#include "valuation/TableText.h"

#include <string>
#include <vector>

class ResourceLocations;
class ValueReport;

struct ReportDocumentInfo {
    std::string portfolioName;
    // "June 2009".
    std::string redemptionMonth;
    // "2026-12-07 14:03".
    std::string madeOn;
    // Where the values come from (valuesSourceText).
    std::string valuesSource;
};

// The heading (titles), one row per bond and the totals, in every column of the report.
std::vector<TextRow> reportTableRows(const ValueReport& report);

// The rows above as CSV (RFC 4180).
std::string reportCsv(const ValueReport& report);

// A whole HTML page for printing.
std::string reportHtml(const ValueReport& report, const ReportDocumentInfo& info);

// Which value table the values come from: the user's updated copy or the one shipped with the
// program, with the months it holds.
std::string valuesSourceText(const ResourceLocations& resources, const ValueReport& report);
