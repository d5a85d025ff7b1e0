#include "platform/ui/TaskWindowController.h"

#include "platform/ui/WindowHost.h"

#include <QEvent>

TaskWindowController::TaskWindowController(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void TaskWindowController::setParentView(WindowHost* view) {
    parentView_ = view;
    hostWidget_ = view != nullptr ? view->hostWidget() : nullptr;
    if (hostWidget_ != nullptr) {
        setParent(hostWidget_->window(), Qt::Window);
    }
}

void TaskWindowController::showWindow() {
    if (!loaded_) {
        loaded_ = true;
        windowDidLoad();
    }
    if (!closedWhileLoading_) {
        show();
        raise();
        activateWindow();
    }
}

bool TaskWindowController::event(QEvent* event) {
    // A window that gives up while loading (the report with invalid bonds) is never shown.
    if (event->type() == QEvent::Close && !isVisible()) {
        closedWhileLoading_ = true;
    }
    return QWidget::event(event);
}
