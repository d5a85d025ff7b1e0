#pragma once

// The bond editing window: the bonds of the open portfolio in a table, a serial field and four
// choice boxes (series, face value, issue month, issue year) in which a bond is entered or, after
// a double-click on its row, changed, and the entry preset that clearing puts back into the
// fields.
//
// The window has two modes. In entry mode a save adds a new bond; in editing mode (after a
// double-click) a save changes the bond taken from the table. The boxes are known by their tag:
// type 0, face value 1, issue month 2, issue year 3.

#include "app/TaskWindowController.h"
#include "entry/BondChoiceLists.h"
#include "entry/EntryPreset.h"
#include "platform/PlistValue.h"
#include "platform/ResourceLocations.h"
#include "store/Bond.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BondDatabase;
class ChoiceBoxModel;
class BondTableModel;
class QCloseEvent;
class QKeyEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QUndoCommand;

namespace Ui {
class BondEditingWindow;
}

class BondEditingWindowController : public TaskWindowController {
    Q_OBJECT

  public:
    // The tags of the four choice boxes.
    static constexpr int kTypeTag = 0;
    static constexpr int kFaceValueTag = 1;
    static constexpr int kIssueMonthTag = 2;
    static constexpr int kIssueYearTag = 3;

    // Sets up the form for the host's open portfolio, which the window keeps whatever is opened
    // later, and reads the choice lists ("BondTypeYears") and the entry preset ("preset");
    // entry mode with the first entry of every box.
    explicit BondEditingWindowController(WindowHost& host);
    ~BondEditingWindowController() override;

    // The form's fields.
    QLineEdit* serialField() const { return serialField_; }
    void setSerialField(QLineEdit* field) { serialField_ = field; }
    QComboBox* typeField() const { return typeField_; }
    void setTypeField(QComboBox* box);
    QComboBox* faceValueField() const { return faceValueField_; }
    void setFaceValueField(QComboBox* box);
    QComboBox* issueYearField() const { return issueYearField_; }
    void setIssueYearField(QComboBox* box);
    QComboBox* issueMonthField() const { return issueMonthField_; }
    void setIssueMonthField(QComboBox* box);
    QTableView* bondTable() const { return bondTable_; }
    void setBondTable(QTableView* table);

    // The choice lists.
    PlistDictRef bondTypeYears() const { return lists_.bondTypeYears(); }
    void setBondTypeYears(PlistDictRef bondTypeYears);
    const std::vector<std::string>& faceValues() const { return lists_.faceValues(); }
    void setFaceValues(std::vector<std::string> faceValues);
    const std::vector<std::string>& months() const { return lists_.months(); }
    void setMonths(std::vector<std::string> months);
    const std::vector<std::string>& types() const { return lists_.types(); }
    void setTypes(std::vector<std::string> types);
    const std::string& selectedType() const { return selectedType_; }
    // Also makes the year box's list that of the new type (the caller reloads the box).
    void setSelectedType(std::string type);
    // The issue years offered for a series ("E"); empty when the resource has none.
    std::vector<std::string> yearsForType(const std::string& type) const {
        return lists_.yearsForType(type);
    }

    // The entry preset as read at creation (none when there was no preset file).
    PlistDictRef preset() const { return preset_.values(); }
    void setPreset(PlistDictRef preset) { preset_ = EntryPreset(std::move(preset)); }

    // The portfolio the window belongs to: the one open when it was opened. Its bonds are
    // listed and every save goes to it, whatever portfolio is opened meanwhile.
    const std::string& portfolio() const { return portfolio_; }

    // Whether the fields hold what a save would store and has not: a serial typed for a new
    // bond, or changes to the bond taken into the fields.
    bool hasUnsavedEntry() const;
    // Asks whether to keep what was typed but not saved (save it, discard it, or stay open);
    // true when the window may close.
    bool windowShouldClose();
    // Closes without asking, for a window whose portfolio is gone.
    void closeWithoutAsking();

    // Editing mode and the serial of the bond taken into the fields.
    const std::string& editingSerial() const { return editingSerial_; }
    void setEditingSerial(std::string serial);
    bool editing() const { return editing_; }
    void setEditing(bool editing);

    // Data source of the choice boxes, by tag. A box may show one extra entry after its list:
    // the value of a bond taken into the fields that the list does not hold.
    int numberOfItemsInComboBox(const QComboBox* box) const;
    QString comboBoxObjectValueForItemAtIndex(const QComboBox* box, int index) const;
    // The text a box holds at an index, without the "$" the face value box shows.
    std::optional<std::string> comboBoxValueAtIndex(const QComboBox* box, int index) const;
    // Whether the entry at an index is the extra entry that the box's list does not hold.
    bool isExtraEntryAtIndex(const QComboBox* box, int index) const;

    // The selected row of the table, -1 when none.
    int selectedRow() const;
    void reloadTable();

  public slots:
    void comboBoxSelectionDidChange();
    void tableViewSelectionDidChange();
    void doubleClickedOnRow();
    void savePressed();
    void savePresetPressed();
    void clearPressed();
    void deleteBondPressed();
    void closePressed();
    void windowWillClose();
    // Escape: clears an entry in progress; with nothing to clear, closes the window.
    void escapePressed();
    // Shows the warning line when the fields hold a year outside the series' issue years.
    void updateWarningLabel();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A box's value that its list does not hold, shown as an extra last entry until the fields
    // are refilled.
    struct ExtraEntries {
        std::optional<std::string> type;
        std::optional<std::string> faceValue;
        std::optional<std::string> issueMonth;
        std::optional<std::string> issueYear;
    };

    static int tagOf(const QComboBox* box);
    const std::vector<std::string>* listForTag(int tag) const;
    const std::optional<std::string>& extraForTag(int tag) const;
    std::optional<std::string>& extraForTag(int tag);
    QComboBox* boxForTag(int tag) const;
    ChoiceBoxModel* modelOf(QComboBox* box) const;
    void attachChoiceBox(QComboBox* box);
    void reloadBox(QComboBox* box);

    // Selects an index of a box; the type box runs the type change even when the index was
    // already selected. An index outside the box selects its first entry.
    void selectIndex(QComboBox* box, int index);
    // Selects the entry holding `value`, adding it as the box's extra entry when the list lacks
    // it.
    void selectValue(QComboBox* box, const std::string& value);
    void dropExtraEntries();

    // The values the fields show, or the name of the first box without a selection.
    struct Entry {
        std::string serial, type, faceValue, issueMonth, issueYear;
    };
    std::optional<Entry> readEntry(std::string* missingChoiceMessage) const;

    BondDatabase* database() const;
    // Does a change through the host's undo history.
    void pushChange(QUndoCommand* command);
    // The bond at a row of the portfolio's list, or nullptr.
    const Bond* bondAtRow(int row) const;
    void showError(const std::string& message) const;
    void updateModeLabel();
    // Keeps the serial of the selected bond, so that a reload selects the same bond again.
    void rememberSelectedBond();
    void finishSave();

    std::unique_ptr<Ui::BondEditingWindow> ui_;
    ResourceLocations resources_;
    bool closing_ = false;
    bool closeWithoutAsking_ = false;
    std::string portfolio_;
    QLabel* warningLabel_ = nullptr;

    QLineEdit* serialField_ = nullptr;
    QComboBox* typeField_ = nullptr;
    QComboBox* faceValueField_ = nullptr;
    QComboBox* issueYearField_ = nullptr;
    QComboBox* issueMonthField_ = nullptr;
    BondChoiceLists lists_;
    std::string selectedType_;
    QTableView* bondTable_ = nullptr;
    EntryPreset preset_;
    std::string editingSerial_;
    bool editing_ = false;

    ExtraEntries extras_;
    std::vector<std::string> currentYears_;
    BondTableModel* tableModel_ = nullptr;
    std::optional<std::string> selectedSerial_;
};
