#pragma once

// Changes to the bonds of a portfolio that can be undone: a bond added, changed or deleted, a
// bond list imported. Each command does its change in redo() (also when it is pushed), writes
// the portfolio file as the change itself does, and keeps only the bonds it changed, never a copy
// of the whole list. A portfolio deleted since is not brought back: the command then does nothing.

#include "store/Bond.h"

#include <QUndoCommand>
#include <optional>
#include <string>
#include <vector>

class BondDatabase;
class WindowHost;

class BondChangeCommand : public QUndoCommand {
  protected:
    BondChangeCommand(WindowHost& host, std::string portfolio, const QString& text);
    // The store while the portfolio exists.
    BondDatabase* store() const;
    // Writes the file.
    void finish();

    WindowHost& host_;
    std::string portfolio_;
};

// Bonds added at the end of the list.
class AddBondsCommand : public BondChangeCommand {
  public:
    AddBondsCommand(WindowHost& host, std::string portfolio, std::vector<Bond> bonds,
                    const QString& text);
    void redo() override;
    void undo() override;

  private:
    std::vector<Bond> bonds_;
};

// The first bond with `before`'s serial becomes `after`, in its place.
class ChangeBondCommand : public BondChangeCommand {
  public:
    ChangeBondCommand(WindowHost& host, std::string portfolio, Bond before, Bond after,
                      const QString& text);
    void redo() override;
    void undo() override;

  private:
    Bond before_;
    Bond after_;
    // Where the bond stood before the change, to put it back there.
    std::size_t position_ = 0;
};

// The first bond with the serial removed.
class RemoveBondCommand : public BondChangeCommand {
  public:
    RemoveBondCommand(WindowHost& host, std::string portfolio, Bond bond, const QString& text);
    void redo() override;
    void undo() override;

  private:
    Bond bond_;
    std::size_t position_ = 0;
};
