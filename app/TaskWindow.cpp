#include "app/TaskWindow.h"

#include "app/WindowHost.h"
#include "app/WindowPlacement.h"
#include "platform/Settings.h"

#include <QEvent>

TaskWindow::TaskWindow(WindowHost& host)
    : QWidget(nullptr, Qt::Window), host_(&host), hostWidget_(host.hostWidget()) {
    setAttribute(Qt::WA_DeleteOnClose);
    if (hostWidget_ != nullptr) {
        setParent(hostWidget_->window(), Qt::Window);
    }
}

void TaskWindow::showInFront() {
    if (!shownBefore_) {
        shownBefore_ = true;
        // Each kind of window opens where and as large as the user last left it.
        const QByteArray geometry = geometrySetting().value();
        placeOverHost_ = geometry.isEmpty() || !restoreGeometry(geometry);
    }
    show();
    keepOnScreenOnceFramed(*this);
    raise();
    activateWindow();
}

void TaskWindow::showEvent(QShowEvent* event) {
    // Here the window has its first size and is not on the screen yet: it opens in place.
    if (placeOverHost_ && hostWidget_ != nullptr) {
        placeOverHost_ = false;
        placeCentredOn(*this, *hostWidget_->window());
    }
    QWidget::showEvent(event);
}

bool TaskWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Close && event->isAccepted() && isVisible()) {
        geometrySetting().setValue(saveGeometry());
    }
    return handled;
}

Setting<QByteArray> TaskWindow::geometrySetting() const {
    return Settings::windowGeometry(metaObject()->className());
}
