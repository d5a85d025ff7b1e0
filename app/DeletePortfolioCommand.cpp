#include "app/DeletePortfolioCommand.h"

#include "app/WindowHost.h"
#include "store/BondDatabase.h"

DeletePortfolioCommand::DeletePortfolioCommand(WindowHost& host, Portfolio portfolio,
                                               std::size_t position)
    : QUndoCommand(QStringLiteral("Delete Portfolio")), host_(host),
      portfolio_(std::move(portfolio)), position_(position) {}

void DeletePortfolioCommand::redo() {
    BondDatabase* store = host_.bondDatabase();
    if (store == nullptr || !store->deletePortfolio(portfolio_.name)) {
        return;
    }
    wasOpen_ = host_.openPortfolio() == portfolio_.name;
    if (wasOpen_) {
        host_.setOpenPortfolio(std::nullopt);
    }
    // Also when another portfolio was deleted: its windows close.
    host_.portfolioChanged();
    host_.save();
}

void DeletePortfolioCommand::undo() {
    BondDatabase* store = host_.bondDatabase();
    if (store == nullptr || !store->restorePortfolio(portfolio_, position_)) {
        return;
    }
    if (wasOpen_) {
        host_.setOpenPortfolio(portfolio_.name);
        host_.enableMenuItems();
    }
    host_.portfolioChanged();
    host_.save();
}
