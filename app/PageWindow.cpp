#include "app/PageWindow.h"

#include "app/WindowPlacement.h"

#include <QUrl>

PageWindow::PageWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setOpenExternalLinks(true);
    setOpenLinks(true);
    resize(760, 640);
    // The window is titled by the page it shows.
    connect(this, &QTextBrowser::sourceChanged, this, [this] {
        setWindowTitle(documentTitle().isEmpty() ? QStringLiteral("Orvelt") : documentTitle());
    });
}

void PageWindow::showPage(const QUrl& address) {
    setSource(address);
    // The first time, centred on the main window, wholly on its screen.
    if (!isVisible() && parentWidget() != nullptr) {
        placeCentredOn(*this, *parentWidget()->window());
    }
    show();
    keepOnScreenOnceFramed(*this);
    raise();
    activateWindow();
}
