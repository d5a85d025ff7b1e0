#include "store/BondCommands.h"

#include <unordered_set>

BondChangeCommand::BondChangeCommand(BondDatabase& store, std::string portfolio, std::string text,
                                     SaveStore save)
    : UndoableCommand(std::move(text)), store_(store), portfolio_(std::move(portfolio)),
      save_(std::move(save)) {}

BondDatabase* BondChangeCommand::store() const {
    return store_.hasPortfolio(portfolio_) ? &store_ : nullptr;
}

void BondChangeCommand::save() const {
    if (save_) {
        save_();
    }
}

AddBondsCommand::AddBondsCommand(BondDatabase& store, std::string portfolio,
                                 std::vector<Bond> bonds, std::string text, SaveStore save)
    : BondChangeCommand(store, std::move(portfolio), std::move(text), std::move(save)),
      bonds_(std::move(bonds)) {}

void AddBondsCommand::redo() {
    BondDatabase* db = store();
    if (db == nullptr || !db->appendBonds(portfolio(), bonds_)) {
        return;
    }
    save();
}

void AddBondsCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr) {
        return;
    }
    // The serials added were new to the portfolio, so each names its own bond.
    std::vector<std::string> serials;
    serials.reserve(bonds_.size());
    for (const Bond& bond : bonds_) {
        serials.push_back(bond.serial);
    }
    db->removeBonds(portfolio(), serials);
    save();
}

ChangeBondCommand::ChangeBondCommand(BondDatabase& store, std::string portfolio, Bond before,
                                     Bond after, std::string text, SaveStore save)
    : BondChangeCommand(store, std::move(portfolio), std::move(text), std::move(save)),
      before_(std::move(before)), after_(std::move(after)) {}

void ChangeBondCommand::redo() {
    BondDatabase* db = store();
    const Portfolio* changed = db != nullptr ? db->portfolio(portfolio()) : nullptr;
    const std::optional<std::size_t> position =
        changed != nullptr ? changed->indexOf(before_.serial) : std::nullopt;
    if (!position || !db->changeBond(portfolio(), before_.serial, after_)) {
        return;
    }
    position_ = *position;
    save();
}

void ChangeBondCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr || !db->removeBond(portfolio(), after_.serial)) {
        return;
    }
    // Where it stood before: a date order since moved only the changed bond, so the others
    // stand as they stood then.
    db->insertBonds(portfolio(), position_, {before_});
    save();
}

ReplaceBondCommand::ReplaceBondCommand(BondDatabase& store, std::string portfolio, Bond before,
                                       std::vector<Bond> after, std::string text, SaveStore save)
    : BondChangeCommand(store, std::move(portfolio), std::move(text), std::move(save)),
      before_(std::move(before)), after_(std::move(after)) {}

void ReplaceBondCommand::redo() {
    BondDatabase* db = store();
    const Portfolio* changed = db != nullptr ? db->portfolio(portfolio()) : nullptr;
    const std::optional<std::size_t> position =
        changed != nullptr ? changed->indexOf(before_.serial) : std::nullopt;
    if (!position || !db->removeBond(portfolio(), before_.serial)) {
        return;
    }
    if (!db->insertBonds(portfolio(), *position, after_)) {
        // Refused (text the file cannot hold): the bond stays as it was.
        db->insertBonds(portfolio(), *position, {before_});
        return;
    }
    position_ = position;
    save();
}

void ReplaceBondCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr || !position_) {
        return;
    }
    std::vector<std::string> serials;
    for (const Bond& bond : after_) {
        serials.push_back(bond.serial);
    }
    db->removeBonds(portfolio(), serials);
    db->insertBonds(portfolio(), *std::exchange(position_, std::nullopt), {before_});
    save();
}

RemoveBondsCommand::RemoveBondsCommand(BondDatabase& store, std::string portfolio,
                                       std::vector<std::string> serials, std::string text,
                                       SaveStore save)
    : BondChangeCommand(store, std::move(portfolio), std::move(text), std::move(save)),
      serials_(std::move(serials)) {}

void RemoveBondsCommand::redo() {
    BondDatabase* db = store();
    if (db == nullptr) {
        return;
    }
    // The bonds the store's removal takes, the first with each serial, and where they stand.
    removed_.clear();
    std::unordered_set<std::string_view> left(serials_.begin(), serials_.end());
    const std::vector<Bond>& bonds = db->portfolio(portfolio())->bonds;
    for (std::size_t i = 0; i < bonds.size() && !left.empty(); ++i) {
        if (left.erase(bonds[i].serial) > 0) {
            removed_.push_back({i, bonds[i]});
        }
    }
    if (removed_.empty()) {
        return;
    }
    db->removeBonds(portfolio(), serials_);
    save();
}

void RemoveBondsCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr || removed_.empty()) {
        return;
    }
    // The next redo() finds them anew, wherever they stand by then.
    db->insertBondsAt(portfolio(), std::exchange(removed_, {}));
    save();
}
