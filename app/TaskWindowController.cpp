#include "app/TaskWindowController.h"

#include "app/MainMenuView.h"

#include <QEvent>

TaskWindowController::TaskWindowController(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void TaskWindowController::setParentView(MainMenuView* view) {
    parentView_ = view;
    if (view != nullptr) {
        setParent(view->window(), Qt::Window);
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
