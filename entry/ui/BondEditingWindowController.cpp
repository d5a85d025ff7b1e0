#include "entry/ui/BondEditingWindowController.h"

#include "app/WindowHost.h"
#include "entry/EntryMessages.h"
#include "entry/ui/BondListUndoCommand.h"
#include "entry/ui/BondTableModel.h"
#include "entry/ui/ChoiceBoxModel.h"
#include "entry/ui/FaceValueTypeAhead.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "ui_BondEditingWindow.h"
#include "valuation/ui/WarningColour.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>
#include <QUndoStack>
#include <algorithm>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

BondEditingWindowController::BondEditingWindowController(WindowHost& host)
    : TaskWindowController(host), ui_(std::make_unique<Ui::BondEditingWindow>()),
      resources_(host.resources()), portfolio_(host.openPortfolio().value_or(std::string())) {

    // The lists come first: the boxes ask for their entries as soon as they get their models.
    lists_ = BondChoiceLists::read(resources_);
    setSelectedType("E");
    preset_ = EntryPreset::read(resources_);
    editing_ = false;

    ui_->setupUi(this);
    setSerialField(ui_->serialField);
    setTypeField(ui_->typeField);
    setFaceValueField(ui_->faceValueField);
    setIssueYearField(ui_->issueYearField);
    setIssueMonthField(ui_->issueMonthField);
    setBondTable(ui_->bondTable);

    connect(ui_->saveButton, &QPushButton::clicked, this,
            &BondEditingWindowController::savePressed);
    connect(ui_->savePresetButton, &QPushButton::clicked, this,
            &BondEditingWindowController::savePresetPressed);
    connect(ui_->clearButton, &QPushButton::clicked, this,
            &BondEditingWindowController::clearPressed);
    connect(ui_->deleteBondButton, &QPushButton::clicked, this,
            &BondEditingWindowController::deleteBondPressed);
    connect(ui_->closeButton, &QPushButton::clicked, this,
            &BondEditingWindowController::closePressed);
    // Return in the serial field saves, so that a pile of bonds is entered from the keyboard.
    connect(ui_->serialField, &QLineEdit::returnPressed, this,
            &BondEditingWindowController::savePressed);
    connect(ui_->serialField, &QLineEdit::textChanged, this,
            &BondEditingWindowController::updateWarningLabel);
    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, [this] {
        if (WindowHost* view = this->host(); view != nullptr && view->undoStack() != nullptr) {
            view->undoStack()->undo();
        }
    });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this),
            &QShortcut::activated, this, [this] {
                if (WindowHost* view = this->host();
                    view != nullptr && view->undoStack() != nullptr) {
                    view->undoStack()->redo();
                }
            });
    connect(ui_->issueYearField, &QComboBox::currentIndexChanged, this,
            &BondEditingWindowController::updateWarningLabel);
    new FaceValueTypeAhead(*ui_->faceValueField, [this](int index) {
        return comboBoxValueAtIndex(faceValueField_, index);
    });
    ui_->bondTable->installEventFilter(this);
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
    updateModeLabel();

    selectIndex(typeField_, 0);
    selectIndex(faceValueField_, 0);
    selectIndex(issueYearField_, 0);
    selectIndex(issueMonthField_, 0);
    connect(bondTable_, &QAbstractItemView::doubleClicked, this,
            &BondEditingWindowController::doubleClickedOnRow);
    if (!portfolio_.empty()) {
        setWindowTitle(tr("Edit Bonds - %1").arg(qText(portfolio_)));
    }
    reloadTable();
    if (host.undoStack() != nullptr) {
        // An undo or redo changes the bonds under the table.
        connect(host.undoStack(), &QUndoStack::indexChanged, this, [this] {
            selectedSerial_.reset();
            reloadTable();
        });
    }
    serialField_->setFocus();
}

BondEditingWindowController::~BondEditingWindowController() = default;

// The form's fields.

void BondEditingWindowController::setTypeField(QComboBox* box) {
    typeField_ = box;
    attachChoiceBox(box);
    if (box != nullptr) {
        // Only the type box reports its selection changes.
        connect(box, &QComboBox::currentIndexChanged, this,
                &BondEditingWindowController::comboBoxSelectionDidChange, Qt::UniqueConnection);
    }
}

void BondEditingWindowController::setFaceValueField(QComboBox* box) {
    faceValueField_ = box;
    attachChoiceBox(box);
}

void BondEditingWindowController::setIssueYearField(QComboBox* box) {
    issueYearField_ = box;
    attachChoiceBox(box);
}

void BondEditingWindowController::setIssueMonthField(QComboBox* box) {
    issueMonthField_ = box;
    attachChoiceBox(box);
}

void BondEditingWindowController::setBondTable(QTableView* table) {
    bondTable_ = table;
    if (table == nullptr) {
        tableModel_ = nullptr;
        return;
    }
    const BondDatabase* db = database();
    if (db == nullptr) {
        tableModel_ = nullptr;
        return;
    }
    tableModel_ = new BondTableModel(*db, portfolio_, table);
    table->setModel(tableModel_);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setVisible(false);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BondEditingWindowController::tableViewSelectionDidChange);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BondEditingWindowController::rememberSelectedBond);
}

void BondEditingWindowController::attachChoiceBox(QComboBox* box) {
    if (box == nullptr) {
        return;
    }
    // The boxes take no typed text, so one of their entries is selected whenever they have any.
    box->setEditable(false);
    box->setModel(new ChoiceBoxModel(*this, box));
}

// The bond table.

BondDatabase* BondEditingWindowController::database() const {
    return host() != nullptr ? host()->bondDatabase() : nullptr;
}

const Bond* BondEditingWindowController::bondAtRow(int row) const {
    return tableModel_ != nullptr ? tableModel_->bondAt(row) : nullptr;
}

int BondEditingWindowController::selectedRow() const {
    if (bondTable_ == nullptr || bondTable_->selectionModel() == nullptr) {
        return -1;
    }
    const QModelIndexList rows = bondTable_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void BondEditingWindowController::reloadTable() {
    if (tableModel_ == nullptr) {
        return;
    }
    // The selection follows its bond through the reload (a sort moves it); a bond that is gone
    // leaves nothing selected, so that no other bond is deleted by mistake.
    const std::optional<std::string> serial = selectedSerial_;
    tableModel_->reload();
    selectedSerial_.reset();
    if (!serial || bondTable_ == nullptr) {
        return;
    }
    for (int row = 0; tableModel_ != nullptr && row < tableModel_->rowCount(); ++row) {
        const Bond* bond = bondAtRow(row);
        if (bond != nullptr && bond->serial == *serial) {
            bondTable_->selectRow(row);
            return;
        }
    }
}

void BondEditingWindowController::rememberSelectedBond() {
    const Bond* bond = bondAtRow(selectedRow());
    selectedSerial_ = bond != nullptr ? std::optional<std::string>(bond->serial) : std::nullopt;
}

void BondEditingWindowController::tableViewSelectionDidChange() {
    // A bond comes into the fields only by double-click.
}

// Taking a bond into the fields, deleting, clearing.

void BondEditingWindowController::doubleClickedOnRow() {
    const Bond* selected = bondAtRow(selectedRow());
    if (selected == nullptr) {
        return;
    }
    // A copy: selecting entries may run code that reloads the table.
    const Bond bond = *selected;
    const std::string& serial = bond.serial;
    const std::string& type = bond.type;
    const std::string& faceValue = bond.faceValue;
    const std::string& issueMonth = bond.issueMonth;
    const std::string& issueYear = bond.issueYear;

    setEditing(true);
    if (serialField_ != nullptr) {
        serialField_->setText(qText(serial));
    }
    setEditingSerial(serial);
    dropExtraEntries();
    selectValue(typeField_, type); // runs the type change: the year box offers its years
    selectValue(faceValueField_, faceValue);
    selectValue(issueMonthField_, issueMonth);
    selectValue(issueYearField_, issueYear);
}

void BondEditingWindowController::deleteBondPressed() {
    const Bond* selected = bondAtRow(selectedRow());
    BondDatabase* db = database();
    WindowHost* view = host();
    if (selected == nullptr || db == nullptr || view == nullptr) {
        showError("No bond selected. Please select a bond to delete.");
        return;
    }
    const Bond bond = *selected;
    const std::string serial = bond.serial;
    const int answer = view->services().showConfirmation(
        "Delete Bond", "Delete", "Cancel",
        "Are you sure you want to delete the bond with serial \"" + serial +
            "\"? You can undo this with Undo (Ctrl+Z).");
    if (answer != ToolkitServices::kDefaultButton) {
        return;
    }
    // The command removes the bond and writes the file.
    pushChange(new RemoveBondCommand(*view, portfolio_, bond, tr("Delete Bond")));
    reloadTable();
    view->bondsChanged();
}

void BondEditingWindowController::escapePressed() {
    // The first Escape drops what is being typed or changed; the next one closes the window.
    if (editing_ || hasUnsavedEntry()) {
        clearPressed();
        return;
    }
    close();
}

bool BondEditingWindowController::hasUnsavedEntry() const {
    const QString serial = serialField_ != nullptr ? serialField_->text() : QString();
    if (editing_) {
        const BondDatabase* db = database();
        const Bond* bond = db != nullptr ? db->bond(portfolio_, editingSerial_) : nullptr;
        const std::optional<Entry> entry = readEntry(nullptr);
        if (bond == nullptr || !entry) {
            return false;
        }
        return entry->serial != editingSerial_ || entry->type != bond->type ||
               entry->faceValue != bond->faceValue || entry->issueMonth != bond->issueMonth ||
               entry->issueYear != bond->issueYear;
    }
    return !serial.trimmed().isEmpty() && serial != qText(preset_.serial());
}

void BondEditingWindowController::clearPressed() {
    // Clearing ends the change of a bond: the next save adds a new one.
    setEditing(false);
    setEditingSerial(std::string());
    selectedSerial_.reset();
    if (bondTable_ != nullptr && bondTable_->selectionModel() != nullptr) {
        bondTable_->selectionModel()->clearSelection();
    }
    dropExtraEntries();
    if (serialField_ != nullptr) {
        serialField_->setText(qText(preset_.serial()));
    }
    selectIndex(typeField_, preset_.position(kTypeKey)); // runs the type change
    selectIndex(faceValueField_, preset_.position(kFaceValueKey));
    selectIndex(issueYearField_, preset_.position(kIssueYearKey));
    selectIndex(issueMonthField_, preset_.position(kIssueMonthKey));
}

// Closing.

void BondEditingWindowController::closePressed() {
    if (WindowHost* view = host()) {
        view->save();
    }
    close();
}

void BondEditingWindowController::windowWillClose() {
    if (WindowHost* view = host();
        view != nullptr && database() != nullptr && database()->hasUnsavedChanges()) {
        view->save();
    }
}

bool BondEditingWindowController::windowShouldClose() {
    WindowHost* view = host();
    if (view == nullptr || !hasUnsavedEntry() || !database() ||
        !database()->hasPortfolio(portfolio_)) {
        return true;
    }
    const std::string what =
        editing_ ? "The changes to the bond \"" + editingSerial_ + "\" have not been saved."
                 : "The bond \"" + serialField_->text().toStdString() + "\" has not been added.";
    const std::string save = editing_ ? "Save Changes" : "Add Bond";
    switch (view->services().askThreeWay("Unsaved Bond", save, "Discard", "Cancel",
                                         what + " Do you want to keep it?")) {
    case ToolkitServices::ThreeWayAnswer::First:
        savePressed();
        // A refused save (a serial in use) keeps the window open with what was typed.
        return !hasUnsavedEntry();
    case ToolkitServices::ThreeWayAnswer::Second:
        return true;
    case ToolkitServices::ThreeWayAnswer::Third:
        return false;
    }
    return false;
}

void BondEditingWindowController::closeEvent(QCloseEvent* event) {
    if (!closeWithoutAsking_ && !windowShouldClose()) {
        event->ignore();
        return;
    }
    windowWillClose();
    TaskWindowController::closeEvent(event);
}

void BondEditingWindowController::closeWithoutAsking() {
    closeWithoutAsking_ = true;
    close();
}

bool BondEditingWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == bondTable_ &&
            (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace)) {
            deleteBondPressed();
            return true;
        }
    }
    return TaskWindowController::eventFilter(watched, event);
}

void BondEditingWindowController::changeEvent(QEvent* event) {
    // Another window may have added or deleted bonds of this portfolio meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && tableModel_ != nullptr &&
        tableModel_->isStale()) {
        // The rows have moved under the selection: it is dropped rather than kept on whatever
        // bond now stands at its row.
        selectedSerial_.reset();
        tableModel_->reload();
    }
    TaskWindowController::changeEvent(event);
}

void BondEditingWindowController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        escapePressed();
        return;
    }
    // Return in a choice box saves, as it does in the serial field; elsewhere (a button, the
    // table) it keeps its own meaning.
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    if (isReturn && focus != nullptr &&
        (focus == typeField_ || focus == faceValueField_ || focus == issueMonthField_ ||
         focus == issueYearField_)) {
        savePressed();
        return;
    }
    TaskWindowController::keyPressEvent(event);
}

// Modes and messages.

void BondEditingWindowController::setEditingSerial(std::string serial) {
    editingSerial_ = std::move(serial);
    updateModeLabel();
}

void BondEditingWindowController::setEditing(bool editing) {
    editing_ = editing;
    updateModeLabel();
}

void BondEditingWindowController::updateModeLabel() {
    if (!ui_ || ui_->modeLabel == nullptr) {
        return;
    }
    if (editing_) {
        ui_->modeLabel->setText(
            tr("Changing bond \u201c%1\u201d: Save Changes stores the new values.")
                .arg(qText(editingSerial_)));
        ui_->saveButton->setText(tr("Save Changes"));
    } else {
        ui_->modeLabel->setText(
            tr("New bond: Add Bond adds it to the portfolio. Double-click a bond to change it."));
        ui_->saveButton->setText(tr("Add Bond"));
    }
}

void BondEditingWindowController::showError(const std::string& message) const {
    if (WindowHost* view = host()) {
        view->services().showErrorAlert("Error", message);
    }
}

// The choice boxes: their lists, the extra entry that shows a bond's value the list lacks,
// selecting entries, and the type change that gives the year box the years of the chosen series.

// The choice lists.

void BondEditingWindowController::setBondTypeYears(PlistDictRef bondTypeYears) {
    lists_.setBondTypeYears(std::move(bondTypeYears));
    setSelectedType(selectedType_);
    reloadBox(issueYearField_);
}

void BondEditingWindowController::setFaceValues(std::vector<std::string> faceValues) {
    lists_.setFaceValues(std::move(faceValues));
    reloadBox(faceValueField_);
}

void BondEditingWindowController::setMonths(std::vector<std::string> months) {
    lists_.setMonths(std::move(months));
    reloadBox(issueMonthField_);
}

void BondEditingWindowController::setTypes(std::vector<std::string> types) {
    lists_.setTypes(std::move(types));
    reloadBox(typeField_);
}

void BondEditingWindowController::setSelectedType(std::string type) {
    selectedType_ = std::move(type);
    currentYears_ = lists_.yearsForType(selectedType_);
}

// The choice boxes' data source.

int BondEditingWindowController::tagOf(const QComboBox* box) {
    if (box == nullptr) {
        return -1;
    }
    bool ok = false;
    const int tag = box->property("tag").toInt(&ok);
    return ok ? tag : -1;
}

const std::vector<std::string>* BondEditingWindowController::listForTag(int tag) const {
    switch (tag) {
    case kTypeTag:
        return &lists_.types();
    case kFaceValueTag:
        return &lists_.faceValues();
    case kIssueMonthTag:
        return &lists_.months();
    case kIssueYearTag:
        return &currentYears_;
    default:
        return nullptr;
    }
}

const std::optional<std::string>& BondEditingWindowController::extraForTag(int tag) const {
    static const std::optional<std::string> none;
    switch (tag) {
    case kTypeTag:
        return extras_.type;
    case kFaceValueTag:
        return extras_.faceValue;
    case kIssueMonthTag:
        return extras_.issueMonth;
    case kIssueYearTag:
        return extras_.issueYear;
    default:
        return none;
    }
}

std::optional<std::string>& BondEditingWindowController::extraForTag(int tag) {
    return const_cast<std::optional<std::string>&>(
        static_cast<const BondEditingWindowController*>(this)->extraForTag(tag));
}

QComboBox* BondEditingWindowController::boxForTag(int tag) const {
    switch (tag) {
    case kTypeTag:
        return typeField_;
    case kFaceValueTag:
        return faceValueField_;
    case kIssueMonthTag:
        return issueMonthField_;
    case kIssueYearTag:
        return issueYearField_;
    default:
        return nullptr;
    }
}

int BondEditingWindowController::numberOfItemsInComboBox(const QComboBox* box) const {
    const int tag = tagOf(box);
    const std::vector<std::string>* list = listForTag(tag);
    if (list == nullptr) {
        return 0;
    }
    return static_cast<int>(list->size()) + (extraForTag(tag) ? 1 : 0);
}

std::optional<std::string> BondEditingWindowController::comboBoxValueAtIndex(const QComboBox* box,
                                                                             int index) const {
    const int tag = tagOf(box);
    const std::vector<std::string>* list = listForTag(tag);
    if (list == nullptr || index < 0) {
        return std::nullopt;
    }
    const auto position = static_cast<std::size_t>(index);
    if (position < list->size()) {
        return (*list)[position];
    }
    if (position == list->size()) {
        return extraForTag(tag);
    }
    return std::nullopt;
}

bool BondEditingWindowController::isExtraEntryAtIndex(const QComboBox* box, int index) const {
    const int tag = tagOf(box);
    const std::vector<std::string>* list = listForTag(tag);
    return list != nullptr && extraForTag(tag) && index == static_cast<int>(list->size());
}

QString BondEditingWindowController::comboBoxObjectValueForItemAtIndex(const QComboBox* box,
                                                                       int index) const {
    const std::optional<std::string> value = comboBoxValueAtIndex(box, index);
    if (!value) {
        return {};
    }
    return tagOf(box) == kFaceValueTag ? QStringLiteral("$") + qText(*value) : qText(*value);
}

ChoiceBoxModel* BondEditingWindowController::modelOf(QComboBox* box) const {
    return box != nullptr ? qobject_cast<ChoiceBoxModel*>(box->model()) : nullptr;
}

void BondEditingWindowController::reloadBox(QComboBox* box) {
    if (ChoiceBoxModel* model = modelOf(box)) {
        model->reload();
    }
}

void BondEditingWindowController::selectIndex(QComboBox* box, int index) {
    if (box == nullptr || box->count() == 0) {
        return;
    }
    if (index < 0 || index >= box->count()) {
        index = 0;
    }
    const bool unchanged = box->currentIndex() == index;
    box->setCurrentIndex(index);
    // Qt reports only real changes; the type change must run on every selection of a type.
    if (unchanged && box == typeField_) {
        comboBoxSelectionDidChange();
    }
}

void BondEditingWindowController::selectValue(QComboBox* box, const std::string& value) {
    const int tag = tagOf(box);
    const std::vector<std::string>* list = listForTag(tag);
    if (list == nullptr) {
        return;
    }
    const auto found = std::find(list->begin(), list->end(), value);
    if (found != list->end()) {
        selectIndex(box, static_cast<int>(found - list->begin()));
        return;
    }
    // A value the list lacks (an imported bond) is offered as an extra entry, so that saving
    // keeps the bond's own value instead of silently replacing it with another choice.
    extraForTag(tag) = value;
    reloadBox(box);
    selectIndex(box, static_cast<int>(list->size()));
}

void BondEditingWindowController::dropExtraEntries() {
    for (int tag : {kTypeTag, kFaceValueTag, kIssueMonthTag, kIssueYearTag}) {
        if (extraForTag(tag)) {
            extraForTag(tag).reset();
            reloadBox(boxForTag(tag));
        }
    }
}

// The type change.

void BondEditingWindowController::comboBoxSelectionDidChange() {
    const std::optional<std::string> type =
        typeField_ != nullptr ? comboBoxValueAtIndex(typeField_, typeField_->currentIndex())
                              : std::nullopt;
    if (!type) {
        return;
    }
    setSelectedType(*type);
    extras_.issueYear.reset();
    reloadBox(issueYearField_);
    selectIndex(issueYearField_, 0);
    updateWarningLabel();
}

void BondEditingWindowController::updateWarningLabel() {
    if (warningLabel_ == nullptr) {
        return;
    }
    const std::optional<Entry> entry = readEntry(nullptr);
    const QString warning =
        entry ? qText(issueYearWarning(lists_, entry->type, entry->issueYear)) : QString();
    warningLabel_->setText(warning);
    warningLabel_->setVisible(!warning.isEmpty());
}

// Saving an entry and saving the entry preset.

std::optional<BondEditingWindowController::Entry>
BondEditingWindowController::readEntry(std::string* missingChoiceMessage) const {
    // A box with no entry to read (its list is missing from the choice-list file) stops the
    // save: storing an empty value would make a bond that cannot be valued.
    const auto read = [&](QComboBox* box, const char* message) -> std::optional<std::string> {
        std::optional<std::string> value =
            box != nullptr ? comboBoxValueAtIndex(box, box->currentIndex()) : std::nullopt;
        if (!value && missingChoiceMessage != nullptr && missingChoiceMessage->empty()) {
            *missingChoiceMessage = message;
        }
        return value;
    };
    Entry entry;
    entry.serial = serialField_ != nullptr ? serialField_->text().toStdString() : std::string();
    const std::optional<std::string> type = read(typeField_, "Please choose a series.");
    const std::optional<std::string> faceValue =
        read(faceValueField_, "Please choose a face value.");
    const std::optional<std::string> month =
        read(issueMonthField_, "Please choose an issue month.");
    // The year box always offers the years of the type it shows (the type change keeps them
    // together), so its entry is the year within the type just read.
    const std::optional<std::string> year = read(issueYearField_, "Please choose an issue year.");
    if (!type || !faceValue || !month || !year) {
        return std::nullopt;
    }
    entry.type = *type;
    entry.faceValue = *faceValue;
    entry.issueMonth = *month;
    entry.issueYear = *year;
    return entry;
}

void BondEditingWindowController::savePressed() {
    BondDatabase* db = database();
    const std::string serial =
        serialField_ != nullptr ? serialField_->text().toStdString() : std::string();
    WindowHost* view = host();
    if (db == nullptr || view == nullptr || portfolio_.empty() || !db->hasPortfolio(portfolio_)) {
        // The portfolio was deleted while this window was open: nothing can be stored, and the
        // user must not be told otherwise by fields that clear themselves.
        showError(std::string(kNoPortfolioForEditingMessage));
        return;
    }

    std::string missingChoice;
    if (editing_) {
        const std::optional<Entry> entry = readEntry(&missingChoice);
        const Bond* before = db->bond(portfolio_, editingSerial_);
        if (!entry) {
            showError(missingChoice);
        } else if (before == nullptr) {
            // The bond was deleted meanwhile: nothing to store. Unless a new serial was typed,
            // the window returns to a new bond.
            if (serial == editingSerial_) {
                clearPressed();
            }
        } else {
            // The bond keeps what else its record holds; only the fields change.
            Bond after = *before;
            after.serial = serial;
            after.type = entry->type;
            after.faceValue = entry->faceValue;
            after.issueMonth = entry->issueMonth;
            after.issueYear = entry->issueYear;
            if (const StoreOutcome check = db->checkChangedBond(portfolio_, editingSerial_, after);
                !check) {
                // A refused change keeps editing mode and what the user entered.
                showError(check.message);
            } else {
                if (!after.sameFields(*before)) {
                    // The command changes the bond and writes the file.
                    pushChange(new ChangeBondCommand(*view, portfolio_, *before, std::move(after),
                                                     tr("Change Bond")));
                }
                clearPressed(); // back to a new bond, the table's selection with it
            }
        }
    } else if (serial.empty()) {
        showError("Please enter a serial.");
    } else if (const std::optional<Entry> entry = readEntry(&missingChoice); !entry) {
        showError(missingChoice);
    } else {
        Bond bond(serial, entry->type, entry->faceValue, entry->issueYear, entry->issueMonth);
        // A serial in use is refused with its own message; the fields return to the preset all
        // the same.
        if (const StoreOutcome check = db->checkNewBond(portfolio_, bond); !check) {
            showError(check.message);
            view->save();
        } else {
            // The command adds the bond and writes the file; the date order follows below.
            pushChange(new AddBondsCommand(*view, portfolio_, {std::move(bond)}, tr("Add Bond")));
        }
        clearPressed();
    }
    finishSave();
    view->bondsChanged();
}

void BondEditingWindowController::pushChange(QUndoCommand* command) {
    WindowHost* view = host();
    if (view != nullptr && view->undoStack() != nullptr) {
        view->undoStack()->push(command);
        return;
    }
    // Without an undo history the change is simply done.
    command->redo();
    delete command;
}

void BondEditingWindowController::finishSave() {
    if (BondDatabase* db = database()) {
        db->sortBondsByDate(portfolio_);
    }
    reloadTable();
    if (serialField_ != nullptr) {
        serialField_->setFocus();
    }
}

void BondEditingWindowController::savePresetPressed() {
    const auto position = [](const QComboBox* box) {
        return box != nullptr ? box->currentIndex() : -1;
    };
    const std::string serial =
        serialField_ != nullptr ? serialField_->text().toStdString() : std::string();
    preset_.set(serial, position(typeField_), position(faceValueField_), position(issueMonthField_),
                position(issueYearField_));
    // A preset that cannot be written is not reported: the window goes on with the one it
    // holds, and the file stays as it was.
    if (!preset_.write(resources_)) {
        showError("The preset could not be saved.");
        return;
    }
    if (WindowHost* view = host()) {
        view->services().showInformationAlert(
            "Preset Saved", "Clear and new windows now fill in the fields as they are now.");
    }
}
