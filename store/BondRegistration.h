#pragma once

// What a bond is beside its value: paper or electronic, whose it is and where it is kept, by the
// keys of its record.

#include "store/Bond.h"
#include "store/BondRecord.h"

#include <array>
#include <string>
#include <string_view>

inline constexpr std::string_view kPaperKind = "Paper";
inline constexpr std::string_view kElectronicKind = "Electronic";

inline std::string_view bondKindText(const Bond& bond) {
    return bond.electronic ? kElectronicKind : kPaperKind;
}

// The registration and the owner's words, in the order the editor and the columns show them.
inline constexpr std::array<std::string_view, 5> kRegistrationKeys = {
    kOwnerKey, kSecondNameKey, kSecondNameIsKey, kKeptAtKey, kNoteKey};

// The bond's field stored under one of kRegistrationKeys; nullptr for any other key.
inline const std::string* registrationField(const Bond& bond, std::string_view key) {
    if (key == kOwnerKey) {
        return &bond.owner();
    }
    if (key == kSecondNameKey) {
        return &bond.secondName();
    }
    if (key == kSecondNameIsKey) {
        return &bond.secondNameIs();
    }
    if (key == kKeptAtKey) {
        return &bond.keptAt();
    }
    if (key == kNoteKey) {
        return &bond.note();
    }
    return nullptr;
}
