#pragma once

// A bond editing window as the application opens it: a real main view over temporary folders,
// started, with the portfolio "Family" created and open, and scripted alerts.

#include "app/MainMenuView.h"
#include "entry/ui/BondEditingWindow.h"
#include "platform/PlistValue.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"
#include "valuation/Session.h"

#include <QPointer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QComboBox;

struct EntryBond {
    std::string serial, type, faceValue, issueYear, issueMonth;
    bool operator==(const EntryBond&) const = default;
};
void PrintTo(const EntryBond& bond, std::ostream* out);

class BondEntryFixture : public ::testing::Test {
  protected:
    static constexpr const char* kPortfolio = "Family";

    BondEntryFixture();
    ~BondEntryFixture() override;

    // The shipped resources are the project's own; `shippedDir` overrides them.
    void startApplication(std::filesystem::path shippedDir = {});
    // Ends the application and starts it again over the same folders, as the next run would.
    void restartApplication();
    // Opens a bond editing window as the main view's edit command does.
    BondEditingWindow* openWindow();

    BondDatabase& database() const;
    void addBond(const EntryBond& bond);
    // The open portfolio's bonds in list order.
    std::vector<EntryBond> bondsInMemory() const;
    // The portfolio's bonds as the portfolio file on disk holds them; empty when it lacks it.
    std::vector<EntryBond> bondsOnDisk() const;
    bool portfolioOnDisk() const;
    std::filesystem::path portfolioFile() const;
    std::filesystem::path presetFile() const;

    // The table's rows as the user sees them, one text per column.
    static std::vector<std::vector<std::string>> tableRows(BondEditingWindow& window);
    static std::vector<std::string> boxEntries(const QComboBox* box);
    static std::string boxText(const QComboBox* box);
    // Selects a row by clicking it; double-clicks it.
    static void clickRow(BondEditingWindow& window, int row);
    static void doubleClickRow(BondEditingWindow& window, int row);
    // Sets the fields as a user would.
    static void enter(BondEditingWindow& window, const std::string& serial, const std::string& type,
                      const std::string& faceValueShown, const std::string& issueMonth,
                      const std::string& issueYear);
    static void chooseText(QComboBox* box, const std::string& text);

    TempDir temp;
    std::filesystem::path shippedInUse;
    std::filesystem::path dataDir;
    ScriptedToolkitServices services;
    std::unique_ptr<Session> session;
    std::unique_ptr<MainMenuView> mainView;
};
