#pragma once

// What the bond editor does with its form, for one portfolio whatever portfolio is opened
// meanwhile: adding the entry as a new bond (entry mode) or storing it over the bond taken into
// the fields (editing mode), deleting, clearing to the entry preset, saving the preset, and the
// question about an unsaved entry when the window closes. Every change to the bonds goes
// through the host's undo history.

#include "entry/EntryPreset.h"
#include "platform/ResourceLocations.h"
#include "store/StoreOutcome.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>

class Bond;
class BondDatabase;
class BondEntryForm;
class UndoableCommand;
class WindowHost;

class BondEditingSession : public QObject {
    Q_OBJECT

  public:
    // The host as the window knows it now; nullptr once it is gone.
    using HostLookup = std::function<WindowHost*()>;

    BondEditingSession(BondEntryForm& form, std::string portfolio, ResourceLocations resources,
                       HostLookup host, QObject* parent);

    const std::string& portfolio() const { return portfolio_; }
    bool editing() const { return editing_; }
    // The serial of the bond taken into the fields.
    const std::string& editingSerial() const { return editingSerial_; }
    // The preset as read when the window opened, or as saved since.
    const EntryPreset& preset() const { return preset_; }

    // Adds the entry, or stores it over the bond taken into the fields; a refused entry is
    // shown and changes nothing (not even the undo history).
    void save();
    // Takes a bond into the fields for a change (editing mode).
    void edit(const Bond& bond);
    // Asks, then deletes the bond; nullptr says none is selected.
    void remove(const Bond* bond);
    // Back to a new bond, the fields filled from the preset.
    void clear();
    // Keeps what the fields show as the preset, in the user's preset file.
    void savePreset();

    // Whether the fields hold what a save would store and has not: a serial typed for a new
    // bond, or changes to the bond taken into the fields.
    bool hasUnsavedEntry() const;
    // Asks whether to keep an unsaved entry (save it, discard it, or stay open); true when the
    // window may close. A discarded entry is gone, so that nothing asks about it again.
    bool mayClose();

    // The host's store while the host lives.
    BondDatabase* store() const;
    // While a save or a deletion changes the bonds in several steps: bondsChanged follows once
    // they are all done, so the window waits for it rather than for the store's announcements.
    bool changingBonds() const { return changingBonds_; }

  signals:
    // Entry or editing mode, or the bond being changed, changed.
    void modeChanged();
    // The fields went back to a new bond: no bond stays selected.
    void cleared();
    // A save or a deletion has changed the bonds (added to, changed, deleted or sorted them).
    void bondsChanged();

  private:
    void showError(const std::string& message) const;
    // Asks for something the user left out; nothing failed.
    void showNotice(const std::string& title, const std::string& message) const;
    // A refused change, as a notice when it is the user's slip, else as an error.
    void showRefusal(const StoreOutcome& refusal) const;
    void setMode(bool editing, std::string serial);
    void saveChange(BondDatabase& store, WindowHost& host);
    void saveNew(BondDatabase& store, WindowHost& host);
    void pushChange(std::unique_ptr<UndoableCommand> command);

    BondEntryForm& form_;
    std::string portfolio_;
    ResourceLocations resources_;
    HostLookup host_;
    EntryPreset preset_;
    bool editing_ = false;
    std::string editingSerial_;
    bool changingBonds_ = false;

    // Sets the flag for its scope.
    struct ChangingBonds {
        explicit ChangingBonds(bool& flag) : flag_(flag) { flag_ = true; }
        ~ChangingBonds() { flag_ = false; }
        ChangingBonds(const ChangingBonds&) = delete;
        ChangingBonds& operator=(const ChangingBonds&) = delete;
        bool& flag_;
    };
};
