#pragma once

// What a task window needs of the application controller that opened it: the session (its
// store, open portfolio, redemption month, value table and snapshots, which every window reads
// and follows), the window services, writing the portfolio file with its failure shown, and the
// undo history. Task windows hold this interface and never the main window's widgets.

#include "platform/ui/WindowServices.h"
#include "store/BondCommands.h"
#include "valuation/Session.h"

#include <optional>
#include <string>

class QUndoStack;
class QWidget;

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    virtual Session& session() = 0;
    virtual WindowServices& services() const = 0;

    // The session's parts most windows use.
    BondDatabase* bondDatabase() { return &session().store(); }
    const ResourceLocations& resources() { return session().resources(); }
    std::optional<std::string> openPortfolio() { return session().openPortfolio(); }
    // Makes a portfolio the open one (none: no portfolio open); the main window follows.
    void setOpenPortfolio(std::optional<std::string> name) {
        session().setOpenPortfolio(std::move(name));
    }
    std::optional<YearMonth> redemptionMonth() { return session().redemptionMonth(); }
    // One change of the redemption date, month and year together.
    void setRedemptionMonth(YearMonth month) { session().setRedemptionMonth(month); }

    // The widget that stands for the host; task windows become windows of its top-level window
    // (so they stay above it and are freed with it) and forget the host when it is gone.
    virtual QWidget* hostWidget() = 0;

    // Writes the portfolio file; a failure is shown to the user ("Could Not Save"), and the
    // changes stay in memory for a later save. False when the file could not be written.
    virtual bool save() = 0;
    // `save` for a command to call once it has changed the store.
    SaveStore saver() {
        return [this] { save(); };
    }

    // Before a portfolio is deleted: its bond editor, when it holds an entry typed but not
    // saved, asks what to do with it as its own closing does. False when the user chose to
    // stay, so that nothing is deleted.
    virtual bool windowsOfPortfolioMayClose(const std::string& /*portfolio*/) { return true; }

    // The changes to bonds that can be undone until the application ends; none when the host
    // keeps none.
    virtual QUndoStack* undoStack() { return nullptr; }
};
