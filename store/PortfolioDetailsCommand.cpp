#include "store/PortfolioDetailsCommand.h"

SetPortfolioDetailsCommand::SetPortfolioDetailsCommand(BondDatabase& store, std::string portfolio,
                                                       PortfolioDetails before,
                                                       PortfolioDetails after, SaveStore save)
    : BondChangeCommand(store, std::move(portfolio), kText, std::move(save)),
      before_(std::move(before)), after_(std::move(after)) {}

void SetPortfolioDetailsCommand::redo() {
    keep(after_);
}

void SetPortfolioDetailsCommand::undo() {
    keep(before_);
}

void SetPortfolioDetailsCommand::keep(const PortfolioDetails& details) {
    BondDatabase* db = store();
    if (db == nullptr || !db->setPortfolioDetails(portfolio(), details)) {
        return;
    }
    save();
}
