#pragma once

// The value report's window: a table over the report controller, one column per report
// column identifier, with no selectable rows. Alerts the controller asks for are shown from
// the event loop, never from inside the table's cell requests.

#include "platform/ui/TaskWindowController.h"
#include "valuation/ReportWindowController.h"

#include <memory>

class QLabel;
class QTableView;
class ReportTableModel;
class ResourceLocations;
class ToolkitServices;

namespace Ui {
class ReportWindow;
}

class ReportWindow : public TaskWindowController {
    Q_OBJECT

  public:
    ReportWindow(const ResourceLocations& resources, ToolkitServices& services,
                 QWidget* parent = nullptr);
    ~ReportWindow() override;

    ReportWindowController& controller() { return controller_; }
    QTableView* tableView() const { return tableView_; }
    // The line below the table that counts the bonds the value table has no value for; hidden
    // when there are none.
    QLabel* missingValuesLabel() const;

    // Also hands the controller its parent, which puts the portfolio's bonds in date order.
    void setParentView(WindowHost* view) override;

    // Asks for every cell again, with the redemption date the parent holds now.
    void reloadData();

  protected:
    void windowDidLoad() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void sizeColumns();
    void updateDateLabel();
    void updateMissingValuesLabel();

    std::unique_ptr<Ui::ReportWindow> ui_;
    ReportWindowController controller_;
    QTableView* tableView_ = nullptr;
    ReportTableModel* model_ = nullptr;
};
