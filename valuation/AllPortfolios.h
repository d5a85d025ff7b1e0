#pragma once

// Every portfolio together at the redemption month: a row per portfolio with its counts and
// totals, read from the session's snapshot of that portfolio (the same figures its own report
// shows), and the grand total of them all. No bond is valued here a second time.

#include "valuation/ReportSnapshot.h"
#include "valuation/TableText.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class Session;

struct PortfolioTotals {
    std::string name;
    int bonds = 0;
    Amount faceValue;
    ReportTotal worth;
    // Bonds issued by the month that have no value, those with an invalid issue date, those not
    // issued yet, and those cashed: each in no total.
    int withoutValue = 0;
    int invalid = 0;
    int notIssuedYet = 0;
    int cashed = 0;
    // Whether the value total is "not known": the portfolio holds bonds but none with a value.
    bool worthNotKnown = false;
};

struct AllPortfolios {
    std::string monthName;
    std::vector<PortfolioTotals> portfolios;
    PortfolioTotals total; // named "Total"
    // The snapshots the rows were read from: held, so that the session keeps them until a change.
    std::vector<std::shared_ptr<const ReportSnapshot>> snapshots;

    // One row per portfolio then the total, each cell as kAllPortfoliosTitles names it.
    std::vector<TextRow> rows() const;
    // The same under a row of the titles.
    std::vector<TextRow> table() const;
    // The sentences that say which bonds the totals leave out; none when they count every bond.
    std::vector<std::string> summaryLines() const;
};

inline constexpr std::array<std::string_view, 7> kAllPortfoliosTitles = {
    "Portfolio", "Bonds", "Face Value", "Value", "Without Value", "Not Issued Yet", "Cashed"};
// The columns that hold amounts or counts, aligned right.
inline constexpr std::size_t kAllPortfoliosFirstNumberColumn = 1;

// Every portfolio of the session's store, in the file's order, at the session's month.
AllPortfolios allPortfolios(Session& session);

// A portfolio's row from its snapshot.
PortfolioTotals portfolioTotals(const ReportSnapshot& snapshot);
