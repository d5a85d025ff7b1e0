#pragma once

// One change to the bonds of a portfolio (a bond added, changed or deleted, a bond list
// imported) kept for undo and redo: the portfolio's bonds before and after it. Undoing or
// redoing puts one of them back and writes the portfolio file, as the change itself did.

#include "platform/PlistValue.h"

#include <QUndoCommand>
#include <functional>
#include <string>

class BondDatabase;
class QUndoStack;
class WindowHost;

class BondListUndoCommand : public QUndoCommand {
  public:
    BondListUndoCommand(WindowHost& host, std::string portfolio, PlistArray before,
                        PlistArray after, const QString& text);

    void undo() override;
    void redo() override;

  private:
    void restore(const PlistArray& bonds);

    WindowHost& host_;
    std::string portfolio_;
    PlistArray before_;
    PlistArray after_;
    // The change was made before the command was pushed; its first redo has nothing to do.
    bool done_ = true;
};

// Runs `change` on the bonds of `portfolio` and, when it answers YES, records it on the host's
// undo stack under `text`. Answers what `change` answered.
bool recordBondListChange(WindowHost& host, const std::string& portfolio, const QString& text,
                          const std::function<bool()>& change);
