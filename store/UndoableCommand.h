#pragma once

// One user action on the store that can be taken back. redo() makes the change (also the first
// time) and undo() takes it back, each on the store itself, so that a command works the same in
// the windows' undo history, in the command line and in a test. An action on many bonds is one
// command.

#include <string>

class UndoableCommand {
  public:
    explicit UndoableCommand(std::string text) : text_(std::move(text)) {}
    virtual ~UndoableCommand() = default;
    UndoableCommand(const UndoableCommand&) = delete;
    UndoableCommand& operator=(const UndoableCommand&) = delete;

    // What Undo and Redo name the action: "Delete Bonds".
    const std::string& text() const { return text_; }

    virtual void redo() = 0;
    virtual void undo() = 0;

  private:
    std::string text_;
};
