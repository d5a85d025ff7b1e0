#include "valuation/ValueReport.h"

#include "store/BondDatabase.h"
#include "valuation/PortfolioBonds.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueTable.h"

ValueReport::ValueReport(const ResourceLocations& resources)
    : ValueReport(loadBondTable(resources)) {}

ValueReport::ValueReport(ValueTableRef bondTable) : bondTable_(std::move(bondTable)) {
    recompute();
}

void ValueReport::setOwner(ValuationContext* owner) {
    owner_ = owner;
    portfolio_ = owner != nullptr ? owner->openPortfolio() : std::nullopt;
    recompute();
}

std::optional<YearMonth> ValueReport::ownerMonth() const {
    if (owner_ == nullptr) {
        return std::nullopt;
    }
    return owner_->redemptionMonth();
}

void ValueReport::recompute() {
    ++computations_;
    const BondDatabase* store = owner_ != nullptr ? owner_->bondDatabase() : nullptr;
    const std::vector<Bond> bonds = store != nullptr && portfolio_
                                        ? bondsOfPortfolio(*store, *portfolio_)
                                        : std::vector<Bond>();
    snapshot_ = computeReportSnapshot(bonds, portfolio_.value_or(std::string()), bondTable_.get(),
                                      ownerMonth());
}

void ValueReport::setBondTable(ValueTableRef bondTable) {
    bondTable_ = std::move(bondTable);
    recompute();
}

std::string ValueReport::cellText(std::string_view columnIdentifier, int row) const {
    return snapshot_.cellText(reportColumnNamed(columnIdentifier), row);
}

bool ValueReport::isSelectableRow(int row) const {
    // The bonds and the totals, to be copied; not the heading or the blank rows.
    return row > 0 && row < snapshot_.rowCount() && !snapshot_.isBlankRow(row);
}

std::optional<double> ValueReport::valueForBond(const Bond& bond) const {
    return valueFiguresOfBond(bondTable_.get(), reportBondOf(bond), ownerMonth()).value;
}
