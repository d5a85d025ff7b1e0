#pragma once

// The value report's window: a table over the report's snapshot, one column per report column,
// titles in a header that stays while the rows scroll, the owner's summary below, and commands
// to show or hide the owner's columns, copy the selected rows, export to CSV or PDF and print
// (all three in the columns and the row order shown). Clicking a column's title sorts the bond
// rows by it (again: the other way); the report opens in issue-date order. The window opens as
// wide as its columns need, within the screen, and its status line says what Export and Print
// did until the report's figures change. Both show their progress, page by page, and can be
// cancelled. The window stays with the portfolio open when it was opened. Bonds with an invalid
// issue date are listed with the reason and counted in no total; when the window opens with
// such bonds, one alert names them all (from the event loop), once.

#include "app/TaskWindow.h"
#include "valuation/ReportDocument.h"
#include "valuation/ValueReport.h"
#include "valuation/ui/ReportPages.h"

#include <memory>

class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QTableView;
class ReportTableModel;

namespace Ui {
class ReportWindow;
}

class ReportWindow : public TaskWindow {
    Q_OBJECT

  public:
    // Pins the report to the host's open portfolio, whose bonds are put in date order, and
    // reads the session's snapshot of it.
    explicit ReportWindow(WindowHost& host);
    ~ReportWindow() override;

    // Shows the window in front; the first time, when bonds of the report have an invalid issue
    // date, also names them all in one alert (from the event loop), after which the window is
    // in front again.
    void open();

    const ValueReport& report() const { return report_; }
    QTableView* tableView() const { return tableView_; }
    // The line below the table that counts the bonds the value table has no value for; hidden
    // when there are none.
    QLabel* missingValuesLabel() const;
    // The owner's summary below the table.
    QLabel* summaryLabel() const;
    // What to do, at a glance, below the summary; hidden when nothing applies.
    QLabel* actionsLabel() const;
    // The line beside the buttons that says what Export and Print last did.
    QLabel* statusLabel() const;
    QPushButton* exportButton() const;
    QPushButton* printButton() const;
    // One checkable action per column of the owner's figures; unchecked hides the column.
    QMenu* columnsMenu() const { return columnsMenu_; }

    // The selected rows as tab-separated text under the titles of the columns shown, as
    // Ctrl+C copies them.
    QString selectedRowsText() const;
    void copySelectedRows() const;

    // Asks the table for every cell again (the snapshot stays as it is).
    void reloadData();

  public slots:
    // Asks where to save, then writes the report as CSV (a name ending ".csv") or as PDF.
    void exportReport();
    // Print… and Ctrl+P.
    void printReport();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // The session's figures of the portfolio changed: the report shows them.
    void followSession();
    void updateLabels();
    // Each column as wide as its title and cells; `onlyWiden` keeps widths the user chose.
    void fitColumns(bool onlyWiden);
    // The window at least as wide as its shown columns, within the screen's available width.
    void fitWidthToColumns();
    void colourWarnings();
    void showStatus(const QString& text);
    void updateDateLabel();
    void updateMissingValuesLabel();
    void updateSummaryLabel();
    void updateActionsLabel();
    void setUpColumnsMenu();
    void showColumn(std::size_t position, bool shown);
    // The columns shown, for export and print as for Copy.
    ReportColumnPositions shownColumns() const;
    // The snapshot with its bond rows in the order shown, for export and print.
    ReportSnapshot shownSnapshot() const;
    // What the printed page says around the table of `shown`.
    ReportPageTexts pageTexts(const ReportSnapshot& shown) const;
    // Writes the PDF page by page under a progress dialog whose Cancel stops it.
    PaintOutcome writePdf(const std::string& path, std::string* error);
    // Prints the pages of the report, or writes them whole when the printer prints to a file.
    PaintOutcome printTo(QPrinter& printer, std::string* error);

    std::unique_ptr<Ui::ReportWindow> ui_;
    ValueReport report_;
    bool invalidBondsNamed_ = false;
    bool fittedToColumns_ = false;
    QTableView* tableView_ = nullptr;
    ReportTableModel* model_ = nullptr;
    QMenu* columnsMenu_ = nullptr;
};
