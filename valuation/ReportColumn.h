#pragma once

// The value report's columns, one descriptor each, in the order they are shown. A column is
// added by adding its descriptor here and, when no cell rule fits it, a rule to ReportSnapshot.

#include "store/BondRecord.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// How a bond's cell of the column is made.
enum class ReportCellRule {
    StoredText,   // the bond record's value under the column's identifier, as stored
    StoredAmount, // the same with a "$" in front
    Kind,         // "Paper" or "Electronic"
    CurrentValue, // the bond's value at the redemption month (ReportSnapshot says when it has none)
    // The owner's figures (OwnerFigures.h):
    IssuePrice,
    Interest,
    InterestThisYear,
    YieldSinceIssue,
    InterestRate,
    NextAccrual,
    FinalMaturity,
    Status,
};

// How the column's cell in the totals row is made.
enum class ReportTotalRule {
    Blank,
    Label,           // "Total:"
    FaceValueSum,    // the total of the face values
    CurrentValueSum, // the total of the values the bonds have
    // The totals of the owner's figures, over the bonds that have a value:
    IssuePriceSum,
    InterestSum,
    InterestThisYearSum,
};

struct ReportColumn {
    // Names the column to callers; the bond record key for the stored columns.
    std::string_view identifier;
    // The heading the report shows above the column.
    std::string_view title;
    // Amounts are aligned to the right, everything else to the left.
    bool isAmount = false;
    // The widest text the column's cells usually hold, for sizing the column.
    std::string_view widestSample;
    ReportCellRule cellRule = ReportCellRule::StoredText;
    ReportTotalRule totalRule = ReportTotalRule::Blank;
    // Shown only when the owner asks for it (hidden at first in the windows); the command line
    // and the exports without a choice of columns show it when a bond holds something in it.
    bool optional = false;
};

inline constexpr std::string_view kCurrentValueColumn = "Current Value";
inline constexpr std::string_view kKindColumn = "Kind";

// The value report's own six columns come first; the owner's figures follow them.
inline constexpr std::size_t kValueColumnCount = 6;

// The optional columns, who owns a bond and where it is kept, come last.
inline constexpr std::array<ReportColumn, 20> kReportColumns = {{
    {kSerialKey, kSerialKey, false, "M000000000EE", ReportCellRule::StoredText,
     ReportTotalRule::Blank},
    {kTypeKey, kTypeKey, false, "Type", ReportCellRule::StoredText, ReportTotalRule::Label},
    {kFaceValueKey, kFaceValueKey, true, "$000000.00", ReportCellRule::StoredAmount,
     ReportTotalRule::FaceValueSum},
    {kIssueYearKey, kIssueYearKey, false, "Issue Year", ReportCellRule::StoredText,
     ReportTotalRule::Blank},
    {kIssueMonthKey, kIssueMonthKey, false, "September", ReportCellRule::StoredText,
     ReportTotalRule::Label},
    {kCurrentValueColumn, kCurrentValueColumn, true, "$000000.00", ReportCellRule::CurrentValue,
     ReportTotalRule::CurrentValueSum},
    {"Issue Price", "Issue Price", true, "$000000.00", ReportCellRule::IssuePrice,
     ReportTotalRule::IssuePriceSum},
    {"Interest", "Interest", true, "$000000.00", ReportCellRule::Interest,
     ReportTotalRule::InterestSum},
    {"Interest This Year", "Interest This Year", true, "$000000.00",
     ReportCellRule::InterestThisYear, ReportTotalRule::InterestThisYearSum},
    {"Yield Since Issue", "Yield Since Issue", true, "not known", ReportCellRule::YieldSinceIssue,
     ReportTotalRule::Blank},
    {"Interest Rate", "Interest Rate", true, "not known", ReportCellRule::InterestRate,
     ReportTotalRule::Blank},
    {"Next Accrual", "Next Accrual", false, "not known", ReportCellRule::NextAccrual,
     ReportTotalRule::Blank},
    {"Final Maturity", "Final Maturity", false, "not known", ReportCellRule::FinalMaturity,
     ReportTotalRule::Blank},
    {"Status", "Status", false, "includes the 3-month penalty until September 2029",
     ReportCellRule::Status, ReportTotalRule::Blank},
    {kKindColumn, kKindColumn, false, "Electronic", ReportCellRule::Kind, ReportTotalRule::Blank,
     true},
    {kOwnerKey, kOwnerKey, false, "Margaret A. Whitfield", ReportCellRule::StoredText,
     ReportTotalRule::Blank, true},
    {kSecondNameKey, kSecondNameKey, false, "Margaret A. Whitfield", ReportCellRule::StoredText,
     ReportTotalRule::Blank, true},
    {kSecondNameIsKey, kSecondNameIsKey, false, "Beneficiary", ReportCellRule::StoredText,
     ReportTotalRule::Blank, true},
    {kKeptAtKey, kKeptAtKey, false, "safe deposit box", ReportCellRule::StoredText,
     ReportTotalRule::Blank, true},
    {kNoteKey, kNoteKey, false, "gift from grandmother", ReportCellRule::StoredText,
     ReportTotalRule::Blank, true},
}};

// The columns' identifiers, in the order they are shown.
inline constexpr std::array<std::string_view, kReportColumns.size()> kReportColumnIdentifiers = [] {
    std::array<std::string_view, kReportColumns.size()> identifiers{};
    for (std::size_t i = 0; i < kReportColumns.size(); ++i) {
        identifiers[i] = kReportColumns[i].identifier;
    }
    return identifiers;
}();

// Positions in kReportColumns, for the columns a report shows.
using ReportColumnPositions = std::vector<std::size_t>;

// The column at a position; nullptr outside the columns.
const ReportColumn* reportColumnAt(int position);

// The column with an identifier. An identifier the report does not know names a column of the
// record's stored text under that key, with a blank total.
ReportColumn reportColumnNamed(std::string_view identifier);
