#include "app/MainWindow.h"

#include "app/MainMenuView.h"
#include "ui_MainMenu.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTime>
#include <QUndoStack>
#include <QVBoxLayout>

MainWindow::MainWindow(WindowServices& services, const ResourceLocations& resources,
                       QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainMenu>()) {
    ui_->setupUi(this);
    ui_->newItem->setShortcut(QKeySequence::New);
    ui_->openItem->setShortcut(QKeySequence::Open);
    ui_->saveItem->setShortcut(QKeySequence::Save);
    ui_->quitItem->setShortcut(QKeySequence::Quit);
    ui_->helpItem->setShortcut(QKeySequence::HelpContents);

    // The form's buttons become the content of the view, which is the window's central widget.
    view_ = new MainMenuView(services, resources, this);
    QWidget* buttons = takeCentralWidget();
    auto* layout = new QVBoxLayout(view_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buttons);
    auto* summary = new QLabel(view_);
    summary->setObjectName("summaryLabel");
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary->setContentsMargins(8, 4, 8, 8);
    layout->addWidget(summary);
    setCentralWidget(view_);
    view_->setSummaryLabel(summary);

    view_->setBondValueReportButton(ui_->bondValueReportButton);
    view_->setEditItem(ui_->editItem);
    view_->setGenerateItem(ui_->generateItem);
    view_->setSaveItem(ui_->saveItem);
    addUndoMenu();
    QAction* valueChartItem = addViewMenu();
    view_->setPortfolioCommands({ui_->editBondsButton, ui_->saveButton, ui_->importButton,
                                 ui_->importItem, ui_->bondValueReportButton, valueChartItem});
    connectCommands();

    connect(qApp, &QCoreApplication::aboutToQuit, &view_->controller(),
            &ApplicationController::saveBeforeQuit);
}

MainWindow::~MainWindow() = default;

void MainWindow::connectCommands() {
    MainMenuView* view = view_;
    const auto onClick = [this, view](QPushButton* button, void (MainMenuView::*command)()) {
        connect(button, &QPushButton::clicked, view, command);
    };
    onClick(ui_->addNewPortfolioButton, &MainMenuView::addNewPortfolioButtonPressed);
    onClick(ui_->openBondTableButton, &MainMenuView::openBondTableButtonPressed);
    onClick(ui_->importButton, &MainMenuView::importPressed);
    connect(ui_->saveButton, &QPushButton::clicked, this, &MainWindow::saveByHand);
    onClick(ui_->editBondsButton, &MainMenuView::editBondsButtonPressed);
    onClick(ui_->bondValueReportButton, &MainMenuView::bondValueReportButtonPressed);
    onClick(ui_->setRedemptionDateButton, &MainMenuView::setRedemptionDateButtonPressed);

    const auto onTrigger = [this, view](QAction* item, void (MainMenuView::*command)()) {
        connect(item, &QAction::triggered, view, command);
    };
    onTrigger(ui_->newItem, &MainMenuView::addNewPortfolioButtonPressed);
    onTrigger(ui_->openItem, &MainMenuView::openBondTableButtonPressed);
    connect(ui_->saveItem, &QAction::triggered, this, &MainWindow::saveByHand);
    onTrigger(ui_->importItem, &MainMenuView::importPressed);
    onTrigger(ui_->editItem, &MainMenuView::editBondsButtonPressed);
    onTrigger(ui_->generateItem, &MainMenuView::bondValueReportButtonPressed);
    onTrigger(ui_->redemptionDateItem, &MainMenuView::setRedemptionDateButtonPressed);
    onTrigger(ui_->updateValuesItem, &MainMenuView::updateValuesPressed);
    onTrigger(ui_->helpItem, &MainMenuView::launchHelp);
    onTrigger(ui_->webSiteItem, &MainMenuView::urlClicked);
    onTrigger(ui_->aboutItem, &MainMenuView::aboutPressed);
    connect(ui_->quitItem, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::saveByHand() {
    ApplicationController& controller = view_->controller();
    // A save that fails says so in an alert; one that works says so here, for a while.
    if (controller.bondDatabase() != nullptr && controller.save()) {
        statusBar()->showMessage(
            tr("Saved at %1.").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
            10000);
    }
}

void MainWindow::addUndoMenu() {
    QUndoStack* stack = view_->controller().undoStack();
    QAction* undo = stack->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = stack->createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QMenu* edit = new QMenu(tr("&Edit"), menuBar());
    edit->addAction(undo);
    edit->addAction(redo);
    menuBar()->insertMenu(ui_->bondsMenu->menuAction(), edit);
}

QAction* MainWindow::addViewMenu() {
    QMenu* viewMenu = new QMenu(tr("&View"), menuBar());
    QAction* valueChart = viewMenu->addAction(tr("&Value Over Time…"));
    valueChart->setObjectName("valueOverTimeItem");
    valueChart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(valueChart, &QAction::triggered, view_, &MainMenuView::valueChartPressed);
    menuBar()->insertMenu(ui_->helpMenu->menuAction(), viewMenu);
    return valueChart;
}

void MainWindow::restoreSettings() {
    const QByteArray geometry = QSettings().value("mainWindow/geometry").toByteArray();
    if (!geometry.isEmpty()) {
        restoreGeometry(geometry);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Typing left in a bond editing window is not lost without asking.
    // Nor are changes that could not be saved.
    if (!view_->taskWindowsMayClose() || !view_->controller().unsavedChangesMayBeLost()) {
        event->ignore();
        return;
    }
    QSettings().setValue("mainWindow/geometry", saveGeometry());
    event->accept();
    view_->mainWindowClosed();
}
