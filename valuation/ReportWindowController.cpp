#include "valuation/ReportWindowController.h"

#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "valuation/ValuationContext.h"
#include "valuation/ValueTable.h"

namespace {

constexpr std::string_view kAlertTitle = "Error";
constexpr std::string_view kInvalidBondsLead =
    "The bonds with the following serials are invalid:\n";
constexpr std::string_view kInvalidBondsTail = "\n\nPlease fix this error and try again.";

} // namespace

ReportWindowController::ReportWindowController(const ResourceLocations& resources,
                                               ToolkitServices& services)
    : services_(services), report_(loadBondTable(resources)) {}

void ReportWindowController::setParentView(ValuationContext* parent) {
    report_.setContext(parent);
    if (parent != nullptr) {
        BondDatabase* database = parent->bondDatabase();
        if (const std::optional<std::string> open = parent->openPortfolio(); database && open) {
            database->sortBondsByDate(*open);
        }
    }
}

void ReportWindowController::setAlertScheduler(
    std::function<void(std::function<void()>)> scheduler) {
    alertScheduler_ = std::move(scheduler);
}

int ReportWindowController::numberOfRowsInTableView() const {
    return report_.rowCount();
}

std::string ReportWindowController::tableViewObjectValue(std::string_view columnIdentifier,
                                                         int row) {
    ReportCell cell = report_.cell(reportColumnNamed(columnIdentifier), row);
    if (cell.invalidSerial) {
        recordInvalidSerial(std::move(*cell.invalidSerial));
    }
    return std::move(cell.text);
}

bool ReportWindowController::tableViewShouldSelectRow(int row) const {
    // The bonds and the totals, to be copied; not the heading or the blank rows.
    return row > 0 && row < report_.rowCount() && !report_.isBlankRow(row);
}

void ReportWindowController::recordInvalidSerial(std::string serial) {
    valid_ = false;
    invalidSerials_.push_back(std::move(serial));
    if (loaded_ && !errorAlreadyTriggered_ && !ending_) {
        triggerError();
    }
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
