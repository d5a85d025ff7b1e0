#pragma once

// What the owner is asked to check about the bonds an import added: those not issued yet in the
// redemption month, in the words of the bond list, and those of an issue date their series was
// not issued on (issueDateWarning).

#include "store/Bond.h"
#include "store/YearMonth.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class ValueTable;

// How many bonds each part of the note names; the others are counted.
inline constexpr std::size_t kMaxBondsNamedInImportNote = 15;

// The note, one paragraph for each kind of bond, one line a bond; empty when there is nothing to
// check. `month` is the redemption month the bonds are valued at (none: no bond is taken for not
// issued yet); `table` the value table that values them (see issueDateWarning).
std::string importedBondsNote(const std::vector<Bond>& bonds, const ValueTable* table,
                              std::optional<YearMonth> month);
