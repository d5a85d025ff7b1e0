#pragma once

// The value report as a document an owner can keep, in the columns the owner shows: as CSV
// (the portfolio and the month first, then the table, then the summary and notes), and as the
// texts of a printed page: the portfolio's name, the redemption month, the table, the summary,
// the notes, the date it was made and where its values come from. The report window paints
// them on pages to print or save as PDF.

#include "valuation/ReportColumn.h"
#include "valuation/TableText.h"

#include <cstddef>
#include <string>
#include <vector>

class ResourceLocations;
class ValueTable;
struct ReportSnapshot;

// Every column of the report but the optional ones (the kind and the registration).
ReportColumnPositions allReportColumns();

struct ReportDocumentInfo {
    // "2026-12-07 14:03".
    std::string madeOn;
    // Where the values come from (valuesSourceText).
    std::string valuesSource;
};

// One row of the table in the given columns: the heading (titles) at row 0, a bond, or the
// totals, which say "Total:" once (rows as ReportSnapshot numbers them).
TextRow reportTableRow(const ReportSnapshot& report, const ReportColumnPositions& columns, int row);
// The heading, one row per bond and the totals, without the blank rows.
std::vector<TextRow> reportTableRows(const ReportSnapshot& report,
                                     const ReportColumnPositions& columns);

// The document as CSV (RFC 4180).
std::string reportCsv(const ReportSnapshot& report, const ReportColumnPositions& columns);

// What a printed page says around the table.
struct ReportPageTexts {
    std::string title;   // "Value Report - Grandma's bonds"
    std::string caption; // the redemption month
    // Below the table: the summary, the notes, when it was made and where the values come from.
    std::vector<std::string> notes;
};
ReportPageTexts reportPageTexts(const ReportSnapshot& report, const ReportDocumentInfo& info,
                                const ReportColumnPositions& columns);

// Which value table the values come from: the user's updated copy or the one shipped with the
// program, with the months it holds.
std::string valuesSourceText(const ResourceLocations& resources, const ValueTable* table);
