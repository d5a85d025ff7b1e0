#include "store/Bond.h"

#include "platform/NumberText.h"
#include "store/BondRecord.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct FieldKey {
    std::string_view key;
    std::string Bond::*field;
};

// The order a new bond's record is written in.
constexpr std::array<FieldKey, 5> kFieldKeys = {{
    {kSerialKey, &Bond::serial},
    {kFaceValueKey, &Bond::faceValue},
    {kTypeKey, &Bond::type},
    {kIssueYearKey, &Bond::issueYear},
    {kIssueMonthKey, &Bond::issueMonth},
}};

} // namespace

Bond::Bond(std::string serial, std::string type, std::string faceValue, std::string issueYear,
           std::string issueMonth)
    : serial(std::move(serial)), type(std::move(type)), faceValue(std::move(faceValue)),
      issueYear(std::move(issueYear)), issueMonth(std::move(issueMonth)) {}

std::optional<YearMonth> Bond::issued() const {
    return YearMonth::fromYearAndMonthName(issueYear, issueMonth);
}

double Bond::faceAmount() const {
    return doubleValueOfText(faceValue);
}

Bond Bond::fromRecord(const PlistValue& record) {
    Bond bond;
    bond.stored_ = record;
    if (const PlistDict* dict = record.dictPtr()) {
        for (const FieldKey& field : kFieldKeys) {
            bond.*field.field = dict->text(field.key);
        }
    }
    return bond;
}

PlistValue Bond::toRecord() const {
    const PlistDict* stored = stored_.dictPtr();
    if (stored == nullptr && !stored_.isAbsent()) {
        // A record that was not a dictionary has no fields; it is kept as it was until a field
        // is given a value.
        const bool untouched =
            std::all_of(kFieldKeys.begin(), kFieldKeys.end(),
                        [this](const FieldKey& f) { return (this->*f.field).empty(); });
        if (untouched) {
            return stored_;
        }
    }
    auto record = stored != nullptr ? stored->copy() : PlistDict::create();
    for (const FieldKey& field : kFieldKeys) {
        const std::string& text = this->*field.field;
        // A field whose text is unchanged keeps its stored form (also a missing key or a value
        // that is not text), so that an untouched record is written back exactly.
        if (stored != nullptr && stored->text(field.key) == text) {
            continue;
        }
        record->set(field.key, PlistValue(text));
    }
    return PlistValue(std::move(record));
}

bool Bond::sameFields(const Bond& other) const {
    return serial == other.serial && type == other.type && faceValue == other.faceValue &&
           issueYear == other.issueYear && issueMonth == other.issueMonth;
}
