#pragma once

// The fields a bond is entered in: a serial field and four choice boxes (series, face value,
// issue month, issue year), each with its own choice list. The form shows a bond or the entry
// preset and gives back the entry the user made; choosing a series gives the year box that
// series' years. A year may also be typed: one the box does not offer stays as typed, with the
// warning about the issue date, and is never taken for another year.

#include "entry/BondChoiceLists.h"
#include "entry/BondEntry.h"
#include "entry/ChoiceList.h"

#include <QObject>
#include <optional>
#include <string>
#include <vector>

class Bond;
class BondDetailsFields;
class ChoiceBoxModel;
class EntryPreset;
class QComboBox;
class QLineEdit;
class QWidget;

class BondEntryForm : public QObject {
    Q_OBJECT

  public:
    struct Fields {
        QLineEdit* serial;
        QComboBox* type;
        QComboBox* faceValue;
        QComboBox* issueMonth;
        QComboBox* issueYear;
    };

    // Takes over the fields' contents; each box shows the first entry of its list.
    BondEntryForm(Fields fields, BondChoiceLists lists, QObject* parent);

    QLineEdit* serialField() const { return fields_.serial; }
    QComboBox* typeField() const { return type_.box; }
    QComboBox* faceValueField() const { return faceValue_.box; }
    QComboBox* issueMonthField() const { return issueMonth_.box; }
    QComboBox* issueYearField() const { return issueYear_.box; }
    bool isChoiceBox(const QWidget* widget) const;
    // The kind, the amount and the registration, loaded, cleared and read with the rest.
    void setDetails(BondDetailsFields* details);
    BondDetailsFields* details() const { return details_; }
    // The last year electronic bonds are offered for: the value table's last.
    void setElectronicLastYear(int year) { electronicLastYear_ = year; }

    const BondChoiceLists& lists() const { return lists_; }
    // The series whose years the year box offers.
    const std::string& selectedType() const { return selectedType_; }

    std::string serial() const;
    // The bond's values; a value a list lacks is shown as that box's extra entry.
    void load(const Bond& bond);
    // The preset's serial and positions; a position outside its list selects the first entry.
    void fill(const EntryPreset& preset);
    // What the fields hold, or nothing with the message naming the first box without an entry
    // (its list is missing from the choice-list file) or the year typed that the box does not
    // offer.
    std::optional<BondEntry> entry(std::string* missingChoiceMessage = nullptr) const;
    // Why the year typed cannot be taken: the box does not offer it. Empty when it can.
    std::string unofferedYearMessage() const;
    // Keeps the serial and the four selected positions in the preset.
    void keepIn(EntryPreset& preset) const;
    // The warning about the entry's issue date; empty when there is none.
    std::string warning() const;

  signals:
    // The serial or a choice changed.
    void changed();

  private:
    struct Box {
        QComboBox* box = nullptr;
        ChoiceList list;
        ChoiceBoxModel* model = nullptr;
    };

    void attach(Box& box, const QString& prefix);
    // An index outside the box selects its first entry; the type box runs the type change even
    // when the index was already selected.
    void select(Box& box, int index);
    void selectValue(Box& box, const std::string& value);
    void dropExtraEntries();
    void typeChanged();
    void kindChanged();
    // The years of the selected series, of its kind.
    std::vector<std::string> offeredYears() const;
    // The year box's text: an entry chosen, or what was typed there.
    std::string yearText() const;
    // The position of `value` among the box's entries; -1 when it offers no such entry.
    static int positionOf(const Box& box, const std::string& value);

    Fields fields_;
    BondDetailsFields* details_ = nullptr;
    int electronicLastYear_ = 0;
    BondChoiceLists lists_;
    std::string selectedType_;
    Box type_;
    Box faceValue_;
    Box issueMonth_;
    Box issueYear_;
};
