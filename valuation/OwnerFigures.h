#pragma once

// What a bond owner needs beyond a bond's value: what the bond cost, the interest it has earned
// (in all and this year), its yield since issue, when it stops earning interest, and whether it
// can be cashed. Every figure comes from the bond's series, face value and issue month and the
// value table's leaves, by the Treasury's published rules; a figure the rules or the table do
// not give is absent ("not known"), never estimated.

#include "platform/PlistValue.h"
#include "valuation/ValueTableMonths.h"

#include <optional>
#include <string>
#include <string_view>

enum class BondStatus {
    Earning,         // payable, still earning interest, no penalty: shown as an empty cell
    Matured,         // at or past final maturity: no longer earns interest
    NotYetPayable,   // the table's leaf is "NO PAY": too young to cash
    IncludesPenalty, // EE or I bond held less than five years: the value has three months less
    NotIssuedYet,    // the redemption month comes before the issue month
    NoValue,         // the table has no value for the bond at the redemption month
    NotKnown,        // the series, issue month or redemption month is not one the rules know
};

// The word the report shows for a status ("matured", "not yet payable", ...; "" for Earning).
std::string_view bondStatusText(BondStatus status);

inline constexpr std::string_view kNotKnownText = "not known";

struct OwnerFigures {
    std::optional<double> issuePrice;
    // Value minus issue price, only where the bond is payable and the table has its value.
    std::optional<double> interest;
    // Value now minus value in December of the year before (or the issue price for a bond
    // issued in the redemption year).
    std::optional<double> interestThisYear;
    // Annual percentage, compounded semiannually, from issue price to value.
    std::optional<double> yieldSinceIssue;
    std::optional<RedemptionMonth> finalMaturity;
    BondStatus status = BondStatus::NotKnown;
    // What cashing the bond now pays: its value when payable, 0 otherwise.
    double cashValue = 0.0;
};

// The owner's figures of a bond record at a redemption date ("2009", "06").
OwnerFigures ownerFiguresOfBond(const PlistDict* table, const PlistValue& bond,
                                std::string_view redemptionYear, std::string_view redemptionMonth);

// An amount as the value column shows it ("$375.00"), or "not known".
std::string ownerAmountText(const std::optional<double>& amount);
// "3.41%", or "not known".
std::string yieldText(const std::optional<double>& percent);
// "2039-06", or "not known".
std::string finalMaturityText(const std::optional<RedemptionMonth>& month);
