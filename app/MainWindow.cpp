#include "app/MainWindow.h"

#include "app/BondListPanel.h"
#include "app/BondsMenuCommands.h"
#include "app/MainMenuView.h"
#include "app/WindowPlacement.h"
#include "platform/Settings.h"
#include "ui_MainMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTime>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

MainWindow::MainWindow(WindowServices& services, Session& session, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainMenu>()) {
    ui_->setupUi(this);
    ui_->newItem->setShortcut(QKeySequence::New);
    ui_->openItem->setShortcut(QKeySequence::Open);
    ui_->saveItem->setShortcut(QKeySequence::Save);
    ui_->quitItem->setShortcut(QKeySequence::Quit);
    // Where the platform names no key for quitting, the usual one.
    if (ui_->quitItem->shortcut().isEmpty()) {
        ui_->quitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    }
    ui_->helpItem->setShortcut(QKeySequence::HelpContents);

    // The list of the open portfolio's bonds is the content of the view, which is the window's
    // central widget.
    view_ = new MainMenuView(services, session, this);
    delete takeCentralWidget();
    auto* layout = new QVBoxLayout(view_);
    layout->setContentsMargins(0, 0, 0, 0);
    bondList_ = new BondListPanel(view_);
    layout->addWidget(bondList_);
    setCentralWidget(view_);
    view_->setBondList(bondList_);
    view_->setSummaryLabel(bondList_->summaryLabel());

    view_->setEditItem(ui_->editItem);
    view_->setGenerateItem(ui_->generateItem);
    view_->setSaveItem(ui_->saveItem);
    // Return and Delete act on the list's bonds only while the list has the focus.
    for (QAction* onList : {ui_->openBondItem, ui_->deleteBondsItem}) {
        onList->setShortcutContext(Qt::WidgetShortcut);
        bondList_->tableView()->addAction(onList);
    }
    addToolBarOfCommands();
    // The keyboard starts in the list; Tab leads to the filter and back.
    bondList_->tableView()->setFocus();
    addUndoMenu();
    QAction* valueChartItem = addViewMenu();
    bondsCommands_ = new BondsMenuCommands(view_->controller(), *bondList_, this);
    std::vector<QObject*> portfolioCommands =
        bondsCommands_->addTo(*ui_->bondsMenu, ui_->redemptionDateItem);
    portfolioCommands.insert(portfolioCommands.end(),
                             {ui_->importItem, ui_->exportItem, ui_->portfolioDetailsItem,
                              ui_->openBondItem, ui_->deleteBondsItem, valueChartItem});
    view_->setPortfolioCommands(std::move(portfolioCommands));
    connectCommands();

    connect(qApp, &QCoreApplication::aboutToQuit, &view_->controller(),
            &ApplicationController::saveBeforeQuit);
}

MainWindow::~MainWindow() = default;

void MainWindow::connectCommands() {
    MainMenuView* view = view_;
    const auto onTrigger = [view](QAction* item, void (MainMenuView::*command)()) {
        QObject::connect(item, &QAction::triggered, view, command);
    };
    onTrigger(ui_->newItem, &MainMenuView::addNewPortfolio);
    onTrigger(ui_->openItem, &MainMenuView::showOpenPortfolioWindow);
    connect(ui_->saveItem, &QAction::triggered, this, &MainWindow::saveByHand);
    onTrigger(ui_->importItem, &MainMenuView::importBondList);
    onTrigger(ui_->exportItem, &MainMenuView::exportBondList);
    onTrigger(ui_->portfolioDetailsItem, &MainMenuView::editPortfolioDetails);
    onTrigger(ui_->editItem, &MainMenuView::editBonds);
    onTrigger(ui_->openBondItem, &MainMenuView::editCurrentBond);
    onTrigger(ui_->deleteBondsItem, &MainMenuView::deleteSelectedBonds);
    connect(bondList_, &BondListPanel::bondActivated, view, &MainMenuView::editBond);
    connect(bondList_, &BondListPanel::deleteRequested, view, &MainMenuView::deleteSelectedBonds);
    onTrigger(ui_->generateItem, &MainMenuView::showValueReport);
    onTrigger(ui_->redemptionDateItem, &MainMenuView::chooseRedemptionDate);
    onTrigger(ui_->updateValuesItem, &MainMenuView::updateValues);
    onTrigger(ui_->helpItem, &MainMenuView::launchHelp);
    onTrigger(ui_->webSiteItem, &MainMenuView::openWebSite);
    onTrigger(ui_->aboutItem, &MainMenuView::showAbout);
    connect(ui_->quitItem, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::saveByHand() {
    ApplicationController& controller = view_->controller();
    // A save that fails says so in an alert; one that works says so here, for a while.
    if (controller.save()) {
        statusBar()->showMessage(
            QStringLiteral("Saved at %1.")
                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
            10000);
    }
}

void MainWindow::addToolBarOfCommands() {
    QToolBar* bar = addToolBar(QStringLiteral("Commands"));
    bar->setObjectName("commandsToolBar");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->setMovable(false);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->addActions({ui_->newItem, ui_->openItem, ui_->saveItem, ui_->importItem});
    bar->addSeparator();
    bar->addActions({ui_->editItem, ui_->generateItem, ui_->redemptionDateItem});
    // Each button's tip names its shortcut.
    for (QAction* action : bar->actions()) {
        if (!action->isSeparator()) {
            action->setToolTip(action->text().remove('&').remove(QChar(0x2026)) + " (" +
                               action->shortcut().toString(QKeySequence::NativeText) + ")");
        }
    }
}

void MainWindow::addUndoMenu() {
    QUndoStack* stack = view_->controller().undoStack();
    QAction* undo = stack->createUndoAction(this, QStringLiteral("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = stack->createRedoAction(this, QStringLiteral("&Redo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QMenu* edit = new QMenu(QStringLiteral("&Edit"), menuBar());
    edit->addAction(undo);
    edit->addAction(redo);
    menuBar()->insertMenu(ui_->bondsMenu->menuAction(), edit);
}

QAction* MainWindow::addViewMenu() {
    QMenu* viewMenu = new QMenu(QStringLiteral("&View"), menuBar());
    QAction* valueChart = viewMenu->addAction(QStringLiteral("&Value Over Time…"));
    valueChart->setObjectName("valueOverTimeItem");
    valueChart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(valueChart, &QAction::triggered, view_, &MainMenuView::showValueChart);
    QAction* taxYear = viewMenu->addAction(QStringLiteral("Tax &Year…"));
    taxYear->setObjectName("taxYearItem");
    taxYear->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y));
    connect(taxYear, &QAction::triggered, view_, &MainMenuView::showTaxYear);
    QAction* estate = viewMenu->addAction(QStringLiteral("&Estate…"));
    estate->setObjectName("estateItem");
    estate->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    connect(estate, &QAction::triggered, view_, &MainMenuView::showEstate);
    QAction* allPortfolios = viewMenu->addAction(QStringLiteral("&All Portfolios…"));
    allPortfolios->setObjectName("allPortfoliosItem");
    allPortfolios->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(allPortfolios, &QAction::triggered, view_, &MainMenuView::showAllPortfolios);
    menuBar()->insertMenu(ui_->helpMenu->menuAction(), viewMenu);
    return valueChart;
}

void MainWindow::restoreSettings() {
    const QByteArray geometry = Settings::mainWindowGeometry.value();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        resize(firstSize());
    }
    bondList_->restoreLayout(Settings::bondListLayout.value());
    bondList_->showCashedBox()->setChecked(Settings::showCashedBonds.value());
    connect(bondList_->showCashedBox(), &QCheckBox::toggled, this,
            [](bool shown) { Settings::showCashedBonds.setValue(shown); });
}

QSize MainWindow::firstSize() const {
    // Wide enough for every column of the list, the Status note whole, and tall enough for many
    // rows, as far as the screen allows: the window manager's frame is not known before the
    // window is shown, so room is left for a usual one.
    const QSize wanted(bondList_->widthForColumns(), 720);
    const QSize frameRoom(8, 32);
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return shownOn != nullptr ? wanted.boundedTo(shownOn->availableGeometry().size() - frameRoom)
                              : wanted;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        keepOnScreenOnceFramed(*this);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Typing left in a bond editing window is not lost without asking.
    // Nor are changes that could not be saved.
    if (!view_->taskWindowsMayClose() || !view_->controller().unsavedChangesMayBeLost()) {
        event->ignore();
        return;
    }
    Settings::mainWindowGeometry.setValue(saveGeometry());
    Settings::bondListLayout.setValue(bondList_->saveLayout());
    event->accept();
    view_->mainWindowClosed();
}
