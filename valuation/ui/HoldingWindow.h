#pragma once

// The common part of the Tax Year and Estate windows: the choices a subclass puts at the top, the
// table of bonds with its totals, the notes below it, and Export… (PDF or CSV) and Print…, which
// write what the window shows through the report's export paths. The window follows the
// session: bonds changed, values read anew, another portfolio opened.

#include "app/TaskWindow.h"
#include "valuation/TableText.h"

#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableWidget;

class HoldingWindow : public TaskWindow {
    Q_OBJECT

  public:
    QTableWidget* table() const { return table_; }
    QLabel* notesLabel() const { return notes_; }
    QPushButton* exportButton() const { return exportButton_; }
    QPushButton* printButton() const { return printButton_; }

    // What the window shows, as its subclass computed it.
    struct Shown {
        std::string title;   // "Tax Year 2025 - Family"
        std::string caption; // the year or month and method
        std::vector<TextRow> table;
        std::function<bool(std::size_t)> isAmount;
        std::vector<std::string> notes;
        std::string fileName; // without its extension
    };

    void exportReport();
    void printReport();

  protected:
    explicit HoldingWindow(WindowHost& host);

    // Where a subclass puts its choices.
    QHBoxLayout* choices() const { return choices_; }
    // Computes what to show from the session, now.
    virtual Shown compute() = 0;
    // Shows compute()'s answer; a subclass calls it when a choice changed.
    void refresh();

  private:
    void showStatus(const QString& text);
    std::string csvOfShown() const;

    QHBoxLayout* choices_ = nullptr;
    QLabel* caption_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    Shown shown_;
};
