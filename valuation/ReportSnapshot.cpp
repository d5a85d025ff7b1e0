#include "valuation/ReportSnapshot.h"

#include "platform/NumberText.h"
#include "store/BondRecord.h"
#include "store/BondRegistration.h"
#include "valuation/CashedFigures.h"
#include "valuation/HoldingFigures.h"
#include "valuation/Projection.h"
#include "valuation/ValueTable.h"

#include <algorithm>

namespace {

constexpr std::string_view kTotalLabel = "Total:";

// The bonds' places in issue-date order, stable. The report reads a year from its text only: a
// year stored as a number shows no year and stands first.
std::vector<std::size_t> placesByIssueDate(const std::vector<Bond>& bonds) {
    std::vector<std::pair<YearMonth, std::size_t>> keyed;
    keyed.reserve(bonds.size());
    for (std::size_t i = 0; i < bonds.size(); ++i) {
        keyed.emplace_back(issueDateOrder(intValueOfText(bonds[i].issueYear), bonds[i].issueMonth),
                           i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::size_t> places;
    places.reserve(keyed.size());
    for (const auto& entry : keyed) {
        places.push_back(entry.second);
    }
    return places;
}

std::string counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string valueCellText(const OwnerFigures& figures) {
    if (figures.value) {
        return amountText(*figures.value);
    }
    // Never an amount: $0.00 would read as a worthless bond.
    return std::string(kNoValueText);
}

std::string storedText(const ReportRow& row, std::string_view key) {
    if (key == kSerialKey) {
        return row.bond.serial;
    }
    if (key == kTypeKey) {
        return row.bond.type;
    }
    if (key == kFaceValueKey) {
        return row.bond.faceValue;
    }
    if (key == kIssueYearKey) {
        return row.bond.issueYear;
    }
    if (key == kIssueMonthKey) {
        return row.bond.issueMonth;
    }
    if (const std::string* field = registrationField(row.bond, key)) {
        return *field;
    }
    // A key the report does not know: whatever the stored record holds under it.
    return row.bond.recordText(key);
}

// A figure of a projected month carries the mark; "not known" and "none" are no figures.
std::string marked(const OwnerFigures& figures, std::string text) {
    if (!figures.projected || text == kNotKnownText || text == kNoneText) {
        return text;
    }
    return std::string(kProjectedMark) + text;
}

std::string bondCellText(const ReportColumn& column, const ReportRow& row) {
    const OwnerFigures& figures = row.figures;
    switch (column.cellRule) {
    case ReportCellRule::StoredText:
        return storedText(row, column.identifier);
    case ReportCellRule::StoredAmount:
        return "$" + storedText(row, column.identifier);
    case ReportCellRule::Kind:
        return std::string(bondKindText(row.bond));
    case ReportCellRule::CurrentValue:
        return figures.value ? marked(figures, valueCellText(figures)) : valueCellText(figures);
    case ReportCellRule::IssuePrice:
        return ownerAmountText(figures.issuePrice);
    case ReportCellRule::Interest:
        return marked(figures, ownerAmountText(figures.interest));
    case ReportCellRule::InterestThisYear:
        return marked(figures, ownerAmountText(figures.interestThisYear));
    case ReportCellRule::YieldSinceIssue:
        return marked(figures, yieldText(figures.yieldSinceIssue));
    case ReportCellRule::InterestRate:
        return marked(figures, interestRateText(figures.interestRate));
    case ReportCellRule::NextAccrual:
        return nextAccrualText(figures.nextAccrual);
    case ReportCellRule::FinalMaturity:
        return finalMaturityText(figures.finalMaturity);
    case ReportCellRule::Status:
        return statusCellText(figures);
    }
    return {};
}

// "* The Interest total leaves out 1 bond whose figure is not known."
std::string leftOutLine(std::string_view total, const ReportTotal& figures) {
    return std::string(kIncompleteTotalMark) + " The " + std::string(total) + " leaves out " +
           counted(figures.leftOut, "bond whose figure is", "bonds whose figure is") +
           " not known.";
}

// "1 bond, 2 bonds and 3 bonds": the parts that count any bond.
std::string listed(const std::vector<std::pair<int, std::string>>& parts) {
    std::vector<std::string> texts;
    for (const auto& [count, what] : parts) {
        if (count > 0) {
            texts.push_back(counted(count, "bond", "bonds") + what);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == texts.size() ? " and " : ", ") + texts[i];
    }
    return text;
}

// "Received for the 2 cashed bonds: $1234.56." with how many of them lack the amount.
std::string receivedLine(int cashed, const ReportTotal& received) {
    std::string line = "Received for " +
                       (cashed == 1 ? std::string("the cashed bond")
                                    : "the " + std::to_string(cashed) + " cashed bonds") +
                       ": ";
    if (received.knownCount == 0) {
        return line + std::string(kNotKnownText) + ".";
    }
    line += amountText(received.known);
    if (received.leftOut > 0) {
        line += std::string(kIncompleteTotalMark) + " (" +
                counted(received.leftOut, "bond whose amount is", "bonds whose amount is") +
                " not known)";
    }
    return line + ".";
}

} // namespace

const ReportRow* ReportSnapshot::bondRow(int row) const {
    if (row < 2 || row >= 2 + bondCount()) {
        return nullptr;
    }
    return &rows[static_cast<std::size_t>(row - 2)];
}

namespace {

bool onlyBondsWithoutValue(const ReportSnapshot& snapshot) {
    return snapshot.summary.withValue == 0 &&
           (snapshot.summary.withoutValue > 0 || !snapshot.invalidSerials.empty());
}

} // namespace

std::string ReportSnapshot::totalText(const ReportTotal& total) const {
    return onlyBondsWithoutValue(*this) ? std::string(kNotKnownText) : holdingTotalText(total);
}

std::string ReportSnapshot::worthIfCashedNowText() const {
    if (onlyBondsWithoutValue(*this)) {
        return std::string(kNotKnownText);
    }
    return (summary.worthIfCashedNowProjected ? std::string(kProjectedMark) : "") +
           amountText(summary.worthIfCashedNow);
}

bool ReportSnapshot::projected() const {
    return month && lastTableMonth && *month > *lastTableMonth &&
           *month <= lastTableMonth->plusMonths(kProjectionYears * 12);
}

std::string ReportSnapshot::projectionCaption() const {
    if (!projected()) {
        return {};
    }
    return projectionCaptionAfter(*lastTableMonth);
}

std::string projectionCaptionAfter(const YearMonth& lastTableMonth) {
    return std::string(kProjectedMark) + " projected: rates in force in " + lastTableMonth.name() +
           " held unchanged";
}

std::string ReportSnapshot::cellText(const ReportColumn& column, int row) const {
    if (row < 0 || row >= rowCount() || isBlankRow(row)) {
        return {};
    }
    if (isHeadingRow(row)) {
        return std::string(column.title);
    }
    if (const ReportRow* bond = bondRow(row)) {
        return bondCellText(column, *bond);
    }
    switch (column.totalRule) {
    case ReportTotalRule::Label:
        return std::string(kTotalLabel);
    case ReportTotalRule::FaceValueSum:
        return amountText(totalFaceValue);
    case ReportTotalRule::CurrentValueSum:
        return totalText(summary.worth);
    case ReportTotalRule::IssuePriceSum:
        return totalText(summary.paid);
    case ReportTotalRule::InterestSum:
        return totalText(summary.interest);
    case ReportTotalRule::InterestThisYearSum:
        return totalText(summary.interestThisYear);
    case ReportTotalRule::Blank:
        break;
    }
    return {};
}

namespace {

bool columnShown(const ReportColumnPositions* shownColumns, std::string_view title) {
    return shownColumns == nullptr ||
           std::any_of(shownColumns->begin(), shownColumns->end(), [title](std::size_t position) {
               return position < kReportColumns.size() && kReportColumns[position].title == title;
           });
}

} // namespace

std::vector<std::string>
ReportSnapshot::summaryLines(const ReportColumnPositions* shownColumns) const {
    std::vector<std::string> lines = {
        "Paid for these bonds: " + totalText(summary.paid),
        "Worth now: " + totalText(summary.worth) +
            ", of which interest: " + totalText(summary.interest),
        "Worth if cashed now: " + worthIfCashedNowText() + " (bonds not yet payable count nothing)",
    };
    // The bonds that stopped earning are told with what to do about them (actionLines).
    const int invalid = static_cast<int>(invalidSerials.size());
    const std::string notIssued = " not issued yet in " + monthName;
    const std::string invalidDate = " with an invalid issue date";
    const std::string cashed = " cashed by " + monthName;
    if (const std::string which = listed({{summary.notIssuedYet, notIssued},
                                          {invalid, invalidDate},
                                          {summary.withoutValue, " without a value"},
                                          {summary.cashed, cashed}});
        !which.empty()) {
        lines.push_back("These totals count the bonds that have a value; they leave out " + which +
                        ".");
    }
    if (const std::string which = listed(
            {{summary.notIssuedYet, notIssued}, {invalid, invalidDate}, {summary.cashed, cashed}});
        !which.empty()) {
        lines.push_back("The face value total leaves out " + which + ".");
    }
    if (summary.cashed > 0) {
        lines.push_back(receivedLine(summary.cashed, summary.received));
    }
    // A total the summary carries too is named by the summary's words where its column is not
    // shown; the year's interest only its column shows.
    struct Footnoted {
        std::string_view column;
        std::string_view summaryWords;
        const ReportTotal* total;
    };
    for (const auto& [column, summaryWords, total] :
         {Footnoted{"Issue Price", "amount paid", &summary.paid},
          Footnoted{"Interest", "interest", &summary.interest},
          Footnoted{"Interest This Year", "", &summary.interestThisYear}}) {
        if (total->leftOut == 0 || total->knownCount == 0) {
            continue;
        }
        if (columnShown(shownColumns, column)) {
            lines.push_back(leftOutLine(std::string(column) + " total", *total));
        } else if (!summaryWords.empty()) {
            lines.push_back(leftOutLine(summaryWords, *total));
        }
    }
    if (projected()) {
        lines.push_back(projectionCaption() + ".");
    }
    return lines;
}

std::string ReportSnapshot::missingValuesNote() const {
    const int missing = bondsWithoutLeaf;
    if (missing == 0) {
        return {};
    }
    const int issued = bondCount() - summary.notIssuedYet;
    if (projected()) {
        return "No value can be projected to " + monthName + " for " +
               counted(missing, "bond", "bonds") +
               ": the value table has no value or no rate for " + (missing == 1 ? "it" : "them") +
               " in " + lastTableMonth->name() + (missing == 1 ? "; it shows" : "; they show") +
               " \"no value\".";
    }
    if (!tableHoldsMonth) {
        return "The value table holds no values for " + monthName + "; " +
               (issued == 1 ? std::string("this bond shows")
                            : "all " + std::to_string(issued) + " bonds show") +
               " \"no value\".";
    }
    // Among the bonds the table could value, those of an impossible date apart: they are named
    // for their dates, not for the table.
    const int count = issued - static_cast<int>(invalidSerials.size());
    std::string which;
    std::string shows;
    if (count == 1) {
        which = "this bond";
        shows = "it shows";
    } else if (missing == count) {
        which = "any of these " + std::to_string(count) + " bonds";
        shows = "they all show";
    } else {
        which = std::to_string(missing) + " of these " + std::to_string(count) + " bonds";
        shows = missing == 1 ? "it shows" : "they show";
    }
    return "The value table has no value for " + which + " in " + monthName + "; " + shows +
           " \"no value\".";
}

ReportSnapshot computeReportSnapshot(std::vector<Bond> bonds, std::string portfolioName,
                                     const ValueTable* table, std::optional<YearMonth> month) {
    ReportSnapshot snapshot;
    snapshot.portfolioName = std::move(portfolioName);
    snapshot.month = month;
    snapshot.monthName = month ? month->name() : std::string(kUnknownMonthName);
    snapshot.tableHoldsMonth = month && table != nullptr && table->holdsMonth(*month);
    snapshot.lastTableMonth = lastTableMonth(table);
    // The final maturities of this year and the next, read before the rows take the bonds.
    if (month) {
        for (const int year : {month->year, month->year + 1}) {
            if (MaturityInYear maturing = bondsReachingFinalMaturity(bonds, table, year);
                maturing.count > 0) {
                snapshot.comingMaturities.push_back(std::move(maturing));
            }
        }
    }
    snapshot.rows.reserve(bonds.size());
    // The rows take the bonds over, each put in its place once: a large portfolio's bonds are
    // not copied twice.
    for (const std::size_t place : placesByIssueDate(bonds)) {
        Bond& bond = bonds[place];
        OwnerFigures figures = cashedBy(bond, month) ? cashedFiguresOfBond(table, bond)
                                                     : ownerFiguresOfBond(table, bond, month);
        snapshot.rows.push_back({std::move(bond), std::move(figures)});
    }

    ReportSummary& summary = snapshot.summary;
    for (const ReportRow& row : snapshot.rows) {
        const OwnerFigures& figures = row.figures;
        if (figures.status == BondStatus::Cashed) {
            ++summary.cashed;
            addToTotal(summary.received, figures.value, false);
            continue;
        }
        if (figures.status == BondStatus::NotIssuedYet) {
            ++summary.notIssuedYet;
            continue;
        }
        if (figures.status == BondStatus::InvalidIssueDate) {
            // Listed, but no such bond exists: not even its face value counts.
            snapshot.invalidSerials.push_back(row.bond.serial);
            continue;
        }
        snapshot.totalFaceValue += Amount::ofDollars(row.bond.faceAmount());
        if (figures.leaf == TableEntry::Kind::Missing) {
            ++snapshot.bondsWithoutLeaf;
        }
        if (!figures.value) {
            ++summary.withoutValue;
            continue;
        }
        // Every total runs over the same bonds: those with a value.
        ++summary.withValue;
        addToTotal(summary.worth, figures.value, figures.projected);
        // What was paid is no projection.
        addToTotal(summary.paid, figures.issuePrice, false);
        addToTotal(summary.interest, figures.interest, figures.projected);
        addToTotal(summary.interestThisYear, figures.interestThisYear, figures.projected);
        summary.worthIfCashedNow += figures.cashValue;
        summary.worthIfCashedNowProjected = summary.worthIfCashedNowProjected || figures.projected;
        summary.matured += figures.status == BondStatus::Matured ? 1 : 0;
    }
    return snapshot;
}

std::string invalidBondsMessage(const ReportSnapshot& snapshot) {
    std::string message = "The bonds with the following serials are invalid:\n";
    for (const ReportRow& row : snapshot.rows) {
        if (row.figures.status == BondStatus::InvalidIssueDate) {
            message += "\n" + row.bond.serial + " (" + row.figures.invalidReason + ")";
        }
    }
    return message + "\n\nThey are listed without a value and counted in no total. Please correct "
                     "their issue dates.";
}

bool reportColumnHoldsAnything(const ReportSnapshot& report, const ReportColumn& column) {
    if (!column.optional) {
        return true;
    }
    return std::any_of(report.rows.begin(), report.rows.end(), [&column](const ReportRow& row) {
        if (column.cellRule == ReportCellRule::Kind) {
            return row.bond.electronic;
        }
        const std::string* field = registrationField(row.bond, column.identifier);
        return field != nullptr && !field->empty();
    });
}

ReportColumnPositions reportColumnsWithHeldOptions(const ReportSnapshot& report, bool everyColumn) {
    ReportColumnPositions columns;
    for (std::size_t position = 0; position < kReportColumns.size(); ++position) {
        const ReportColumn& column = kReportColumns[position];
        if (column.optional ? reportColumnHoldsAnything(report, column)
                            : everyColumn || position < kValueColumnCount) {
            columns.push_back(position);
        }
    }
    return columns;
}
