// The bond editing window's choice boxes: their lists, the extra entry that shows a bond's
// value the list lacks, selecting entries, and the type change that gives the year box the
// years of the chosen series.

#include "entry/BondEditingModels.h"
#include "entry/BondEditingWindowController.h"
#include "entry/EntryText.h"

#include <QComboBox>
#include <algorithm>

// The choice lists.

void BondEditingWindowController::setBondTypeYears(PlistDictRef bondTypeYears) {
    bondTypeYears_ = std::move(bondTypeYears);
    setSelectedType(selectedType_);
    reloadBox(issueYearField_);
}

void BondEditingWindowController::setFaceValues(std::vector<std::string> faceValues) {
    faceValues_ = std::move(faceValues);
    reloadBox(faceValueField_);
}

void BondEditingWindowController::setMonths(std::vector<std::string> months) {
    months_ = std::move(months);
    reloadBox(issueMonthField_);
}

void BondEditingWindowController::setTypes(std::vector<std::string> types) {
    types_ = std::move(types);
    reloadBox(typeField_);
}

void BondEditingWindowController::setSelectedType(std::string type) {
    selectedType_ = std::move(type);
    currentYears_ = yearsForType(selectedType_);
}

std::vector<std::string> BondEditingWindowController::yearsForType(const std::string& type) const {
    return bondTypeYears_ ? stringsOf(bondTypeYears_->value(type)) : std::vector<std::string>{};
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
        return &types_;
    case kFaceValueTag:
        return &faceValues_;
    case kIssueMonthTag:
        return &months_;
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
}
