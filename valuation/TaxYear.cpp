#include "valuation/TaxYear.h"

#include "store/Portfolio.h"
#include "store/SeriesRules.h"
#include "valuation/HoldingFigures.h"
#include "valuation/OwnerFigures.h"

#include <algorithm>

namespace {

// An owner must be 24 before the issue date; born in the issue month 24 years earlier, the
// birthday falls on or after the first of the month the bond is dated.
constexpr int kEducationAgeMonths = 24 * 12;

std::optional<Amount> difference(const std::optional<Amount>& end,
                                 const std::optional<Amount>& start) {
    if (!end || !start) {
        return std::nullopt;
    }
    return *end - *start;
}

std::string qualifiesText(Qualifies qualifies) {
    switch (qualifies) {
    case Qualifies::Yes:
        return "can qualify";
    case Qualifies::No:
        return "cannot qualify";
    case Qualifies::NotKnown:
        break;
    }
    return std::string(kNotKnownText);
}

std::string eventText(const TaxYearRow& row) {
    std::string text;
    if (row.maturedInYear) {
        text = "final maturity in " + row.maturedInYear->name();
    }
    if (row.cashedInYear) {
        text += (text.empty() ? "cashed in " : "; cashed in ") + row.cashedInYear->name();
    }
    return text;
}

// Whole dollars as every amount is shown: a point, no thousands separators.
std::string dollarsText(int dollars) {
    return "$" + std::to_string(dollars);
}

// The figures of one bond held at some time in `year`.
TaxYearRow rowOfBond(const Bond& bond, const ValueTable* table, int year, TaxMethod method,
                     const std::optional<YearMonth>& birthMonth) {
    TaxYearRow row;
    row.bond = bond;
    row.price = bondPrice(table, bond);
    row.education = educationExclusion(bond, birthMonth);
    const std::optional<YearMonth> issue = bond.issued();
    const std::optional<YearMonth> finalMaturity = finalMaturityOfBond(bond);
    if (!finalMaturity) {
        return row; // no such bond: nothing about it is known
    }
    const YearMonth maturity = *finalMaturity;
    const std::optional<YearMonth> cashed = bond.cashedMonth();
    const YearMonth yearStart{year, 1};
    if (cashed && cashed->year == year) {
        row.cashedInYear = cashed;
    }
    if (maturity.year == year && (!cashed || *cashed >= maturity)) {
        row.maturedInYear = maturity;
    }

    // Interest earned in the year: from the previous December (or the price) to the year's end,
    // the month cashed or final maturity, whichever is earliest.
    if (maturity < yearStart) {
        row.earned = Amount(); // nothing is earned after final maturity
    } else {
        YearMonth end = std::min(YearMonth{year, 12}, maturity);
        if (row.cashedInYear) {
            end = std::min(end, *row.cashedInYear);
        }
        bool startProjected = false;
        bool endProjected = false;
        const std::optional<Amount> start =
            issue->year == year
                ? row.price
                : bondValueAt(table, bond, YearMonth{year - 1, 12}, &startProjected);
        row.earned = difference(bondValueAt(table, bond, end, &endProjected), start);
        row.earnedProjected = startProjected || endProjected;
    }

    // Received less price: what a Form 1099-INT shows; the value that month when the amount
    // received is not recorded.
    if (row.cashedInYear) {
        std::optional<Amount> received = amountReceivedOf(bond);
        if (!received) {
            received = bondValueAt(table, bond, *row.cashedInYear, &row.form1099Projected);
        }
        row.form1099 = difference(received, row.price);
    }

    if (method == TaxMethod::Accrual) {
        row.reportable = row.earned;
        row.reportableProjected = row.earnedProjected;
    } else if (row.cashedInYear && maturity < yearStart) {
        row.reportable = Amount(); // all of it was reportable in the year of final maturity
    } else if (row.cashedInYear) {
        row.reportable = row.form1099;
        row.reportableProjected = row.form1099Projected;
    } else if (row.maturedInYear) {
        row.reportable =
            difference(bondValueAt(table, bond, maturity, &row.reportableProjected), row.price);
    } else {
        row.reportable = Amount();
    }
    return row;
}

} // namespace

TaxYearReport computeTaxYearOfPortfolio(const Portfolio& portfolio, const ValueTable* table,
                                        int year, std::optional<TaxMethod> method) {
    const PortfolioDetails details = portfolioDetailsOf(portfolio);
    return computeTaxYear(portfolio.bonds, portfolio.name, table, year,
                          method.value_or(details.effectiveTaxMethod()), details.ownerBirthMonth);
}

std::optional<EducationIncomeLimits> educationIncomeLimits(int year) {
    if (year == 2025) {
        return EducationIncomeLimits{2025, 99500, 114500, 149250, 179250, "Rev. Proc. 2024-40"};
    }
    return std::nullopt;
}

Qualifies educationExclusion(const Bond& bond, const std::optional<YearMonth>& ownerBirthMonth) {
    const std::optional<YearMonth> issue = bond.issued();
    if (!issue) {
        return Qualifies::NotKnown;
    }
    const SeriesRules* rules = seriesRulesOf(bond.type);
    if (rules == nullptr) {
        return Qualifies::NotKnown;
    }
    if (!seriesQualifiesForEducation(*rules, *issue)) {
        return Qualifies::No;
    }
    if (!ownerBirthMonth) {
        return Qualifies::NotKnown;
    }
    return issue->monthsSince(*ownerBirthMonth) > kEducationAgeMonths ? Qualifies::Yes
                                                                      : Qualifies::No;
}

TaxYearReport computeTaxYear(const std::vector<Bond>& bonds, std::string portfolioName,
                             const ValueTable* table, int year, TaxMethod method,
                             std::optional<YearMonth> ownerBirthMonth) {
    TaxYearReport report;
    report.portfolioName = std::move(portfolioName);
    report.year = year;
    report.method = method;
    report.ownerBirthMonth = ownerBirthMonth;
    report.lastTableMonth = lastTableMonth(table);
    for (const Bond& bond : bonds) {
        const std::optional<YearMonth> issue = bond.issued();
        const std::optional<YearMonth> cashed = bond.cashedMonth();
        // Not yet bought, or cashed before the year: not held in it. A bond whose dates do not
        // read stays listed, so that no total leaves it out unsaid.
        if ((issue && issue->year > year) || (cashed && cashed->year < year)) {
            continue;
        }
        TaxYearRow row = rowOfBond(bond, table, year, method, ownerBirthMonth);
        addToTotal(report.earned, row.earned, row.earnedProjected);
        addToTotal(report.reportable, row.reportable, row.reportableProjected);
        if (row.cashedInYear) {
            addToTotal(report.form1099, row.form1099, row.form1099Projected);
        }
        report.rows.push_back(std::move(row));
    }
    std::stable_sort(report.rows.begin(), report.rows.end(),
                     [](const TaxYearRow& a, const TaxYearRow& b) {
                         return a.bond.issueDateOrder() < b.bond.issueDateOrder();
                     });
    return report;
}

bool TaxYearReport::projected() const {
    return earned.projected || reportable.projected || form1099.projected;
}

std::string TaxYearReport::projectionCaption() const {
    return projected() && lastTableMonth ? projectionCaptionAfter(*lastTableMonth) : std::string();
}

std::vector<TextRow> TaxYearReport::table() const {
    std::vector<TextRow> rows;
    rows.push_back({"Serial", "Series", "Issue Date", "Face Value", "Price", "Cashed or Matured",
                    "Interest Earned", "Reportable", "Form 1099-INT", "Education Exclusion"});
    for (const TaxYearRow& row : this->rows) {
        rows.push_back({row.bond.serial, row.bond.type, issueDateText(row.bond),
                        faceOrAmountText(row.bond), ownerAmountText(row.price), eventText(row),
                        holdingAmountText(row.earned, row.earnedProjected),
                        holdingAmountText(row.reportable, row.reportableProjected),
                        row.cashedInYear ? holdingAmountText(row.form1099, row.form1099Projected)
                                         : std::string(),
                        qualifiesText(row.education)});
    }
    rows.push_back(
        {"Total:", "", "", "", "", "", holdingTotalText(earned), holdingTotalText(reportable),
         form1099.knownCount + form1099.leftOut > 0 ? holdingTotalText(form1099) : "", ""});
    return rows;
}

bool TaxYearReport::isAmountColumn(std::size_t column) {
    return column == 3 || column == 4 || (column >= 6 && column <= 8);
}

std::vector<std::string> TaxYearReport::noteLines() const {
    const std::string yearText = std::to_string(year);
    std::vector<std::string> lines;
    if (projected()) {
        lines.push_back(projectionCaption() + ".");
    }
    lines.push_back(
        method == TaxMethod::Cash
            ? "Cash method: interest is reportable for the year a bond is cashed or reaches final "
              "maturity, whichever comes first (IRS Publication 550, method 1)."
            : "Accrual method: each year's increase in redemption value is reportable for that "
              "year (IRS Publication 550, method 2).");
    lines.push_back("Interest reportable for " + yearText + ": " + holdingTotalText(reportable) +
                    "; interest earned in " + yearText + ": " + holdingTotalText(earned) + ".");
    for (const auto& [total, what] :
         {std::pair{&reportable, "reportable"}, std::pair{&earned, "earned"}}) {
        if (total->leftOut > 0) {
            lines.push_back(
                std::string(kIncompleteTotalMark) + " The interest " + what + " leaves out " +
                std::to_string(total->leftOut) +
                (total->leftOut == 1 ? " bond whose figure is" : " bonds whose figure is") +
                " not known.");
        }
    }
    if (form1099.knownCount + form1099.leftOut > 0) {
        lines.push_back("Forms 1099-INT for bonds cashed in " + yearText + " show " +
                        holdingTotalText(form1099) +
                        " (box 3: amount received less price; a form is issued for interest of "
                        "$10 or more, and it may show interest already reported).");
    }
    if (const std::optional<EducationIncomeLimits> limits = educationIncomeLimits(year)) {
        lines.push_back("Education exclusion (Form 8815), tax year " + yearText +
                        ": it phases out between " + dollarsText(limits->singleFrom) + " and " +
                        dollarsText(limits->singleTo) +
                        " of modified adjusted gross income (single, head of household) and "
                        "between " +
                        dollarsText(limits->jointFrom) + " and " + dollarsText(limits->jointTo) +
                        " (married filing jointly) (" + std::string(limits->source) + ").");
    } else {
        lines.push_back("Education exclusion (Form 8815) income limits for " + yearText +
                        ": not known.");
    }
    if (!ownerBirthMonth) {
        lines.push_back("The owner's birth month is not known, so whether an EE bond issued after "
                        "1989 or an I bond can qualify for the education exclusion is not known.");
    }
    lines.push_back("Orvelt informs; it does not give tax advice.");
    return lines;
}
