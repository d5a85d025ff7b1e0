// Start-up time to the main window with the shipped value table: what the application does from
// the start of main() until its main window is shown with the last portfolio reopened (its
// summary valued from the table), on Qt's offscreen platform, in a fresh process. Exits 1 when
// the target is missed.
//
//   startup_bench [SHIPPED-RESOURCES-DIR]
//
// The user's folder and settings are a temporary folder's: the real user's are never touched.
// The time the dynamic loader spends before main() is not included.

#include "app/MainMenuView.h"
#include "app/MainWindow.h"
#include "platform/ApplicationIdentity.h"
#include "platform/ResourceLocations.h"
#include "platform/SilentToolkitServices.h"
#include "platform/ui/WindowServices.h"
#include "store/BondDatabase.h"

#include <QApplication>
#include <QSettings>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using SilentWindowServices = SilentServices<WindowServices>;

constexpr double kTargetSeconds = 0.2;

// A portfolio of a few bonds of every series, the one the application reopens.
void writePortfolio(const std::filesystem::path& userDir) {
    std::filesystem::create_directories(userDir);
    auto database = BondDatabase::open(userDir / "portfolios.plist");
    database->createPortfolio("Bench");
    database->addBond("Bench", Bond("C100", "EE", "100", "1999", "November"));
    database->addBond("Bench", Bond("C101", "I", "50", "2022", "May"));
    database->addBond("Bench", Bond("C102", "E", "25", "1960", "June"));
    database->save();
}

} // namespace

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path shipped =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(ORVELT_BINARY_DIR) / "resources";
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("orvelt-startup-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    writePortfolio(home / "data");
    const auto prepared = std::chrono::steady_clock::now();

    QApplication application(argc, argv);
    setApplicationIdentity();
    QSettings().setValue("lastPortfolio", "Bench");
    SilentWindowServices services;
    const ResourceLocations resources(shipped, home / "data");
    MainWindow window(services, resources);
    window.view()->start();
    window.restoreSettings();
    window.view()->controller().reopenLastPortfolio();
    window.show();
    QApplication::processEvents();
    const auto shown = std::chrono::steady_clock::now();

    const double seconds =
        std::chrono::duration<double>(shown - start - (prepared - start)).count();
    const bool met = seconds <= kTargetSeconds;
    const std::optional<YearMonth> month = window.view()->controller().redemptionMonth();
    std::printf("Start-up to the main window (offscreen, portfolio reopened, redemption %s)\n"
                "  %.3f s (target < %.2f) %s\n",
                month ? month->keyText().c_str() : "none", seconds, kTargetSeconds,
                met ? "ok" : "MISSED");
    std::filesystem::remove_all(home);
    return met ? 0 : 1;
}
