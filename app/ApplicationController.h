#pragma once

// The application controller: the one portfolio store and its undo history, which portfolio is
// open, the redemption month, the value table the main window's summary is valued with, the open
// portfolio's report computed once per change, and the settings kept between runs. It is the host
// of every task window; the main window's view shows what it holds and follows its signals.

#include "app/WindowHost.h"
#include "platform/PlistValue.h"
#include "platform/ResourceLocations.h"
#include "valuation/ReportSnapshot.h"
#include "valuation/ValueTable.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class BondDatabase;

class ApplicationController : public QObject, public WindowHost {
    Q_OBJECT

  public:
    ApplicationController(WindowServices& services, ResourceLocations resources,
                          QObject* parent = nullptr);
    ~ApplicationController() override;

    BondDatabase* bondDatabase() const override { return store_.get(); }
    std::optional<std::string> openPortfolio() const override { return openPortfolio_; }
    void setOpenPortfolio(std::optional<std::string> name) override {
        openPortfolio_ = std::move(name);
        snapshotOutdated();
    }
    std::optional<YearMonth> redemptionMonth() const override { return redemptionMonth_; }
    // The snapshot follows the date.
    void setRedemptionMonth(YearMonth month) override;
    WindowServices& services() const override { return services_; }
    const ResourceLocations& resources() const override { return resources_; }
    QWidget* hostWidget() override { return hostWidget_; }
    // The widget task windows become windows of: the main window's view.
    void setHostWidget(QWidget* widget) { hostWidget_ = widget; }
    // Writes the portfolio file; a failure is shown in a "Could Not Save" alert.
    bool save() override;
    // Remembers the open portfolio for the next start and tells the view.
    void portfolioChanged() override;
    QUndoStack* undoStack() override { return undoStack_; }
    bool windowsOfPortfolioMayClose(const std::string& portfolio) override {
        return !windowsMayClose_ || windowsMayClose_(portfolio);
    }
    // Who answers windowsOfPortfolioMayClose: the view that keeps the task windows.
    void setWindowsOfPortfolioMayClose(std::function<bool(const std::string&)> ask) {
        windowsMayClose_ = std::move(ask);
    }

    // The current date as text, year first ("2009-06-15 10:03:07 +0000"); tests set it.
    void setCurrentDateText(std::function<std::string()> clock) {
        currentDateText_ = std::move(clock);
    }

    // Reads the portfolio file and starts at the month chosen last, or at the current month, or
    // at the latest the value table holds.
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

    // The value table the summary is valued with, read when first needed.
    const ValueTableRef& summaryTable();
    // The user's value table changed: it is read again when next needed.
    void forgetSummaryTable();

    // The open portfolio's report at the redemption month, which the main window's list and
    // summary and the open portfolio's report window all read. It is computed once per change
    // (of the open portfolio's bonds, of portfolios, of which one is open, of the month or of
    // the value table), when first read after it; snapshotChanged follows from the event loop,
    // once however many changes came before. Empty when no portfolio is open.
    const ReportSnapshot& snapshot();
    std::shared_ptr<const ReportSnapshot> sharedSnapshot();
    std::shared_ptr<const ReportSnapshot> sharedSnapshot(const std::string& portfolio,
                                                         const ValueTable* table) override;
    // How many times the snapshot has been computed, for tests that hold it to once a change.
    long snapshotComputations() const { return snapshotComputations_; }

  signals:
    // The open portfolio was created, opened or deleted.
    void openPortfolioChanged();
    // The snapshot was computed anew: what the main window shows of it follows.
    void snapshotChanged();
    // The redemption month changed.
    void redemptionMonthChanged();

  private:
    // Something the snapshot is computed from changed.
    void snapshotOutdated();

    WindowServices& services_;
    ResourceLocations resources_;
    std::function<std::string()> currentDateText_;
    std::function<bool(const std::string&)> windowsMayClose_;
    QPointer<QWidget> hostWidget_;
    std::unique_ptr<BondDatabase> store_;
    QUndoStack* undoStack_ = nullptr;
    std::optional<std::string> openPortfolio_;
    std::optional<YearMonth> redemptionMonth_;
    ValueTableRef summaryTable_;
    std::shared_ptr<const ReportSnapshot> snapshot_;
    bool snapshotIsOutdated_ = true;
    bool snapshotAnnouncementPending_ = false;
    long snapshotComputations_ = 0;
    bool terminated_ = false;
    bool startupNoticeShown_ = false;
    // The user chose to quit without the changes that could not be saved.
    bool unsavedChangesDiscarded_ = false;
};
