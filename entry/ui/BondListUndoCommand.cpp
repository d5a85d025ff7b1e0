#include "entry/ui/BondListUndoCommand.h"

#include "platform/ui/WindowHost.h"
#include "store/BondDatabase.h"

#include <QUndoStack>

BondListUndoCommand::BondListUndoCommand(WindowHost& host, std::string portfolio, PlistArray before,
                                         PlistArray after, const QString& text)
    : QUndoCommand(text), host_(host), portfolio_(std::move(portfolio)), before_(std::move(before)),
      after_(std::move(after)) {}

void BondListUndoCommand::undo() {
    restore(before_);
}

void BondListUndoCommand::redo() {
    if (done_) {
        done_ = false;
        return;
    }
    restore(after_);
}

void BondListUndoCommand::restore(const PlistArray& bonds) {
    BondDatabase* db = host_.bondDatabase();
    // A portfolio deleted since has nothing to restore into; it is not brought back.
    if (db == nullptr || !db->restoreBondsOfPortfolio(portfolio_, bonds)) {
        return;
    }
    host_.save();
    host_.bondsChanged();
}

bool recordBondListChange(WindowHost& host, const std::string& portfolio, const QString& text,
                          const std::function<bool()>& change) {
    BondDatabase* db = host.bondDatabase();
    const std::optional<PlistArray> before =
        db != nullptr ? db->copyBondsOfPortfolio(portfolio) : std::nullopt;
    const bool changed = change();
    if (!changed || !before || host.undoStack() == nullptr) {
        return changed;
    }
    std::optional<PlistArray> after = db->copyBondsOfPortfolio(portfolio);
    if (after) {
        host.undoStack()->push(
            new BondListUndoCommand(host, portfolio, std::move(*before), std::move(*after), text));
    }
    return changed;
}
