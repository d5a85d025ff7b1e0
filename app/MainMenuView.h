#pragma once

// The main window's view: its commands (the toolbar and menu items act through it), the list
// and summary of the open portfolio's bonds, the title, and the task windows it opens. What it
// shows and changes is held by the session, which it follows; the application controller it owns
// is the host of the task windows.

#include "app/ApplicationController.h"
#include "app/WindowRegistry.h"
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
class BondListPanel;
class BondEditingWindow;
class AllPortfoliosWindow;
class PageWindow;
class QAction;
class QLabel;
class QUndoStack;
class ValueChartWindow;
class WindowServices;

class MainMenuView : public QWidget {
    Q_OBJECT

  public:
    // The session must outlive the view.
    MainMenuView(WindowServices& services, Session& session, QWidget* parent = nullptr);
    ~MainMenuView() override;

    ApplicationController& controller() const { return *controller_; }

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
    // The list of the open portfolio's bonds, which shows the session's snapshot of it; the
    // chart's second line follows its selection.
    void setBondList(BondListPanel* list);
    // The sentences above the list that say what to do about the bonds; none hides them.
    void setActionLines(const std::vector<std::string>& lines);

    // Sets the main window's title.
    void setMainWindowTitle(const QString& title);

    // The bond editing window of a portfolio, if one is open.
    BondEditingWindow* editorOf(const std::string& portfolio) const;
    // Asks every bond editing window holding unsaved typing what to do with it; false when the
    // user chose to stay.
    bool taskWindowsMayClose();

    // The main window as it is with no portfolio open: the plain title. Used when the open
    // portfolio has been deleted.
    void showNoCurrentPortfolio();

    // The addresses of the publisher's web site that ships with the application.
    std::string webSiteUrl() const;
    std::string helpUrl() const;

  public slots:
    void importBondList();
    // The open portfolio's bond list written as Import Bond List reads it.
    void exportBondList();
    void openWebSite();
    void mainWindowClosed();
    void chooseRedemptionDate();
    void showValueReport();
    // Opens the chart of the open portfolio's worth by month, or brings it to the front.
    void showValueChart();
    // The Tax Year window of the open portfolio, and the Estate window; each once.
    void showTaxYear();
    void showEstate();
    // Opens the window of every portfolio together, or brings it to the front.
    void showAllPortfolios();
    // Asks for the open portfolio's owner details (default owner, birth month, tax method) and
    // keeps them as one change that Undo takes back.
    void editPortfolioDetails();
    void editBonds();
    void launchHelp();
    void addNewPortfolio();
    void showOpenPortfolioWindow();
    // Opens the open portfolio's bond editor with the bond taken into its fields (unless they
    // hold an entry not saved yet, which stays).
    void editBond(const std::string& serial);
    // The same for the list's current bond.
    void editCurrentBond();
    // Asks, then deletes the bonds selected in the list, as one change that Undo takes back.
    void deleteSelectedBonds();
    // Starts the session at its redemption month and shows what it read.
    void start();
    void showAbout();
    // Merges official value files the user chooses into the user's own copy of the value table.
    void updateValues();

  private:
    // The open chart draws the bonds selected in the list as its second line.
    void showSelectionInChart();
    // Closes the windows of a portfolio that is gone; titles the main window with the open
    // portfolio's name and enables the report command, or shows it with no portfolio open.
    void followOpenPortfolio();
    void updatePortfolioCommands();
    void updateSummary();
    void openPage(const std::string& url);

    WindowServices& services_;
    Session& session_;
    ResourceLocations resources_;
    ApplicationController* controller_ = nullptr;

    BondListPanel* bondList_ = nullptr;
    QAction* editItem_ = nullptr;
    QAction* generateItem_ = nullptr;
    QAction* saveItem_ = nullptr;
    QLabel* summaryLabel_ = nullptr;
    std::vector<QPointer<QObject>> portfolioCommands_;
    // One editor and one report per portfolio, one redemption date window.
    WindowRegistry windows_;
    // The shipped pages, when no browser could show them.
    QPointer<PageWindow> pageWindow_;
    // One chart window, following whichever portfolio is open.
    QPointer<ValueChartWindow> valueChart_;
    QPointer<QWidget> taxYear_;
    QPointer<QWidget> estate_;
    QPointer<AllPortfoliosWindow> allPortfolios_;
};
