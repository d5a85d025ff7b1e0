#pragma once

// The entry's fields beside the series, face value and issue date: paper or electronic, the
// amount of an electronic bond (to the cent, from $25.00; the face value box is then set aside),
// and who owns the bond and where it is kept.

#include "entry/BondEntry.h"

#include <QObject>
#include <string>

class QComboBox;
class QLineEdit;

class BondDetailsFields : public QObject {
    Q_OBJECT

  public:
    struct Fields {
        QComboBox* kind;
        QLineEdit* amount;
        QComboBox* faceValue; // set aside while the kind is electronic
        QLineEdit* owner;
        QLineEdit* secondName;
        QComboBox* secondNameIs;
        QLineEdit* keptAt;
        QLineEdit* note;
    };

    BondDetailsFields(Fields fields, QObject* parent);

    bool electronic() const;
    // What new bonds' Owner starts as: the portfolio's default owner.
    void setDefaultOwner(std::string owner) { defaultOwner_ = std::move(owner); }
    // The bond's kind, amount and registration.
    void load(const Bond& bond);
    // A new bond: paper, no amount, the default owner and nothing else.
    void clear();
    // Completes `entry` with these fields; false with the reason in `message` (when it is still
    // empty) when the amount of an electronic bond is not one.
    bool complete(BondEntry& entry, std::string* message) const;

  signals:
    void changed();
    // Paper or electronic was chosen.
    void kindChanged();

  private:
    void setKindFields();

    Fields fields_;
    std::string defaultOwner_;
};
