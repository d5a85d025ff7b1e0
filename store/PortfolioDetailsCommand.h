#pragma once

// The owner's details of a portfolio changed as one action: redo() keeps `after`, undo() puts
// back `before` (a detail that was none is none again), each saving once. A portfolio deleted
// since is left alone and nothing is saved.

#include "store/BondCommands.h"
#include "store/PortfolioDetails.h"

class SetPortfolioDetailsCommand : public BondChangeCommand {
  public:
    SetPortfolioDetailsCommand(BondDatabase& store, std::string portfolio, PortfolioDetails before,
                               PortfolioDetails after, SaveStore save);
    void redo() override;
    void undo() override;

    // What Undo names the action.
    static constexpr const char* kText = "Change Portfolio Details";

  private:
    void keep(const PortfolioDetails& details);

    PortfolioDetails before_;
    PortfolioDetails after_;
};
