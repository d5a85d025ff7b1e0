#include "app/WindowPlacement.h"

#include <QEvent>
#include <QMetaObject>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>

QRect frameWithin(QRect frame, const QRect& area) {
    frame.setSize(frame.size().boundedTo(area.size()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

QRect frameCentredWithin(const QSize& size, const QRect& over, const QRect& area) {
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(over.center());
    return frameWithin(frame, area);
}

namespace {

// What the window manager's frame adds around `window`; none before it is framed.
QMargins frameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

} // namespace

void placeCentredOn(QWidget& window, const QWidget& over) {
    QScreen* screen = over.screen();
    if (!over.isVisible() || screen == nullptr) {
        return;
    }
    const QMargins margins = frameMargins(over);
    const QSize marginsSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    window.setScreen(screen);
    const QRect frame = frameCentredWithin(window.size() + marginsSize, over.frameGeometry(),
                                           screen->availableGeometry());
    window.resize(frame.size() - marginsSize);
    window.move(frame.topLeft());
}

void keepOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window.frameGeometry();
    const QRect fitted = frameWithin(frame, screen->availableGeometry());
    if (fitted.size() != frame.size()) {
        window.resize(window.size() - (frame.size() - fitted.size()));
    }
    if (fitted.topLeft() != frame.topLeft()) {
        window.move(fitted.topLeft());
    }
}

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

void keepOnScreenOnceFramed(QWidget& window) {
    // Without a window manager the frame is known now; with one, once it has framed the window.
    keepOnScreen(window);
    if (QWindow* handle = window.windowHandle()) {
        new FirstExposure(handle, [&window] { keepOnScreen(window); });
    }
}
