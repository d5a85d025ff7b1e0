#include "entry/EntryPreset.h"

#include "platform/DictionaryResource.h"
#include "platform/ExportTarget.h"
#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondRecord.h"

struct EntryPreset::FileEntries {
    PlistDictRef dict;
};

EntryPreset EntryPreset::read(const ResourceLocations& resources) {
    EntryPreset preset;
    PlistDictRef dict = readDictionaryResource(resources, kResourceName);
    if (!dict) {
        return preset;
    }
    preset.serial_ = dict->text(kSerialKey);
    preset.type_ = intValueOf(dict->value(kTypeKey));
    preset.faceValue_ = intValueOf(dict->value(kFaceValueKey));
    preset.issueMonth_ = intValueOf(dict->value(kIssueMonthKey));
    preset.issueYear_ = intValueOf(dict->value(kIssueYearKey));
    preset.file_ = std::make_shared<const FileEntries>(FileEntries{std::move(dict)});
    return preset;
}

std::string EntryPreset::serial() const {
    return serial_;
}

int EntryPreset::position(std::string_view key) const {
    if (key == kTypeKey) {
        return type_;
    }
    if (key == kFaceValueKey) {
        return faceValue_;
    }
    if (key == kIssueMonthKey) {
        return issueMonth_;
    }
    return key == kIssueYearKey ? issueYear_ : 0;
}

void EntryPreset::set(const std::string& serial, int type, int faceValue, int issueMonth,
                      int issueYear) {
    serial_ = serial;
    type_ = type;
    faceValue_ = faceValue;
    issueMonth_ = issueMonth;
    issueYear_ = issueYear;
    isSet_ = true;
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
    PlistDictRef dict = file_ != nullptr ? file_->dict->copy() : PlistDict::create();
    if (isSet_) {
        // Positions are kept as decimal text, as the shipped preset holds them; a key the file
        // already has keeps its place.
        dict->set(kSerialKey, serial_);
        dict->set(kTypeKey, std::to_string(type_));
        dict->set(kFaceValueKey, std::to_string(faceValue_));
        dict->set(kIssueMonthKey, std::to_string(issueMonth_));
        dict->set(kIssueYearKey, std::to_string(issueYear_));
    }
    // The file may be a link the user made: it must not lead to another of Orvelt's files.
    return writePropertyList(*path, PlistValue(dict), error, writeTargetCheck(resources, *path));
}
