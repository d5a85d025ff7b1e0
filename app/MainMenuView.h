#pragma once

// The application controller: the main window's view and the owner of the one portfolio
// database and of the redemption date. It is the host of every task window, which reaches the
// database and the date through it and tells it when the open portfolio changed; the view then
// updates the main window's title and commands itself.

#include "app/WindowHost.h"
#include "app/WindowRegistry.h"
#include "platform/PlistValue.h"
#include "platform/ResourceLocations.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BondDatabase;
class BondEditingWindowController;
class QAction;
class QLabel;
class QUndoStack;
class QPushButton;
class WindowServices;

class MainMenuView : public QWidget, public WindowHost {
    Q_OBJECT

  public:
    MainMenuView(WindowServices& services, ResourceLocations resources, QWidget* parent = nullptr);
    ~MainMenuView() override;

    QPushButton* bondValueReportButton() const { return bondValueReportButton_; }
    void setBondValueReportButton(QPushButton* button) { bondValueReportButton_ = button; }
    BondDatabase* bondDatabase() const override { return bondDatabase_.get(); }
    QAction* editItem() const { return editItem_; }
    void setEditItem(QAction* item) { editItem_ = item; }
    QAction* generateItem() const { return generateItem_; }
    void setGenerateItem(QAction* item) { generateItem_ = item; }
    QAction* saveItem() const { return saveItem_; }
    void setSaveItem(QAction* item) { saveItem_ = item; }
    // Menu items and buttons whose command needs an open portfolio: enabled exactly while one
    // is open.
    void setPortfolioCommands(std::vector<QObject*> commands);
    // The label that shows the open portfolio's summary.
    void setSummaryLabel(QLabel* label) { summaryLabel_ = label; }
    QLabel* summaryLabel() const { return summaryLabel_; }
    std::string redemptionMonth() const override { return redemptionMonth_; }
    // The summary follows the date.
    void setRedemptionMonth(std::string month) override;
    std::string redemptionYear() const override { return redemptionYear_; }
    void setRedemptionYear(std::string year) override;

    WindowServices& services() const override { return services_; }
    std::optional<std::string> openPortfolio() const override { return openPortfolio_; }
    void setOpenPortfolio(std::optional<std::string> name) override {
        openPortfolio_ = std::move(name);
    }
    const ResourceLocations& resources() const override { return resources_; }
    QWidget* hostWidget() override { return this; }

    // The current date as text, year first ("2009-06-15 10:03:07 +0000"); tests set it.
    void setCurrentDateText(std::function<std::string()> clock) {
        currentDateText_ = std::move(clock);
    }

    // Sets the main window's title.
    void setMainWindowTitle(const QString& title);
    void enableMenuItems() override;
    // Titles the main window with the open portfolio's name and enables the report command, or
    // shows the main window with no portfolio open.
    void portfolioChanged() override;
    void bondsChanged() override;
    QUndoStack* undoStack() override { return undoStack_; }

    // The bond editing window of a portfolio, if one is open.
    BondEditingWindowController* editorOf(const std::string& portfolio) const;
    // Asks every bond editing window holding unsaved typing what to do with it; false when the
    // user chose to stay.
    bool taskWindowsMayClose();
    // Saves what the portfolio file lacks; when that fails, asks whether to try again, quit
    // without the changes or stay. False when the user chose to stay.
    bool unsavedChangesMayBeLost();
    // Opens the portfolio open when the application last ended, if it still exists.
    void reopenLastPortfolio();

    // The main window as it is with no portfolio open: the plain title, the report button
    // disabled. Used when the open portfolio has been deleted.
    void showNoCurrentPortfolio();

    // Tells the user, once, what start-up found wrong with the portfolio file (set aside
    // unreadable); nothing when it was read normally. Run once the main window is on screen.
    void showStartupNotice();

    // The addresses of the publisher's web site that ships with the application.
    std::string webSiteUrl() const;
    std::string helpUrl() const;

  public slots:
    void importPressed();
    void urlClicked();
    void windowWillClose();
    void setRedemptionDateButtonPressed();
    void bondValueReportButtonPressed();
    void editBondsButtonPressed();
    void launchHelp();
    void addNewPortfolioButtonPressed();
    void openBondTableButtonPressed();
    // Writes the portfolio file; a failure is shown in a "Could Not Save" alert.
    bool save() override;
    void applicationWillTerminate();
    void applicationDidFinishLaunching();
    void aboutPressed();
    // Merges official value files the user chooses into the user's own copy of the value table.
    void updateValuesPressed();
    // Open reports follow a change of bonds, month or (`newValues`) value table.
    void recomputeReports(bool newValues = false);

  private:
    void updatePortfolioCommands();
    void updateSummary();
    void openPage(const std::string& url);

    WindowServices& services_;
    ResourceLocations resources_;
    std::function<std::string()> currentDateText_;

    QPushButton* bondValueReportButton_ = nullptr;
    std::unique_ptr<BondDatabase> bondDatabase_;
    std::optional<std::string> openPortfolio_;
    // The user chose to quit without the changes that could not be saved.
    bool unsavedChangesDiscarded_ = false;
    QAction* editItem_ = nullptr;
    QAction* generateItem_ = nullptr;
    QAction* saveItem_ = nullptr;
    std::string redemptionMonth_;
    std::string redemptionYear_;
    bool terminated_ = false;
    bool startupNoticeShown_ = false;
    QUndoStack* undoStack_ = nullptr;
    QLabel* summaryLabel_ = nullptr;
    // The value table the summary is valued with, read when first needed.
    PlistDictRef summaryTable_;
    std::vector<QPointer<QObject>> portfolioCommands_;
    // One editor and one report per portfolio, one redemption date window.
    WindowRegistry windows_;
};
