#include "store/Bond.h"

#include "platform/NumberText.h"
#include "platform/PlistXmlWriter.h"
#include "store/BondRecord.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace {

struct FieldKey {
    std::string_view key;
    std::string Bond::*field;
};

struct OptionalKey {
    std::string_view key;
    const std::string& (Bond::*read)() const;
    void (Bond::*write)(std::string);
};

// The order a new bond's record is written in.
constexpr std::array<FieldKey, 5> kFieldKeys = {{
    {kSerialKey, &Bond::serial},
    {kFaceValueKey, &Bond::faceValue},
    {kTypeKey, &Bond::type},
    {kIssueYearKey, &Bond::issueYear},
    {kIssueMonthKey, &Bond::issueMonth},
}};

// Written after the five, each only when it holds text.
constexpr std::array<OptionalKey, 7> kOptionalKeys = {{
    {kOwnerKey, &Bond::owner, &Bond::setOwner},
    {kSecondNameKey, &Bond::secondName, &Bond::setSecondName},
    {kSecondNameIsKey, &Bond::secondNameIs, &Bond::setSecondNameIs},
    {kKeptAtKey, &Bond::keptAt, &Bond::setKeptAt},
    {kNoteKey, &Bond::note, &Bond::setNote},
    {kCashedKey, &Bond::cashed, &Bond::setCashed},
    {kAmountReceivedKey, &Bond::amountReceived, &Bond::setAmountReceived},
}};

const std::string& textOf(const Bond& bond, const FieldKey& field) {
    return bond.*field.field;
}

const std::string& textOf(const Bond& bond, const OptionalKey& field) {
    return (bond.*field.read)();
}

bool storedElectronic(const PlistDict& dict) {
    const PlistValue* flag = dict.find(kElectronicKey);
    return flag != nullptr && flag->booleanPtr() != nullptr && *flag->booleanPtr();
}

// A stored value as the user sees it: text as it is, a number in plain decimal notation
// (locale-independent), a boolean as 1 or 0, anything else the empty text.
std::string plainTextOf(const PlistValue& value) {
    if (const std::string* text = value.stringPtr()) {
        return *text;
    }
    std::array<char, 400> buffer{};
    std::to_chars_result result{};
    if (const PlistInteger* integer = value.integerPtr()) {
        result =
            integer->isNegative
                ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), integer->asSigned())
                : std::to_chars(buffer.data(), buffer.data() + buffer.size(), integer->bits);
    } else if (const double* real = value.realPtr()) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *real);
    } else if (const bool* flag = value.booleanPtr()) {
        return *flag ? "1" : "0";
    } else {
        return {};
    }
    if (result.ec != std::errc()) {
        return {};
    }
    return std::string(buffer.data(), result.ptr);
}

} // namespace

Bond::Bond(std::string serial, std::string type, std::string faceValue, std::string issueYear,
           std::string issueMonth)
    : serial(std::move(serial)), type(std::move(type)), faceValue(std::move(faceValue)),
      issueYear(std::move(issueYear)), issueMonth(std::move(issueMonth)) {}

const Bond::Details& Bond::noDetails() {
    static const Details none;
    return none;
}

Bond::Details& Bond::editDetails() {
    // Another copy of the bond still reads the shared details as they are.
    if (!details_ || details_.use_count() > 1) {
        details_ = std::make_shared<Details>(details());
    }
    return *details_;
}

void Bond::setDetail(std::string Details::*field, std::string text) {
    if (details_ || !text.empty()) {
        editDetails().*field = std::move(text);
    }
}

std::optional<YearMonth> Bond::issued() const {
    return YearMonth::fromYearAndMonthName(issueYear, issueMonth);
}

std::optional<YearMonth> Bond::cashedMonth() const {
    return YearMonth::fromKeyText(cashed());
}

double Bond::faceAmount() const {
    const PlistValue* number = faceValue.empty() ? storedNumber(kFaceValueKey) : nullptr;
    return number != nullptr ? doubleValueOf(*number) : doubleValueOfText(faceValue);
}

int Bond::issueYearNumber() const {
    const PlistValue* number = issueYear.empty() ? storedNumber(kIssueYearKey) : nullptr;
    return number != nullptr ? intValueOf(*number) : intValueOfText(issueYear);
}

YearMonth issueDateOrder(int year, std::string_view monthName) {
    return YearMonth{year, monthNumberOfName(monthName).value_or(1)};
}

YearMonth Bond::issueDateOrder() const {
    return ::issueDateOrder(issueYearNumber(), issueMonth);
}

const PlistValue* Bond::storedNumber(std::string_view key) const {
    const PlistDict* dict = stored_.dictPtr();
    const PlistValue* value = dict != nullptr ? dict->find(key) : nullptr;
    return value != nullptr && (value->integerPtr() != nullptr || value->realPtr() != nullptr)
               ? value
               : nullptr;
}

Bond Bond::fromRecord(const PlistValue& record) {
    Bond bond;
    const PlistDict* dict = record.dictPtr();
    if (dict == nullptr) {
        bond.stored_ = record;
        return bond;
    }
    for (const FieldKey& field : kFieldKeys) {
        bond.*field.field = dict->text(field.key);
    }
    for (const OptionalKey& field : kOptionalKeys) {
        if (std::string text = dict->text(field.key); !text.empty()) {
            (bond.*field.write)(std::move(text));
        }
    }
    bond.electronic = storedElectronic(*dict);
    // A record of exactly the five texts in the order a new bond is written in is what toRecord
    // makes anew; only other records are kept, which spares a large portfolio a second copy of
    // every bond.
    const auto& entries = dict->entries();
    bool canonical = entries.size() == kFieldKeys.size();
    for (std::size_t i = 0; canonical && i < entries.size(); ++i) {
        canonical = entries[i].first == kFieldKeys[i].key && entries[i].second.isString();
    }
    if (!canonical) {
        bond.stored_ = record;
    }
    return bond;
}

PlistValue Bond::toRecord() const {
    const PlistDict* stored = stored_.dictPtr();
    if (stored == nullptr && !stored_.isAbsent()) {
        // A record that was not a dictionary has no fields; it is kept as it was until a field
        // is given a value.
        const auto empty = [this](const auto& f) { return textOf(*this, f).empty(); };
        const bool untouched = std::all_of(kFieldKeys.begin(), kFieldKeys.end(), empty) &&
                               std::all_of(kOptionalKeys.begin(), kOptionalKeys.end(), empty) &&
                               !electronic;
        if (untouched) {
            return stored_;
        }
    }
    const auto unchanged = [this, stored](const auto& f) {
        return stored->text(f.key) == textOf(*this, f);
    };
    if (stored != nullptr && std::all_of(kFieldKeys.begin(), kFieldKeys.end(), unchanged) &&
        std::all_of(kOptionalKeys.begin(), kOptionalKeys.end(), unchanged) &&
        storedElectronic(*stored) == electronic) {
        // Untouched: the record read is written back as it is, without a copy.
        return stored_;
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
    if (electronic) {
        record->set(kElectronicKey, PlistValue(true));
    } else if (stored != nullptr && storedElectronic(*stored)) {
        record->remove(kElectronicKey);
    }
    for (const OptionalKey& field : kOptionalKeys) {
        const std::string& text = textOf(*this, field);
        if (stored != nullptr && stored->text(field.key) == text) {
            continue;
        }
        // An optional field emptied leaves the record; one never set is not written.
        if (text.empty()) {
            record->remove(field.key);
        } else {
            record->set(field.key, PlistValue(text));
        }
    }
    return PlistValue(std::move(record));
}

void Bond::writeRecord(PlistXmlWriter& writer) const {
    if (!stored_.isAbsent()) {
        writer.value(toRecord());
        return;
    }
    writer.beginDict();
    for (const FieldKey& field : kFieldKeys) {
        writer.key(field.key);
        writer.string(this->*field.field);
    }
    if (electronic) {
        writer.key(kElectronicKey);
        writer.value(PlistValue(true));
    }
    for (const OptionalKey& field : kOptionalKeys) {
        if (const std::string& text = textOf(*this, field); !text.empty()) {
            writer.key(field.key);
            writer.string(text);
        }
    }
    writer.end();
}

std::string Bond::recordText(std::string_view key) const {
    const PlistDict* stored = stored_.dictPtr();
    const auto named = [key](const auto& f) { return f.key == key; };
    const std::string* text = nullptr;
    if (const auto* field = std::find_if(kFieldKeys.begin(), kFieldKeys.end(), named);
        field != kFieldKeys.end()) {
        text = &textOf(*this, *field);
    } else if (const auto* optional =
                   std::find_if(kOptionalKeys.begin(), kOptionalKeys.end(), named);
               optional != kOptionalKeys.end()) {
        text = &textOf(*this, *optional);
    }
    if (text != nullptr && (stored == nullptr || stored->text(key) != *text)) {
        // toRecord writes the field's own text.
        return *text;
    }
    const PlistValue* value = stored != nullptr ? stored->find(key) : nullptr;
    return value != nullptr ? plainTextOf(*value) : std::string();
}

bool Bond::sameFields(const Bond& other) const {
    const auto same = [this, &other](const auto& f) {
        return textOf(*this, f) == textOf(other, f);
    };
    return std::all_of(kFieldKeys.begin(), kFieldKeys.end(), same) &&
           std::all_of(kOptionalKeys.begin(), kOptionalKeys.end(), same) &&
           electronic == other.electronic;
}
