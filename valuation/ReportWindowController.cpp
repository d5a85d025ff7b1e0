#include "valuation/ReportWindowController.h"

#include "platform/NumberText.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueTable.h"

namespace {

constexpr std::string_view kTotalLabel = "Total:";
constexpr std::string_view kAlertTitle = "Error";
constexpr std::string_view kInvalidBondsLead =
    "The bonds with the following serials are invalid:\n";
constexpr std::string_view kInvalidBondsTail = "\n\nPlease fix this error and try again.";

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

ReportWindowController::ReportWindowController(const ResourceLocations& resources,
                                               ToolkitServices& services)
    : services_(services), bondTable_(loadBondTable(resources)) {}

void ReportWindowController::setParentView(ValuationContext* parent) {
    parentView_ = parent;
    if (parentView_ != nullptr) {
        if (BondDatabase* database = parentView_->bondDatabase()) {
            database->sortBondsByDate();
        }
    }
}

void ReportWindowController::setAlertScheduler(
    std::function<void(std::function<void()>)> scheduler) {
    alertScheduler_ = std::move(scheduler);
}

const PlistArray* ReportWindowController::bonds() const {
    if (parentView_ == nullptr) {
        return nullptr;
    }
    const BondDatabase* database = parentView_->bondDatabase();
    if (database == nullptr) {
        return nullptr;
    }
    return database->currentBondList().get();
}

int ReportWindowController::numberOfRowsInTableView() const {
    const PlistArray* list = bonds();
    const std::size_t count = list != nullptr ? list->size() : 0;
    return static_cast<int>(count) + kRowsAroundBonds;
}

std::string ReportWindowController::tableViewObjectValue(std::string_view columnIdentifier,
                                                         int row) {
    const int rowCount = numberOfRowsInTableView();
    if (row < 0 || row >= rowCount) {
        return {};
    }
    if (row == 0) {
        return std::string(columnIdentifier);
    }
    if (row == 1 || row == rowCount - 2) {
        return {};
    }
    if (row == rowCount - 1) {
        return totalsCellText(columnIdentifier);
    }
    // Copied so that the bond stays alive even if the list changes while an alert runs.
    const PlistValue bond = (*bonds())[static_cast<std::size_t>(row - kRowsBeforeBonds)];
    return bondCellText(columnIdentifier, bond);
}

bool ReportWindowController::tableViewShouldSelectRow(int /*row*/) const {
    return false;
}

std::string ReportWindowController::totalsCellText(std::string_view columnIdentifier) const {
    if (columnIdentifier == kIssueMonthKey || columnIdentifier == kTypeKey) {
        return std::string(kTotalLabel);
    }
    if (columnIdentifier == kCurrentValueColumn) {
        return amountText(totalCurrentValue());
    }
    if (columnIdentifier == kFaceValueKey) {
        return amountText(totalFaceValue());
    }
    return {};
}

std::string ReportWindowController::bondCellText(std::string_view columnIdentifier,
                                                 const PlistValue& bond) {
    if (columnIdentifier == kCurrentValueColumn) {
        return valueCellText(bond);
    }
    const PlistDict* record = bond.dictPtr();
    const PlistValue* stored = record != nullptr ? record->find(columnIdentifier) : nullptr;
    const std::string text = stored != nullptr ? storedValueText(*stored) : std::string();
    if (columnIdentifier == kFaceValueKey) {
        return "$" + text;
    }
    return text;
}

std::string ReportWindowController::valueCellText(const PlistValue& bond) {
    const std::string printed = formatSixDecimals(valueForBond(bond));
    if (doubleValueOfText(printed) != kInvalidValueMarker) {
        return "$" + cutToTwoDecimals(printed);
    }
    valid_ = false;
    const PlistDict* record = bond.dictPtr();
    invalidSerials_.push_back(record != nullptr ? storedValueText(record->value(kSerialKey))
                                                : std::string());
    if (loaded_ && !errorAlreadyTriggered_ && !ending_) {
        triggerError();
    }
    return printed;
}

double ReportWindowController::totalFaceValue() const {
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

double ReportWindowController::totalCurrentValue() const {
    double total = 0.0;
    if (const PlistArray* list = bonds()) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            prefetchRecordsAhead(*list, i);
            total += valueForBond((*list)[i]);
        }
    }
    return total;
}

int ReportWindowController::bondCount() const {
    const PlistArray* list = bonds();
    return list != nullptr ? static_cast<int>(list->size()) : 0;
}

int ReportWindowController::bondsWithoutValue() const {
    const PlistArray* list = bonds();
    if (list == nullptr) {
        return 0;
    }
    const std::string year = parentView_ != nullptr ? parentView_->redemptionYear() : "";
    const std::string month = parentView_ != nullptr ? parentView_->redemptionMonth() : "";
    int count = 0;
    for (std::size_t i = 0; i < list->size(); ++i) {
        prefetchRecordsAhead(*list, i);
        if (!tableHasLeafForBond(bondTable_.get(), (*list)[i], year, month)) {
            ++count;
        }
    }
    return count;
}

bool ReportWindowController::tableHoldsRedemptionDate() const {
    if (bondTable_ == nullptr || parentView_ == nullptr) {
        return false;
    }
    const std::string year = parentView_->redemptionYear();
    const std::string month = parentView_->redemptionMonth();
    for (const PlistDict::Entry& series : bondTable_->entries()) {
        if (plistFind(series.second.dictPtr(), {year, month}) != nullptr) {
            return true;
        }
    }
    return false;
}

std::string ReportWindowController::missingValuesNote() const {
    const int missing = bondsWithoutValue();
    if (missing == 0) {
        return {};
    }
    // Bonds without a value imply a parent: without one there is no bond list.
    const int count = bondCount();
    const std::string date =
        redemptionDateText(parentView_->redemptionYear(), parentView_->redemptionMonth());
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

double ReportWindowController::valueForBond(const PlistValue& bond) const {
    if (parentView_ == nullptr) {
        return valueOfBond(bondTable_.get(), bond, {}, {});
    }
    // Read afresh at every call: a new redemption date applies to the next value asked for.
    const std::string year = parentView_->redemptionYear();
    const std::string month = parentView_->redemptionMonth();
    return valueOfBond(bondTable_.get(), bond, year, month);
}

double ReportWindowController::sixDigitStringValueToDouble(std::string_view leaf) {
    return ::sixDigitStringValueToDouble(leaf);
}

std::string ReportWindowController::invalidSerialsMessage() const {
    std::string serialList;
    for (const std::string& serial : invalidSerials_) {
        serialList += '\n';
        serialList += serial;
    }
    std::string message(kInvalidBondsLead);
    message += serialList;
    message += kInvalidBondsTail;
    return message;
}

void ReportWindowController::triggerError() {
    errorAlreadyTriggered_ = true;
    alertThenClose(invalidSerialsMessage(), false);
}

void ReportWindowController::windowDidLoad() {
    if (!valid_ && !ending_) {
        // The report stays "not loaded" until the alert is done, so that cells asked for while
        // it is up only record.
        alertThenClose(invalidSerialsMessage(), true);
        return;
    }
    loaded_ = true;
}

void ReportWindowController::alertThenClose(std::string message, bool marksLoaded) {
    ending_ = true;
    auto showAndClose = [this, message = std::move(message), marksLoaded] {
        services_.showErrorAlert(std::string(kAlertTitle), message);
        if (marksLoaded) {
            loaded_ = true;
        }
        // Closing comes last: it may end the window that owns this controller.
        const std::function<void()> close = closeWindow_;
        if (close) {
            close();
        }
    };
    if (alertScheduler_) {
        alertScheduler_(std::move(showAndClose));
    } else {
        showAndClose();
    }
}
