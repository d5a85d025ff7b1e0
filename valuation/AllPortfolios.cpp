#include "valuation/AllPortfolios.h"

#include "store/BondDatabase.h"
#include "valuation/Session.h"

namespace {

std::string worthText(const PortfolioTotals& totals) {
    if (totals.worthNotKnown) {
        return std::string(kNotKnownText);
    }
    return amountText(totals.worth.known) +
           (totals.worth.leftOut > 0 ? std::string(kIncompleteTotalMark) : "");
}

TextRow rowOf(const PortfolioTotals& totals) {
    return {totals.name,
            std::to_string(totals.bonds),
            amountText(totals.faceValue),
            worthText(totals),
            std::to_string(totals.withoutValue + totals.invalid),
            std::to_string(totals.notIssuedYet),
            std::to_string(totals.cashed)};
}

} // namespace

PortfolioTotals portfolioTotals(const ReportSnapshot& snapshot) {
    PortfolioTotals totals;
    totals.name = snapshot.portfolioName;
    totals.bonds = snapshot.bondCount();
    totals.faceValue = snapshot.totalFaceValue;
    totals.worth = snapshot.summary.worth;
    totals.withoutValue = snapshot.summary.withoutValue;
    totals.invalid = static_cast<int>(snapshot.invalidSerials.size());
    totals.notIssuedYet = snapshot.summary.notIssuedYet;
    totals.cashed = snapshot.summary.cashed;
    totals.worthNotKnown = snapshot.totalText(snapshot.summary.worth) == kNotKnownText;
    return totals;
}

AllPortfolios allPortfolios(Session& session) {
    AllPortfolios all;
    all.total.name = "Total";
    all.monthName = session.redemptionMonth() ? session.redemptionMonth()->name()
                                              : std::string(kUnknownMonthName);
    bool anyWorthKnown = false;
    for (const std::string& name : session.store().portfolioNames()) {
        const std::shared_ptr<const ReportSnapshot> snapshot = session.snapshot(name);
        PortfolioTotals totals = portfolioTotals(*snapshot);
        all.snapshots.push_back(snapshot);
        PortfolioTotals& sum = all.total;
        sum.bonds += totals.bonds;
        sum.faceValue += totals.faceValue;
        sum.worth.known += totals.worth.known;
        sum.worth.knownCount += totals.worth.knownCount;
        sum.worth.leftOut += totals.worth.leftOut;
        sum.withoutValue += totals.withoutValue;
        sum.invalid += totals.invalid;
        sum.notIssuedYet += totals.notIssuedYet;
        sum.cashed += totals.cashed;
        anyWorthKnown = anyWorthKnown || !totals.worthNotKnown;
        all.portfolios.push_back(std::move(totals));
    }
    // A sum over no portfolio whose worth is known would read as worthless.
    all.total.worthNotKnown = !anyWorthKnown && all.total.bonds > 0;
    return all;
}

std::vector<TextRow> AllPortfolios::rows() const {
    std::vector<TextRow> table;
    table.reserve(portfolios.size() + 1);
    for (const PortfolioTotals& totals : portfolios) {
        table.push_back(rowOf(totals));
    }
    table.push_back(rowOf(total));
    return table;
}

std::vector<TextRow> AllPortfolios::table() const {
    std::vector<TextRow> table = {
        TextRow(kAllPortfoliosTitles.begin(), kAllPortfoliosTitles.end())};
    for (TextRow& row : rows()) {
        table.push_back(std::move(row));
    }
    return table;
}

std::vector<std::string> AllPortfolios::summaryLines() const {
    std::vector<std::string> lines;
    const int leftOut = total.withoutValue + total.invalid + total.notIssuedYet + total.cashed;
    if (leftOut > 0) {
        lines.push_back("The value totals count the bonds that have a value in " + monthName +
                        "; they leave out " + std::to_string(leftOut) +
                        (leftOut == 1 ? " bond" : " bonds") +
                        " (without a value, not issued yet or cashed, as each row counts).");
    }
    return lines;
}
