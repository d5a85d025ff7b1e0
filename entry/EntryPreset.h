#pragma once

// The entry preset: the serial and the positions in the series, face value, issue month and
// issue year lists that clearing the bond editing window puts back into its fields. Kept in the
// user's "preset" resource; entries of that file that are not the preset's own are kept when
// it is written back.

#include "platform/PlistValue.h"

#include <string>
#include <string_view>

class ResourceLocations;

class EntryPreset {
  public:
    static constexpr std::string_view kResourceName = "preset";

    // No preset: an empty serial and the first entry of every list.
    EntryPreset() = default;
    explicit EntryPreset(PlistDictRef values) : values_(std::move(values)) {}

    // The preset in the resources; none when there is no readable preset file.
    static EntryPreset read(const ResourceLocations& resources);

    // The dictionary as read or set; an empty reference when there is no preset.
    const PlistDictRef& values() const { return values_; }

    std::string serial() const;
    // The position kept under a bond record key (kTypeKey, kFaceValueKey, kIssueMonthKey,
    // kIssueYearKey); 0 without a preset, and whatever the file holds otherwise (the caller
    // checks it against its list).
    int position(std::string_view key) const;

    // Keeps a serial and four positions; without a preset a fresh one is made.
    void set(const std::string& serial, int type, int faceValue, int issueMonth, int issueYear);

    // Writes the whole dictionary to the user's preset file, atomically. False, with the file as
    // it was and the reason in `error`, when it cannot be written.
    bool write(const ResourceLocations& resources, std::string* error = nullptr) const;

  private:
    PlistDictRef values_;
};
