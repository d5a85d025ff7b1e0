#pragma once

// What a bond owner needs beyond a bond's value: what the bond cost, the interest it has earned
// (in all and this year), its yield since issue, when it stops earning interest, and whether it
// can be cashed. Every figure comes from the bond's series, face value and issue month and the
// value table's leaves, by the Treasury's published rules; a figure the rules or the table do
// not give is absent ("not known"), never estimated.

#include "store/Bond.h"
#include "store/SeriesRules.h"
#include "valuation/EarningRates.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"

#include <optional>
#include <string>
#include <string_view>

// In the order they are decided: the first that applies is the bond's status.
enum class BondStatus {
    Cashed,           // cashed by the redemption month: its figures are those of the month cashed
    NotKnown,         // the series, issue month or redemption month is not one the rules know
    NotIssuedYet,     // the redemption month comes before the issue month
    InvalidIssueDate, // before its series' first issue, or the table says invalid: no such bond
    NoValue,          // the table has no value for the bond at the redemption month
    NotYetPayable,    // the table's leaf is "NO PAY": too young to cash
    Matured,          // at or past final maturity: no longer earns interest
    IncludesPenalty,  // EE or I bond held less than five years: the value has three months less
    Earning,          // payable, still earning interest, no penalty: shown as an empty cell
};

// The words for a status ("stopped earning", "not yet payable", ...; "" for Earning), without
// the months and reasons statusCellText adds.
std::string_view bondStatusText(BondStatus status);

inline constexpr std::string_view kNotKnownText = "not known";
// What the rate and next accrual of a bond past final maturity read: it earns nothing more.
inline constexpr std::string_view kNoneText = "none";

// The first month after the redemption month in which the bond's value grows.
struct NextAccrual {
    enum class Kind : std::uint8_t {
        NotKnown,
        None, // at or past final maturity
        Month,
    };
    Kind kind = Kind::NotKnown;
    RedemptionMonth month;
};

struct OwnerFigures {
    // What the bond is worth at the redemption month: the table's value when payable, its issue
    // price while not yet payable (a savings bond is never worth less than its price); absent
    // when the table has no value for it, calls it invalid, or it is not issued yet.
    std::optional<Amount> value;
    // What the table holds for the bond at the redemption month; Missing also when the month or
    // the bond is not one the rules know, or the bond is not issued yet.
    TableEntry::Kind leaf = TableEntry::Kind::Missing;
    std::optional<Amount> issuePrice;
    // Value minus issue price, only where the bond is payable and the table has its value.
    std::optional<Amount> interest;
    // Value now minus value in December of the year before (or the issue price for a bond
    // issued in the redemption year); a bond not yet payable that December counts the value the
    // rules gave it there, as the Treasury does.
    std::optional<Amount> interestThisYear;
    // Annual percentage, compounded semiannually, from issue price to value over the months from
    // issue to the redemption month or final maturity, whichever is earlier.
    std::optional<double> yieldSinceIssue;
    // The annual rate of the accrual period that holds the redemption month (EarningRates.h).
    EarningRate interestRate;
    NextAccrual nextAccrual;
    std::optional<RedemptionMonth> finalMaturity;
    BondStatus status = BondStatus::NotKnown;
    // The month the status's note names, where a Treasury rule gives it: the first month the
    // bond can be cashed (NotYetPayable), the first without the penalty (IncludesPenalty), or
    // final maturity, when it stopped earning (Matured).
    std::optional<YearMonth> statusMonth;
    // An EE bond not yet at original maturity whose rules guarantee its value then is at least
    // face value, twice its price: that month.
    std::optional<YearMonth> doublesIn;
    // Why an InvalidIssueDate bond cannot exist ("Series E bonds were first issued in May 1941").
    std::string invalidReason;
    // What cashing the bond now pays: its value when payable, 0 otherwise.
    Amount cashValue;
    // The month comes after the value table's last: the value and every figure from it are
    // projected (Projection.h), and the rate is the one held from the table's last month.
    bool projected = false;
};

// The Status cell: the status's words with their month or reason, then the doubling month:
// "includes the 3-month penalty until May 2029; doubles in June 2030".
std::string statusCellText(const OwnerFigures& figures);

// The owner's figures of a bond at a redemption month (none: a month the rules do not know).
OwnerFigures ownerFiguresOfBond(const ValueTable* table, const Bond& bond,
                                const std::optional<YearMonth>& redemption);
// Only the figures that need no more than the bond's own leaf: value, issue price, final maturity,
// status, what cashing pays. Interest and yield stay absent.
OwnerFigures valueFiguresOfBond(const ValueTable* table, const Bond& bond,
                                const std::optional<YearMonth>& redemption);

// The value at December of `year` that the next year's interest counts from: the table's value,
// or for a bond not yet payable then the value the rules gave it there; absent when neither.
std::optional<Amount> yearEndValueOfBond(const ValueTable* table, const Bond& bond, int year);

// An amount as the value column shows it ("$375.00"), or "not known".
std::string ownerAmountText(const std::optional<Amount>& amount);
// What a bond of `face` dollars cost: its series' share of the face value, exactly when the face
// value is whole cents (wholeCentsOf); otherwise the floating product to the nearest millionth.
Amount issuePriceOfFace(double face, const SeriesRules& rules);
// What the bond cost: a paper bond its series' share of its face value (none for a face value
// that is no positive number), an electronic one its amount, EE and I alike (none when the amount
// is not one an account holds).
std::optional<Amount> issuePriceOfBond(const Bond& bond, const SeriesRules& rules);
// "3.41%", or "not known".
std::string yieldText(const std::optional<double>& percent);
// "2039-06", or "not known".
std::string finalMaturityText(const std::optional<RedemptionMonth>& month);
// "2.87%", "none" or "not known".
std::string interestRateText(const EarningRate& rate);
// "2026-12", "none" or "not known".
std::string nextAccrualText(const NextAccrual& next);
