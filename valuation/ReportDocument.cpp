#include "valuation/ReportDocument.h"

#include "platform/ResourceLocations.h"
#include "valuation/MonthCaption.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"

#include <filesystem>
#include <system_error>

ReportColumnPositions allReportColumns() {
    ReportColumnPositions columns;
    for (std::size_t position = 0; position < kReportColumns.size(); ++position) {
        if (!kReportColumns[position].optional) {
            columns.push_back(position);
        }
    }
    return columns;
}

TextRow reportTableRow(const ReportSnapshot& report, const ReportColumnPositions& columns,
                       int row) {
    bool labelled = false;
    TextRow cells;
    cells.reserve(columns.size());
    for (std::size_t position : columns) {
        const ReportColumn& column = kReportColumns[position];
        const bool label = report.isTotalsRow(row) && column.totalRule == ReportTotalRule::Label;
        cells.push_back(label && labelled ? std::string() : report.cellText(column, row));
        labelled = labelled || label;
    }
    return cells;
}

std::vector<TextRow> reportTableRows(const ReportSnapshot& report,
                                     const ReportColumnPositions& columns) {
    std::vector<TextRow> rows;
    for (int row = 0; row < report.rowCount(); ++row) {
        if (!report.isBlankRow(row)) {
            rows.push_back(reportTableRow(report, columns, row));
        }
    }
    return rows;
}

namespace {

// The summary and every note, as they read below the table.
std::vector<std::string> reportNotes(const ReportSnapshot& report,
                                     const ReportColumnPositions& columns) {
    std::vector<std::string> notes = report.summaryLines(&columns);
    for (std::string& line : report.actionLines()) {
        notes.push_back(std::move(line));
    }
    if (std::string note = report.missingValuesNote(); !note.empty()) {
        notes.push_back(std::move(note));
    }
    notes.emplace_back("\"not known\": the value table or the Treasury's rules do not give this "
                       "figure for the bond.");
    return notes;
}

} // namespace

std::string reportCsv(const ReportSnapshot& report, const ReportColumnPositions& columns) {
    std::vector<TextRow> records = {
        {"Portfolio", report.portfolioName}, {"Redemption month", report.monthName}, {}};
    for (TextRow& row : reportTableRows(report, columns)) {
        records.push_back(std::move(row));
    }
    records.emplace_back();
    for (const std::string& note : reportNotes(report, columns)) {
        records.push_back({note});
    }
    return csvText(records);
}

ReportPageTexts reportPageTexts(const ReportSnapshot& report, const ReportDocumentInfo& info,
                                const ReportColumnPositions& columns) {
    ReportPageTexts texts;
    texts.title = "Value Report - " + report.portfolioName;
    texts.caption = valuesForMonthText(report, std::nullopt, "Values at the redemption date") + ".";
    texts.notes = reportNotes(report, columns);
    texts.notes.push_back("Made on " + info.madeOn + ". " + info.valuesSource);
    return texts;
}

std::string valuesSourceText(const ResourceLocations& resources, const ValueTable* table) {
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
