#pragma once

// The application controller: what the windows need beyond the session they show. It holds the
// undo history, saves with a failure shown in an alert (and asks before quitting with changes
// that could not be saved), remembers the open portfolio for the next start, tells the start-up
// notice once, and is the host of every task window. The session itself, which `main` owns,
// holds the store, the open portfolio, the redemption month and the snapshots.

#include "app/WindowHost.h"
#include "store/YearMonth.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

class ApplicationController : public QObject, public WindowHost {
    Q_OBJECT

  public:
    // The session must outlive the controller.
    ApplicationController(WindowServices& services, Session& session, QObject* parent = nullptr);
    ~ApplicationController() override;

    Session& session() override { return session_; }
    WindowServices& services() const override { return services_; }
    QWidget* hostWidget() override { return hostWidget_; }
    // The widget task windows become windows of: the main window's view.
    void setHostWidget(QWidget* widget) { hostWidget_ = widget; }
    // Writes the portfolio file; a failure is shown in a "Could Not Save" alert.
    bool save() override;
    QUndoStack* undoStack() override { return undoStack_; }
    bool windowsOfPortfolioMayClose(const std::string& portfolio) override {
        return !windowsMayClose_ || windowsMayClose_(portfolio);
    }
    // Who answers windowsOfPortfolioMayClose: the view that keeps the task windows.
    void setWindowsOfPortfolioMayClose(std::function<bool(const std::string&)> ask) {
        windowsMayClose_ = std::move(ask);
    }

    // The month of the local clock; tests set another.
    void setCurrentMonth(std::function<YearMonth()> clock) { currentMonth_ = std::move(clock); }

    // Starts the session at the month chosen last, or at the current month, or at the latest
    // the value table holds.
    void start();
    // Saves once, unless the user chose to lose the changes that could not be saved.
    void saveBeforeQuit();
    // Saves what the portfolio file lacks; when that fails, asks whether to try again, quit
    // without the changes or stay. False when the user chose to stay.
    bool unsavedChangesMayBeLost();
    // Opens the portfolio open when the application last ended, if it still exists.
    void reopenLastPortfolio();
    // Tells the user, once, what start-up found wrong with the portfolio file (set aside
    // unreadable); nothing when it was read normally. Run once the main window is on screen.
    void showStartupNotice();

  private:
    WindowServices& services_;
    Session& session_;
    std::function<YearMonth()> currentMonth_;
    std::function<bool(const std::string&)> windowsMayClose_;
    QPointer<QWidget> hostWidget_;
    QUndoStack* undoStack_ = nullptr;
    bool terminated_ = false;
    bool startupNoticeShown_ = false;
    // The user chose to quit without the changes that could not be saved.
    bool unsavedChangesDiscarded_ = false;
};
