#include "entry/ui/BondListUndoCommand.h"

#include <QUndoStack>

UndoStackCommand::UndoStackCommand(std::unique_ptr<UndoableCommand> command)
    : QUndoCommand(QString::fromStdString(command->text())), command_(std::move(command)) {}

void UndoStackCommand::redo() {
    command_->redo();
}

void UndoStackCommand::undo() {
    command_->undo();
}

void pushCommand(QUndoStack* history, std::unique_ptr<UndoableCommand> command) {
    if (history != nullptr) {
        history->push(new UndoStackCommand(std::move(command)));
        return;
    }
    command->redo();
}
