#include "valuation/CashedFigures.h"

#include "store/Cashing.h"

bool cashedBy(const Bond& bond, const std::optional<YearMonth>& month) {
    const std::optional<YearMonth> cashed = bond.cashedMonth();
    return cashed && month && *cashed <= *month;
}

OwnerFigures cashedFiguresOfBond(const ValueTable* table, const Bond& bond) {
    const std::optional<YearMonth> month = bond.cashedMonth();
    const OwnerFigures then = ownerFiguresOfBond(table, bond, month);
    OwnerFigures figures;
    figures.status = BondStatus::Cashed;
    figures.statusMonth = month;
    figures.leaf = then.leaf;
    figures.issuePrice = then.issuePrice;
    figures.finalMaturity = then.finalMaturity;
    figures.nextAccrual.kind = NextAccrual::Kind::None;
    if (const std::optional<std::int64_t> cents = centsOfDollarText(bond.amountReceived())) {
        figures.value = Amount::ofCents(*cents);
        if (figures.issuePrice) {
            figures.interest = *figures.value - *figures.issuePrice;
        }
    }
    return figures;
}
