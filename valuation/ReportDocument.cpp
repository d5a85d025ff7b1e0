#include "valuation/ReportDocument.h"

#include "platform/ResourceLocations.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"

#include <filesystem>
#include <system_error>

namespace {

std::string escapedHtml(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string paragraph(const std::string& text) {
    return "<p>" + escapedHtml(text) + "</p>\n";
}

} // namespace

ReportColumnPositions allReportColumns() {
    ReportColumnPositions columns;
    for (std::size_t position = 0; position < kReportColumns.size(); ++position) {
        columns.push_back(position);
    }
    return columns;
}

std::vector<TextRow> reportTableRows(const ReportSnapshot& report,
                                     const ReportColumnPositions& columns) {
    std::vector<TextRow> rows;
    for (int row = 0; row < report.rowCount(); ++row) {
        if (report.isBlankRow(row)) {
            continue;
        }
        bool labelled = false;
        TextRow cells;
        for (std::size_t position : columns) {
            const ReportColumn& column = kReportColumns[position];
            const bool repeatedLabel =
                report.isTotalsRow(row) && column.totalRule == ReportTotalRule::Label && labelled;
            labelled =
                labelled || (report.isTotalsRow(row) && column.totalRule == ReportTotalRule::Label);
            cells.push_back(repeatedLabel ? std::string() : report.cellText(column, row));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

namespace {

// The summary and every note, as they read below the table.
std::vector<std::string> reportNotes(const ReportSnapshot& report) {
    std::vector<std::string> notes = report.summaryLines();
    if (std::string note = report.missingValuesNote(); !note.empty()) {
        notes.push_back(std::move(note));
    }
    notes.emplace_back("\"not known\": the value table or the Treasury's rules do not give this "
                       "figure for the bond.");
    return notes;
}

// Spaces that never break a line.
std::string nonBreaking(const std::string& text) {
    std::string kept;
    for (char c : text) {
        kept += c == ' ' ? std::string("&nbsp;") : std::string(1, c);
    }
    return kept;
}

// Serials and amounts stay on one line.
bool keptOnOneLine(const ReportColumn& column) {
    return column.isAmount || column.identifier == kSerialKey;
}

} // namespace

std::string reportCsv(const ReportSnapshot& report, const ReportColumnPositions& columns) {
    std::vector<TextRow> records = {
        {"Portfolio", report.portfolioName}, {"Redemption month", report.monthName}, {}};
    for (TextRow& row : reportTableRows(report, columns)) {
        records.push_back(std::move(row));
    }
    records.emplace_back();
    for (const std::string& note : reportNotes(report)) {
        records.push_back({note});
    }
    return csvText(records);
}

std::string reportHtml(const ReportSnapshot& report, const ReportDocumentInfo& info,
                       const ReportColumnPositions& columns) {
    const std::string name = escapedHtml(report.portfolioName);
    std::string html =
        "<html><head><meta charset=\"utf-8\"><title>" + name + "</title></head><body>\n";
    html += "<h2>Value Report - " + name + "</h2>\n";
    html += paragraph("Values at the redemption date " + report.monthName);
    html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    const std::vector<TextRow> rows = reportTableRows(report, columns);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const bool heading = row == 0;
        const bool totals = row + 1 == rows.size();
        html += "<tr>";
        for (std::size_t cell = 0; cell < rows[row].size(); ++cell) {
            const ReportColumn& column = kReportColumns[columns[cell]];
            const char* align = column.isAmount ? "right" : "left";
            std::string text = escapedHtml(rows[row][cell]);
            if (!heading && keptOnOneLine(column)) {
                text = "<nobr>" + nonBreaking(text) + "</nobr>";
            }
            html += heading ? "<th>" + text + "</th>"
                            : std::string("<td align=\"") + align + "\">" +
                                  (totals ? "<b>" + text + "</b>" : text) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
    for (const std::string& line : reportNotes(report)) {
        html += paragraph(line);
    }
    html += paragraph("Made on " + info.madeOn + ". " + info.valuesSource);
    html += "</body></html>\n";
    return html;
}

std::string valuesSourceText(const ResourceLocations& resources, const PlistDict* table) {
    std::error_code error;
    const bool updated = std::filesystem::exists(
        resources.userPathForResource(kBondTableResource, kBondTableType), error);
    const std::string months = redemptionMonthRangesText(redemptionMonthsInTable(table));
    std::string text = updated ? "Values from your updated copy of the redemption value table"
                               : "Values from the redemption value table shipped with Orvelt";
    if (!months.empty()) {
        text += " (redemption dates from " + months + ")";
    }
    return text + ". " + valueSourcesText();
}
