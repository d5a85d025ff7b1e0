#pragma once

// A page shipped with the application (the help, the web site) shown in a window of its own, for
// when no web browser can be started: its links within the shipped pages are followed there, and
// links elsewhere go to the browser as before.

#include <QTextBrowser>

class QUrl;

class PageWindow : public QTextBrowser {
    Q_OBJECT

  public:
    explicit PageWindow(QWidget* parent = nullptr);

    // Shows the page at a local address (anchor included) and brings the window to the front.
    void showPage(const QUrl& address);
};
