#include "entry/ui/BondDetailsFields.h"

#include "store/BondRecord.h"
#include "store/BondRegistration.h"
#include "store/ElectronicAmount.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string textOf(const QLineEdit* field) {
    return field->text().toStdString();
}

} // namespace

BondDetailsFields::BondDetailsFields(Fields fields, QObject* parent)
    : QObject(parent), fields_(fields) {
    fields_.kind->addItem(qText(kPaperKind));
    fields_.kind->addItem(qText(kElectronicKind));
    fields_.secondNameIs->addItem(qText(kCoOwner));
    fields_.secondNameIs->addItem(qText(kBeneficiary));
    connect(fields_.kind, &QComboBox::currentIndexChanged, this, [this] {
        setKindFields();
        emit kindChanged();
    });
    for (QLineEdit* field :
         {fields_.amount, fields_.owner, fields_.secondName, fields_.keptAt, fields_.note}) {
        connect(field, &QLineEdit::textChanged, this, &BondDetailsFields::changed);
    }
    connect(fields_.secondNameIs, &QComboBox::currentIndexChanged, this,
            &BondDetailsFields::changed);
    setKindFields();
}

bool BondDetailsFields::electronic() const {
    return fields_.kind->currentIndex() == 1;
}

void BondDetailsFields::setKindFields() {
    // An electronic bond has an amount to the cent instead of a denomination.
    fields_.amount->setEnabled(electronic());
    fields_.faceValue->setEnabled(!electronic());
}

void BondDetailsFields::load(const Bond& bond) {
    fields_.kind->setCurrentIndex(bond.electronic ? 1 : 0);
    fields_.amount->setText(bond.electronic ? qText(bond.faceValue) : QString());
    fields_.owner->setText(qText(bond.owner()));
    fields_.secondName->setText(qText(bond.secondName()));
    fields_.secondNameIs->setCurrentIndex(bond.secondNameIs() == kBeneficiary ? 1 : 0);
    fields_.keptAt->setText(qText(bond.keptAt()));
    fields_.note->setText(qText(bond.note()));
}

void BondDetailsFields::clear() {
    Bond blank;
    blank.setOwner(defaultOwner_);
    load(blank);
}

bool BondDetailsFields::complete(BondEntry& entry, std::string* message) const {
    entry.electronic = electronic();
    if (entry.electronic) {
        std::string stored;
        if (const std::optional<std::string> problem =
                electronicAmountProblem(fields_.amount->text().trimmed().toStdString(), stored)) {
            if (message != nullptr && message->empty()) {
                *message = *problem;
            }
            return false;
        }
        entry.faceValue = stored;
    }
    entry.owner = textOf(fields_.owner);
    entry.secondName = textOf(fields_.secondName);
    entry.secondNameIs =
        std::string(fields_.secondNameIs->currentIndex() == 1 ? kBeneficiary : kCoOwner);
    entry.keptAt = textOf(fields_.keptAt);
    entry.note = textOf(fields_.note);
    return true;
}
