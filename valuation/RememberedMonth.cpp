#include "valuation/RememberedMonth.h"

#include "platform/Settings.h"

#include <QDate>

std::optional<RedemptionMonth> rememberedRedemptionMonth() {
    return YearMonth::fromKeyText(Settings::redemptionMonth.value().toStdString());
}

void rememberRedemptionMonth(RedemptionMonth month) {
    Settings::redemptionMonth.setValue(QString::fromStdString(month.keyText()));
}

RedemptionMonth currentRedemptionMonth() {
    const QDate today = QDate::currentDate();
    return {today.year(), today.month()};
}

StartingMonth startingRedemptionMonth(const std::vector<RedemptionMonth>& months,
                                      RedemptionMonth current,
                                      std::optional<RedemptionMonth> remembered) {
    if (remembered && holdsRedemptionMonth(months, remembered->year, remembered->month)) {
        return {*remembered, false};
    }
    if (months.empty() || holdsRedemptionMonth(months, current.year, current.month)) {
        return {current, false};
    }
    return {months.back(), true};
}
