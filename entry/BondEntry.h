#pragma once

// What the fields of the bond entry hold: a serial and the four chosen values, as text.

#include "store/Bond.h"

#include <string>

struct BondEntry {
    std::string serial, type, faceValue, issueMonth, issueYear;

    // A new bond of these values.
    Bond toBond() const { return Bond(serial, type, faceValue, issueYear, issueMonth); }
    // `bond` with these values; what else its record holds is kept.
    Bond applyTo(Bond bond) const {
        bond.serial = serial;
        bond.type = type;
        bond.faceValue = faceValue;
        bond.issueMonth = issueMonth;
        bond.issueYear = issueYear;
        return bond;
    }
};
