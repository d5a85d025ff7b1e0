#include "entry/EntryPreset.h"

#include "entry/DictionaryResource.h"
#include "platform/ExportTarget.h"
#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondRecord.h"

EntryPreset EntryPreset::read(const ResourceLocations& resources) {
    return EntryPreset(readDictionaryResource(resources, kResourceName));
}

std::string EntryPreset::serial() const {
    return values_ ? values_->text(kSerialKey) : std::string();
}

int EntryPreset::position(std::string_view key) const {
    return values_ ? intValueOf(values_->value(key)) : 0;
}

void EntryPreset::set(const std::string& serial, int type, int faceValue, int issueMonth,
                      int issueYear) {
    if (!values_) {
        values_ = PlistDict::create();
    }
    // Positions are kept as decimal text, as the shipped preset holds them.
    values_->set(kSerialKey, serial);
    values_->set(kTypeKey, std::to_string(type));
    values_->set(kFaceValueKey, std::to_string(faceValue));
    values_->set(kIssueMonthKey, std::to_string(issueMonth));
    values_->set(kIssueYearKey, std::to_string(issueYear));
}

bool EntryPreset::write(const ResourceLocations& resources, std::string* error) const {
    const std::optional<std::filesystem::path> path =
        resources.pathForResource(kResourceName, "plist");
    if (!path) {
        if (error != nullptr) {
            *error = "The data folder has no place for the entry preset.";
        }
        return false;
    }
    // The file may be a link the user made: it must not lead to another of Orvelt's files.
    if (std::string refusal = writeTargetRefusal(*path, resources, *path); !refusal.empty()) {
        if (error != nullptr) {
            *error = std::move(refusal);
        }
        return false;
    }
    return writePropertyList(*path, PlistValue(values_), error);
}
