// Deleting many bonds from the main window, as a user does: 100,000 of a portfolio's 120,000
// bonds selected in the list and deleted (one command, one save), then the deletion undone, each
// until the window shows the result. Prints each measure beside its target; exits 1 when a target
// is missed.
//
//   mass_delete_bench [SELECTED [KEPT]]
//
// Targets: the deletion under a second plus its one save, and its undo likewise. The save is timed
// apart, by saving the same portfolios once more right after, since it depends on the disk more
// than on Orvelt. Each is timed by the clock and by the processor time the process used, which a
// machine busy with other work does not stretch; the target holds for the latter.

#include "app/BondListPanel.h"
#include "app/MainMenuView.h"
#include "app/MainWindow.h"
#include "platform/ApplicationIdentity.h"
#include "platform/SilentToolkitServices.h"
#include "platform/ui/WindowServices.h"
#include "store/BondDatabase.h"
#include "valuation/Session.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTableView>
#include <QUndoStack>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

constexpr double kTargetSeconds = 1.0;
constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// The user who chooses Delete when "Delete Bonds" asks (Cancel is its default button), and is
// asked nothing else.
class DeletingServices : public SilentServices<WindowServices> {
  public:
    bool confirmDestruction(const std::string& title, const std::string&, const std::string&,
                            const std::string&) override {
        return title == "Delete Bonds";
    }
};

struct Timing {
    double clock = 0.0;
    double processor = 0.0;
};

double processorSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Timing timeOf(const std::function<void()>& action) {
    const double processorStart = processorSeconds();
    const auto start = std::chrono::steady_clock::now();
    action();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            processorSeconds() - processorStart};
}

void writePortfolio(const std::filesystem::path& data, int bonds) {
    Session session(ResourceLocations({}, data));
    session.open(Session::Access::Write);
    session.store().createPortfolio("Bench");
    std::vector<Bond> list;
    list.reserve(static_cast<std::size_t>(bonds));
    for (int i = 0; i < bonds; ++i) {
        list.emplace_back("C" + std::to_string(1000000 + i), i % 2 == 0 ? "EE" : "I", "100",
                          std::to_string(2001 + i % 20), kMonths[i % 12]);
    }
    session.store().appendBonds("Bench", std::move(list));
    session.save();
}

// Runs `action` and then the event loop until the windows have followed it.
Timing untilShown(const std::function<void()>& action) {
    return timeOf([&action] {
        action();
        QApplication::processEvents();
    });
}

bool report(const char* what, const Timing& whole, const Timing& save) {
    const double without = whole.processor - save.processor;
    const bool met = without <= kTargetSeconds;
    std::printf("  %-9s processor %.3f s, of which its one save %.3f s: %.3f s without it "
                "(target < %.1f) %s\n"
                "            clock %.3f s, of which its one save %.3f s\n",
                what, whole.processor, save.processor, without, kTargetSeconds,
                met ? "ok" : "MISSED", whole.clock, save.clock);
    return met;
}

} // namespace

int main(int argc, char** argv) {
    const int selected = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int kept = argc > 2 ? std::atoi(argv[2]) : 20000;
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("orvelt-delete-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    setApplicationIdentity();
    writePortfolio(home / "data", selected + kept);

    DeletingServices services;
    Session session(ResourceLocations({}, home / "data"));
    session.open(Session::Access::Write);
    MainWindow window(services, session);
    window.view()->start();
    session.setOpenPortfolio("Bench");
    window.show();
    QApplication::processEvents();

    QTableView* list = window.bondList()->tableView();
    list->selectionModel()->select(
        QItemSelection(list->model()->index(0, 0), list->model()->index(selected - 1, 0)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QUndoStack* history = window.view()->controller().undoStack();

    std::printf("Deleting %d selected bonds of %d from the main window's list\n", selected,
                selected + kept);
    const Timing deleted = untilShown([&window] { window.view()->deleteSelectedBonds(); });
    const bool oneCommand = history->count() == 1;
    const bool gone = list->model()->rowCount() == kept;
    const Timing saveAfterDelete = timeOf([&session] { session.save(); });
    const Timing undone = untilShown([history] { history->undo(); });
    const bool back = list->model()->rowCount() == selected + kept;
    const Timing saveAfterUndo = timeOf([&session] { session.save(); });

    bool met = report("deletion", deleted, saveAfterDelete);
    met = report("undo", undone, saveAfterUndo) && met;
    std::printf("  one command: %s; rows shown after the deletion %s, after the undo %s\n",
                oneCommand ? "yes" : "NO", gone ? "right" : "WRONG", back ? "right" : "WRONG");
    std::filesystem::remove_all(home);
    return met && oneCommand && gone && back ? 0 : 1;
}
