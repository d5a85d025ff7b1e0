#include "app/LoadPortfolioWindow.h"

#include "app/DeletePortfolioCommand.h"
#include "app/PortfolioListModel.h"
#include "app/WindowHost.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "ui_LoadPortfolioView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

LoadPortfolioWindow::LoadPortfolioWindow(WindowHost& host)
    : TaskWindow(host), ui_(std::make_unique<Ui::LoadPortfolioView>()) {
    ui_->setupUi(this);
    tableView_ = ui_->tableView;
    model_ = new PortfolioListModel(this);
    tableView_->setModel(model_);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->horizontalHeader()->setStretchLastSection(true);
    tableView_->verticalHeader()->hide();
    tableView_->installEventFilter(this);
    connect(tableView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LoadPortfolioWindow::rememberSelection);
    // A double-click opens the portfolio as OK does.
    connect(tableView_, &QAbstractItemView::doubleClicked, this,
            &LoadPortfolioWindow::openChosenPortfolio);
    connect(ui_->okButton, &QPushButton::clicked, this, &LoadPortfolioWindow::openChosenPortfolio);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &LoadPortfolioWindow::cancel);
    connect(ui_->deleteButton, &QPushButton::clicked, this, [this] { keyDown(Qt::Key_Delete); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &LoadPortfolioWindow::cancel);
    // OK is the default button: Return presses it, wherever the focus is.
    ui_->okButton->setDefault(true);
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                &LoadPortfolioWindow::openChosenPortfolio);
    }
    if (const BondDatabase* store = host.bondDatabase()) {
        model_->setNames(store->portfolioNames());
    }
    // The first portfolio is selected, so that Return opens it and the arrow keys move on.
    if (model_->rowCount() > 0) {
        tableView_->selectRow(0);
    }
}

LoadPortfolioWindow::~LoadPortfolioWindow() = default;

const std::vector<std::string>& LoadPortfolioWindow::portfolios() const {
    return model_->names();
}

int LoadPortfolioWindow::selectedRow() const {
    const QModelIndexList rows = tableView_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void LoadPortfolioWindow::rememberSelection() {
    // An emptied selection forgets the name, so that OK never opens a row no longer chosen.
    selectedPortfolio_ = model_->nameAt(selectedRow());
}

void LoadPortfolioWindow::openChosenPortfolio() {
    WindowHost* view = host();
    if (selectedPortfolio_.empty()) {
        if (view != nullptr) {
            view->services().showInformationAlert(
                "No Portfolio Selected",
                "Please select a portfolio. If there are no portfolios, please press "
                "\"Cancel\" and create a new portfolio.");
        }
        return;
    }
    if (view == nullptr || view->bondDatabase() == nullptr) {
        close();
        return;
    }
    view->setOpenPortfolio(selectedPortfolio_);
    close();
}

void LoadPortfolioWindow::cancel() {
    close();
}

void LoadPortfolioWindow::keyDown(int key) {
    if (key != Qt::Key_Backspace && key != Qt::Key_Delete) {
        return;
    }
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    deletePortfolioAtRow(row);
}

void LoadPortfolioWindow::deletePortfolioAtRow(int row) {
    WindowHost* view = host();
    BondDatabase* database = view != nullptr ? view->bondDatabase() : nullptr;
    if (database == nullptr) {
        return;
    }
    // The name the user sees in the row is the one asked about and deleted: the database's
    // list may have grown since this window was opened, and its index would then name
    // another portfolio.
    const std::string name = model_->nameAt(row);
    if (!database->hasPortfolio(name)) {
        return;
    }
    // "No" is the default, so that Return never deletes a portfolio; Edit > Undo brings it back.
    if (!view->services().confirmDestruction(
            "Delete Portfolio", "No", "Yes",
            "Are you sure you want to delete the portfolio named \"" + name +
                "\"? Edit > Undo Delete Portfolio brings it back.")) {
        return;
    }
    // A bond typed in its editor is kept, dropped or the deletion given up, as on closing the
    // editor; one kept goes into the portfolio, which Undo brings back with it.
    if (!view->windowsOfPortfolioMayClose(name)) {
        return;
    }
    const Portfolio* portfolio = database->portfolio(name);
    const std::optional<std::size_t> position = database->positionOf(name);
    if (portfolio == nullptr || !position) {
        return;
    }
    auto command = std::make_unique<DeletePortfolioCommand>(*view, *portfolio, *position);
    if (QUndoStack* undo = view->undoStack()) {
        undo->push(command.release()); // deletes it in redo()
    } else {
        command->redo();
    }
    model_->setNames(database->portfolioNames());
    selectedPortfolio_.clear();
}

void LoadPortfolioWindow::keyPressEvent(QKeyEvent* event) {
    keyDown(event->key());
    event->accept();
}

bool LoadPortfolioWindow::eventFilter(QObject* watched, QEvent* event) {
    // The list would otherwise take Backspace for its type-ahead search.
    if (watched == tableView_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            keyDown(key);
            return true;
        }
    }
    return TaskWindow::eventFilter(watched, event);
}
