// The value report's operations over its windowless model (ValueReport): the data source of the
// report's table, which is every bond of the open portfolio with its current value at the
// redemption date, then the totals; and the alert about bonds the value table marks as having
// no value. The report window (a widget) owns one controller and asks it for the row count and
// each cell's text; this class knows nothing of widgets.
//
// A bond the value table marks as having no value is recorded when its value cell is produced.
// Before the window has loaded this only records; `windowDidLoad` then reports everything
// recorded in one alert and closes the report. Once loaded, the first such cell runs
// `triggerError`, which alerts with the serials recorded so far and closes the report. One
// report never shows a second alert.

#include "platform/PlistValue.h"
#include "valuation/ReportColumn.h"
#include "valuation/ValueReport.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ResourceLocations;
class ToolkitServices;
class ValuationContext;

class ReportWindowController {
  public:
    // The window resource the report's window is made from.
    static constexpr std::string_view kWindowNibName = "ReportWindow";

    // Loads the value table once, for the life of this report; a missing or unreadable table
    // values every bond at 0.0.
    ReportWindowController(const ResourceLocations& resources, ToolkitServices& services);

    ReportWindowController(const ReportWindowController&) = delete;
    ReportWindowController& operator=(const ReportWindowController&) = delete;

    // The owner that holds the database and the redemption date; not owned, must outlive the
    // report. Setting it puts the database's current bonds in date order, so set it before the
    // first row is asked for.
    ValuationContext* parentView() const { return report_.context(); }
    void setParentView(ValuationContext* parent);

    // Closes the report's window; the window sets it. Unset, closing does nothing.
    void setCloseWindow(std::function<void()> closeWindow) {
        closeWindow_ = std::move(closeWindow);
    }

    // Runs the showing of an alert and the closing that follows it. By default it runs them at
    // once. The window makes it a queued call so that no alert opens inside a model's data()
    // call; the queued call must not outlive the controller (give it the window as context).
    // The alert's text is fixed when it is scheduled, not when it is shown.
    void setAlertScheduler(std::function<void(std::function<void()>)> scheduler);

    // The report's rows, columns and totals.
    const ValueReport& model() const { return report_; }

    int numberOfRowsInTableView() const;
    // The text of the cell in the column with the given identifier; empty outside the rows.
    std::string tableViewObjectValue(std::string_view columnIdentifier, int row);
    // Whether a row can be selected (and copied): the bond rows and the totals row.
    bool tableViewShouldSelectRow(int row) const;

    double totalFaceValue() const { return report_.totalFaceValue(); }
    double totalCurrentValue() const { return report_.totalCurrentValue(); }

    // How many bonds of the current list the value table has no leaf for at the redemption date
    // the parent holds now (their value cells show $0.00), recounted at every call.
    int bondsWithoutValue() const { return report_.bondsWithoutValue(); }
    // The number of bonds in the current list.
    int bondCount() const { return report_.bondCount(); }
    // Whether the table holds the redemption date the parent holds now, for any series.
    bool tableHoldsRedemptionDate() const { return report_.tableHoldsRedemptionDate(); }
    // The line the report shows below its table when some bonds have no value in the table,
    // naming how many and the month, or that the table holds nothing for the month; empty when
    // every bond has a value.
    std::string missingValuesNote() const { return report_.missingValuesNote(); }

    // The bond's value at the redemption date its parent holds now.
    double valueForBond(const PlistValue& bond) const { return report_.valueForBond(bond); }
    static double sixDigitStringValueToDouble(std::string_view leaf);

    const std::vector<std::string>& invalidSerials() const { return invalidSerials_; }
    bool valid() const { return valid_; }
    bool loaded() const { return loaded_; }
    bool errorAlreadyTriggered() const { return errorAlreadyTriggered_; }
    // The value table; nullptr when it could not be read.
    const PlistDict* bondTable() const { return report_.bondTable(); }

    // Alerts with the serials recorded so far, then closes the report.
    void triggerError();
    // Run once the window is set up and its parent known, before it is first shown.
    void windowDidLoad();

  private:
    // Records a bond without a value; once the window has loaded, the first one ends the report.
    void recordInvalidSerial(std::string serial);
    std::string invalidSerialsMessage() const;
    void alertThenClose(std::string message, bool marksLoaded);

    ToolkitServices& services_;
    ValueReport report_;
    std::function<void()> closeWindow_;
    std::function<void(std::function<void()>)> alertScheduler_;

    std::vector<std::string> invalidSerials_;
    bool valid_ = true;
    bool loaded_ = false;
    bool errorAlreadyTriggered_ = false;
    // Set once an alert has been scheduled: the report is ending and never alerts again.
    bool ending_ = false;
};
