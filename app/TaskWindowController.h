#pragma once

// The common part of the application's task windows: each is a top-level window of its own,
// created anew by a command of the main window for its host, shown without modality and freed
// when it closes. A window takes its host in its constructor; the report windows are still
// given theirs afterwards and load when first shown.

#include <QPointer>
#include <QWidget>

class WindowHost;

class TaskWindowController : public QWidget {
    Q_OBJECT

  public:
    explicit TaskWindowController(QWidget* parent = nullptr);
    // A window of the host's top-level window from the start.
    explicit TaskWindowController(WindowHost& host);

    // The host, or nullptr once the host's widget is gone.
    WindowHost* parentView() const { return hostWidget_ ? parentView_ : nullptr; }
    // Also makes the host's window the window's Qt parent, so that the window is freed with it
    // at the latest and stays above it.
    virtual void setParentView(WindowHost* view);

    // Runs windowDidLoad once, then showInFront(). A controller whose windowDidLoad closed the
    // window is not shown.
    void showWindow();
    // Shows the window without modality, in front, the first time where and as large as the
    // user last left a window of its kind.
    void showInFront();
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
