// The main window and its controller: start-up, the commands and their refusals, saving, the
// web pages, the about box and the end of the application.

#include "app/AboutDialog.h"
#include "app/AddNewPortfolioWindow.h"
#include "app/LoadPortfolioWindow.h"
#include "app/StartupLock.h"
#include "entry/ui/BondEditingWindow.h"
#include "store/BondDatabase.h"
#include "support/FilePermissionsApply.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "support/gui/AppHarness.h"
#include "valuation/ValueSources.h"
#include "valuation/ui/RedemptionDateWindow.h"
#include "valuation/ui/ReportWindow.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const std::string kEditRefusal = "Please either open an existing bond file or create a new bond "
                                 "file before editing bonds.";
const std::string kReportRefusal = "Please either open an existing bond file or create a new "
                                   "bond file before generating a report.";

// A value table with one EE value under each redemption month (year, month) given.
PlistDictRef
makeTableWithMonths(std::initializer_list<std::pair<std::string, std::string>> months) {
    PlistDictRef series = PlistDict::create();
    for (const auto& [year, month] : months) {
        if (series->find(year) == nullptr) {
            series->set(year, PlistValue(PlistDict::create()));
        }
        PlistDictRef issueMonth = PlistDict::create();
        issueMonth->set("June", std::string("002712"));
        PlistDictRef issueYear = PlistDict::create();
        issueYear->set("2001", PlistValue(issueMonth));
        series->find(year)->dict()->set(month, PlistValue(issueYear));
    }
    PlistDictRef table = PlistDict::create();
    table->set("EE", PlistValue(series));
    return table;
}

void createPortfolio(AppHarness& app, const QString& name) {
    app.view().addNewPortfolio();
    auto* window = app.openWindows<AddNewPortfolioWindow>().back();
    window->nameField()->setText(name);
    window->createNamedPortfolio();
    settle();
}

} // namespace

TEST(MainMenuStartUp, TakesTheRedemptionDateFromTheClockAndOpensNoPortfolio) {
    AppHarness june({{"Savings", {}}}, "2009-06-15 10:03:07 +0000");
    EXPECT_EQ(monthKey(june.view().controller().redemptionMonth()), "2009-06");
    EXPECT_FALSE(june.view().controller().openPortfolio().has_value());
    EXPECT_EQ(june.database().portfolioNames(), std::vector<std::string>{"Savings"});
    EXPECT_FALSE(june.view().editItem()->isEnabled());
    EXPECT_FALSE(june.view().generateItem()->isEnabled());
    EXPECT_FALSE(june.view().saveItem()->isEnabled());
    EXPECT_EQ(june.title(), "Orvelt");

    AppHarness january({}, "2010-01-31 23:59:59 -0500");
    EXPECT_EQ(monthKey(january.view().controller().redemptionMonth()), "2010-01");
}

TEST(MainMenuStartUp, AMonthOutsideTheValueTableGivesWayToTheLatestMonthItHolds) {
    QSettings().remove("report/redemptionMonth");
    AppHarness app({}, "2026-12-07 08:00:00 +0100");
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2026-11")
        << "the shipped table ends in November 2026";
    EXPECT_TRUE(app.services.alerts.empty());

    // With an updated table that reaches further, its latest month.
    app.useValueTable(makeTableWithMonths({{"2016", "06"}, {"2016", "11"}}));
    app.view().start();
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2016-11");
}

TEST(MainMenuStartUp, TheMonthChosenLastIsTakenWhileTheTableHoldsIt) {
    QSettings().remove("report/redemptionMonth");
    {
        AppHarness first({}, "2009-06-15 10:03:07 +0000");
        first.view().chooseRedemptionDate();
        auto* window = first.openWindows<RedemptionDateWindow>().back();
        window->monthBox()->setCurrentIndex(11);
        window->yearBox()->setCurrentIndex(window->yearBox()->findText("2009"));
        window->applyChosenMonth();
        settle();
    }
    AppHarness next({}, "2026-12-07 08:00:00 +0100");
    EXPECT_EQ(monthKey(next.view().controller().redemptionMonth()), "2009-12");
    // A table without that month: the latest month it holds.
    next.useValueTable(makeTableWithMonths({{"2016", "06"}}));
    next.view().start();
    EXPECT_EQ(monthKey(next.view().controller().redemptionMonth()), "2016-06");
    QSettings().remove("report/redemptionMonth");
}

TEST(MainMenuStartUp, TheRealClockGivesTheCurrentLocalMonth) {
    TempDir data;
    ScriptedToolkitServices services;
    Session session(ResourceLocations(data / "shipped", data.path()));
    ASSERT_TRUE(session.open(Session::Access::Write));
    MainMenuView view(services, session);
    view.start();
    const QDate today = QDate::currentDate();
    EXPECT_EQ(monthKey(view.controller().redemptionMonth()),
              today.toString("yyyy-MM").toStdString());
}

TEST(MainMenuStartUp, AnUnreadablePortfolioFileIsReportedOnceAfterStartUp) {
    TempDir data;
    writeWholeFile(data / "portfolios.plist", "this is not a property list");
    // A start over the damaged file.
    ScriptedToolkitServices services;
    Session session(
        ResourceLocations(std::filesystem::path(ORVELT_BINARY_DIR) / "resources", data.path()));
    ASSERT_TRUE(session.open(Session::Access::Write));
    MainMenuView view(services, session);
    view.start();
    EXPECT_TRUE(services.alerts.empty()) << "nothing is shown before the window is up";
    view.controller().showStartupNotice();
    view.controller().showStartupNotice();
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Invalid File");
    EXPECT_FALSE(services.alerts[0].message.empty());
}

TEST(MainMenuCommands, CommandsThatNeedAPortfolioRefuseWithoutOne) {
    AppHarness app({{"Savings", {}}});
    app.view().editBonds();
    app.view().showValueReport();
    app.view().importBondList();
    ASSERT_EQ(app.services.informationAlerts.size(), 3u);
    EXPECT_TRUE(app.services.alerts.empty()) << "nothing failed";
    for (const RecordedAlert& alert : app.services.informationAlerts) {
        EXPECT_EQ(alert.title, "No Portfolio Open");
    }
    EXPECT_EQ(app.services.informationAlerts[0].message, kEditRefusal);
    EXPECT_EQ(app.services.informationAlerts[1].message, kReportRefusal);
    EXPECT_EQ(app.services.informationAlerts[2].message,
              "Please either open an existing bond file or create a new bond file for the "
              "imported bonds to be stored in.");
    EXPECT_TRUE(app.services.openFileRequests.empty());
    EXPECT_TRUE(app.openWindows<BondEditingWindow>().empty());
    EXPECT_TRUE(app.openWindows<ReportWindow>().empty());
}

TEST(MainMenuCommands, CreatingAPortfolioLetsEditAndReportOpenTheirWindows) {
    AppHarness app;
    createPortfolio(app, "Savings");
    app.view().editBonds();
    app.view().editBonds();
    app.view().showValueReport();
    settle();
    EXPECT_TRUE(app.services.alerts.empty());
    EXPECT_EQ(app.openWindows<BondEditingWindow>().size(), 1u)
        << "asking again raises the portfolio's open editor";
    ASSERT_EQ(app.openWindows<ReportWindow>().size(), 1u);
    EXPECT_EQ(app.openWindows<ReportWindow>()[0]->host(), &app.view().controller());
    EXPECT_EQ(app.openWindows<ReportWindow>()[0]->parentWidget(), &app.window())
        << "task windows are freed with the main window at the latest";
}

TEST(MainMenuCommands, MenuItemsAndToolbarReachTheirCommands) {
    AppHarness app({{"Savings", {}}});
    // Controls are found by their object names, as the form names them.
    const auto item = [&](const char* name) {
        auto* action = app.window().findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    };
    EXPECT_EQ(item("editItem"), app.view().editItem());
    EXPECT_EQ(item("generateItem"), app.view().generateItem());
    EXPECT_EQ(item("saveItem"), app.view().saveItem());
    // The toolbar holds the menu's own portfolio and bond commands.
    auto* toolBar = app.window().findChild<QToolBar*>("commandsToolBar");
    ASSERT_NE(toolBar, nullptr);
    for (const char* name : {"newItem", "openItem", "saveItem", "importItem", "editItem",
                             "generateItem", "redemptionDateItem"}) {
        EXPECT_TRUE(toolBar->actions().contains(item(name))) << name;
    }

    item("newItem")->trigger();
    item("newItem")->trigger();
    EXPECT_EQ(app.openWindows<AddNewPortfolioWindow>().size(), 2u);
    item("openItem")->trigger();
    EXPECT_EQ(app.openWindows<LoadPortfolioWindow>().size(), 1u);
    item("redemptionDateItem")->trigger();
    item("redemptionDateItem")->trigger();
    EXPECT_EQ(app.openWindows<RedemptionDateWindow>().size(), 1u)
        << "one redemption date window, raised when asked for again";

    // With no portfolio open, the commands that need one cannot be reached.
    for (const char* needsPortfolio :
         {"editItem", "importItem", "exportItem", "saveItem", "generateItem", "openBondItem",
          "deleteBondsItem", "portfolioDetailsItem"}) {
        EXPECT_FALSE(item(needsPortfolio)->isEnabled()) << needsPortfolio;
    }
    // Every command of the menus has a shortcut.
    for (QAction* menu : app.window().menuBar()->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            EXPECT_TRUE(action->isSeparator() || !action->shortcut().isEmpty())
                << action->text().toStdString();
        }
    }

    item("helpItem")->trigger();
    item("webSiteItem")->trigger();
    EXPECT_EQ(app.services.openedUrls.size(), 2u);

    EXPECT_EQ(item("newItem")->shortcut(), QKeySequence(QKeySequence::New));
    EXPECT_EQ(item("openItem")->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(item("saveItem")->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(item("quitItem")->shortcut(), QKeySequence(QKeySequence::Quit).isEmpty()
                                                ? QKeySequence(Qt::CTRL | Qt::Key_Q)
                                                : QKeySequence(QKeySequence::Quit));
    EXPECT_EQ(item("helpItem")->shortcut(), QKeySequence(QKeySequence::HelpContents));
}

TEST(MainMenuCommands, OpenPortfolioWindowListsTheNamesInTheDatabasesOrder) {
    AppHarness app({{"Zeta", {}}, {"alpha", {}}, {"Mid", {}}});
    app.view().showOpenPortfolioWindow();
    auto windows = app.openWindows<LoadPortfolioWindow>();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->portfolios(), app.database().portfolioNames());
    EXPECT_EQ(windows[0]->selectedPortfolio(), app.database().portfolioNames().front())
        << "the first is selected";
}

TEST(MainMenuSaving, SaveWritesTheFileEvenWithNoPortfolioOpen) {
    AppHarness app({{"Savings", {}}});
    std::filesystem::remove(app.portfolioFile());
    app.view().controller().save();
    ASSERT_TRUE(std::filesystem::exists(app.portfolioFile()));
    EXPECT_EQ(app.portfolioNamesOnDisk(), std::vector<std::string>{"Savings"});
}

TEST(MainMenuSaving, SavingByHandSaysSoInTheStatusBar) {
    AppHarness app({{"Savings", {}}});
    app.view().controller().setOpenPortfolio("Savings");
    app.view().saveItem()->trigger();
    EXPECT_TRUE(app.window().statusBar()->currentMessage().startsWith("Saved at "))
        << app.window().statusBar()->currentMessage().toStdString();
}

TEST(MainMenuWebPages, BothPagesAreShippedFilesOpenedInTheBrowser) {
    AppHarness app;
    app.view().openWebSite();
    app.view().launchHelp();
    ASSERT_EQ(app.services.openedUrls.size(), 2u);
    for (const std::string& address : app.services.openedUrls) {
        const QUrl url(QString::fromStdString(address));
        ASSERT_TRUE(url.isLocalFile()) << address;
        EXPECT_TRUE(std::filesystem::is_regular_file(url.toLocalFile().toStdString())) << address;
    }
    const std::string help = app.services.openedUrls[1];
    const std::string root = app.services.openedUrls[0];
    const std::string helpPath = "/help/orvelthelp/Orvelt_Help.html";
    ASSERT_GT(help.size(), helpPath.size());
    EXPECT_EQ(help.substr(help.size() - helpPath.size()), helpPath);
    EXPECT_EQ(help.substr(0, help.size() - helpPath.size()) + "/index.html", root)
        << "the help page is on the same site as the root page";
}

TEST(MainMenuAbout, AboutBoxRunsModallyUntilItsOk) {
    AppHarness app;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        wasModal = about->isModal() && about->isVisible();
        const QLabel* note = about->findChild<QLabel*>("noteLabel");
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->text().contains(QString::fromStdString(valueSourcesText())))
            << note->text().toStdString();
        about->dismiss();
    });
    app.view().showAbout();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The application does not start without its data folder, and says why.
TEST(StartupLock, TheAlertSaysWhyTheDataFolderCannotBeUsedAndNamesIt) {
    TempDir folder;
    ScriptedToolkitServices services;
    Session session(ResourceLocations(folder / "shipped", folder.path()));
    {
        const auto running = DataFolderLock::tryAcquire(folder.path());
        EXPECT_FALSE(openSessionForApplication(session, services));
        ASSERT_EQ(services.alerts.size(), 1u);
        EXPECT_NE(services.alerts[0].message.find("Orvelt is already running"), std::string::npos);
        EXPECT_NE(services.alerts[0].message.find(folder.path().string()), std::string::npos);
    }
    EXPECT_TRUE(openSessionForApplication(session, services));
    EXPECT_EQ(services.alerts.size(), 1u);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec);
    {
        const FilePermissionsApply asAnyUser;
        EXPECT_FALSE(openSessionForApplication(session, services));
    }
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    ASSERT_EQ(services.alerts.size(), 2u);
    EXPECT_EQ(services.alerts[1].message,
              "Orvelt cannot start because it cannot write to its data folder, where your bonds "
              "are saved (Permission denied).\n\nData folder: " +
                  folder.path().string());
}
