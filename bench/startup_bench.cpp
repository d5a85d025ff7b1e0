// Start-up time to the main window with the shipped value table: what the application does from
// the start of main() until its main window is shown with the last portfolio of 1,000 bonds
// reopened (its list and summary valued from the table), on Qt's offscreen platform, in a fresh
// process. Exits 1 when the target is missed.
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
#include <vector>

namespace {

using SilentWindowServices = SilentServices<WindowServices>;

constexpr double kTargetSeconds = 0.2;

constexpr int kBondCount = 1000;

// A portfolio of 1,000 bonds of every series and many issue months, the one the application
// reopens.
void writePortfolio(const std::filesystem::path& userDir) {
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    std::filesystem::create_directories(userDir);
    auto database = BondDatabase::open(userDir / "portfolios.plist");
    database->createPortfolio("Bench");
    std::vector<Bond> bonds;
    for (int i = 0; i < kBondCount; ++i) {
        // E of 1950 - 1979, EE of 1980 - 2011, I of 1999 - 2024.
        const int series = i % 3;
        const char* type = series == 0 ? "E" : series == 1 ? "EE" : "I";
        const int year = series == 0 ? 1950 + i % 30 : series == 1 ? 1980 + i % 32 : 1999 + i % 26;
        bonds.emplace_back("C" + std::to_string(100000 + i), type, "100", std::to_string(year),
                           kMonths[i % 12]);
    }
    database->appendBonds("Bench", std::move(bonds));
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
    Session session(ResourceLocations(shipped, home / "data"));
    session.open(Session::Access::Write);
    MainWindow window(services, session);
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
