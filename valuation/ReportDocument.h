#pragma once

// The value report as a document an owner can keep, in the columns the owner shows: as CSV
// (the portfolio and the month first, then the table, then the summary and notes), and as a page
// of HTML with the portfolio's name, the redemption month, the table, the summary, the notes,
// the date it was made and where its values come from. The report window prints and saves the
// page as PDF.

#include "platform/PlistValue.h"
#include "valuation/TableText.h"

#include <cstddef>
#include <string>
#include <vector>

class ResourceLocations;
struct ReportSnapshot;

// Positions in kReportColumns.
using ReportColumnPositions = std::vector<std::size_t>;
// Every column of the report.
ReportColumnPositions allReportColumns();

struct ReportDocumentInfo {
    // "2026-12-07 14:03".
    std::string madeOn;
    // Where the values come from (valuesSourceText).
    std::string valuesSource;
};

// The heading (titles), one row per bond and the totals, in the given columns; the totals row
// says "Total:" once.
std::vector<TextRow> reportTableRows(const ReportSnapshot& report,
                                     const ReportColumnPositions& columns);

// The document as CSV (RFC 4180).
std::string reportCsv(const ReportSnapshot& report, const ReportColumnPositions& columns);

// A whole HTML page for printing.
std::string reportHtml(const ReportSnapshot& report, const ReportDocumentInfo& info,
                       const ReportColumnPositions& columns);

// Which value table the values come from: the user's updated copy or the one shipped with the
// program, with the months it holds.
std::string valuesSourceText(const ResourceLocations& resources, const PlistDict* table);
