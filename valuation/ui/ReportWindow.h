#pragma once

// The value report's window: a table over the report controller, one column per report column,
// titles in a header that stays while the rows scroll, the owner's summary below, and commands
// to show or hide the owner's columns, copy the selected rows, export to CSV or PDF and print.
// Alerts the controller asks for are shown from the event loop, never from inside the table's
// cell requests.

#include "app/TaskWindowController.h"
#include "valuation/ReportWindowController.h"

#include <memory>

class QLabel;
class QMenu;
class QPushButton;
class QTextDocument;
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
    // The owner's summary below the table.
    QLabel* summaryLabel() const;
    QPushButton* exportButton() const;
    QPushButton* printButton() const;
    // One checkable action per column of the owner's figures; unchecked hides the column.
    QMenu* columnsMenu() const { return columnsMenu_; }

    // The selected rows as tab-separated text under the titles of the columns shown, as
    // Ctrl+C copies them.
    QString selectedRowsText() const;
    void copySelectedRows() const;

    // Also hands the controller its parent, which puts the portfolio's bonds in date order.
    void setParentView(WindowHost* view) override;

    // Asks for every cell again, with the redemption date the parent holds now.
    void reloadData();

  public slots:
    // Asks where to save, then writes the report as CSV (a name ending ".csv") or as PDF.
    void exportPressed();
    void printPressed();

  protected:
    void windowDidLoad() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void sizeColumns();
    void updateDateLabel();
    void updateMissingValuesLabel();
    void updateSummaryLabel();
    void setUpColumnsMenu();
    void showColumn(std::size_t position, bool shown);
    // The report as a page to print or save as PDF.
    std::unique_ptr<QTextDocument> reportDocument() const;
    bool writePdf(const std::string& path, std::string* error) const;

    std::unique_ptr<Ui::ReportWindow> ui_;
    ReportWindowController controller_;
    QTableView* tableView_ = nullptr;
    ReportTableModel* model_ = nullptr;
    QMenu* columnsMenu_ = nullptr;
};
