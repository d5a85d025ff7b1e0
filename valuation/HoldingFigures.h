#pragma once

// The figures the tax year and the estate listing read of a bond at a month: its value through
// the one lookup the value report uses (so that every figure follows it), the amount the owner
// received for it, and sums that count the bonds they leave out.

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/Amount.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <optional>
#include <string>

// The bond's value at `month`: the report's value when the table gives one. At a December in
// which the bond cannot be cashed yet, the value the Treasury's rules give it there (what the
// next year's interest counts from). Absent when neither is known.
// `projected` is set when the month comes after the table's last (Projection.h).
std::optional<Amount> bondValueAt(const ValueTable* table, const Bond& bond, const YearMonth& month,
                                  bool* projected = nullptr);

// The latest month the table holds; none without a table or months.
std::optional<YearMonth> lastTableMonth(const ValueTable* table);

// The month the bond reaches final maturity; none when the rules do not know its series or
// issue month, or no such bond was issued then.
std::optional<YearMonth> finalMaturityOfBond(const Bond& bond);

// What the bond cost, as the report's Issue Price says; absent when the rules do not know it.
std::optional<Amount> bondPrice(const ValueTable* table, const Bond& bond);

// The bond's "Amount Received" in dollars; absent when it is empty or not a number of dollars.
std::optional<Amount> amountReceivedOf(const Bond& bond);

// Adds a figure to a total, or counts the bond it lacks; a projected figure marks the total so.
void addToTotal(ReportTotal& total, const std::optional<Amount>& figure, bool projected = false);

// "$12.34", "$12.34*" when the total leaves bonds out, "~$12.34" when it sums projected figures,
// "not known" when it knows none of them.
std::string holdingTotalText(const ReportTotal& total);
// An amount as the value column shows it, marked "~" when projected; "not known" is no figure.
std::string holdingAmountText(const std::optional<Amount>& amount, bool projected);

// "June 2009" for a bond's issue month, or its stored texts when they name no month.
std::string issueDateText(const Bond& bond);

// "$100" for a paper bond's face value, "$34.59" for an electronic bond's amount.
std::string faceOrAmountText(const Bond& bond);
