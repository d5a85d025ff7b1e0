#pragma once

// The keys of a bond record and of a portfolio record in the portfolio file. Every bond value is
// text: the face value is the dollar amount without "$", the issue year four digits, the issue
// month an English month name.

#include "store/YearMonth.h"

#include <string_view>

inline constexpr std::string_view kSerialKey = "Serial";
inline constexpr std::string_view kTypeKey = "Type";
inline constexpr std::string_view kFaceValueKey = "Face Value";
inline constexpr std::string_view kIssueYearKey = "Issue Year";
inline constexpr std::string_view kIssueMonthKey = "Issue Month";
// Optional keys, written only when they hold something: an electronic bond (true; its face value
// is the amount to the cent, "34.59"), who owns it and where it is kept, and its cashing ("Cashed"
// is the month, "2026-03"; "Amount Received" the dollars, "1234.56").
inline constexpr std::string_view kElectronicKey = "Electronic";
inline constexpr std::string_view kOwnerKey = "Owner";
inline constexpr std::string_view kSecondNameKey = "Second Name";
inline constexpr std::string_view kSecondNameIsKey = "Second Name Is";
inline constexpr std::string_view kKeptAtKey = "Kept At";
inline constexpr std::string_view kNoteKey = "Note";
inline constexpr std::string_view kCashedKey = "Cashed";
inline constexpr std::string_view kAmountReceivedKey = "Amount Received";
// What "Second Name Is" holds.
inline constexpr std::string_view kCoOwner = "Co-owner";
inline constexpr std::string_view kBeneficiary = "Beneficiary";

inline constexpr std::string_view kPortfolioNameKey = "Name";
inline constexpr std::string_view kPortfolioBondsKey = "Bonds";
// Optional keys of a portfolio record: how its owner reports bond interest ("cash", the default,
// or "accrual"), and the owner's birth month ("1961-04"), which the education exclusion needs.
inline constexpr std::string_view kPortfolioTaxMethodKey = "Tax Method";
inline constexpr std::string_view kPortfolioOwnerBirthMonthKey = "Owner Birth Month";
// The owner new bonds of the portfolio are entered with; written only when set.
inline constexpr std::string_view kPortfolioDefaultOwnerKey = "Default Owner";
