#include "store/MoveBondsCommand.h"

#include <unordered_set>

StoreOutcome MoveBondsCommand::check(const BondDatabase& store, std::string_view from,
                                     std::string_view to, const std::vector<std::string>& serials) {
    using Status = StoreOutcome::Status;
    if (!store.hasPortfolio(from) || !store.hasPortfolio(to)) {
        return StoreOutcome::refused(Status::NoSuchPortfolio,
                                     "There is no portfolio named \"" +
                                         std::string(store.hasPortfolio(from) ? to : from) + "\".");
    }
    if (from == to) {
        return StoreOutcome::refused(Status::NoSuchPortfolio,
                                     "The bonds are in \"" + std::string(to) + "\" already.");
    }
    if (StoreOutcome takes = store.checkTakesBonds(to); !takes) {
        return takes;
    }
    const Portfolio* target = store.portfolio(to);
    for (const std::string& serial : serials) {
        if (target->find(serial) != nullptr) {
            return StoreOutcome::refused(Status::DuplicateSerial,
                                         "\"" + std::string(to) +
                                             "\" already holds a bond with the serial \"" + serial +
                                             "\".");
        }
    }
    return {};
}

MoveBondsCommand::MoveBondsCommand(BondDatabase& store, std::string from, std::string to,
                                   std::vector<std::string> serials, Kind kind, std::string text,
                                   SaveStore save)
    : BondChangeCommand(store, std::move(from), std::move(text), std::move(save)),
      to_(std::move(to)), serials_(std::move(serials)), kind_(kind) {}

void MoveBondsCommand::redo() {
    BondDatabase* db = store();
    if (db == nullptr || !check(*db, portfolio(), to_, serials_)) {
        return;
    }
    taken_.clear();
    std::unordered_set<std::string_view> left(serials_.begin(), serials_.end());
    const std::vector<Bond>& bonds = db->portfolio(portfolio())->bonds;
    for (std::size_t i = 0; i < bonds.size() && !left.empty(); ++i) {
        if (left.erase(bonds[i].serial) > 0) {
            taken_.push_back({i, bonds[i]});
        }
    }
    std::vector<Bond> copies;
    copies.reserve(taken_.size());
    for (const BondDatabase::PlacedBond& placed : taken_) {
        copies.push_back(placed.bond);
    }
    if (copies.empty() || !db->appendBonds(to_, std::move(copies))) {
        taken_.clear();
        return;
    }
    if (kind_ == Kind::Move) {
        db->removeBonds(portfolio(), serials_);
    }
    save();
}

void MoveBondsCommand::undo() {
    BondDatabase* db = store();
    if (db == nullptr || taken_.empty() || !db->hasPortfolio(to_)) {
        return;
    }
    std::vector<std::string> serials;
    serials.reserve(taken_.size());
    for (const BondDatabase::PlacedBond& placed : taken_) {
        serials.push_back(placed.bond.serial);
    }
    db->removeBonds(to_, serials);
    std::vector<BondDatabase::PlacedBond> taken = std::exchange(taken_, {});
    if (kind_ == Kind::Move) {
        db->insertBondsAt(portfolio(), std::move(taken));
    }
    save();
}
