#pragma once

// What an executor needs of the bonds at the month of a death: each bond held then with what
// identifies it (serial, series, issue date, face value or amount, registration, where it is
// kept), its redemption value that month (constant between accrual dates, so the month's value
// is the value at the date of death) and the interest in it, the totals, and whether the bonds
// are within the Treasury's limit for settling without administration (FS Form 5336).

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/Amount.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/TableText.h"
#include "valuation/ValueTable.h"

#include <optional>
#include <string>
#include <vector>

// Redemption value at the date of death up to which bonds may be settled without
// administration; exactly this much is within it.
inline constexpr Amount kSmallEstateLimit = Amount::ofCents(100000 * 100);

struct EstateRow {
    std::string portfolio;
    Bond bond;
    std::optional<Amount> value;
    std::optional<Amount> interest;
    // The month comes after the value table's last: both figures are projected.
    bool projected = false;
};

struct EstateListing {
    // Empty for one portfolio; "all portfolios" or the portfolio's name in the title.
    std::string title;
    bool showsPortfolio = false;
    YearMonth month;
    std::vector<EstateRow> rows;
    ReportTotal value;
    ReportTotal interest;
    // The value table's last month, which projected figures start from.
    std::optional<YearMonth> lastTableMonth;

    std::vector<TextRow> table() const;
    // Whether column `column` of table() holds amounts.
    static bool isAmountColumn(std::size_t column, bool showsPortfolio);
    // The totals, the limit's answer and the bonds left out, one sentence a line.
    std::vector<std::string> noteLines() const;
    // Whether the value is within the limit; absent when the total is not known in full and its
    // known part is within it.
    std::optional<bool> withinLimit() const;
};

struct PortfolioBondList {
    std::string portfolio;
    const std::vector<Bond>* bonds;
};

// The bonds of the portfolios held at `month`: issued by then and not cashed before it.
EstateListing computeEstateListing(const std::vector<PortfolioBondList>& portfolios,
                                   std::string title, bool showsPortfolio, const ValueTable* table,
                                   const YearMonth& month);
