#pragma once

// The value report of one portfolio as a session holds it, read as a table: the session's
// snapshot of the portfolio (computed once per change for every view of it), taken when the
// report is made and again at `refresh`, never while it is read.

#include "valuation/ReportColumn.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Session;

class ValueReport {
  public:
    // The session must outlive the report.
    ValueReport(Session& session, std::string portfolio);

    ValueReport(const ValueReport&) = delete;
    ValueReport& operator=(const ValueReport&) = delete;

    const std::string& portfolioName() const { return portfolio_; }
    // Takes the session's snapshot as it is now.
    void refresh();
    // The value table in effect; nullptr when there is none.
    const ValueTable* bondTable() const;

    const ReportSnapshot& snapshot() const { return *snapshot_; }

    // The snapshot as a table (ReportSnapshot's rows) by column identifier; an identifier the
    // report does not know shows the stored text under that key.
    int rowCount() const { return snapshot_->rowCount(); }
    std::string cellText(std::string_view columnIdentifier, int row) const;
    // Whether a row can be selected (and copied): the bond rows and the totals row.
    bool isSelectableRow(int row) const;

    int bondCount() const { return snapshot_->bondCount(); }
    // Issued bonds the value table holds no leaf for (their value cells show "no value").
    int bondsWithoutValue() const { return snapshot_->bondsWithoutLeaf; }
    bool tableHoldsRedemptionDate() const { return snapshot_->tableHoldsMonth; }
    std::string missingValuesNote() const { return snapshot_->missingValuesNote(); }
    const std::vector<std::string>& invalidSerials() const { return snapshot_->invalidSerials; }
    bool valid() const { return snapshot_->valid(); }

  private:
    Session& session_;
    std::string portfolio_;
    std::shared_ptr<const ReportSnapshot> snapshot_;
};
