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

ReportSnapshot computeOwnerSnapshot(const ValuationContext* owner,
                                    const std::optional<std::string>& portfolio,
                                    const ValueTable* table) {
    const BondDatabase* store = owner != nullptr ? owner->bondDatabase() : nullptr;
    const std::vector<Bond> bonds =
        store != nullptr && portfolio ? bondsOfPortfolio(*store, *portfolio) : std::vector<Bond>();
    if (owner == nullptr) {
        return computeReportSnapshot(bonds, portfolio.value_or(std::string()), table, std::nullopt);
    }
    return computeReportSnapshot(bonds, portfolio.value_or(std::string()), table,
                                 owner->redemptionMonth());
}

void ValueReport::recompute() {
    if (shared_ && portfolio_) {
        if (std::shared_ptr<const ReportSnapshot> computed =
                shared_(*portfolio_, bondTable_.get())) {
            snapshot_ = std::move(computed);
            return;
        }
    }
    ++computations_;
    snapshot_ = std::make_shared<const ReportSnapshot>(
        computeOwnerSnapshot(owner_, portfolio_, bondTable_.get()));
}

void ValueReport::setBondTable(ValueTableRef bondTable) {
    bondTable_ = std::move(bondTable);
    recompute();
}

std::string ValueReport::cellText(std::string_view columnIdentifier, int row) const {
    return snapshot_->cellText(reportColumnNamed(columnIdentifier), row);
}

bool ValueReport::isSelectableRow(int row) const {
    // The bonds and the totals, to be copied; not the heading or the blank rows.
    return row > 0 && row < snapshot_->rowCount() && !snapshot_->isBlankRow(row);
}

std::optional<Amount> ValueReport::valueForBond(const Bond& bond) const {
    return valueFiguresOfBond(bondTable_.get(), reportBondOf(bond), ownerMonth()).value;
}
