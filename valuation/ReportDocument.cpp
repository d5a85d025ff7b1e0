#include "valuation/ReportDocument.h"

#include "platform/ResourceLocations.h"
#include "valuation/ReportColumn.h"
#include "valuation/ValueReport.h"
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

std::vector<TextRow> reportTableRows(const ValueReport& report) {
    std::vector<TextRow> rows;
    const int rowCount = report.rowCount();
    for (int row = 0; row < rowCount; ++row) {
        if (report.isBlankRow(row)) {
            continue;
        }
        TextRow cells;
        for (const ReportColumn& column : kReportColumns) {
            cells.push_back(report.cell(column, row).text);
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::string reportCsv(const ValueReport& report) {
    return csvText(reportTableRows(report));
}

std::string reportHtml(const ValueReport& report, const ReportDocumentInfo& info) {
    std::string html = "<html><head><meta charset=\"utf-8\"><title>" +
                       escapedHtml(info.portfolioName) + "</title></head><body>\n";
    html += "<h2>Value Report - " + escapedHtml(info.portfolioName) + "</h2>\n";
    html += paragraph("Values at the redemption date " + info.redemptionMonth);
    html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    const std::vector<TextRow> rows = reportTableRows(report);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const bool heading = row == 0;
        const bool totals = row + 1 == rows.size();
        html += "<tr>";
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const char* align = kReportColumns[column].isAmount ? "right" : "left";
            const std::string text = escapedHtml(rows[row][column]);
            html += heading ? "<th>" + text + "</th>"
                            : std::string("<td align=\"") + align + "\">" +
                                  (totals ? "<b>" + text + "</b>" : text) + "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
    for (const std::string& line : report.summaryLines()) {
        html += paragraph(line);
    }
    if (const std::string note = report.missingValuesNote(); !note.empty()) {
        html += paragraph(note);
    }
    html += paragraph("\"not known\": the value table or the Treasury's rules do not give this "
                      "figure for the bond.");
    html += paragraph("Made on " + info.madeOn + ". " + info.valuesSource);
    html += "</body></html>\n";
    return html;
}

std::string valuesSourceText(const ResourceLocations& resources, const ValueReport& report) {
    std::error_code error;
    const bool updated = std::filesystem::exists(
        resources.userPathForResource(kBondTableResource, kBondTableType), error);
    const std::string months =
        redemptionMonthRangesText(redemptionMonthsInTable(report.bondTable()));
    std::string text = updated ? "Values from your updated copy of the redemption value table"
                               : "Values from the redemption value table shipped with Orvelt";
    if (!months.empty()) {
        text += " (redemption dates from " + months + ")";
    }
    return text + ". " + valueSourcesText();
}
