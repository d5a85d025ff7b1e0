#pragma once

// The value report of one portfolio at one redemption month, computed once from the bonds and the
// value table: a row per bond in issue-date order with its figures, the totals, the bonds with
// an invalid issue date, and the notes. The report window, its exports and print, the main
// window's summary and the command line all read their figures from it, so they agree.
//
// Totals are summed over one set of bonds: those issued by the redemption month that have a
// value. Where a bond of that set lacks a total's figure, the total is the known sum marked with
// kIncompleteTotalMark and a note says how many bonds it leaves out; with no figure known at all
// it is "not known". A bond cashed by the redemption month is listed with its figures at the month
// cashed and counted in no total; the summary says how many such bonds the totals leave out.
//
// Rows as a table: 0 the heading (each column's title), 1 blank, 2 to n + 1 one per bond,
// n + 2 blank, n + 3 the totals.

#include "store/Bond.h"
#include "store/YearMonth.h"
#include "valuation/ComingMaturities.h"
#include "valuation/OwnerFigures.h"
#include "valuation/ReportColumn.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kIncompleteTotalMark = "*";
// Before an amount or rate of a month after the value table's last: it is projected, and the
// report's caption names the assumption (projectionCaption).
inline constexpr std::string_view kProjectedMark = "~";
// How the report names the month when the owner's date did not read as one.
inline constexpr std::string_view kUnknownMonthName = "an unknown month";
// What the value cell of a bond without a value shows, whatever the reason: never an amount.
inline constexpr std::string_view kNoValueText = "no value";

// "~ projected: rates in force in November 2026 held unchanged": what a projected figure assumes.
std::string projectionCaptionAfter(const YearMonth& lastTableMonth);

struct ReportRow {
    Bond bond;
    OwnerFigures figures;
};

// A total over the bonds with a value: the known sum and how many of them lack the figure.
struct ReportTotal {
    Amount known;
    int knownCount = 0;
    int leftOut = 0;
    // It sums projected figures.
    bool projected = false;
};

struct ReportSummary {
    ReportTotal paid;     // issue prices
    ReportTotal worth;    // current values
    ReportTotal interest; // interest
    ReportTotal interestThisYear;
    Amount worthIfCashedNow; // values of the bonds that can be cashed now
    bool worthIfCashedNowProjected = false;
    int matured = 0;   // bonds with a value that no longer earn interest
    int withValue = 0; // bonds issued by the redemption month that have a value
    int notIssuedYet = 0;
    // Issued bonds without a value whose issue date is not invalid: the table lacks them, or the
    // rules do not know their series or dates. Each bond counts under one of withValue,
    // notIssuedYet, withoutValue and the snapshot's invalidSerials.
    int withoutValue = 0;
    // Bonds cashed by the redemption month: listed with their figures then, in no total. Each
    // counts under none of the above.
    int cashed = 0;
    ReportTotal received; // what the cashed bonds paid
};

struct ReportSnapshot {
    std::string portfolioName;
    // Absent when the owner's month is not one the rules know: no bond then has a value.
    std::optional<YearMonth> month;
    // "June 2009"; kUnknownMonthName without a month.
    std::string monthName;
    std::vector<ReportRow> rows;
    // The serials of the bonds with an invalid issue date, in row order: listed, in no total.
    std::vector<std::string> invalidSerials;
    // The face values of every bond issued by the redemption month but those: the bonds without
    // a value count, the summary names those it leaves out.
    Amount totalFaceValue;
    ReportSummary summary;
    // Issued bonds the table holds no leaf for (their value cells show kNoValueText).
    int bondsWithoutLeaf = 0;
    // Whether the table holds the month for any series.
    bool tableHoldsMonth = false;
    // The bonds that reach final maturity in the redemption month's year and the next, whose
    // interest becomes reportable then; none for an owner who reports interest as it accrues.
    std::vector<MaturityInYear> comingMaturities;
    // The latest month the table holds; none without a table or months.
    std::optional<YearMonth> lastTableMonth;

    // The month comes after the table's last, within the years projected: its values are
    // projected from there.
    bool projected() const;
    // "~ projected: rates in force in November 2026 held unchanged"; empty for a month the table
    // holds.
    std::string projectionCaption() const;

    int bondCount() const { return static_cast<int>(rows.size()); }
    bool valid() const { return invalidSerials.empty(); }

    int rowCount() const { return bondCount() + 4; }
    bool isHeadingRow(int row) const { return row == 0; }
    bool isBlankRow(int row) const { return row == 1 || row == rowCount() - 2; }
    bool isTotalsRow(int row) const { return row == rowCount() - 1; }
    // The bond of a table row; nullptr for the other rows.
    const ReportRow* bondRow(int row) const;

    // A cell's text; empty outside the rows.
    std::string cellText(const ReportColumn& column, int row) const;

    // The summary in plain sentences, one a line: what was paid, what the bonds are worth, which
    // bonds the totals and the face value total leave out, each counted under one reason; then
    // one line per incomplete total, naming its column when `shownColumns` (none: all) holds it,
    // else the summary's words for it (a total only its column shows is then left out). The
    // bonds that stopped earning are told in actionLines, shown beside it. A projected month ends
    // with the projection's caption.
    std::vector<std::string>
    summaryLines(const ReportColumnPositions* shownColumns = nullptr) const;
    // What to do, at a glance, one sentence a line: the bonds that stopped earning (since when,
    // worth what together), those still carrying the 3-month penalty (the first month one comes
    // free), and EE bonds that double within the next 12 months (what waiting gains where the
    // value is known), and the bonds whose final maturity this year or next makes their interest
    // reportable. Nothing when none applies.
    std::vector<std::string> actionLines() const;
    // The line for below the table when issued bonds have no leaf in the table, naming how many
    // and the month, or that the table holds nothing for the month; empty otherwise.
    std::string missingValuesNote() const;
    // A total's text: "$12.34", "$12.34*" when it leaves bonds out, or "not known", also when
    // no issued bond has a value (a sum over none of them would read as worthless).
    std::string totalText(const ReportTotal& total) const;
    // "Worth if cashed now" as an amount, or "not known" as for the totals.
    std::string worthIfCashedNowText() const;
};

// The report of `bonds` (in the portfolio's order) at `month` with the value table `table`
// (nullptr: no values at all).
ReportSnapshot computeReportSnapshot(std::vector<Bond> bonds, std::string portfolioName,
                                     const ValueTable* table, std::optional<YearMonth> month);

// Whether any bond holds something in the column: an electronic bond for the kind, text for the
// other optional columns; always for a column that is not optional.
bool reportColumnHoldsAnything(const ReportSnapshot& report, const ReportColumn& column);
// The report's columns, or the value report's own (kValueColumnCount), each followed by the
// optional columns that some bond holds something in: what a report shows without a choice.
ReportColumnPositions reportColumnsWithHeldOptions(const ReportSnapshot& report, bool everyColumn);

// The alert text that names the bonds with an invalid issue date, each with its reason.
std::string invalidBondsMessage(const ReportSnapshot& snapshot);
