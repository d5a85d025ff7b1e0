#pragma once

// The open portfolio window: the portfolios by name; OK opens the selected one, the Delete or
// Backspace key deletes it after a confirmation.

#include "app/TaskWindow.h"

#include <memory>
#include <string>
#include <vector>

class PortfolioListModel;
class QKeyEvent;
class QTableView;

namespace Ui {
class LoadPortfolioView;
}

class LoadPortfolioWindow : public TaskWindow {
    Q_OBJECT

  public:
    // Lists the host's portfolios and selects the first, so that OK opens it at once.
    explicit LoadPortfolioWindow(WindowHost& host);
    ~LoadPortfolioWindow() override;

    // The names listed, in the store's order as it was when the list was last filled.
    const std::vector<std::string>& portfolios() const;
    const std::string& selectedPortfolio() const { return selectedPortfolio_; }
    QTableView* tableView() const { return tableView_; }

    // The key that erases backwards deletes the selected portfolio; every other key is dropped.
    void keyDown(int key);

  public slots:
    void rememberSelection();
    void openChosenPortfolio();
    void cancel();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int selectedRow() const;
    void deletePortfolioAtRow(int row);

    std::unique_ptr<Ui::LoadPortfolioView> ui_;
    std::string selectedPortfolio_;
    QTableView* tableView_ = nullptr;
    PortfolioListModel* model_ = nullptr;
};
