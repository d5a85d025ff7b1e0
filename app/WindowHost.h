#pragma once

// What a task window needs of the application controller that opened it: the portfolio store,
// the open portfolio and the redemption date (read and set), the window services, the resource
// locations, writing the portfolio file, the open portfolio's report, and telling the controller
// which portfolio is open so that the main window updates its own title and commands. Task windows
// hold this interface and never the main window's widgets.

#include "platform/ui/WindowServices.h"
#include "valuation/ValuationContext.h"

#include <memory>
#include <optional>
#include <string>

class QUndoStack;
class ValueTable;
struct ReportSnapshot;
class QWidget;
class ResourceLocations;

class WindowHost : public ValuationContext {
  public:
    // One change of the redemption date, month and year together.
    virtual void setRedemptionMonth(YearMonth month) = 0;

    virtual WindowServices& services() const = 0;
    virtual const ResourceLocations& resources() const = 0;

    // The widget that stands for the host; task windows become windows of its top-level window
    // (so they stay above it and are freed with it) and forget the host when it is gone.
    virtual QWidget* hostWidget() = 0;

    // Makes a portfolio the open one (none: no portfolio open); the caller then tells the host
    // with portfolioChanged().
    virtual void setOpenPortfolio(std::optional<std::string> name) = 0;

    // Writes the portfolio file; a failure is shown to the user ("Could Not Save"), and the
    // changes stay in memory for a later save. False when the file could not be written.
    virtual bool save() = 0;

    // The open portfolio was created, opened or deleted: the host's title and the commands that
    // need an open portfolio follow it.
    virtual void portfolioChanged() = 0;

    // Before a portfolio is deleted: its bond editor, when it holds an entry typed but not
    // saved, asks what to do with it as its own closing does. False when the user chose to
    // stay, so that nothing is deleted.
    virtual bool windowsOfPortfolioMayClose(const std::string& /*portfolio*/) { return true; }

    // The report of the open portfolio at the redemption month with `table`, as the host holds
    // it for every window to read; none when `portfolio` is not the open one or the host values
    // it with another table. Windows follow the store's announcements, never the host's.
    virtual std::shared_ptr<const ReportSnapshot> sharedSnapshot(const std::string& /*portfolio*/,
                                                                 const ValueTable* /*table*/) {
        return nullptr;
    }
    // The changes to bonds that can be undone until the application ends; none when the host
    // keeps none.
    virtual QUndoStack* undoStack() { return nullptr; }
};
