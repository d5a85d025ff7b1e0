#pragma once

// What a valuation needs of its owner, the application controller: the portfolio database, the
// portfolio to value and the redemption date. They are read afresh at every valuation, so a
// change applies to the next value asked for.

#include <optional>
#include <string>

class BondDatabase;

class ValuationContext {
  public:
    virtual ~ValuationContext() = default;

    virtual BondDatabase* bondDatabase() const = 0;
    // The portfolio whose bonds are valued; none when no portfolio is open.
    virtual std::optional<std::string> openPortfolio() const = 0;
    // Four digits, such as "2009".
    virtual std::string redemptionYear() const = 0;
    // Two digits with a leading zero, "01" to "12".
    virtual std::string redemptionMonth() const = 0;
};
