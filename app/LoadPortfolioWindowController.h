#pragma once

// The open portfolio window: the portfolios by name; OK opens the selected one, the Backspace
// key deletes it after a confirmation.

#include "app/TaskWindowController.h"

#include <memory>
#include <string>
#include <vector>

class PortfolioListModel;
class QKeyEvent;
class QTableView;

namespace Ui {
class LoadPortfolioView;
}

class LoadPortfolioWindowController : public TaskWindowController {
    Q_OBJECT

  public:
    explicit LoadPortfolioWindowController(QWidget* parent = nullptr);
    ~LoadPortfolioWindowController() override;

    const std::vector<std::string>& portfolios() const { return portfolios_; }
    // Replaces the names shown, in the order given, and reloads the list.
    void setPortfolios(std::vector<std::string> portfolios);
    // With a single portfolio listed, selects it, so that OK opens it at once.
    void selectOnlyPortfolio();
    const std::string& selectedPortfolio() const { return selectedPortfolio_; }
    void setSelectedPortfolio(std::string name) { selectedPortfolio_ = std::move(name); }
    QTableView* tableView() const { return tableView_; }

    // Data source of the list: every column shows the name.
    int numberOfRowsInTableView() const;
    std::string tableViewObjectValue(int row) const;

    // The key that erases backwards deletes the selected portfolio; every other key is dropped.
    void keyDown(int key);

  public slots:
    void tableViewSelectionDidChange();
    void okPressed();
    void cancelPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int selectedRow() const;
    void deletePortfolioAtRow(int row);

    std::unique_ptr<Ui::LoadPortfolioView> ui_;
    std::vector<std::string> portfolios_;
    std::string selectedPortfolio_;
    QTableView* tableView_ = nullptr;
    PortfolioListModel* model_ = nullptr;
};
