#pragma once

// Deleting a portfolio as a change that can be undone: redo() deletes it (closing it when it is
// the open one) and writes the file; undo() puts it back whole, at its former place, reopens it
// when it was open, and writes the file again. When a portfolio of its name was created
// meanwhile, it comes back under a free name (see BondDatabase::freeNameLike) with a note.

#include "store/Portfolio.h"

#include <QUndoCommand>
#include <cstddef>
#include <string>

class WindowHost;

class DeletePortfolioCommand : public QUndoCommand {
  public:
    // `portfolio` is the store's portfolio as it is before the deletion.
    DeletePortfolioCommand(WindowHost& host, Portfolio portfolio, std::size_t position);
    void redo() override;
    void undo() override;

  private:
    WindowHost& host_;
    Portfolio portfolio_;
    std::size_t position_;
    bool wasOpen_ = false;
};
