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

inline constexpr std::string_view kPortfolioNameKey = "Name";
inline constexpr std::string_view kPortfolioBondsKey = "Bonds";
