#include "valuation/OwnerFigures.h"

#include "platform/NumberText.h"
#include "store/ElectronicAmount.h"
#include "store/SeriesRules.h"
#include "valuation/Projection.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// The December value the year's interest counts from: the table's value, or for a bond not yet
// payable then the value the rules gave it there.
std::optional<Amount> yearEndValue(const ValueTable* table, const Bond& bond, int year) {
    const RedemptionMonth december{year - 1, 12};
    const TableEntry entry = valuedEntryOfBond(table, bond, december);
    if (entry.kind == TableEntry::Kind::Value) {
        return entry.amount;
    }
    const std::optional<BondSeries> series = bondSeriesOfName(bond.type);
    const EarningRates* rates = table != nullptr ? table->earningRates() : nullptr;
    if (entry.kind != TableEntry::Kind::NotYetPayable || rates == nullptr || !series) {
        return std::nullopt;
    }
    const std::optional<ValueCell> cents =
        rates->yearEndCentsWhileNotPayable(*series, *bond.issued(), december.year);
    if (!cents) {
        return std::nullopt;
    }
    return amountOfBond(bond, *cents);
}

// The rate and next accrual at `redemption` of a bond issued in `issue`, by the rates shipped
// beside the table.
void setEarnings(OwnerFigures& figures, const ValueTable* table, BondSeries series,
                 RedemptionMonth issue, RedemptionMonth redemption) {
    if (*figures.finalMaturity <= redemption) {
        figures.interestRate = {EarningRate::Kind::Stopped, 0, {}};
        figures.nextAccrual = {NextAccrual::Kind::None, {}};
        return;
    }
    // The rate and the next accrual are told from the same month of the rates, or neither is; a
    // projected month holds the rate of the table's last month.
    const EarningRates* rates = table != nullptr ? table->earningRates() : nullptr;
    const RedemptionMonth rateMonth =
        figures.projected ? table->redemptionMonths().back() : redemption;
    if (rates == nullptr || !rates->coversMonth(rateMonth) || issue > rateMonth) {
        return;
    }
    figures.interestRate = rates->rateIn(series, issue, rateMonth);
    const int step = rates->accrualStepMonths(series, issue);
    if (step > 0) {
        // The next accrual date counted from the issue month, never after final maturity.
        const int age = redemption.monthsSince(issue);
        figures.nextAccrual = {NextAccrual::Kind::Month, issue.plusMonths((age / step + 1) * step)};
    }
}

// Why no bond of the series exists with the issue date: before its first issue, after its last
// (told for Series E, June 1980, 31 CFR 316), or a date the table holds no such bond for.
std::string invalidIssueReason(const Bond& bond, const YearMonth& issue) {
    const std::string& series = bond.type;
    if (const SeriesRules* rules = seriesRulesOf(series); rules != nullptr && bond.electronic) {
        if (!soldElectronically(*rules)) {
            return "Series " + series + " bonds were never sold electronically";
        }
        if (issue < rules->firstElectronicIssue) {
            return "electronic Series " + series + " bonds were first sold in " +
                   rules->firstElectronicIssue.name();
        }
    }
    if (const std::optional<YearMonth> first = firstIssueOf(series); first && issue < *first) {
        return "Series " + series + " bonds were first issued in " + first->name();
    }
    if (series == "E" && issue > YearMonth{1980, 6}) {
        return "Series E bonds were last issued in June 1980";
    }
    return "the value table holds no Series " + series + " bond issued in " + issue.name();
}

BondStatus statusOf(TableEntry::Kind leaf, bool matured, bool penalty) {
    switch (leaf) {
    case TableEntry::Kind::Missing:
        return BondStatus::NoValue;
    case TableEntry::Kind::Invalid:
        return BondStatus::InvalidIssueDate;
    case TableEntry::Kind::NotYetPayable:
        return BondStatus::NotYetPayable;
    case TableEntry::Kind::Value:
        break;
    }
    if (matured) {
        return BondStatus::Matured;
    }
    return penalty ? BondStatus::IncludesPenalty : BondStatus::Earning;
}

} // namespace

std::optional<Amount> yearEndValueOfBond(const ValueTable* table, const Bond& bond, int year) {
    return yearEndValue(table, bond, year + 1);
}

std::string_view bondStatusText(BondStatus status) {
    switch (status) {
    case BondStatus::Earning:
        return "";
    case BondStatus::Cashed:
        return "cashed";
    case BondStatus::Matured:
        return "stopped earning";
    case BondStatus::NotYetPayable:
        return "not yet payable";
    case BondStatus::IncludesPenalty:
        return "includes the 3-month penalty";
    case BondStatus::NotIssuedYet:
        return "not issued yet";
    case BondStatus::InvalidIssueDate:
        return "invalid issue date";
    case BondStatus::NoValue:
        return "no value";
    case BondStatus::NotKnown:
        break;
    }
    return kNotKnownText;
}

OwnerFigures valueFiguresOfBond(const ValueTable* table, const Bond& bond,
                                const std::optional<YearMonth>& redemption) {
    OwnerFigures figures;
    const SeriesRules* rules = seriesRulesOf(bond.type);
    if (rules != nullptr) {
        figures.issuePrice = issuePriceOfBond(bond, *rules);
    }
    const std::optional<RedemptionMonth> issue = bond.issued();
    if (rules == nullptr || !issue) {
        return figures;
    }
    figures.finalMaturity = finalMaturityOf(bond.type, *issue);
    if (!redemption) {
        return figures;
    }
    const int monthsHeld = redemption->monthsSince(*issue);
    if (monthsHeld < 0) {
        // Nothing is worth anything before the bond exists; its price is fixed by its series
        // and face value all the same.
        figures.status = BondStatus::NotIssuedYet;
        return figures;
    }
    // No such bond exists, so it never matures either; its price is still its series' share.
    auto invalidIssueDate = [&figures, &bond, &issue] {
        figures.status = BondStatus::InvalidIssueDate;
        figures.invalidReason = invalidIssueReason(bond, *issue);
        figures.finalMaturity.reset();
        return figures;
    };
    if (!issuedWithinItsSeries(*rules, bond.electronic, *issue)) {
        // No value to look up: whatever the table holds for that date.
        return invalidIssueDate();
    }
    const bool matured = *redemption >= *figures.finalMaturity;
    const TableEntry entry = valuedEntryOfBond(table, bond, *redemption, &figures.projected);
    figures.leaf = entry.kind;
    figures.status =
        statusOf(entry.kind, matured, carriesEarlyRedemptionPenalty(bond.type, *issue, monthsHeld));
    switch (figures.status) {
    case BondStatus::InvalidIssueDate:
        return invalidIssueDate();
    case BondStatus::NotYetPayable:
        figures.statusMonth = firstPayableMonth(bond.type, *issue);
        break;
    case BondStatus::IncludesPenalty:
        figures.statusMonth = issue->plusMonths(kPenaltyHeldMonths);
        break;
    case BondStatus::Matured:
        figures.statusMonth = figures.finalMaturity;
        break;
    default:
        break;
    }
    if (const std::optional<BondSeries> series = bondSeriesOfName(bond.type)) {
        setEarnings(figures, table, *series, *issue, *redemption);
    }
    if (const std::optional<YearMonth> doubles = doublingMonth(bond.type, *issue);
        doubles && *redemption < *doubles && figures.status != BondStatus::NoValue) {
        figures.doublesIn = doubles;
    }
    if (entry.kind == TableEntry::Kind::NotYetPayable) {
        figures.value = figures.issuePrice;
        return figures;
    }
    if (entry.kind != TableEntry::Kind::Value) {
        return figures;
    }
    figures.value = entry.amount;
    figures.cashValue = entry.amount;
    return figures;
}

OwnerFigures ownerFiguresOfBond(const ValueTable* table, const Bond& bond,
                                const std::optional<YearMonth>& redemption) {
    OwnerFigures figures = valueFiguresOfBond(table, bond, redemption);
    // Interest and yield only for a payable value and a known price; a value from the table
    // implies a known issue month and redemption month.
    if (figures.leaf != TableEntry::Kind::Value || !figures.issuePrice) {
        return figures;
    }
    const RedemptionMonth issue = *bond.issued();
    const int monthsHeld = redemption->monthsSince(issue);
    const Amount value = *figures.value;
    const Amount price = *figures.issuePrice;
    figures.interest = value - price;

    // For the year's interest, December of the year before; a bond issued this year starts
    // from its price.
    const std::optional<Amount> yearStart = issue.year == redemption->year
                                                ? std::optional<Amount>(price)
                                                : yearEndValue(table, bond, redemption->year);
    if (yearStart) {
        figures.interestThisYear = value - *yearStart;
    }
    // The rate r with value = price * (1 + r/2)^(months/6), the way savings bonds compound;
    // after final maturity the value no longer grows, so those months do not count.
    const int monthsEarning = std::min(monthsHeld, figures.finalMaturity->monthsSince(issue));
    if (monthsEarning > 0 && value > Amount()) {
        const double growth =
            static_cast<double>(value.millionths()) / static_cast<double>(price.millionths());
        figures.yieldSinceIssue =
            200.0 * (std::pow(growth, 6.0 / static_cast<double>(monthsEarning)) - 1.0);
    }
    return figures;
}

std::string statusCellText(const OwnerFigures& figures) {
    std::string text(bondStatusText(figures.status));
    if (figures.statusMonth) {
        const bool since =
            figures.status == BondStatus::Matured || figures.status == BondStatus::Cashed;
        text += (since ? " in " : " until ") + figures.statusMonth->name();
    }
    if (figures.status == BondStatus::Cashed && figures.value) {
        text += ", received " + amountText(*figures.value);
    }
    if (!figures.invalidReason.empty()) {
        text += ": " + figures.invalidReason;
    }
    if (figures.doublesIn) {
        text += (text.empty() ? "doubles in " : "; doubles in ") + figures.doublesIn->name();
    }
    return text;
}

std::string ownerAmountText(const std::optional<Amount>& amount) {
    return amount ? amountText(*amount) : std::string(kNotKnownText);
}

std::optional<Amount> issuePriceOfBond(const Bond& bond, const SeriesRules& rules) {
    if (bond.electronic) {
        const std::optional<std::int64_t> cents = electronicAmountCents(bond.faceValue);
        return cents ? std::optional<Amount>(Amount::ofCents(*cents)) : std::nullopt;
    }
    const double face = bond.faceAmount();
    if (face > 0.0 && std::isfinite(face)) {
        return issuePriceOfFace(face, rules);
    }
    return std::nullopt;
}

Amount issuePriceOfFace(double face, const SeriesRules& rules) {
    if (const std::optional<std::int64_t> faceCents = wholeCentsOf(face)) {
        // faceCents * perMille / 1000 cents is faceCents * perMille * 10 millionths of a dollar.
        return Amount::ofMillionths(Amount::Millionths{*faceCents} * rules.issuePricePerMille * 10);
    }
    return Amount::ofDollars(face * (rules.issuePricePerMille / 1000.0));
}

std::string yieldText(const std::optional<double>& percent) {
    if (!percent || !std::isfinite(*percent)) {
        return std::string(kNotKnownText);
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, *percent, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr) + "%";
}

std::string finalMaturityText(const std::optional<RedemptionMonth>& month) {
    if (!month) {
        return std::string(kNotKnownText);
    }
    return month->keyText();
}

std::string interestRateText(const EarningRate& rate) {
    switch (rate.kind) {
    case EarningRate::Kind::Known:
        return yieldText(rate.hundredthsOfPercent / 100.0);
    case EarningRate::Kind::Stopped:
        return std::string(kNoneText);
    case EarningRate::Kind::NotKnown:
        break;
    }
    return std::string(kNotKnownText);
}

std::string nextAccrualText(const NextAccrual& next) {
    switch (next.kind) {
    case NextAccrual::Kind::Month:
        return finalMaturityText(next.month);
    case NextAccrual::Kind::None:
        return std::string(kNoneText);
    case NextAccrual::Kind::NotKnown:
        break;
    }
    return std::string(kNotKnownText);
}
