#pragma once

// Bonds moved or copied to another portfolio: one command and one save whatever their number.
// The bonds keep their records whole; undo takes them out of the other portfolio and, after a
// move, puts each back in its place.

#include "store/BondCommands.h"

#include <string>
#include <vector>

class MoveBondsCommand : public BondChangeCommand {
  public:
    enum class Kind { Move, Copy };

    // Why `serials` of `from` cannot go to `to`: no such portfolio, the same one, a record that
    // takes no bonds, or a serial `to` holds already. Done when they can.
    static StoreOutcome check(const BondDatabase& store, std::string_view from, std::string_view to,
                              const std::vector<std::string>& serials);

    MoveBondsCommand(BondDatabase& store, std::string from, std::string to,
                     std::vector<std::string> serials, Kind kind, std::string text, SaveStore save);
    void redo() override;
    void undo() override;

  private:
    std::string to_;
    std::vector<std::string> serials_;
    Kind kind_;
    // The bonds taken by the last redo(), with their places in the first portfolio.
    std::vector<BondDatabase::PlacedBond> taken_;
};
