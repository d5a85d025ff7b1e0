#pragma once

// The changes to a portfolio's bonds that can be undone: bonds added (one, or an imported list),
// a bond changed, bonds deleted. Each redo() and undo() changes the store in one step and then
// calls `save` once, whatever the number of bonds; a command keeps only the bonds it changed,
// never a copy of the whole list. A portfolio deleted since is not brought back: the command then
// does nothing and saves nothing.

#include "store/Bond.h"
#include "store/BondDatabase.h"
#include "store/UndoableCommand.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Writes the portfolio file once a command has changed the store; how a failure is told is the
// caller's.
using SaveStore = std::function<void()>;

class BondChangeCommand : public UndoableCommand {
  protected:
    BondChangeCommand(BondDatabase& store, std::string portfolio, std::string text, SaveStore save);
    // The store while the portfolio exists; nullptr once it is gone.
    BondDatabase* store() const;
    void save() const;

    const std::string& portfolio() const { return portfolio_; }

  private:
    BondDatabase& store_;
    std::string portfolio_;
    SaveStore save_;
};

// Bonds added at the end of the list; their serials are new to the portfolio.
class AddBondsCommand : public BondChangeCommand {
  public:
    AddBondsCommand(BondDatabase& store, std::string portfolio, std::vector<Bond> bonds,
                    std::string text, SaveStore save);
    void redo() override;
    void undo() override;

  private:
    std::vector<Bond> bonds_;
};

// The first bond with `before`'s serial becomes `after`, in its place.
class ChangeBondCommand : public BondChangeCommand {
  public:
    ChangeBondCommand(BondDatabase& store, std::string portfolio, Bond before, Bond after,
                      std::string text, SaveStore save);
    void redo() override;
    void undo() override;

  private:
    Bond before_;
    Bond after_;
    // Where the bond stood before the change, to put it back there.
    std::size_t position_ = 0;
};

// The first bond with `serial` replaced by `after` (one bond or more, new serials but the first),
// in its place: a bond cashed, held again, or split into the part cashed and the rest.
class ReplaceBondCommand : public BondChangeCommand {
  public:
    ReplaceBondCommand(BondDatabase& store, std::string portfolio, Bond before,
                       std::vector<Bond> after, std::string text, SaveStore save);
    void redo() override;
    void undo() override;

  private:
    Bond before_;
    std::vector<Bond> after_;
    std::optional<std::size_t> position_;
};

// The first bond with each of the serials removed, wherever it stands; undo() puts each back in
// its place.
class RemoveBondsCommand : public BondChangeCommand {
  public:
    RemoveBondsCommand(BondDatabase& store, std::string portfolio, std::vector<std::string> serials,
                       std::string text, SaveStore save);
    void redo() override;
    void undo() override;

  private:
    std::vector<std::string> serials_;
    // The bonds removed by the last redo(), with their places then, ascending.
    std::vector<BondDatabase::PlacedBond> removed_;
};
