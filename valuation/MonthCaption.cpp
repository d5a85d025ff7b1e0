#include "valuation/MonthCaption.h"

#include "valuation/ReportSnapshot.h"

bool showsLatestBeforeToday(const ReportSnapshot& snapshot, std::optional<YearMonth> today) {
    return today && snapshot.month && snapshot.lastTableMonth &&
           *snapshot.month == *snapshot.lastTableMonth && *today > *snapshot.lastTableMonth;
}

std::string valuesForMonthText(const ReportSnapshot& snapshot, std::optional<YearMonth> today,
                               const std::string& lead) {
    std::string text = lead + " " + snapshot.monthName;
    if (snapshot.projected()) {
        text += ", projected (" + std::string(kProjectedMark) + "): rates in force in " +
                snapshot.lastTableMonth->name() + " held unchanged";
    } else if (showsLatestBeforeToday(snapshot, today)) {
        text += ", the latest month the table holds; today is " + today->name();
    }
    return text;
}
