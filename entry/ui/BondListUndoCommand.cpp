#include "entry/ui/BondListUndoCommand.h"

#include "app/WindowHost.h"
#include "store/BondDatabase.h"

BondChangeCommand::BondChangeCommand(WindowHost& host, std::string portfolio, const QString& text)
    : QUndoCommand(text), host_(host), portfolio_(std::move(portfolio)) {}

BondDatabase* BondChangeCommand::store() const {
    BondDatabase* db = host_.bondDatabase();
    return db != nullptr && db->hasPortfolio(portfolio_) ? db : nullptr;
}

void BondChangeCommand::finish() {
    // The store has announced the change; every window follows it.
    host_.save();
}

AddBondsCommand::AddBondsCommand(WindowHost& host, std::string portfolio, std::vector<Bond> bonds,
                                 const QString& text)
    : BondChangeCommand(host, std::move(portfolio), text), bonds_(std::move(bonds)) {}

void AddBondsCommand::redo() {
    BondDatabase* db = store();
    if (db == nullptr) {
        return;
    }
    db->appendBonds(portfolio_, bonds_);
    finish();
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
    db->removeBonds(portfolio_, serials);
    finish();
}

ChangeBondCommand::ChangeBondCommand(WindowHost& host, std::string portfolio, Bond before,
                                     Bond after, const QString& text)
    : BondChangeCommand(host, std::move(portfolio), text), before_(std::move(before)),
      after_(std::move(after)) {}

void ChangeBondCommand::redo() {
    BondDatabase* db = store();
    const Portfolio* portfolio = db != nullptr ? db->portfolio(portfolio_) : nullptr;
    const std::optional<std::size_t> position =
        portfolio != nullptr ? portfolio->indexOf(before_.serial) : std::nullopt;
    if (!position || !db->changeBond(portfolio_, before_.serial, after_)) {
        return;
    }
    position_ = *position;
    finish();
}

void ChangeBondCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr || !db->removeBond(portfolio_, after_.serial)) {
        return;
    }
    // Where it stood before: a date order since moved only the changed bond, so the others
    // stand as they stood then.
    db->insertBonds(portfolio_, position_, {before_});
    finish();
}

RemoveBondCommand::RemoveBondCommand(WindowHost& host, std::string portfolio, Bond bond,
                                     const QString& text)
    : BondChangeCommand(host, std::move(portfolio), text), bond_(std::move(bond)) {}

void RemoveBondCommand::redo() {
    BondDatabase* db = store();
    const Portfolio* portfolio = db != nullptr ? db->portfolio(portfolio_) : nullptr;
    const std::optional<std::size_t> position =
        portfolio != nullptr ? portfolio->indexOf(bond_.serial) : std::nullopt;
    if (!position) {
        return;
    }
    position_ = *position;
    db->removeBond(portfolio_, bond_.serial);
    finish();
}

void RemoveBondCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr) {
        return;
    }
    db->insertBonds(portfolio_, position_, {bond_});
    finish();
}
