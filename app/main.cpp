// Orvelt: keeps portfolios of United States savings bonds and shows what they are worth.

#include "app/MainMenuView.h"
#include "app/MainWindow.h"
#include "app/StartupLock.h"
#include "platform/ApplicationIdentity.h"
#include "platform/DataFolderMove.h"
#include "platform/ResourceLocations.h"
#include "platform/ui/QtToolkitServices.h"
#include "valuation/Session.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void setIdentity() {
    setApplicationIdentity();
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVELT_VERSION));
}

// --help and --version; the application itself takes no arguments. Prints and exits the process
// for those two and for a bad command line.
void processCommandLine(const QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keeps portfolios of United States savings bonds and shows what they are "
                       "worth.\nThe command-line companion is orvelt-cli; see orvelt(1)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(application);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "orvelt: takes no arguments (see orvelt --help)\n");
        std::exit(2);
    }
}

bool asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Answered without a display: a QApplication could not start without one.
    if (asksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        setIdentity();
        processCommandLine(core);
    }
    if (!hasDisplay()) {
        std::fputs("orvelt: no graphical display was found (neither DISPLAY nor WAYLAND_DISPLAY "
                   "is set).\nOrvelt is a desktop application: start it from a desktop session, "
                   "or on a machine without\na screen start a virtual one first, for example:\n"
                   "    Xvfb :99 &  DISPLAY=:99 orvelt\n",
                   stderr);
        return 2;
    }

    QApplication application(argc, argv);
    setIdentity();
    // What is left once Qt has taken its own options (-platform, -style...).
    processCommandLine(application);
    QGuiApplication::setDesktopFileName(QStringLiteral("orvelt"));

    QtToolkitServices services;
    const DataFolderMove move = moveOldApplicationDataFolder();
    if (move.stopsStart()) {
        // Started on the new folder, it would show no portfolios and its saves would be lost.
        services.showErrorAlert("Data Folder", move.notice);
        return 1;
    }
    const ResourceLocations resources = ResourceLocations::forApplication();
    application.setWindowIcon(
        QIcon(QString::fromStdString((resources.shippedDir() / "orvelt.png").string())));

    // The session holds the data folder's lock for as long as the application runs: a second
    // Orvelt, or a command-line tool writing the same data, would otherwise overwrite this one's
    // portfolios or be overwritten by them.
    Session session(resources);
    if (!openSessionForApplication(session, services)) {
        return 1;
    }

    if (!move.notice.empty()) {
        services.showErrorAlert("Data Folder", move.notice);
    }

    MainWindow window(services, session);
    window.view()->start();
    window.restoreSettings();
    window.view()->controller().reopenLastPortfolio();
    window.show();
    QTimer::singleShot(0, &window.view()->controller(), &ApplicationController::showStartupNotice);
    return application.exec();
}
