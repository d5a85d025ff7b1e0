#pragma once

// The windows' undo history holds the core's commands (see store/UndoableCommand.h): each is
// wrapped for the QUndoStack as it is, its redo() and undo() its own, its text the action's name.

#include "store/UndoableCommand.h"

#include <QUndoCommand>
#include <memory>

class QUndoStack;

class UndoStackCommand : public QUndoCommand {
  public:
    explicit UndoStackCommand(std::unique_ptr<UndoableCommand> command);
    void redo() override;
    void undo() override;

  private:
    std::unique_ptr<UndoableCommand> command_;
};

// Pushes the command onto `history`, which does it; without a history it is simply done.
void pushCommand(QUndoStack* history, std::unique_ptr<UndoableCommand> command);
