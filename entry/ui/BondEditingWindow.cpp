#include "entry/ui/BondEditingWindow.h"

#include "app/WindowHost.h"
#include "entry/ui/BondDetailsFields.h"
#include "entry/ui/BondTableModel.h"
#include "store/BondDatabase.h"
#include "store/PortfolioDefaults.h"
#include "ui_BondEditingWindow.h"
#include "valuation/Session.h"
#include "valuation/ValueTable.h"
#include "valuation/ui/WarningColour.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>
#include <QUndoStack>

namespace {

// Electronic bonds are offered up to the value table's last year, or this year without a table.
int lastTableYear(const ValueTable* table) {
    if (table != nullptr && !table->redemptionMonths().empty()) {
        return table->redemptionMonths().back().year;
    }
    return QDate::currentDate().year();
}

} // namespace

BondEditingWindow::BondEditingWindow(WindowHost& host)
    : TaskWindow(host), ui_(std::make_unique<Ui::BondEditingWindow>()) {
    const std::string portfolio = host.openPortfolio().value_or(std::string());
    ui_->setupUi(this);
    form_ = new BondEntryForm({ui_->serialField, ui_->typeField, ui_->faceValueField,
                               ui_->issueMonthField, ui_->issueYearField},
                              BondChoiceLists(), this);
    form_->setDetails(new BondDetailsFields(
        {ui_->kindField, ui_->amountField, ui_->faceValueField, ui_->ownerField,
         ui_->secondNameField, ui_->secondNameIsField, ui_->keptAtField, ui_->noteField},
        this));
    form_->details()->setDefaultOwner(defaultOwnerOf(host.session().store(), portfolio));
    form_->setElectronicLastYear(lastTableYear(host.session().valueTable().get()));
    session_ = new BondEditingSession(
        *form_, portfolio, host.resources(), [this] { return this->host(); }, this);
    setUpTable(portfolio);
    addWarningLabel();
    connectCommands();
    if (!portfolio.empty()) {
        setWindowTitle(QStringLiteral("Edit Bonds - %1").arg(QString::fromStdString(portfolio)));
    }
    // A new entry starts from the preset, as a cleared one does.
    session_->clear();
    updateModeLabel();
    reloadTable();
    serialField()->setFocus();
}

BondEditingWindow::~BondEditingWindow() = default;

void BondEditingWindow::setUpTable(const std::string& portfolio) {
    bondTable_ = ui_->bondTable;
    const BondDatabase* db = host() != nullptr ? host()->bondDatabase() : nullptr;
    if (db == nullptr) {
        return;
    }
    tableModel_ = new BondTableModel(*db, portfolio, bondTable_);
    bondTable_->setModel(tableModel_);
    bondTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    bondTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    bondTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bondTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    bondTable_->verticalHeader()->setVisible(false);
    // A bond comes into the fields only by double-click.
    connect(bondTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BondEditingWindow::rememberSelectedBond);
    connect(bondTable_, &QAbstractItemView::doubleClicked, this,
            &BondEditingWindow::editSelectedBond);
    bondTable_->installEventFilter(this);
}

void BondEditingWindow::addWarningLabel() {
    warningLabel_ = new QLabel(this);
    warningLabel_->setObjectName("warningLabel");
    warningLabel_->setWordWrap(true);
    // From the palette, so that the line reads on light and dark themes alike.
    QPalette warning = warningLabel_->palette();
    warning.setColor(QPalette::WindowText, warningColour(palette()));
    warningLabel_->setPalette(warning);
    warningLabel_->hide();
    if (auto* box = qobject_cast<QBoxLayout*>(ui_->modeLabel->parentWidget()->layout())) {
        box->insertWidget(box->indexOf(ui_->modeLabel) + 1, warningLabel_);
    } else if (layout() != nullptr) {
        layout()->addWidget(warningLabel_);
    }
    updateWarningLabel();
}

void BondEditingWindow::connectCommands() {
    using Window = BondEditingWindow;
    connect(ui_->saveButton, &QPushButton::clicked, this, &Window::saveEntry);
    connect(ui_->savePresetButton, &QPushButton::clicked, this, &Window::saveEntryAsPreset);
    connect(ui_->clearButton, &QPushButton::clicked, this, &Window::clearEntry);
    connect(ui_->deleteBondButton, &QPushButton::clicked, this, &Window::deleteSelectedBond);
    connect(ui_->closeButton, &QPushButton::clicked, this, &Window::saveAndClose);
    // Return in the serial field saves, so that a pile of bonds is entered from the keyboard.
    connect(ui_->serialField, &QLineEdit::returnPressed, this, &Window::saveEntry);
    connect(form_, &BondEntryForm::changed, this, &Window::updateWarningLabel);
    connect(session_, &BondEditingSession::modeChanged, this, &Window::updateModeLabel);
    connect(session_, &BondEditingSession::cleared, this, &Window::dropSelection);
    connect(session_, &BondEditingSession::bondsChanged, this, &Window::reloadTable);
    // Every other change (an undo, an import, a deletion in the main window) the store announces.
    if (BondDatabase* store = host() != nullptr ? host()->bondDatabase() : nullptr) {
        connect(store, &BondDatabase::bondsChanged, this,
                [this, store](const std::string& changed) {
                    if (changed == portfolio() && !session_->changingBonds()) {
                        // Or its details: a new default owner is the next new bond's.
                        form_->details()->setDefaultOwner(defaultOwnerOf(*store, portfolio()));
                        reloadTable();
                    }
                });
    }

    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);
    // A field takes Undo for its own typing; with none to take back, the last command goes.
    serialField()->installEventFilter(this);
    issueYearField()->installEventFilter(this);
    QUndoStack* history = host() != nullptr ? host()->undoStack() : nullptr;
    if (history == nullptr) {
        return;
    }
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, history,
            &QUndoStack::undo);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this),
            &QShortcut::activated, history, &QUndoStack::redo);
    // After an undo or redo no bond stays selected: the table's rows have changed under it.
    connect(history, &QUndoStack::indexChanged, this, [this] {
        if (!session_->changingBonds()) {
            dropSelection();
        }
    });
}

// The bond table.

int BondEditingWindow::selectedRow() const {
    if (bondTable_->selectionModel() == nullptr) {
        return -1;
    }
    const QModelIndexList rows = bondTable_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void BondEditingWindow::reloadTable() {
    if (tableModel_ == nullptr) {
        return;
    }
    // The selection follows its bond through the reload (a sort moves it); a bond that is gone
    // leaves nothing selected, so that no other bond is deleted by mistake.
    const std::optional<std::string> serial = selectedSerial_;
    tableModel_->reload();
    selectedSerial_.reset();
    for (int row = 0; serial && row < tableModel_->rowCount(); ++row) {
        if (const Bond* bond = tableModel_->bondAt(row); bond && bond->serial == *serial) {
            bondTable_->selectRow(row);
            return;
        }
    }
}

void BondEditingWindow::rememberSelectedBond() {
    const Bond* bond = tableModel_ != nullptr ? tableModel_->bondAt(selectedRow()) : nullptr;
    selectedSerial_ = bond != nullptr ? std::optional<std::string>(bond->serial) : std::nullopt;
}

void BondEditingWindow::dropSelection() {
    selectedSerial_.reset();
    if (bondTable_->selectionModel() != nullptr) {
        bondTable_->selectionModel()->clearSelection();
    }
}

// The commands.

void BondEditingWindow::editSelectedBond() {
    if (const Bond* bond = tableModel_ != nullptr ? tableModel_->bondAt(selectedRow()) : nullptr) {
        session_->edit(*bond);
    }
}

void BondEditingWindow::editBond(const std::string& serial) {
    if (tableModel_ == nullptr || hasUnsavedEntry()) {
        return;
    }
    for (int row = 0; row < tableModel_->rowCount(); ++row) {
        if (const Bond* bond = tableModel_->bondAt(row); bond && bond->serial == serial) {
            bondTable_->selectRow(row);
            session_->edit(*bond);
            return;
        }
    }
}

void BondEditingWindow::saveEntry() {
    session_->save();
    // A year refused is the one field to correct; otherwise the next serial is typed.
    if (!form_->unofferedYearMessage().empty()) {
        issueYearField()->setFocus();
    } else {
        serialField()->setFocus();
    }
}

void BondEditingWindow::clearEntry() {
    session_->clear();
    serialField()->setFocus();
}

void BondEditingWindow::deleteSelectedBond() {
    session_->remove(tableModel_ != nullptr ? tableModel_->bondAt(selectedRow()) : nullptr);
}

void BondEditingWindow::dropEntryOrClose() {
    // The first Escape drops what is being typed or changed; the next one closes the window.
    if (editing() || hasUnsavedEntry()) {
        clearEntry();
        return;
    }
    close();
}

void BondEditingWindow::updateModeLabel() {
    if (editing()) {
        ui_->modeLabel->setText(
            QStringLiteral("Changing bond \u201c%1\u201d: Save Changes stores the new values.")
                .arg(QString::fromStdString(editingSerial())));
        ui_->saveButton->setText(QStringLiteral("Save Changes"));
    } else {
        ui_->modeLabel->setText(QStringLiteral(
            "New bond: Add Bond adds it to the portfolio. Double-click a bond to change it."));
        ui_->saveButton->setText(QStringLiteral("Add Bond"));
    }
}

void BondEditingWindow::updateWarningLabel() {
    if (warningLabel_ == nullptr) {
        return;
    }
    const QString warning = QString::fromStdString(form_->warning());
    warningLabel_->setText(warning);
    warningLabel_->setVisible(!warning.isEmpty());
}

// Closing.

void BondEditingWindow::saveAndClose() {
    if (WindowHost* view = host()) {
        view->save();
    }
    close();
}

void BondEditingWindow::saveOnClose() {
    const BondDatabase* db = session_->store();
    if (WindowHost* view = host(); view != nullptr && db != nullptr && db->hasUnsavedChanges()) {
        view->save();
    }
}

void BondEditingWindow::closeEvent(QCloseEvent* event) {
    if (!closeWithoutAsking_ && !windowShouldClose()) {
        event->ignore();
        return;
    }
    saveOnClose();
    TaskWindow::closeEvent(event);
}

void BondEditingWindow::closeWithoutAsking() {
    closeWithoutAsking_ = true;
    close();
}

// Keys and activation.

bool BondEditingWindow::leavesKeyToHistory(QObject* watched, QKeyEvent* event) const {
    const QLineEdit* field = watched == serialField()      ? serialField()
                             : watched == issueYearField() ? issueYearField()->lineEdit()
                                                           : nullptr;
    if (field == nullptr) {
        return false;
    }
    if (event->matches(QKeySequence::Undo)) {
        return !field->isUndoAvailable();
    }
    return event->matches(QKeySequence::Redo) && !field->isRedoAvailable();
}

bool BondEditingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        leavesKeyToHistory(watched, static_cast<QKeyEvent*>(event))) {
        // Not taken by the field: the window's shortcut runs.
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == bondTable_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            deleteSelectedBond();
            return true;
        }
    }
    return TaskWindow::eventFilter(watched, event);
}

void BondEditingWindow::changeEvent(QEvent* event) {
    // Another window may have added or deleted bonds of this portfolio meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && tableModel_ != nullptr &&
        tableModel_->isStale()) {
        // The rows have moved under the selection: it is dropped rather than kept on whatever
        // bond now stands at its row.
        selectedSerial_.reset();
        tableModel_->reload();
    }
    TaskWindow::changeEvent(event);
}

void BondEditingWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        dropEntryOrClose();
        return;
    }
    // Return in a choice box saves, as it does in the serial field; elsewhere (a button, the
    // table) it keeps its own meaning.
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && form_->isChoiceBox(focusWidget())) {
        saveEntry();
        return;
    }
    TaskWindow::keyPressEvent(event);
}
