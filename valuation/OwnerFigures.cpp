#include "valuation/OwnerFigures.h"

#include "platform/NumberText.h"
#include "store/SeriesFirstIssue.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Purchase price as a share of face value: E bonds 75 % (31 CFR 316), EE 50 % (paper bonds,
// 31 CFR 351.40), I at par (31 CFR 359.25), savings notes 81 % (31 CFR 342).
std::optional<double> issuePriceShare(std::string_view series) {
    if (series == "E") {
        return 0.75;
    }
    if (series == "EE") {
        return 0.5;
    }
    if (series == "I") {
        return 1.0;
    }
    if (series == "S") {
        return 0.81;
    }
    return std::nullopt;
}

// Final maturity: E bonds issued May 1941 to November 1965 run 40 years, those of December 1965
// on 30 years (31 CFR 316.8(b)); EE (31 CFR 351.5), I (31 CFR 359.5) and savings notes run 30.
RedemptionMonth finalMaturityOf(std::string_view series, const RedemptionMonth& issue) {
    const bool fortyYears = series == "E" && issue < RedemptionMonth{1965, 12};
    return {issue.year + (fortyYears ? 40 : 30), issue.month};
}

// EE and I bonds issued May 1997 or later lose the last three months of interest when cashed
// before five years (31 CFR 351.31, 351.35(e), 359.7); the table's values already include it.
bool carriesPenalty(std::string_view series, const RedemptionMonth& issue, int monthsHeld) {
    return (series == "EE" || series == "I") && issue >= RedemptionMonth{1997, 5} &&
           monthsHeld < 60;
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

std::string fourDigits(int value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 4) {
        digits.insert(0, 4 - digits.size(), '0');
    }
    return digits;
}

// The December value the year's interest counts from: the table's value, or for a bond not yet
// payable then the value the rules gave it there.
std::optional<double> yearEndValue(const ValueTable* table, const Bond& bond, int year) {
    const RedemptionMonth december{year - 1, 12};
    const TableEntry entry = tableEntryOfBond(table, bond, december);
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
    const EarningRates* rates = table != nullptr ? table->earningRates() : nullptr;
    if (rates == nullptr) {
        return;
    }
    figures.interestRate = rates->rateIn(series, issue, redemption);
    const int step = rates->accrualStepMonths(series, issue);
    if (step > 0) {
        // The next accrual date counted from the issue month, never after final maturity.
        const int age = redemption.monthsSince(issue);
        figures.nextAccrual = {NextAccrual::Kind::Month, issue.plusMonths((age / step + 1) * step)};
    }
}

BondStatus statusOf(TableEntry::Kind leaf, bool matured, bool penalty) {
    switch (leaf) {
    case TableEntry::Kind::Missing:
    case TableEntry::Kind::Invalid:
        return BondStatus::NoValue;
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

std::string_view bondStatusText(BondStatus status) {
    switch (status) {
    case BondStatus::Earning:
        return "";
    case BondStatus::Matured:
        return "matured";
    case BondStatus::NotYetPayable:
        return "not yet payable";
    case BondStatus::IncludesPenalty:
        return "includes 3-month penalty";
    case BondStatus::NotIssuedYet:
        return "not issued yet";
    case BondStatus::BeforeFirstIssue:
        return "dated before its series was first issued";
    case BondStatus::NoValue:
        return "no value";
    case BondStatus::NotKnown:
        break;
    }
    return kNotKnownText;
}

std::optional<YearMonth> redemptionMonthOfKeys(std::string_view year, std::string_view month) {
    const std::optional<int> y = fourDigitYear(year);
    if (!y || month.size() != 2 || month[0] < '0' || month[0] > '1' || month[1] < '0' ||
        month[1] > '9') {
        return std::nullopt;
    }
    const int m = (month[0] - '0') * 10 + (month[1] - '0');
    if (m < 1 || m > 12) {
        return std::nullopt;
    }
    return YearMonth{*y, m};
}

OwnerFigures valueFiguresOfBond(const ValueTable* table, const Bond& bond,
                                const std::optional<YearMonth>& redemption) {
    OwnerFigures figures;
    const double face = bond.faceAmount();
    const std::optional<double> share = issuePriceShare(bond.type);
    if (share && face > 0.0 && std::isfinite(face)) {
        figures.issuePrice = face * *share;
    }
    const std::optional<RedemptionMonth> issue = bond.issued();
    if (!share || !issue) {
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
    if (const std::optional<YearMonth> first = firstIssueOf(bond.type); first && *issue < *first) {
        // No value to look up: whatever the table holds for that date, no such bond exists.
        figures.status = BondStatus::BeforeFirstIssue;
        return figures;
    }
    const bool matured = *redemption >= *figures.finalMaturity;
    const TableEntry entry = tableEntryOfBond(table, bond, *redemption);
    figures.leaf = entry.kind;
    if (const std::optional<BondSeries> series = bondSeriesOfName(bond.type);
        series && entry.kind != TableEntry::Kind::Invalid) {
        setEarnings(figures, table, *series, *issue, *redemption);
    }
    figures.status = statusOf(entry.kind, matured, carriesPenalty(bond.type, *issue, monthsHeld));
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
    const double value = *figures.value;
    const double price = *figures.issuePrice;
    figures.interest = value - price;

    // For the year's interest, December of the year before; a bond issued this year starts
    // from its price.
    const std::optional<double> yearStart = issue.year == redemption->year
                                                ? std::optional<double>(price)
                                                : yearEndValue(table, bond, redemption->year);
    if (yearStart) {
        figures.interestThisYear = value - *yearStart;
    }
    // The rate r with value = price * (1 + r/2)^(months/6), the way savings bonds compound;
    // after final maturity the value no longer grows, so those months do not count.
    const int monthsEarning = std::min(monthsHeld, figures.finalMaturity->monthsSince(issue));
    if (monthsEarning > 0 && value > 0.0) {
        figures.yieldSinceIssue =
            200.0 * (std::pow(value / price, 6.0 / static_cast<double>(monthsEarning)) - 1.0);
    }
    return figures;
}

std::string ownerAmountText(const std::optional<double>& amount) {
    return amount ? amountText(*amount) : std::string(kNotKnownText);
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
    return fourDigits(month->year) + "-" + twoDigits(month->month);
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
