#include "app/TaskWindowController.h"

#include "app/WindowHost.h"

#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <algorithm>

TaskWindowController::TaskWindowController(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
}

TaskWindowController::TaskWindowController(WindowHost& host) : TaskWindowController() {
    TaskWindowController::setParentView(&host);
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
        showInFront();
    }
}

void TaskWindowController::showInFront() {
    if (!shownBefore_) {
        shownBefore_ = true;
        // Each kind of window opens where and as large as the user last left it.
        const QByteArray geometry = QSettings().value(geometryKey()).toByteArray();
        if (!geometry.isEmpty()) {
            restoreGeometry(geometry);
        }
    }
    show();
    keepOnScreen();
    raise();
    activateWindow();
}

void TaskWindowController::keepOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    // Moved, and shrunk if it must be, so that no part of the window lies off the screen.
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const QSize margins = frame.size() - size();
    resize(std::min(width(), area.width() - margins.width()),
           std::min(height(), area.height() - margins.height()));
    const QRect fitted = frameGeometry();
    const int x = std::clamp(fitted.x(), area.left(),
                             std::max(area.left(), area.right() + 1 - fitted.width()));
    const int y = std::clamp(fitted.y(), area.top(),
                             std::max(area.top(), area.bottom() + 1 - fitted.height()));
    if (x != fitted.x() || y != fitted.y()) {
        move(x, y);
    }
}

bool TaskWindowController::event(QEvent* event) {
    // A window that gives up while loading (the report with invalid bonds) is never shown.
    if (event->type() == QEvent::Close && !isVisible()) {
        closedWhileLoading_ = true;
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Close && event->isAccepted() && isVisible()) {
        QSettings().setValue(geometryKey(), saveGeometry());
    }
    return handled;
}

QString TaskWindowController::geometryKey() const {
    return QStringLiteral("windows/%1/geometry").arg(QLatin1String(metaObject()->className()));
}
