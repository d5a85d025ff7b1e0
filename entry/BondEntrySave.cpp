// Saving an entry and saving the entry preset: the bond editing window's two remaining actions.

#include "app/MainMenuView.h"
#include "entry/BondEditingWindowController.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr const char* kNoPortfolioMessage =
    "Please either open an existing bond file or create a new bond file before editing bonds.";

} // namespace

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
    if (db == nullptr || !db->getCurrentPortfolio() || !db->currentBondList()) {
        // The portfolio was closed or deleted while this window was open: nothing can be stored,
        // and the user must not be told otherwise by fields that clear themselves.
        showError(kNoPortfolioMessage);
        finishSave();
        return;
    }

    std::string missingChoice;
    if (editing_) {
        const std::optional<Entry> entry = readEntry(&missingChoice);
        if (!entry) {
            showError(missingChoice);
        } else if (db->updateBondSerial(serial, editingSerial_)) {
            if (selectedSerial_ == editingSerial_) {
                selectedSerial_ = serial; // the selection stays on the renamed bond
            }
            // Every update names the bond by its new serial.
            db->updateType(entry->type, serial);
            db->updateFaceValue(entry->faceValue, serial);
            db->updateIssueMonth(entry->issueMonth, serial);
            db->updateIssueYear(entry->issueYear, serial);
            clearPressed();
            reloadTable();
            setEditing(false);
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
        db->addBondWithSerial(serial, entry->faceValue, entry->type, entry->issueYear,
                              entry->issueMonth);
        db->save();
        clearPressed();
        reloadTable();
    }
    finishSave();
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
    const auto indexText = [](const QComboBox* box) {
        return std::to_string(box != nullptr ? box->currentIndex() : -1);
    };
    const std::string serial =
        serialField_ != nullptr ? serialField_->text().toStdString() : std::string();
    const std::string type = indexText(typeField_);
    const std::string faceValue = indexText(faceValueField_);
    const std::string issueMonth = indexText(issueMonthField_);
    const std::string issueYear = indexText(issueYearField_);

    // Without a preset file a fresh preset is made, so that the user's choice is kept.
    if (!preset_) {
        preset_ = PlistDict::create();
    }
    preset_->set(kSerialKey, serial);
    preset_->set(kTypeKey, type);
    preset_->set(kFaceValueKey, faceValue);
    preset_->set(kIssueMonthKey, issueMonth);
    preset_->set(kIssueYearKey, issueYear);

    // The whole dictionary is written back, so entries of the file that are not ours are kept.
    if (const std::optional<std::filesystem::path> path =
            resources_.pathForResource("preset", "plist")) {
        writePropertyList(*path, PlistValue(preset_));
    }
}
