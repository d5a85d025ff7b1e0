#pragma once

// The bond editing window: the bonds of one portfolio in a table, and the form in which a bond
// is entered or, after a double-click on its row, changed. The form, the table's model and the
// editing itself are parts of their own; the window lays them out, follows the keyboard and the
// table's selection, and asks before it closes over an unsaved entry.

#include "app/TaskWindow.h"
#include "entry/ui/BondEditingSession.h"
#include "entry/ui/BondEntryForm.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BondDatabase;
class BondTableModel;
class QCloseEvent;
class QKeyEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace Ui {
class BondEditingWindow;
}

class BondEditingWindow : public TaskWindow {
    Q_OBJECT

  public:
    // Sets up the window for the host's open portfolio, which the window keeps whatever is
    // opened later; the fields show the entry preset.
    explicit BondEditingWindow(WindowHost& host);
    ~BondEditingWindow() override;

    BondEntryForm& form() const { return *form_; }
    BondEditingSession& session() const { return *session_; }

    // The form's fields.
    QLineEdit* serialField() const { return form_->serialField(); }
    QComboBox* typeField() const { return form_->typeField(); }
    QComboBox* faceValueField() const { return form_->faceValueField(); }
    QComboBox* issueYearField() const { return form_->issueYearField(); }
    QComboBox* issueMonthField() const { return form_->issueMonthField(); }
    QTableView* bondTable() const { return bondTable_; }

    // The choice lists.
    const std::vector<std::string>& faceValues() const { return form_->lists().faceValues(); }
    const std::string& selectedType() const { return form_->selectedType(); }
    // The issue years offered for a series ("E"); empty when the resource has none.
    std::vector<std::string> yearsForType(const std::string& type) const {
        return form_->lists().yearsForType(type);
    }
    // The entry preset as read at creation or saved since (none without a preset file).
    const EntryPreset& preset() const { return session_->preset(); }

    // The portfolio the window belongs to: the one open when it was opened.
    const std::string& portfolio() const { return session_->portfolio(); }
    bool editing() const { return session_->editing(); }
    const std::string& editingSerial() const { return session_->editingSerial(); }

    bool hasUnsavedEntry() const { return session_->hasUnsavedEntry(); }
    // Takes the bond with `serial` into the fields for a change, its row selected, as a
    // double-click on the row does; an entry typed and not saved stays, and so does the window.
    void editBond(const std::string& serial);
    // Asks whether to keep what was typed but not saved (save it, discard it, or stay open);
    // true when the window may close.
    bool windowShouldClose() { return session_->mayClose(); }
    // Closes without asking, for a window whose portfolio is gone.
    void closeWithoutAsking();

    // The selected row of the table, -1 when none.
    int selectedRow() const;
    void reloadTable();

  public slots:
    void editSelectedBond();
    void saveEntry();
    void saveEntryAsPreset() { session_->savePreset(); }
    // Back to the preset, the cursor in Serial for the next bond.
    void clearEntry();
    void deleteSelectedBond();
    void saveAndClose();
    // Escape: clears an entry in progress; with nothing to clear, closes the window.
    void dropEntryOrClose();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setUpTable(const std::string& portfolio);
    void addWarningLabel();
    void connectCommands();
    void updateModeLabel();
    void updateWarningLabel();
    void dropSelection();
    // Keeps the serial of the selected bond, so that a reload selects the same bond again.
    void rememberSelectedBond();
    // Whether `event`, a key about to reach `watched`, is Undo or Redo that the field there has
    // nothing to do with, so that the window's command takes it.
    bool leavesKeyToHistory(QObject* watched, QKeyEvent* event) const;
    // Writes what the portfolio file lacks, as the window closes.
    void saveOnClose();

    std::unique_ptr<Ui::BondEditingWindow> ui_;
    BondEntryForm* form_ = nullptr;
    BondEditingSession* session_ = nullptr;
    QLabel* warningLabel_ = nullptr;
    QTableView* bondTable_ = nullptr;
    BondTableModel* tableModel_ = nullptr;
    std::optional<std::string> selectedSerial_;
    bool closeWithoutAsking_ = false;
};
