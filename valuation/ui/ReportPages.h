#pragma once

// The value report painted page by page, for the printer and for PDF: the title and the month on
// the first page, the column titles at the top of every page, one line per bond, the totals in
// bold, then the summary and notes. Only one page is laid out at a time, so a report of any
// length costs the memory of one page; a report wider than the page is drawn smaller to fit.

#include "valuation/ReportDocument.h"

#include <functional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class ResourceLocations;
class QPageLayout;
struct ReportSnapshot;

// What a printed report shows: the snapshot with its rows in the order shown, and its columns.
struct ReportPrintout {
    const ReportSnapshot& snapshot;
    ReportColumnPositions columns;
    ReportPageTexts texts;
};

// Any other table painted the same way: the heading (the columns' titles), a row per bond and the
// totals last, with the texts around it.
struct TablePrintout {
    std::vector<TextRow> table;
    std::function<bool(std::size_t)> isAmount;
    ReportPageTexts texts;
};

// Told after each page is painted (counting from 1) how many there are in all; answers false to
// stop there.
using PageProgress = std::function<bool(int pagesDone, int pageCount)>;

enum class PaintOutcome { Done, Cancelled, Failed };

// Paints the report on `device`, starting on its current page.
PaintOutcome paintReportPages(QPagedPaintDevice& device, const ReportPrintout& printout,
                              const PageProgress& progress = {});

PaintOutcome paintTablePages(QPagedPaintDevice& device, const TablePrintout& printout,
                             const PageProgress& progress = {});

// The page a PDF of the report is laid out on when the user chose none: US Letter, landscape,
// half-inch margins.
QPageLayout reportPdfPageLayout();

// Writes the report as a PDF file with the given page layout, atomically: a report cancelled or
// failed leaves the path as it was. `error` says why on Failed.
PaintOutcome writeReportPdf(const std::string& path, const ResourceLocations& resources,
                            const ReportPrintout& printout, const QPageLayout& layout,
                            const std::string& title, const PageProgress& progress = {},
                            std::string* error = nullptr);
PaintOutcome writeTablePdf(const std::string& path, const ResourceLocations& resources,
                           const TablePrintout& printout, const QPageLayout& layout,
                           const std::string& title, const PageProgress& progress = {},
                           std::string* error = nullptr);
