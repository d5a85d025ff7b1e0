#pragma once

// What a portfolio's record holds about its owner besides the bonds: the owner new bonds are
// entered with, the owner's birth month (the education exclusion needs it) and how the owner
// reports bond interest. Each is optional in the file; a portfolio without them reads as "none"
// and the cash method.

#include "store/YearMonth.h"

#include <optional>
#include <string>
#include <string_view>

struct Portfolio;

// How the owner reports the interest of savings bonds; the election covers all of a taxpayer's
// bonds, so it is kept with the portfolio.
enum class TaxMethod { Cash, Accrual };

// "cash" or "accrual": the command line's words and the portfolio record's.
std::string_view taxMethodKeyword(TaxMethod method);
std::optional<TaxMethod> taxMethodOfKeyword(std::string_view keyword);

struct PortfolioDetails {
    // Empty: none.
    std::string defaultOwner;
    std::optional<YearMonth> ownerBirthMonth;
    // None: never chosen, which reports as the cash method.
    std::optional<TaxMethod> taxMethod;

    TaxMethod effectiveTaxMethod() const { return taxMethod.value_or(TaxMethod::Cash); }
    bool operator==(const PortfolioDetails&) const = default;
};

// The details as the portfolio's record holds them; a value it holds that reads as none of the
// above counts as none.
PortfolioDetails portfolioDetailsOf(const Portfolio& portfolio);
