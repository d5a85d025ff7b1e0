#include "app/TaskWindowController.h"

#include "app/WindowHost.h"

#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QWindow>
#include <algorithm>
#include <functional>

namespace {

// Calls `exposed` when `window` is first exposed, then goes.
class FirstExposure : public QObject {
  public:
    FirstExposure(QWindow* window, std::function<void()> exposed)
        : QObject(window), exposed_(std::move(exposed)) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // After the window has handled the exposure itself.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    exposed_();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    std::function<void()> exposed_;
};

} // namespace

TaskWindowController::TaskWindowController(WindowHost& host)
    : QWidget(nullptr, Qt::Window), host_(&host), hostWidget_(host.hostWidget()) {
    setAttribute(Qt::WA_DeleteOnClose);
    if (hostWidget_ != nullptr) {
        setParent(hostWidget_->window(), Qt::Window);
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
    // Without a window manager the frame is known now; with one, it is known once the manager
    // has framed and placed the window, which the window's first exposure tells.
    keepOnScreen();
    if (QWindow* window = windowHandle()) {
        new FirstExposure(window, [this] { keepOnScreen(); });
    }
    raise();
    activateWindow();
}

void TaskWindowController::keepOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    // Moved, and shrunk if it must be, so that no part of the window or its frame lies off the
    // screen.
    const QRect area = screen->availableGeometry();
    const QSize margins = frameGeometry().size() - size();
    const QSize fittedSize(std::min(width(), area.width() - margins.width()),
                           std::min(height(), area.height() - margins.height()));
    if (fittedSize != size()) {
        resize(fittedSize);
    }
    const QRect frame = frameGeometry();
    const int x =
        std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y =
        std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.x() || y != frame.y()) {
        move(x, y);
    }
}

bool TaskWindowController::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Close && event->isAccepted() && isVisible()) {
        QSettings().setValue(geometryKey(), saveGeometry());
    }
    return handled;
}

QString TaskWindowController::geometryKey() const {
    return QStringLiteral("windows/%1/geometry").arg(QLatin1String(metaObject()->className()));
}
