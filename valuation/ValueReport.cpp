#include "valuation/ValueReport.h"

#include "platform/NumberText.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueTable.h"

namespace {

constexpr std::string_view kTotalLabel = "Total:";

// Rows before the first bond (heading, blank) and after the last (blank, totals).
constexpr int kRowsBeforeBonds = 2;
constexpr int kRowsAroundBonds = 4;

// A total walks every bond record of a large list once; asking for the records a few bonds ahead
// keeps the walk from waiting on memory at each bond.
constexpr std::size_t kRecordPrefetchDistance = 8;

void prefetchRecordsAhead(const PlistArray& list, std::size_t index) {
    if (index + 2 * kRecordPrefetchDistance < list.size()) {
        __builtin_prefetch(list[index + 2 * kRecordPrefetchDistance].dictPtr());
    }
    if (index + kRecordPrefetchDistance < list.size()) {
        if (const PlistDict* ahead = list[index + kRecordPrefetchDistance].dictPtr()) {
            __builtin_prefetch(ahead->entries().data());
        }
    }
}

// "June 2009" for the year "2009" and the month "06"; a month that is not "01" to "12" is
// shown as it is held.
std::string redemptionDateText(const std::string& year, const std::string& month) {
    const int number = month.size() == 2 && month[0] >= '0' && month[0] <= '9' && month[1] >= '0' &&
                               month[1] <= '9'
                           ? (month[0] - '0') * 10 + (month[1] - '0')
                           : 0;
    if (number >= 1 && number <= 12) {
        return std::string(kMonthNames[static_cast<std::size_t>(number - 1)]) + " " + year;
    }
    return "the month \"" + month + "\" of " + year;
}

} // namespace

ValueReport::ValueReport(PlistDictRef bondTable) : bondTable_(std::move(bondTable)) {}

const PlistArray* ValueReport::bonds() const {
    if (context_ == nullptr) {
        return nullptr;
    }
    const BondDatabase* database = context_->bondDatabase();
    const std::optional<std::string> name = context_->openPortfolio();
    const Portfolio* portfolio = database != nullptr && name ? database->portfolio(*name) : nullptr;
    if (portfolio == nullptr) {
        return nullptr;
    }
    // The cells read bond records; they are made again only when the store has changed.
    if (!records_ || recordsStore_ != database || recordsRevision_ != database->revision() ||
        recordsPortfolio_ != *name) {
        auto records = std::make_shared<PlistArray>();
        records->reserve(portfolio->bonds.size());
        for (const Bond& bond : portfolio->bonds) {
            records->push_back(bond.toRecord());
        }
        records_ = std::move(records);
        recordsStore_ = database;
        recordsRevision_ = database->revision();
        recordsPortfolio_ = *name;
    }
    return records_.get();
}

int ValueReport::bondCount() const {
    const PlistArray* list = bonds();
    return list != nullptr ? static_cast<int>(list->size()) : 0;
}

int ValueReport::rowCount() const {
    return bondCount() + kRowsAroundBonds;
}

bool ValueReport::isBlankRow(int row) const {
    return row == 1 || row == rowCount() - 2;
}

ReportCell ValueReport::cell(const ReportColumn& column, int row) const {
    const int rows = rowCount();
    if (row < 0 || row >= rows) {
        return {};
    }
    if (isHeadingRow(row)) {
        return {std::string(column.title), std::nullopt};
    }
    if (isBlankRow(row)) {
        return {};
    }
    if (isTotalsRow(row)) {
        return {totalsCellText(column), std::nullopt};
    }
    // Copied so that the bond stays alive whatever its caller does with the list afterwards.
    const PlistValue bond = (*bonds())[static_cast<std::size_t>(row - kRowsBeforeBonds)];
    return bondCell(column, bond);
}

std::string ValueReport::totalsCellText(const ReportColumn& column) const {
    switch (column.totalRule) {
    case ReportTotalRule::Label:
        return std::string(kTotalLabel);
    case ReportTotalRule::FaceValueSum:
        return amountText(totalFaceValue());
    case ReportTotalRule::CurrentValueSum:
        return amountText(totalCurrentValue());
    case ReportTotalRule::IssuePriceSum:
        return ownerAmountText(ownerFigureTotal(&OwnerFigures::issuePrice));
    case ReportTotalRule::InterestSum:
        return ownerAmountText(ownerFigureTotal(&OwnerFigures::interest));
    case ReportTotalRule::InterestThisYearSum:
        return ownerAmountText(ownerFigureTotal(&OwnerFigures::interestThisYear));
    case ReportTotalRule::Blank:
        break;
    }
    return {};
}

std::string ValueReport::ownerCellText(ReportCellRule rule, const PlistValue& bond) const {
    const OwnerFigures figures = ownerFiguresOfBond(bond);
    switch (rule) {
    case ReportCellRule::IssuePrice:
        return ownerAmountText(figures.issuePrice);
    case ReportCellRule::Interest:
        return ownerAmountText(figures.interest);
    case ReportCellRule::InterestThisYear:
        return ownerAmountText(figures.interestThisYear);
    case ReportCellRule::YieldSinceIssue:
        return yieldText(figures.yieldSinceIssue);
    case ReportCellRule::FinalMaturity:
        return finalMaturityText(figures.finalMaturity);
    case ReportCellRule::Status:
        return std::string(bondStatusText(figures.status));
    default:
        return {};
    }
}

OwnerFigures ValueReport::ownerFiguresOfBond(const PlistValue& bond) const {
    if (context_ == nullptr) {
        return ::ownerFiguresOfBond(bondTable_.get(), bond, {}, {});
    }
    return ::ownerFiguresOfBond(bondTable_.get(), bond, context_->redemptionYear(),
                                context_->redemptionMonth());
}

std::optional<double>
ValueReport::ownerFigureTotal(std::optional<double> OwnerFigures::*figure) const {
    double total = 0.0;
    bool anyKnown = false;
    const PlistArray* list = bonds();
    if (list == nullptr || list->empty()) {
        return total;
    }
    for (const PlistValue& bond : *list) {
        const OwnerFigures figures = ownerFiguresOfBond(bond);
        anyKnown = anyKnown || (figures.*figure).has_value();
        total += (figures.*figure).value_or(0.0);
    }
    // A total of nothing known is not known either, rather than $0.00.
    return anyKnown ? std::optional<double>(total) : std::nullopt;
}

ReportSummary ValueReport::summary() const {
    ReportSummary summary;
    const PlistArray* list = bonds();
    if (list == nullptr) {
        return summary;
    }
    for (const PlistValue& bond : *list) {
        const OwnerFigures figures = ownerFiguresOfBond(bond);
        const double value = valueForBond(bond);
        summary.paid += figures.issuePrice.value_or(0.0);
        summary.worth += value != kInvalidValueMarker ? value : 0.0;
        summary.interest += figures.interest.value_or(0.0);
        summary.worthIfCashedNow += figures.cashValue;
        summary.matured += figures.status == BondStatus::Matured ? 1 : 0;
    }
    return summary;
}

std::vector<std::string> ValueReport::summaryLines() const {
    const ReportSummary figures = summary();
    std::vector<std::string> lines = {
        "Paid for these bonds: " + amountText(figures.paid),
        "Worth now: " + amountText(figures.worth) +
            ", of which interest: " + amountText(figures.interest),
        "Worth if cashed now: " + amountText(figures.worthIfCashedNow) +
            " (bonds not yet payable count nothing)",
    };
    if (figures.matured == 0) {
        lines.emplace_back("None of these bonds has matured: all still earn interest.");
    } else {
        lines.push_back((figures.matured == 1 ? std::string("1 bond has")
                                              : std::to_string(figures.matured) + " bonds have") +
                        " matured and no longer earn" + (figures.matured == 1 ? "s" : "") +
                        " interest: keeping " + (figures.matured == 1 ? "it" : "them") +
                        " brings nothing more, so you may cash " +
                        (figures.matured == 1 ? "it" : "them") + " without losing anything.");
    }
    return lines;
}

ReportCell ValueReport::bondCell(const ReportColumn& column, const PlistValue& bond) const {
    if (column.cellRule == ReportCellRule::CurrentValue) {
        return valueCell(bond);
    }
    if (column.cellRule != ReportCellRule::StoredText &&
        column.cellRule != ReportCellRule::StoredAmount) {
        return {ownerCellText(column.cellRule, bond), std::nullopt};
    }
    const PlistDict* record = bond.dictPtr();
    const PlistValue* stored = record != nullptr ? record->find(column.identifier) : nullptr;
    const std::string text = stored != nullptr ? storedValueText(*stored) : std::string();
    if (column.cellRule == ReportCellRule::StoredAmount) {
        return {"$" + text, std::nullopt};
    }
    return {text, std::nullopt};
}

ReportCell ValueReport::valueCell(const PlistValue& bond) const {
    const std::string printed = formatSixDecimals(valueForBond(bond));
    if (doubleValueOfText(printed) != kInvalidValueMarker) {
        return {"$" + cutToTwoDecimals(printed), std::nullopt};
    }
    // The marker itself is shown, and the bond is named by its serial.
    const PlistDict* record = bond.dictPtr();
    return {printed,
            record != nullptr ? storedValueText(record->value(kSerialKey)) : std::string()};
}

double ValueReport::totalFaceValue() const {
    double total = 0.0;
    if (const PlistArray* list = bonds()) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            prefetchRecordsAhead(*list, i);
            const PlistDict* record = (*list)[i].dictPtr();
            const PlistValue* face = record != nullptr ? record->find(kFaceValueKey) : nullptr;
            total += face != nullptr ? doubleValueOf(*face) : 0.0;
        }
    }
    return total;
}

double ValueReport::totalCurrentValue() const {
    double total = 0.0;
    if (const PlistArray* list = bonds()) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            prefetchRecordsAhead(*list, i);
            total += valueForBond((*list)[i]);
        }
    }
    return total;
}

double ValueReport::valueForBond(const PlistValue& bond) const {
    if (context_ == nullptr) {
        return valueOfBond(bondTable_.get(), bond, {}, {});
    }
    // Read afresh at every call: a new redemption date applies to the next value asked for.
    const std::string year = context_->redemptionYear();
    const std::string month = context_->redemptionMonth();
    return valueOfBond(bondTable_.get(), bond, year, month);
}

int ValueReport::bondsWithoutValue() const {
    const PlistArray* list = bonds();
    if (list == nullptr) {
        return 0;
    }
    const std::string year = context_->redemptionYear();
    const std::string month = context_->redemptionMonth();
    int count = 0;
    for (std::size_t i = 0; i < list->size(); ++i) {
        prefetchRecordsAhead(*list, i);
        if (!tableHasLeafForBond(bondTable_.get(), (*list)[i], year, month)) {
            ++count;
        }
    }
    return count;
}

bool ValueReport::tableHoldsRedemptionDate() const {
    if (bondTable_ == nullptr || context_ == nullptr) {
        return false;
    }
    const std::string year = context_->redemptionYear();
    const std::string month = context_->redemptionMonth();
    for (const PlistDict::Entry& series : bondTable_->entries()) {
        if (plistFind(series.second.dictPtr(), {year, month}) != nullptr) {
            return true;
        }
    }
    return false;
}

std::string ValueReport::missingValuesNote() const {
    const int missing = bondsWithoutValue();
    if (missing == 0) {
        return {};
    }
    // Bonds without a value imply an owner: without one there is no bond list.
    const int count = bondCount();
    const std::string date =
        redemptionDateText(context_->redemptionYear(), context_->redemptionMonth());
    if (!tableHoldsRedemptionDate()) {
        return "The value table holds no values for " + date + "; " +
               (count == 1 ? std::string("this bond shows")
                           : "all " + std::to_string(count) + " bonds show") +
               " $0.00.";
    }
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
    return "The value table has no value for " + which + " in " + date + "; " + shows + " $0.00.";
}
