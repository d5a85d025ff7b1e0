#include "valuation/ComingMaturities.h"

#include "valuation/HoldingFigures.h"

MaturityInYear bondsReachingFinalMaturity(const std::vector<Bond>& bonds, const ValueTable* table,
                                          int year) {
    MaturityInYear result;
    result.year = year;
    bool oneSeries = true;
    for (const Bond& bond : bonds) {
        const std::optional<YearMonth> finalMaturity = finalMaturityOfBond(bond);
        if (!finalMaturity) {
            continue;
        }
        const YearMonth maturity = *finalMaturity;
        const std::optional<YearMonth> cashed = bond.cashedMonth();
        if (maturity.year != year || (cashed && *cashed < maturity)) {
            continue;
        }
        oneSeries = oneSeries && (result.count == 0 || result.series == bond.type);
        result.series = oneSeries ? bond.type : std::string();
        ++result.count;
        bool projected = false;
        const std::optional<Amount> value = bondValueAt(table, bond, maturity, &projected);
        const std::optional<Amount> price = bondPrice(table, bond);
        if (value && price) {
            result.interest += *value - *price;
            ++result.interestKnown;
            result.projected = result.projected || projected;
        }
    }
    return result;
}

std::string finalMaturityLine(const MaturityInYear& maturing) {
    if (maturing.count == 0) {
        return {};
    }
    const bool one = maturing.count == 1;
    const std::string year = std::to_string(maturing.year);
    const std::string bonds = std::to_string(maturing.count) + " " +
                              (maturing.series.empty() ? "" : maturing.series + " ") +
                              (one ? "bond reaches" : "bonds reach");
    std::string interest = "their interest";
    if (maturing.interestKnown > 0) {
        interest = (maturing.projected ? "~" : "") + amountText(maturing.interest) +
                   " of interest" + (maturing.projected ? " (projected)" : "");
        if (maturing.interestKnown < maturing.count) {
            interest += " (on the " + std::to_string(maturing.interestKnown) +
                        " whose value then is known)";
        }
    } else if (one) {
        interest = "its interest";
    }
    return bonds + " final maturity in " + year + ": " + interest + " becomes reportable for " +
           year + " even if " + (one ? "it is" : "they are") + " not cashed.";
}
