// Orvelt: keeps portfolios of United States savings bonds and shows what they are worth.

#include "app/MainMenuView.h"
#include "app/MainWindow.h"
#include "platform/ApplicationIdentity.h"
#include "platform/DataFolderLock.h"
#include "platform/ResourceLocations.h"
#include "platform/ui/QtToolkitServices.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display, Qt would stop with a message about platform plugins that tells a user
// little.
bool hasDisplay() {
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fputs("orvelt: no graphical display was found (neither DISPLAY nor WAYLAND_DISPLAY "
                   "is set).\nOrvelt is a desktop application: start it from a desktop session, "
                   "or on a machine without\na screen start a virtual one first, for example:\n"
                   "    Xvfb :99 &  DISPLAY=:99 orvelt\n",
                   stderr);
        return 2;
    }

    QApplication application(argc, argv);
    // Before any path is asked for: the user's data folder is named after the application.
    setApplicationIdentity();
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVELT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvelt"));

    QtToolkitServices services;
    const ResourceLocations resources = ResourceLocations::forApplication();
    application.setWindowIcon(
        QIcon(QString::fromStdString((resources.shippedDir() / "orvelt.png").string())));

    // Held for as long as the application runs: a second Orvelt, or a command-line tool writing
    // the same data, would otherwise overwrite this one's portfolios or be overwritten by them.
    std::optional<DataFolderLock> lock = DataFolderLock::tryAcquire(resources.userDataDir());
    if (!lock) {
        services.showErrorAlert(
            "Error", "Orvelt cannot start because your bond data is in use: Orvelt is already "
                     "running, or another program is changing its data.\n\nData folder: " +
                         resources.userDataDir().string());
        return 1;
    }

    MainWindow window(services, resources);
    window.view()->applicationDidFinishLaunching();
    window.show();
    QTimer::singleShot(0, window.view(), &MainMenuView::showStartupNotice);
    return application.exec();
}
