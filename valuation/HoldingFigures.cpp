#include "valuation/HoldingFigures.h"

#include "platform/NumberText.h"
#include "store/SeriesRules.h"
#include "valuation/OwnerFigures.h"

#include <cmath>

std::optional<Amount> bondValueAt(const ValueTable* table, const Bond& bond, const YearMonth& month,
                                  bool* projected) {
    const OwnerFigures figures = valueFiguresOfBond(table, bond, month);
    if (projected != nullptr) {
        *projected = figures.projected;
    }
    if (figures.leaf == TableEntry::Kind::NotYetPayable) {
        // The report shows the price there; the year's interest counts from the rules' value.
        return month.month == 12 ? yearEndValueOfBond(table, bond, month.year) : figures.value;
    }
    return figures.value;
}

std::optional<YearMonth> lastTableMonth(const ValueTable* table) {
    if (table == nullptr || table->redemptionMonths().empty()) {
        return std::nullopt;
    }
    return table->redemptionMonths().back();
}

std::optional<YearMonth> finalMaturityOfBond(const Bond& bond) {
    const std::optional<YearMonth> issue = bond.issued();
    const SeriesRules* rules = seriesRulesOf(bond.type);
    if (!issue || rules == nullptr || *issue < rules->firstIssue) {
        return std::nullopt;
    }
    return finalMaturityOf(bond.type, *issue);
}

std::optional<Amount> bondPrice(const ValueTable* table, const Bond& bond) {
    return valueFiguresOfBond(table, bond, std::nullopt).issuePrice;
}

std::optional<Amount> amountReceivedOf(const Bond& bond) {
    // Dollars as stored, "1234.56": a text that does not start with a digit says nothing.
    const std::string& text = bond.amountReceived();
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    const double dollars = doubleValueOfText(text);
    if (!std::isfinite(dollars)) {
        return std::nullopt;
    }
    if (const std::optional<std::int64_t> cents = wholeCentsOf(dollars)) {
        return Amount::ofCents(*cents);
    }
    return Amount::ofDollars(dollars);
}

void addToTotal(ReportTotal& total, const std::optional<Amount>& figure, bool projected) {
    if (figure) {
        total.known += *figure;
        ++total.knownCount;
        total.projected = total.projected || projected;
    } else {
        ++total.leftOut;
    }
}

std::string holdingTotalText(const ReportTotal& total) {
    if (total.leftOut > 0 && total.knownCount == 0) {
        return std::string(kNotKnownText);
    }
    return (total.projected ? std::string(kProjectedMark) : "") + amountText(total.known) +
           (total.leftOut > 0 ? std::string(kIncompleteTotalMark) : "");
}

std::string holdingAmountText(const std::optional<Amount>& amount, bool projected) {
    return (amount && projected ? std::string(kProjectedMark) : "") + ownerAmountText(amount);
}

std::string issueDateText(const Bond& bond) {
    if (const std::optional<YearMonth> issued = bond.issued()) {
        return issued->name();
    }
    return bond.issueMonth + " " + bond.issueYear;
}

std::string faceOrAmountText(const Bond& bond) {
    return "$" + bond.faceValue;
}
