#pragma once

// The common part of the application's task windows: each is a top-level window of its own,
// created anew by a command of the main view, given its host as parent view, shown without
// modality and freed when it closes.

#include <QPointer>
#include <QWidget>

class WindowHost;

class TaskWindowController : public QWidget {
    Q_OBJECT

  public:
    explicit TaskWindowController(QWidget* parent = nullptr);

    // The host, or nullptr once the host's widget is gone.
    WindowHost* parentView() const { return hostWidget_ ? parentView_ : nullptr; }
    // Also makes the host's window the window's Qt parent, so that the window is freed with it
    // at the latest and stays above it.
    virtual void setParentView(WindowHost* view);

    // Runs windowDidLoad once, then shows the window without modality. A controller whose
    // windowDidLoad closed the window is not shown.
    void showWindow();
    bool isLoaded() const { return loaded_; }

  protected:
    // The window's form is set up and its parent view known; it is not yet shown.
    virtual void windowDidLoad() {}

  private:
    void keepOnScreen();
    QString geometryKey() const;

    WindowHost* parentView_ = nullptr;
    QPointer<QWidget> hostWidget_;
    bool loaded_ = false;
    bool closedWhileLoading_ = false;
    bool shownBefore_ = false;

    bool event(QEvent* event) override;
};
