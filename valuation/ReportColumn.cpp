#include "valuation/ReportColumn.h"

const ReportColumn* reportColumnAt(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= kReportColumns.size()) {
        return nullptr;
    }
    return &kReportColumns[static_cast<std::size_t>(position)];
}

ReportColumn reportColumnNamed(std::string_view identifier) {
    for (const ReportColumn& column : kReportColumns) {
        if (column.identifier == identifier) {
            return column;
        }
    }
    ReportColumn stored;
    stored.identifier = identifier;
    stored.title = identifier;
    return stored;
}
