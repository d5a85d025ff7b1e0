#include "entry/ui/BondEditingSession.h"

#include "app/WindowHost.h"
#include "entry/EntryMessages.h"
#include "entry/ui/BondEntryForm.h"
#include "entry/ui/BondListUndoCommand.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"

#include <QLineEdit>
#include <QString>

BondEditingSession::BondEditingSession(BondEntryForm& form, std::string portfolio,
                                       ResourceLocations resources, HostLookup host,
                                       QObject* parent)
    : QObject(parent), form_(form), portfolio_(std::move(portfolio)),
      resources_(std::move(resources)), host_(std::move(host)),
      preset_(EntryPreset::read(resources_)) {}

BondDatabase* BondEditingSession::store() const {
    WindowHost* host = host_();
    return host != nullptr ? host->bondDatabase() : nullptr;
}

void BondEditingSession::showError(const std::string& message) const {
    if (WindowHost* host = host_()) {
        host->services().showErrorAlert("Error", message);
    }
}

void BondEditingSession::showNotice(const std::string& title, const std::string& message) const {
    if (WindowHost* host = host_()) {
        host->services().showInformationAlert(title, message);
    }
}

void BondEditingSession::showRefusal(const StoreOutcome& refusal) const {
    // A serial in use is a slip to correct, not a failure.
    if (refusal.status == StoreOutcome::Status::DuplicateSerial) {
        showNotice("Serial Already in Use", refusal.message);
        return;
    }
    showError(refusal.message);
}

void BondEditingSession::setMode(bool editing, std::string serial) {
    editing_ = editing;
    editingSerial_ = std::move(serial);
    emit modeChanged();
}

// Saving.

void BondEditingSession::save() {
    BondDatabase* db = store();
    WindowHost* host = host_();
    if (db == nullptr || host == nullptr || portfolio_.empty() || !db->hasPortfolio(portfolio_)) {
        // The portfolio was deleted while the window was open: nothing can be stored, and the
        // user must not be told otherwise by fields that clear themselves.
        showError(std::string(kNoPortfolioForEditingMessage));
        return;
    }
    {
        const ChangingBonds changing(changingBonds_);
        editing_ ? saveChange(*db, *host) : saveNew(*db, *host);
        // Even a refused save ends with the date order.
        db->sortBondsByDate(portfolio_);
    }
    emit bondsChanged();
}

void BondEditingSession::saveChange(BondDatabase& store, WindowHost& host) {
    std::string missingChoice;
    const std::optional<BondEntry> entry = form_.entry(&missingChoice);
    const Bond* before = store.bond(portfolio_, editingSerial_);
    if (!entry) {
        showNotice("Choice Needed", missingChoice);
        return;
    }
    if (before == nullptr) {
        // The bond was deleted meanwhile: nothing to store. Unless a new serial was typed, the
        // window returns to a new bond.
        if (entry->serial == editingSerial_) {
            clear();
        }
        return;
    }
    // The bond keeps what else its record holds; only the fields change.
    Bond after = entry->applyTo(*before);
    if (const StoreOutcome check = store.checkChangedBond(portfolio_, editingSerial_, after);
        !check) {
        // A refused change keeps editing mode and what the user entered.
        showRefusal(check);
        return;
    }
    if (!after.sameFields(*before)) {
        // The command changes the bond and writes the file.
        pushChange(std::make_unique<ChangeBondCommand>(store, portfolio_, *before, std::move(after),
                                                       "Change Bond", host.saver()));
    }
    clear(); // back to a new bond, the table's selection with it
}

void BondEditingSession::saveNew(BondDatabase& store, WindowHost& host) {
    std::string missingChoice;
    if (form_.serial().empty()) {
        showNotice("No Serial Entered", "Please enter a serial.");
        return;
    }
    const std::optional<BondEntry> entry = form_.entry(&missingChoice);
    if (!entry) {
        showNotice("Choice Needed", missingChoice);
        return;
    }
    Bond bond = entry->toBond();
    // A serial in use is refused with its own message; the entry stays, its serial selected,
    // so that only the serial needs typing again.
    if (const StoreOutcome check = store.checkNewBond(portfolio_, bond); !check) {
        showRefusal(check);
        host.save();
        form_.serialField()->selectAll();
        return;
    }
    // The command adds the bond and writes the file; the date order follows.
    pushChange(std::make_unique<AddBondsCommand>(
        store, portfolio_, std::vector<Bond>{std::move(bond)}, "Add Bond", host.saver()));
    clear();
}

void BondEditingSession::pushChange(std::unique_ptr<UndoableCommand> command) {
    WindowHost* host = host_();
    pushCommand(host != nullptr ? host->undoStack() : nullptr, std::move(command));
}

// Taking a bond into the fields, deleting, clearing.

void BondEditingSession::edit(const Bond& bond) {
    // A copy: filling the fields may run code that reloads the table the bond came from.
    const Bond taken = bond;
    editing_ = true;
    form_.load(taken);
    setMode(true, taken.serial);
}

void BondEditingSession::remove(const Bond* selected) {
    WindowHost* host = host_();
    if (selected == nullptr || store() == nullptr || host == nullptr) {
        showNotice("No Bond Selected", "No bond selected. Please select a bond to delete.");
        return;
    }
    const Bond bond = *selected;
    // "Cancel" is the default, so that Return never deletes a bond.
    if (!host->services().confirmDestruction(
            "Delete Bond", "Cancel", "Delete",
            "Are you sure you want to delete the bond with serial \"" + bond.serial +
                "\"? You can undo this with Undo (Ctrl+Z).")) {
        return;
    }
    {
        const ChangingBonds changing(changingBonds_);
        // The command removes the bond and writes the file.
        pushChange(std::make_unique<RemoveBondsCommand>(*store(), portfolio_,
                                                        std::vector<std::string>{bond.serial},
                                                        "Delete Bond", host->saver()));
    }
    emit bondsChanged();
}

void BondEditingSession::clear() {
    // Clearing ends the change of a bond: the next save adds a new one.
    setMode(false, std::string());
    emit cleared();
    form_.fill(preset_);
}

void BondEditingSession::savePreset() {
    // The preset keeps positions in the lists: a year typed that they lack has none.
    if (const std::string unoffered = form_.unofferedYearMessage(); !unoffered.empty()) {
        showNotice("Choice Needed", unoffered);
        return;
    }
    form_.keepIn(preset_);
    // A preset that cannot be written is reported; the window goes on with the one it holds,
    // and the file stays as it was.
    if (std::string error; !preset_.write(resources_, &error)) {
        showError("The preset could not be saved: " + error + (error.ends_with('.') ? "" : "."));
        return;
    }
    if (WindowHost* host = host_()) {
        host->services().showInformationAlert(
            "Preset Saved", "Clear and new windows now fill in the fields as they are now.");
    }
}

// Closing.

bool BondEditingSession::hasUnsavedEntry() const {
    if (editing_) {
        const BondDatabase* db = store();
        const Bond* bond = db != nullptr ? db->bond(portfolio_, editingSerial_) : nullptr;
        const std::optional<BondEntry> entry = form_.entry();
        if (bond == nullptr) {
            return false;
        }
        // A year typed that cannot be stored yet is a change all the same.
        return entry ? !entry->applyTo(*bond).sameFields(*bond)
                     : !form_.unofferedYearMessage().empty();
    }
    const std::string serial = form_.serial();
    return !QString::fromStdString(serial).trimmed().isEmpty() && serial != preset_.serial();
}

bool BondEditingSession::mayClose() {
    WindowHost* host = host_();
    const BondDatabase* db = store();
    if (host == nullptr || !hasUnsavedEntry() || db == nullptr || !db->hasPortfolio(portfolio_)) {
        return true;
    }
    const std::string what =
        editing_ ? "The changes to the bond \"" + editingSerial_ + "\" have not been saved."
                 : "The bond \"" + form_.serial() + "\" has not been added.";
    const std::string keep = editing_ ? "Save Changes" : "Add Bond";
    switch (host->services().askThreeWay("Unsaved Bond", keep, "Discard", "Cancel",
                                         what + " Do you want to keep it?")) {
    case ToolkitServices::ThreeWayAnswer::First:
        save();
        // A refused save (a serial in use) keeps the window open with what was typed.
        return !hasUnsavedEntry();
    case ToolkitServices::ThreeWayAnswer::Second:
        clear();
        return true;
    case ToolkitServices::ThreeWayAnswer::Third:
        return false;
    }
    return false;
}
