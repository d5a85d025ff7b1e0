#include "entry/ui/BondEditingWindowController.h"

#include "entry/EntryMessages.h"
#include "entry/ui/BondListUndoCommand.h"
#include "entry/ui/BondTableModel.h"
#include "entry/ui/ChoiceBoxModel.h"
#include "platform/ToolkitServices.h"
#include "platform/ui/WindowHost.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "ui_BondEditingWindow.h"

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

// Makes the window's own portfolio the database's open one for the length of a change: the
// database's operations work on the open portfolio, and another one may have been opened in the
// main window since this window was.
class OwnPortfolioScope {
  public:
    OwnPortfolioScope(BondDatabase& db, const std::string& portfolio)
        : db_(db), previous_(db.getCurrentPortfolio()), switched_(previous_ != portfolio) {
        if (switched_) {
            db_.setNewCurrentPortfolio(portfolio);
        }
    }
    ~OwnPortfolioScope() {
        if (!switched_) {
            return;
        }
        if (previous_) {
            db_.setNewCurrentPortfolio(*previous_);
        } else {
            db_.setCurrentPortfolio(std::nullopt);
            db_.setCurrentBondList(nullptr);
        }
    }
    OwnPortfolioScope(const OwnPortfolioScope&) = delete;
    OwnPortfolioScope& operator=(const OwnPortfolioScope&) = delete;

  private:
    BondDatabase& db_;
    std::optional<std::string> previous_;
    bool switched_;
};

// The face value typed as digits, with or without "$": "$50" and "50" both stand for "50".
QString typedAmount(const QString& typed) {
    QString digits;
    for (const QChar c : typed) {
        if (c.isDigit()) {
            digits += c;
        }
    }
    return digits;
}

} // namespace

BondEditingWindowController::BondEditingWindowController(const ResourceLocations& resources,
                                                         QWidget* parent)
    : TaskWindowController(parent), ui_(std::make_unique<Ui::BondEditingWindow>()),
      resources_(resources) {

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
        if (WindowHost* view = parentView(); view != nullptr && view->undoStack() != nullptr) {
            view->undoStack()->undo();
        }
    });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this),
            &QShortcut::activated, this, [this] {
                if (WindowHost* view = parentView();
                    view != nullptr && view->undoStack() != nullptr) {
                    view->undoStack()->redo();
                }
            });
    connect(ui_->issueYearField, &QComboBox::currentIndexChanged, this,
            &BondEditingWindowController::updateWarningLabel);
    ui_->faceValueField->installEventFilter(this);
    ui_->bondTable->installEventFilter(this);
    warningLabel_ = new QLabel(this);
    warningLabel_->setObjectName("warningLabel");
    warningLabel_->setWordWrap(true);
    warningLabel_->setStyleSheet("color: #a33;");
    warningLabel_->hide();
    if (auto* box = qobject_cast<QBoxLayout*>(ui_->modeLabel->parentWidget()->layout())) {
        box->insertWidget(box->indexOf(ui_->modeLabel) + 1, warningLabel_);
    } else if (layout() != nullptr) {
        layout()->addWidget(warningLabel_);
    }
    typedAmountTimer_.invalidate();
    updateModeLabel();
}

BondEditingWindowController::~BondEditingWindowController() = default;

void BondEditingWindowController::windowDidLoad() {
    selectIndex(typeField_, 0);
    selectIndex(faceValueField_, 0);
    selectIndex(issueYearField_, 0);
    selectIndex(issueMonthField_, 0);
    if (bondTable_ != nullptr) {
        connect(bondTable_, &QAbstractItemView::doubleClicked, this,
                &BondEditingWindowController::doubleClickedOnRow, Qt::UniqueConnection);
    }
    // The window belongs to the portfolio open now, whatever is opened later.
    if (BondDatabase* db = database(); db != nullptr && db->getCurrentPortfolio()) {
        portfolio_ = *db->getCurrentPortfolio();
        setWindowTitle(tr("Edit Bonds - %1").arg(qText(portfolio_)));
    }
    reloadTable();
    if (WindowHost* view = parentView(); view != nullptr && view->undoStack() != nullptr) {
        // An undo or redo changes the bonds under the table.
        connect(view->undoStack(), &QUndoStack::indexChanged, this, [this] {
            selectedSerial_.reset();
            reloadTable();
        });
    }
    if (serialField_ != nullptr) {
        serialField_->setFocus();
    }
}

// Outlets.

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
    tableModel_ = new BondTableModel(*this, table);
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
    return parentView() != nullptr ? parentView()->bondDatabase() : nullptr;
}

const PlistDict* BondEditingWindowController::bondAtRow(int row) const {
    const PlistArray* list = ownBondList().get();
    if (list == nullptr || row < 0 || static_cast<std::size_t>(row) >= list->size()) {
        return nullptr;
    }
    return (*list)[static_cast<std::size_t>(row)].dictPtr();
}

PlistArrayRef BondEditingWindowController::ownBondList() const {
    const BondDatabase* db = database();
    return db != nullptr && !portfolio_.empty() ? db->bondListOfPortfolio(portfolio_) : nullptr;
}

int BondEditingWindowController::numberOfRowsInTableView() const {
    const PlistArray* list = ownBondList().get();
    return list != nullptr ? static_cast<int>(list->size()) : 0;
}

QString
BondEditingWindowController::tableViewObjectValueForTableColumnRow(const QString& columnTitle,
                                                                   int row) const {
    const PlistDict* bond = bondAtRow(row);
    if (bond == nullptr) {
        return {};
    }
    const QString value = qText(bond->text(columnTitle.toStdString()));
    return columnTitle == qText(kFaceValueKey) ? QStringLiteral("$") + value : value;
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
    for (int row = 0; row < numberOfRowsInTableView(); ++row) {
        const PlistDict* bond = bondAtRow(row);
        if (bond != nullptr && bond->text(kSerialKey) == *serial) {
            bondTable_->selectRow(row);
            return;
        }
    }
}

void BondEditingWindowController::rememberSelectedBond() {
    const PlistDict* bond = bondAtRow(selectedRow());
    selectedSerial_ =
        bond != nullptr ? std::optional<std::string>(bond->text(kSerialKey)) : std::nullopt;
}

void BondEditingWindowController::tableViewSelectionDidChange() {
    // A bond comes into the fields only by double-click.
}

// Taking a bond into the fields, deleting, clearing.

void BondEditingWindowController::doubleClickedOnRow() {
    const PlistDict* bond = bondAtRow(selectedRow());
    if (bond == nullptr) {
        return;
    }
    // Copies: selecting entries may run code that reloads the table.
    const std::string serial = bond->text(kSerialKey);
    const std::string type = bond->text(kTypeKey);
    const std::string faceValue = bond->text(kFaceValueKey);
    const std::string issueMonth = bond->text(kIssueMonthKey);
    const std::string issueYear = bond->text(kIssueYearKey);

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
    const PlistDict* bond = bondAtRow(selectedRow());
    BondDatabase* db = database();
    WindowHost* view = parentView();
    if (bond == nullptr || db == nullptr || view == nullptr) {
        showError("No bond selected. Please select a bond to delete.");
        return;
    }
    const std::string serial = bond->text(kSerialKey);
    const int answer = view->services().showConfirmation(
        "Delete Bond", "Delete", "Cancel",
        "Are you sure you want to delete the bond with serial \"" + serial +
            "\"? You can undo this with Undo (Ctrl+Z).");
    if (answer != ToolkitServices::kDefaultButton) {
        return;
    }
    recordBondListChange(*view, portfolio_, tr("Delete Bond"), [&] {
        OwnPortfolioScope scope(*db, portfolio_);
        db->deleteBondWithSerial(serial);
        return true;
    });
    db->save();
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
        const PlistArray* list = ownBondList().get();
        const std::optional<Entry> entry = readEntry(nullptr);
        if (list == nullptr || !entry) {
            return false;
        }
        for (const PlistValue& value : *list) {
            const PlistDict* bond = value.dictPtr();
            if (bond != nullptr && bond->text(kSerialKey) == editingSerial_) {
                return entry->serial != editingSerial_ || entry->type != bond->text(kTypeKey) ||
                       entry->faceValue != bond->text(kFaceValueKey) ||
                       entry->issueMonth != bond->text(kIssueMonthKey) ||
                       entry->issueYear != bond->text(kIssueYearKey);
            }
        }
        return false;
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
    if (WindowHost* view = parentView()) {
        view->save();
    }
    close();
}

void BondEditingWindowController::windowWillClose() {
    if (BondDatabase* db = database()) {
        db->save();
    }
}

bool BondEditingWindowController::windowShouldClose() {
    WindowHost* view = parentView();
    if (view == nullptr || !hasUnsavedEntry() || !database() ||
        !database()->portfolioExistsWithName(portfolio_)) {
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
        if (watched == faceValueField_ && typeFaceValue(key->text())) {
            return true;
        }
    }
    return TaskWindowController::eventFilter(watched, event);
}

bool BondEditingWindowController::typeFaceValue(const QString& text) {
    // Typing "$100" or "100" picks $100 and nothing else: the box's own search would take "$1"
    // as the start of "$1000" or give up on digits without the "$".
    if (text.isEmpty() || faceValueField_ == nullptr ||
        !(text.at(0).isDigit() || text.at(0) == QLatin1Char('$'))) {
        return false;
    }
    if (!typedAmountTimer_.isValid() || typedAmountTimer_.elapsed() > 1000) {
        typedFaceValue_.clear();
    }
    typedAmountTimer_.start();
    // "$" starts a new amount, and so does a digit that no amount continues with.
    const auto continuesSomeAmount = [this](const QString& digits) {
        for (int index = 0; index < faceValueField_->count(); ++index) {
            const std::optional<std::string> value = comboBoxValueAtIndex(faceValueField_, index);
            if (value && qText(*value).startsWith(digits)) {
                return true;
            }
        }
        return false;
    };
    if (text.at(0) == QLatin1Char('$') ||
        !continuesSomeAmount(typedAmount(typedFaceValue_ + text))) {
        typedFaceValue_.clear();
    }
    typedFaceValue_ += text;
    const QString amount = typedAmount(typedFaceValue_);
    for (int index = 0; index < faceValueField_->count() && !amount.isEmpty(); ++index) {
        const std::optional<std::string> value = comboBoxValueAtIndex(faceValueField_, index);
        if (value && qText(*value) == amount) {
            faceValueField_->setCurrentIndex(index);
            break;
        }
    }
    return true;
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
    if (WindowHost* view = parentView()) {
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
    WindowHost* view = parentView();
    if (db == nullptr || view == nullptr || portfolio_.empty() ||
        !db->portfolioExistsWithName(portfolio_)) {
        // The portfolio was deleted while this window was open: nothing can be stored, and the
        // user must not be told otherwise by fields that clear themselves.
        showError(std::string(kNoPortfolioForEditingMessage));
        return;
    }
    std::optional<OwnPortfolioScope> scope;
    scope.emplace(*db, portfolio_);

    std::string missingChoice;
    if (editing_) {
        const std::optional<Entry> entry = readEntry(&missingChoice);
        if (!entry) {
            showError(missingChoice);
        } else if (recordBondListChange(*view, portfolio_, tr("Change Bond"), [&] {
                       if (!db->updateBondSerial(serial, editingSerial_)) {
                           return false;
                       }
                       // Every update names the bond by its new serial.
                       db->updateType(entry->type, serial);
                       db->updateFaceValue(entry->faceValue, serial);
                       db->updateIssueMonth(entry->issueMonth, serial);
                       db->updateIssueYear(entry->issueYear, serial);
                       return true;
                   })) {
            clearPressed(); // back to a new bond, the table's selection with it
        }
        // A refused rename keeps editing mode and what the user entered. The file is written
        // when the window closes.
    } else if (serial.empty()) {
        showError("Please enter a serial.");
    } else if (const std::optional<Entry> entry = readEntry(&missingChoice); !entry) {
        showError(missingChoice);
    } else {
        // A serial in use is refused by the database with its own message; the fields return to
        // the preset all the same.
        recordBondListChange(*view, portfolio_, tr("Add Bond"), [&] {
            return db->addBondWithSerial(serial, entry->faceValue, entry->type, entry->issueYear,
                                         entry->issueMonth);
        });
        db->save();
        clearPressed();
    }
    finishSave();
    scope.reset(); // the main window's own open portfolio again
    view->bondsChanged();
}

void BondEditingWindowController::finishSave() {
    if (BondDatabase* db = database()) {
        db->sortBondsByDate();
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
    if (WindowHost* view = parentView()) {
        view->services().showInformationAlert(
            "Preset Saved", "Clear and new windows now fill in the fields as they are now.");
    }
}
