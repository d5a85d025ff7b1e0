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
    // The store has announced the deletion, and the windows of the portfolio close with it; the
    // host only needs telling when the open portfolio is gone.
    if (wasOpen_) {
        host_.setOpenPortfolio(std::nullopt);
    }
    host_.save();
}

void DeletePortfolioCommand::undo() {
    BondDatabase* store = host_.bondDatabase();
    if (store == nullptr) {
        return;
    }
    // A portfolio created meanwhile under the same name is left alone, and the deleted one is
    // brought back beside it under a free name: the user asked for its bonds back, and Redo
    // then deletes the one restored, never the other.
    const std::string deletedName = portfolio_.name;
    portfolio_.name = store->freeNameLike(deletedName);
    const bool renamed = portfolio_.name != deletedName;
    portfolio_.bondsChanged = portfolio_.bondsChanged || renamed; // its record carries the name
    if (!store->restorePortfolio(portfolio_, position_)) {
        return;
    }
    if (wasOpen_) {
        host_.setOpenPortfolio(portfolio_.name);
    }
    host_.save();
    if (renamed) {
        host_.services().showInformationAlert(
            "Portfolio Restored Under Another Name",
            "A portfolio named \"" + deletedName + "\" was created after the deleted one, so the " +
                "deleted portfolio has been brought back, with all its bonds, as \"" +
                portfolio_.name + "\".");
    }
}
