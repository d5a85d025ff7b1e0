#pragma once

// The interest of a portfolio's bonds for one calendar year, as a tax return needs it: what each
// bond earned in the year, what is reportable for the year under the owner's method, what a Form
// 1099-INT shows for a bond cashed in it, and whether a bond can qualify for the education
// exclusion (Form 8815). Every value comes from the value report's lookup (HoldingFigures.h) and
// the Treasury's and the IRS's rules; a figure neither gives is absent ("not known").
//
// Rules (IRS Publication 550): under the cash method, interest is reported in the year the bond
// is cashed or reaches final maturity, whichever is earlier; under the accrual method, the
// increase in redemption value of every bond each year. The same method holds for all of the
// owner's E, EE and I bonds.

#include "store/Bond.h"
#include "store/PortfolioDetails.h"
#include "store/YearMonth.h"
#include "valuation/Amount.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/TableText.h"
#include "valuation/ValueTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Portfolio;

enum class Qualifies { Yes, No, NotKnown };

struct TaxYearRow {
    Bond bond;
    std::optional<Amount> price;
    // The month in the year the bond was cashed, or reached final maturity while held.
    std::optional<YearMonth> cashedInYear;
    std::optional<YearMonth> maturedInYear;
    // Value at the year's end (or the month cashed) less the value at the previous year's end
    // (or the price, for a bond issued in the year); nothing after final maturity.
    std::optional<Amount> earned;
    // Reportable for the year under the chosen method.
    std::optional<Amount> reportable;
    // For a bond cashed in the year: amount received less price, what box 3 shows.
    std::optional<Amount> form1099;
    Qualifies education = Qualifies::NotKnown;
    // Which figures read a month after the value table's last, and so are projected.
    bool earnedProjected = false;
    bool reportableProjected = false;
    bool form1099Projected = false;
};

// The modified adjusted gross income over which the education exclusion phases out.
struct EducationIncomeLimits {
    int year;
    int singleFrom, singleTo; // single, head of household
    int jointFrom, jointTo;   // married filing jointly
    std::string_view source;
};

// The limits of `year` where a published source gives them.
std::optional<EducationIncomeLimits> educationIncomeLimits(int year);

// Whether a bond can qualify for the education exclusion: EE bonds issued after 1989 and I bonds,
// bought by an owner who was 24 before the issue date (so born at least 24 years and a month
// before the issue month). Without the owner's birth month a bond of those series is NotKnown.
Qualifies educationExclusion(const Bond& bond, const std::optional<YearMonth>& ownerBirthMonth);

struct TaxYearReport {
    std::string portfolioName;
    int year = 0;
    TaxMethod method = TaxMethod::Cash;
    std::optional<YearMonth> ownerBirthMonth;
    // The bonds held at some time in the year, in issue-date order.
    std::vector<TaxYearRow> rows;
    ReportTotal earned;
    ReportTotal reportable;
    ReportTotal form1099;
    // The value table's last month, which projected figures start from; none without a table.
    std::optional<YearMonth> lastTableMonth;

    // Whether a figure of the year is projected, and the caption that says from what.
    bool projected() const;
    std::string projectionCaption() const;

    // The heading, a row per bond and the totals, as the window, the exports and the command
    // line show them.
    std::vector<TextRow> table() const;
    // Whether column `column` of table() holds amounts.
    static bool isAmountColumn(std::size_t column);
    // The year's answers and cautions, one sentence a line; a projected year's caption first.
    std::vector<std::string> noteLines() const;
};

// The report of a portfolio's bonds with its stored method and birth month.
TaxYearReport computeTaxYearOfPortfolio(const Portfolio& portfolio, const ValueTable* table,
                                        int year, std::optional<TaxMethod> method = std::nullopt);

TaxYearReport computeTaxYear(const std::vector<Bond>& bonds, std::string portfolioName,
                             const ValueTable* table, int year, TaxMethod method,
                             std::optional<YearMonth> ownerBirthMonth);
