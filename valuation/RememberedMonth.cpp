#include "valuation/RememberedMonth.h"

#include <QSettings>

namespace {

// Kept as "2009-12", the form the command line takes.
constexpr const char* kRedemptionMonthKey = "report/redemptionMonth";

} // namespace

std::optional<RedemptionMonth> rememberedRedemptionMonth() {
    const QSettings settings;
    return redemptionMonthFromText(settings.value(kRedemptionMonthKey).toString().toStdString());
}

void rememberRedemptionMonth(RedemptionMonth month) {
    QSettings settings;
    settings.setValue(kRedemptionMonthKey, QString::fromStdString(redemptionMonthKeyText(month)));
}
