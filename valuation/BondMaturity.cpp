#include "valuation/BondMaturity.h"

bool hasMatured(const std::string& type, int issueYear, int issueMonth, int redemptionYear,
                int redemptionMonth) {
    if (issueYear <= 0 || issueMonth < 1 || issueMonth > 12) {
        return false;
    }
    const bool earlyE = type == "E" && (issueYear < 1965 || (issueYear == 1965 && issueMonth < 12));
    const int years = earlyE ? 40 : 30;
    const int maturity = (issueYear + years) * 12 + (issueMonth - 1);
    return redemptionYear * 12 + (redemptionMonth - 1) >= maturity;
}
