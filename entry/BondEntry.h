#pragma once

// What the fields of the bond entry hold: a serial and the four chosen values, the kind and the
// registration, as text.

#include "store/Bond.h"

#include <string>

struct BondEntry {
    std::string serial, type, faceValue, issueMonth, issueYear;
    // Paper unless set; an electronic bond's faceValue is its amount ("50.37").
    bool electronic = false;
    std::string owner, secondName, secondNameIs, keptAt, note;

    // A new bond of these values.
    Bond toBond() const { return applyTo(Bond()); }
    // `bond` with these values; what else its record holds is kept.
    Bond applyTo(Bond bond) const {
        bond.serial = serial;
        bond.type = type;
        bond.faceValue = faceValue;
        bond.issueMonth = issueMonth;
        bond.issueYear = issueYear;
        bond.electronic = electronic;
        bond.setOwner(owner);
        bond.setSecondName(secondName);
        // Only a second name is a co-owner or a beneficiary.
        bond.setSecondNameIs(secondName.empty() ? std::string() : secondNameIs);
        bond.setKeptAt(keptAt);
        bond.setNote(note);
        return bond;
    }
};
