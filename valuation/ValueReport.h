#pragma once

// The value report of one portfolio without any window: the value table (read once), the owner
// that holds the store and the redemption month, and the report's snapshot. The portfolio is the
// one open when the owner is set, whatever is opened later. The snapshot is computed when the
// owner is set and again at `recompute` (the bonds or the month changed) or `setBondTable`
// (new values), never while it is read.

#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ResourceLocations;
class ValuationContext;

// The report of `portfolio` (none: no bonds) with the store and the redemption month of `owner`
// (none: neither), computed now.
ReportSnapshot computeOwnerSnapshot(const ValuationContext* owner,
                                    const std::optional<std::string>& portfolio,
                                    const ValueTable* table);

class ValueReport {
  public:
    // Reads the value table; a missing or unreadable table gives no bond a value.
    explicit ValueReport(const ResourceLocations& resources);
    explicit ValueReport(ValueTableRef bondTable);

    ValueReport(const ValueReport&) = delete;
    ValueReport& operator=(const ValueReport&) = delete;

    // The owner of the store and the redemption month; not owned, must outlive the report.
    // Pins the report to the owner's open portfolio (none when none is open) and computes it.
    ValuationContext* owner() const { return owner_; }
    void setOwner(ValuationContext* owner);
    const std::optional<std::string>& portfolioName() const { return portfolio_; }

    // The bonds or the owner's month changed: computes the snapshot anew.
    void recompute();
    // New values: the report reads them from now on.
    void setBondTable(ValueTableRef bondTable);
    // The value table; nullptr when it could not be read.
    const ValueTable* bondTable() const { return bondTable_.get(); }

    const ReportSnapshot& snapshot() const { return *snapshot_; }
    // How many times the snapshot has been computed: a change must cost one computation.
    long computationCount() const { return computations_; }

    // Where a snapshot already computed elsewhere for the same portfolio, month and table can be
    // had (none: compute it here); `recompute` takes it instead of computing its own.
    using SharedSnapshots = std::function<std::shared_ptr<const ReportSnapshot>(
        const std::string& portfolio, const ValueTable* table)>;
    void setSharedSnapshots(SharedSnapshots shared) { shared_ = std::move(shared); }

    // The snapshot as a table (ReportSnapshot's rows) by column identifier; an identifier the
    // report does not know shows the stored text under that key.
    int rowCount() const { return snapshot_->rowCount(); }
    std::string cellText(std::string_view columnIdentifier, int row) const;
    // Whether a row can be selected (and copied): the bond rows and the totals row.
    bool isSelectableRow(int row) const;

    int bondCount() const { return snapshot_->bondCount(); }
    Amount totalFaceValue() const { return snapshot_->totalFaceValue; }
    // The sum of the values the bonds have.
    Amount totalCurrentValue() const { return snapshot_->summary.worth.known; }
    // Issued bonds the value table holds no leaf for (their value cells show "no value").
    int bondsWithoutValue() const { return snapshot_->bondsWithoutLeaf; }
    bool tableHoldsRedemptionDate() const { return snapshot_->tableHoldsMonth; }
    std::string missingValuesNote() const { return snapshot_->missingValuesNote(); }
    const std::vector<std::string>& invalidSerials() const { return snapshot_->invalidSerials; }
    bool valid() const { return snapshot_->valid(); }

    // A bond's value at the month the owner holds now; none when the table has no value for it,
    // calls it invalid or it is not issued yet. A bond not yet payable is worth its price.
    std::optional<Amount> valueForBond(const Bond& bond) const;

  private:
    std::optional<YearMonth> ownerMonth() const;

    ValueTableRef bondTable_;
    ValuationContext* owner_ = nullptr;
    std::optional<std::string> portfolio_;
    std::shared_ptr<const ReportSnapshot> snapshot_;
    SharedSnapshots shared_;
    long computations_ = 0;
};
