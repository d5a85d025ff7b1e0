#include "valuation/EstateListing.h"

#include "store/BondRecord.h"
#include "valuation/HoldingFigures.h"
#include "valuation/OwnerFigures.h"

#include <algorithm>

namespace {

std::string counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

constexpr std::string_view kLimitWords =
    "the $100000.00 limit for settling without administration (FS Form 5336)";

} // namespace

EstateListing computeEstateListing(const std::vector<PortfolioBondList>& portfolios,
                                   std::string title, bool showsPortfolio, const ValueTable* table,
                                   const YearMonth& month) {
    EstateListing listing;
    listing.title = std::move(title);
    listing.showsPortfolio = showsPortfolio;
    listing.month = month;
    listing.lastTableMonth = lastTableMonth(table);
    for (const PortfolioBondList& list : portfolios) {
        std::vector<EstateRow> rows;
        for (const Bond& bond : *list.bonds) {
            const std::optional<YearMonth> issue = bond.issued();
            const std::optional<YearMonth> cashed = bond.cashedMonth();
            // Not bought yet, or cashed before the month: not the owner's then. A bond whose
            // dates do not read stays listed, its value not known.
            if ((issue && *issue > month) || (cashed && *cashed < month)) {
                continue;
            }
            EstateRow row{list.portfolio, bond, std::nullopt, std::nullopt};
            const OwnerFigures figures = valueFiguresOfBond(table, bond, month);
            row.value = figures.value;
            row.projected = figures.projected;
            // Interest only in a value the table gives; a bond not yet payable is held at its
            // price.
            if (figures.leaf == TableEntry::Kind::Value && figures.value && figures.issuePrice) {
                row.interest = *figures.value - *figures.issuePrice;
            }
            addToTotal(listing.value, row.value, row.projected);
            addToTotal(listing.interest, row.interest, row.projected);
            rows.push_back(std::move(row));
        }
        std::stable_sort(rows.begin(), rows.end(), [](const EstateRow& a, const EstateRow& b) {
            return a.bond.issueDateOrder() < b.bond.issueDateOrder();
        });
        std::move(rows.begin(), rows.end(), std::back_inserter(listing.rows));
    }
    return listing;
}

std::vector<TextRow> EstateListing::table() const {
    std::vector<TextRow> rows;
    TextRow heading = {"Serial", "Series",      "Issue Date",     "Face Value or Amount",
                       "Owner",  "Second Name", "Second Name Is", "Kept At",
                       "Value",  "Interest"};
    if (showsPortfolio) {
        heading.insert(heading.begin(), "Portfolio");
    }
    rows.push_back(std::move(heading));
    for (const EstateRow& row : this->rows) {
        const Bond& bond = row.bond;
        TextRow cells = {bond.serial,
                         bond.type + (bond.electronic ? " (electronic)" : ""),
                         issueDateText(bond),
                         faceOrAmountText(bond),
                         bond.owner(),
                         bond.secondName(),
                         bond.secondName().empty() ? std::string() : bond.secondNameIs(),
                         bond.keptAt(),
                         holdingAmountText(row.value, row.projected),
                         holdingAmountText(row.interest, row.projected)};
        if (showsPortfolio) {
            cells.insert(cells.begin(), row.portfolio);
        }
        rows.push_back(std::move(cells));
    }
    TextRow totals(rows.front().size());
    totals.front() = "Total:";
    totals[totals.size() - 2] = holdingTotalText(value);
    totals.back() = holdingTotalText(interest);
    rows.push_back(std::move(totals));
    return rows;
}

bool EstateListing::isAmountColumn(std::size_t column, bool showsPortfolio) {
    const std::size_t first = showsPortfolio ? 1 : 0;
    return column == first + 3 || column >= first + 8;
}

std::optional<bool> EstateListing::withinLimit() const {
    if (value.known > kSmallEstateLimit) {
        return false;
    }
    if (value.leftOut > 0) {
        return std::nullopt;
    }
    return true;
}

std::vector<std::string> EstateListing::noteLines() const {
    std::vector<std::string> lines;
    if (value.projected && lastTableMonth) {
        lines.push_back(projectionCaptionAfter(*lastTableMonth) + ".");
    }
    lines.push_back(counted(static_cast<int>(rows.size()), "bond", "bonds") + " held in " +
                    month.name() + ", worth " + holdingTotalText(value) +
                    " in redemption value, of which " + holdingTotalText(interest) +
                    " is interest.");
    const std::optional<bool> within = withinLimit();
    if (!within) {
        lines.push_back("Whether the redemption value is within " + std::string(kLimitWords) +
                        " is not known: " + counted(value.leftOut, "bond has", "bonds have") +
                        " no value for " + month.name() + ".");
    } else {
        lines.push_back("The redemption value, " +
                        (value.projected ? std::string(kProjectedMark) : std::string()) +
                        amountText(value.known) + (*within ? ", is within " : ", is over ") +
                        std::string(kLimitWords) + ".");
    }
    if (value.leftOut > 0 && value.knownCount > 0) {
        lines.push_back(std::string(kIncompleteTotalMark) + " The totals leave out " +
                        counted(value.leftOut, "bond whose value is", "bonds whose value is") +
                        " not known.");
    }
    if (const int notPayable = interest.leftOut - value.leftOut; notPayable > 0) {
        lines.push_back(std::string(kIncompleteTotalMark) + " The interest total leaves out " +
                        counted(notPayable, "bond not yet payable, valued at its price.",
                                "bonds not yet payable, valued at their price."));
    }
    lines.push_back("Orvelt informs; it does not give tax or legal advice.");
    return lines;
}
