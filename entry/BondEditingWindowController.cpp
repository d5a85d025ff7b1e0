#include "entry/BondEditingWindowController.h"

#include "app/MainMenuView.h"
#include "entry/BondEditingModels.h"
#include "entry/EntryText.h"
#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "ui_BondEditingWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

namespace {

constexpr std::string_view kFaceValuesKey = "Face Values";

PlistDictRef readDictionaryResource(const ResourceLocations& resources, std::string_view name) {
    const std::optional<std::filesystem::path> path = resources.pathForResource(name, "plist");
    if (!path) {
        return nullptr;
    }
    return readPropertyList(*path).dict();
}

} // namespace

BondEditingWindowController::BondEditingWindowController(const ResourceLocations& resources,
                                                         QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::BondEditingWindow>()),
      resources_(resources) {
    setAttribute(Qt::WA_DeleteOnClose);

    // The lists come first: the boxes ask for their entries as soon as they get their models.
    bondTypeYears_ = readDictionaryResource(resources_, "BondTypeYears");
    faceValues_ = stringsOf(bondTypeYears_ ? bondTypeYears_->value(kFaceValuesKey) : PlistValue());
    months_.assign(kMonthNames.begin(), kMonthNames.end());
    types_ = {"E", "EE", "I", "S"};
    setSelectedType("E");
    preset_ = readDictionaryResource(resources_, "preset");
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
    updateModeLabel();
}

BondEditingWindowController::~BondEditingWindowController() = default;

void BondEditingWindowController::setParentView(MainMenuView* parentView) {
    parentView_ = parentView;
    if (parentView != nullptr) {
        setParent(parentView->window(), Qt::Window);
    }
}

MainMenuView* BondEditingWindowController::parentView() const {
    return parentView_;
}

void BondEditingWindowController::showWindow() {
    if (!windowLoaded_) {
        windowLoaded_ = true;
        windowDidLoad();
    }
    show();
    activateWindow();
}

void BondEditingWindowController::windowDidLoad() {
    selectIndex(typeField_, 0);
    selectIndex(faceValueField_, 0);
    selectIndex(issueYearField_, 0);
    selectIndex(issueMonthField_, 0);
    if (bondTable_ != nullptr) {
        connect(bondTable_, &QAbstractItemView::doubleClicked, this,
                &BondEditingWindowController::doubleClickedOnRow, Qt::UniqueConnection);
    }
    reloadTable();
    if (BondDatabase* db = database(); db != nullptr && db->getCurrentPortfolio()) {
        setWindowTitle(tr("Edit Bonds - %1").arg(qText(*db->getCurrentPortfolio())));
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
    return parentView_ ? parentView_->bondDatabase() : nullptr;
}

const PlistDict* BondEditingWindowController::bondAtRow(int row) const {
    const BondDatabase* db = database();
    const PlistArray* list = db != nullptr ? db->currentBondList().get() : nullptr;
    if (list == nullptr || row < 0 || static_cast<std::size_t>(row) >= list->size()) {
        return nullptr;
    }
    return (*list)[static_cast<std::size_t>(row)].dictPtr();
}

int BondEditingWindowController::numberOfRowsInTableView() const {
    const BondDatabase* db = database();
    const PlistArray* list = db != nullptr ? db->currentBondList().get() : nullptr;
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
    if (bond == nullptr || db == nullptr) {
        showError("No bond selected. Please select a bond to delete.");
        return;
    }
    const std::string serial = bond->text(kSerialKey);
    db->deleteBondWithSerial(serial);
    db->save();
    reloadTable();
}

void BondEditingWindowController::clearPressed() {
    const auto presetIndex = [this](std::string_view key) {
        return preset_ ? intValueOf(preset_->value(key)) : 0;
    };
    dropExtraEntries();
    if (serialField_ != nullptr) {
        serialField_->setText(preset_ ? qText(preset_->text(kSerialKey)) : QString());
    }
    selectIndex(typeField_, presetIndex(kTypeKey)); // runs the type change
    selectIndex(faceValueField_, presetIndex(kFaceValueKey));
    selectIndex(issueYearField_, presetIndex(kIssueYearKey));
    selectIndex(issueMonthField_, presetIndex(kIssueMonthKey));
}

// Closing.

void BondEditingWindowController::closePressed() {
    if (parentView_) {
        parentView_->save();
    }
    close();
}

void BondEditingWindowController::windowWillClose() {
    if (BondDatabase* db = database()) {
        db->save();
    }
}

void BondEditingWindowController::closeEvent(QCloseEvent* event) {
    windowWillClose();
    QWidget::closeEvent(event);
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
    QWidget::changeEvent(event);
}

void BondEditingWindowController::keyPressEvent(QKeyEvent* event) {
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
    QWidget::keyPressEvent(event);
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
    if (parentView_) {
        parentView_->services().showErrorAlert("Error", message);
    }
}
