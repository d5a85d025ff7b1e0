#include "valuation/ValueReport.h"

#include "valuation/Session.h"

ValueReport::ValueReport(Session& session, std::string portfolio)
    : session_(session), portfolio_(std::move(portfolio)), snapshot_(session.snapshot(portfolio_)) {
}

void ValueReport::refresh() {
    snapshot_ = session_.snapshot(portfolio_);
}

const ValueTable* ValueReport::bondTable() const {
    return session_.valueTable().get();
}

std::string ValueReport::cellText(std::string_view columnIdentifier, int row) const {
    return snapshot_->cellText(reportColumnNamed(columnIdentifier), row);
}

bool ValueReport::isSelectableRow(int row) const {
    // The bonds and the totals, to be copied; not the heading or the blank rows.
    return row > 0 && row < snapshot_->rowCount() && !snapshot_->isBlankRow(row);
}
