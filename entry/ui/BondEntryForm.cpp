#include "entry/ui/BondEntryForm.h"

#include "entry/EntryPreset.h"
#include "entry/ui/BondDetailsFields.h"
#include "entry/ui/ChoiceBoxModel.h"
#include "entry/ui/FaceValueTypeAhead.h"
#include "store/Bond.h"
#include "store/BondRecord.h"
#include "store/SeriesRules.h"

#include <QComboBox>
#include <QLineEdit>

BondEntryForm::BondEntryForm(Fields fields, BondChoiceLists lists, QObject* parent)
    : QObject(parent), fields_(fields), lists_(std::move(lists)), selectedType_("E") {
    type_.box = fields.type;
    type_.list.setValues(lists_.types());
    faceValue_.box = fields.faceValue;
    faceValue_.list.setValues(lists_.faceValues());
    issueMonth_.box = fields.issueMonth;
    issueMonth_.list.setValues(lists_.months());
    issueYear_.box = fields.issueYear;
    issueYear_.list.setValues(lists_.yearsForType(selectedType_));

    attach(type_, QString());
    attach(faceValue_, QStringLiteral("$"));
    attach(issueMonth_, QString());
    attach(issueYear_, QString());
    // A year can be typed as well as chosen; what is typed stays as it is until the box offers
    // it, so that a year the box lacks is never taken for the nearest one it has.
    issueYear_.box->setEditable(true);
    issueYear_.box->setInsertPolicy(QComboBox::NoInsert);
    connect(type_.box, &QComboBox::currentIndexChanged, this, &BondEntryForm::typeChanged);
    new FaceValueTypeAhead(*faceValue_.box,
                           [this](int index) { return faceValue_.list.valueAt(index); });

    connect(fields_.serial, &QLineEdit::textChanged, this, &BondEntryForm::changed);
    connect(issueMonth_.box, &QComboBox::currentIndexChanged, this, &BondEntryForm::changed);
    connect(issueYear_.box, &QComboBox::currentIndexChanged, this, &BondEntryForm::changed);
    connect(issueYear_.box, &QComboBox::editTextChanged, this, &BondEntryForm::changed);

    for (Box* box : {&type_, &faceValue_, &issueYear_, &issueMonth_}) {
        select(*box, 0);
    }
}

void BondEntryForm::attach(Box& box, const QString& prefix) {
    // One of a box's entries is selected whenever it has any.
    box.box->setEditable(false);
    box.model = new ChoiceBoxModel(box.list, prefix, box.box);
    box.box->setModel(box.model);
}

bool BondEntryForm::isChoiceBox(const QWidget* widget) const {
    return widget != nullptr && (widget == type_.box || widget == faceValue_.box ||
                                 widget == issueMonth_.box || widget == issueYear_.box);
}

void BondEntryForm::setDetails(BondDetailsFields* details) {
    details_ = details;
    connect(details_, &BondDetailsFields::changed, this, &BondEntryForm::changed);
    connect(details_, &BondDetailsFields::kindChanged, this, &BondEntryForm::kindChanged);
}

std::string BondEntryForm::serial() const {
    return fields_.serial->text().toStdString();
}

void BondEntryForm::select(Box& box, int index) {
    if (box.box->count() == 0) {
        return;
    }
    if (index < 0 || index >= box.box->count()) {
        index = 0;
    }
    const bool unchanged = box.box->currentIndex() == index;
    box.box->setCurrentIndex(index);
    // Qt reports only real changes; the type change must run on every selection of a type.
    if (unchanged && &box == &type_) {
        typeChanged();
    }
}

void BondEntryForm::selectValue(Box& box, const std::string& value) {
    const int index = box.list.indexFor(value);
    if (box.list.isExtraAt(index)) {
        box.model->reload();
    }
    select(box, index);
}

void BondEntryForm::dropExtraEntries() {
    for (Box* box : {&type_, &faceValue_, &issueMonth_, &issueYear_}) {
        if (box->list.hasExtra()) {
            box->list.dropExtra();
            box->model->reload();
        }
    }
}

void BondEntryForm::typeChanged() {
    const std::optional<std::string> type = type_.list.valueAt(type_.box->currentIndex());
    if (!type) {
        return;
    }
    selectedType_ = *type;
    issueYear_.list.setValues(offeredYears());
    issueYear_.model->reload();
    select(issueYear_, 0);
    emit changed();
}

std::vector<std::string> BondEntryForm::offeredYears() const {
    if (details_ == nullptr || !details_->electronic()) {
        return lists_.yearsForType(selectedType_);
    }
    // Electronic bonds from the series' first electronic sale to the table's last year.
    std::vector<std::string> years;
    const SeriesRules* rules = seriesRulesOf(selectedType_);
    if (rules != nullptr && soldElectronically(*rules)) {
        for (int year = rules->firstElectronicIssue.year; year <= electronicLastYear_; ++year) {
            years.push_back(std::to_string(year));
        }
    }
    return years;
}

void BondEntryForm::kindChanged() {
    // The year stays when the other kind offers it too.
    const std::string year = yearText();
    issueYear_.list.setValues(offeredYears());
    issueYear_.model->reload();
    const int position = positionOf(issueYear_, year);
    select(issueYear_, position >= 0 ? position : 0);
    emit changed();
}

void BondEntryForm::load(const Bond& bond) {
    // A copy: selecting entries runs code that may change what the caller's bond refers to.
    const Bond shown = bond;
    // The kind first: it decides the years the year box offers.
    if (details_ != nullptr) {
        details_->load(shown);
    }
    fields_.serial->setText(QString::fromStdString(shown.serial));
    dropExtraEntries();
    selectValue(type_, shown.type); // runs the type change: the year box offers its years
    selectValue(faceValue_, shown.faceValue);
    selectValue(issueMonth_, shown.issueMonth);
    selectValue(issueYear_, shown.issueYear);
}

void BondEntryForm::fill(const EntryPreset& preset) {
    if (details_ != nullptr) {
        details_->clear();
    }
    dropExtraEntries();
    fields_.serial->setText(QString::fromStdString(preset.serial()));
    select(type_, preset.position(kTypeKey)); // runs the type change
    select(faceValue_, preset.position(kFaceValueKey));
    select(issueYear_, preset.position(kIssueYearKey));
    select(issueMonth_, preset.position(kIssueMonthKey));
}

std::optional<BondEntry> BondEntryForm::entry(std::string* missingChoiceMessage) const {
    // A box with no entry to read stops the save: storing an empty value would make a bond
    // that cannot be valued.
    const auto read = [&](const Box& box, const char* message) -> std::optional<std::string> {
        std::optional<std::string> value = box.list.valueAt(box.box->currentIndex());
        if (!value && missingChoiceMessage != nullptr && missingChoiceMessage->empty()) {
            *missingChoiceMessage = message;
        }
        return value;
    };
    const std::optional<std::string> type = read(type_, "Please choose a series.");
    const std::optional<std::string> faceValue = read(faceValue_, "Please choose a face value.");
    const std::optional<std::string> month = read(issueMonth_, "Please choose an issue month.");
    // The year box always offers the years of the type it shows (the type change keeps them
    // together), so its entry is the year within the type just read. A year typed is taken
    // only as the entry it matches.
    const std::optional<std::string> year =
        issueYear_.list.valueAt(positionOf(issueYear_, yearText()));
    if (!year && missingChoiceMessage != nullptr && missingChoiceMessage->empty()) {
        *missingChoiceMessage = unofferedYearMessage();
    }
    if (!type || !faceValue || !month || !year) {
        return std::nullopt;
    }
    BondEntry entry;
    entry.serial = serial();
    entry.type = *type;
    entry.faceValue = *faceValue;
    entry.issueMonth = *month;
    entry.issueYear = *year;
    if (details_ != nullptr && !details_->complete(entry, missingChoiceMessage)) {
        return std::nullopt;
    }
    return entry;
}

std::string BondEntryForm::yearText() const {
    return issueYear_.box->currentText().toStdString();
}

int BondEntryForm::positionOf(const Box& box, const std::string& value) {
    for (int index = 0; index < box.list.count(); ++index) {
        if (box.list.valueAt(index) == value) {
            return index;
        }
    }
    return -1;
}

std::string BondEntryForm::unofferedYearMessage() const {
    const std::string year = yearText();
    if (positionOf(issueYear_, year) >= 0) {
        return {};
    }
    // The warning the fields show for this date says why; without one (no year typed, or no
    // years known for the series), the year is simply to be chosen.
    const std::string warning = this->warning();
    return warning.empty() ? "Please choose an issue year." : warning;
}

void BondEntryForm::keepIn(EntryPreset& preset) const {
    const int year = positionOf(issueYear_, yearText());
    preset.set(serial(), type_.box->currentIndex(), faceValue_.box->currentIndex(),
               issueMonth_.box->currentIndex(), year >= 0 ? year : issueYear_.box->currentIndex());
}

std::string BondEntryForm::warning() const {
    const std::optional<std::string> type = type_.list.valueAt(type_.box->currentIndex());
    const std::optional<std::string> month =
        issueMonth_.list.valueAt(issueMonth_.box->currentIndex());
    const std::string year = yearText();
    const bool electronic = details_ != nullptr && details_->electronic();
    return type && month && !year.empty()
               ? issueDateWarning(*type, *month, year, nullptr, electronic)
               : std::string();
}
