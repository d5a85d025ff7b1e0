#pragma once

// The common part of the application's task windows: each is a top-level window of its own,
// created anew by a command of the main window for the host given to its constructor, shown
// without modality and freed when it closes. A window sets itself up in its constructor, where
// its host is known, and does what needs its final size or screen in showEvent.

#include <QPointer>
#include <QWidget>

class WindowHost;
template <typename T> class Setting;

class TaskWindow : public QWidget {
    Q_OBJECT

  public:
    // A window of the host's top-level window, so that it stays above it and is freed with it at
    // the latest.
    explicit TaskWindow(WindowHost& host);

    // The host, or nullptr once the host's widget is gone.
    WindowHost* host() const { return hostWidget_ ? host_ : nullptr; }

    // Shows the window without modality, in front, wholly on the screen: the first time where
    // and as large as the user last left a window of its kind, or else centred on the host's
    // window, on its screen.
    void showInFront();

  protected:
    bool event(QEvent* event) override;
    // Subclasses that size themselves as they are shown do so before calling this one.
    void showEvent(QShowEvent* event) override;

  private:
    Setting<QByteArray> geometrySetting() const;

    WindowHost* host_ = nullptr;
    QPointer<QWidget> hostWidget_;
    bool shownBefore_ = false;
    bool placeOverHost_ = false;
};
