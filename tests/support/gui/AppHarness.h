#pragma once

// A started application for window tests: a session opened on a portfolio file in a temporary
// folder (holding its lock, as the application does), a real main window over it, the scripted
// toolkit services, and a clock set to a known date. The shipped resources are those of the
// build tree.

#include "app/MainMenuView.h"
#include "app/MainWindow.h"
#include "platform/PlistValue.h"
#include "store/YearMonth.h"
#include "support/PortfolioFileFixture.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "valuation/Session.h"

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BondDatabase;
class QAbstractButton;

// "2009-06" for a redemption month; "none" without one.
inline std::string monthKey(const std::optional<YearMonth>& month) {
    return month ? month->keyText() : "none";
}

class AppHarness {
  public:
    explicit AppHarness(std::initializer_list<TestPortfolio> portfolios = {},
                        std::string dateText = "2009-06-15 10:03:07 +0000");
    explicit AppHarness(const std::vector<TestPortfolio>& portfolios,
                        std::string dateText = "2009-06-15 10:03:07 +0000");
    ~AppHarness();

    MainWindow& window() { return *window_; }
    MainMenuView& view() { return *window_->view(); }
    Session& session() { return *session_; }
    BondDatabase& database();
    ScriptedToolkitServices services;

    const std::filesystem::path& userDir() const { return userDir_; }
    std::filesystem::path portfolioFile() const { return userDir_ / "portfolios.plist"; }
    // The portfolio names the file on disk holds now.
    std::vector<std::string> portfolioNamesOnDisk() const;
    // Puts a value table of the test's own in the user's folder, where it takes precedence
    // over the shipped one.
    void useValueTable(const PlistDictRef& table) const;

    // The visible top-level windows of a kind, oldest first.
    template <typename Window> std::vector<Window*> openWindows() const {
        std::vector<Window*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
                found.push_back(window);
            }
        }
        return found;
    }

    std::string title() const { return window_->windowTitle().toStdString(); }

    // Closes the main window from the running event loop, as the user does; the loop can run
    // only once in a program. `status` is the loop's exit status, 99 when it did not end
    // within 10 seconds.
    struct QuitOutcome {
        bool closed = false;
        int status = 0;
    };
    QuitOutcome quitFromEventLoop();

  private:
    TempDir dir_;
    std::filesystem::path userDir_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<MainWindow> window_;
};

// Runs queued calls and frees the windows that closed.
void settle();

// Sends a key press and its release to a widget, as the keyboard would.
void pressKey(QWidget* widget, int key);
