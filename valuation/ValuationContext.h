#pragma once

// What a valuation needs of its owner, the application controller: the portfolio database, the
// portfolio to value and the redemption date. They are read afresh at every valuation, so a
// change applies to the next value asked for.

#include "store/YearMonth.h"

#include <optional>
#include <string>

class BondDatabase;

class ValuationContext {
  public:
    virtual ~ValuationContext() = default;

    virtual BondDatabase* bondDatabase() const = 0;
    // The portfolio whose bonds are valued; none when no portfolio is open.
    virtual std::optional<std::string> openPortfolio() const = 0;
    // The month bonds are valued at; none when the clock's date did not read as a month.
    virtual std::optional<YearMonth> redemptionMonth() const = 0;
};
