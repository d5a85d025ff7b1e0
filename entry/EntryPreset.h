#pragma once

// The entry preset: the serial and the positions in the series, face value, issue month and
// issue year lists that clearing the bond editing window puts back into its fields. Kept in the
// user's "preset" resource; entries of that file that are not the preset's own are kept when
// it is written back.

#include <memory>
#include <string>
#include <string_view>

class ResourceLocations;

class EntryPreset {
  public:
    static constexpr std::string_view kResourceName = "preset";

    // No preset: an empty serial and the first entry of every list.
    EntryPreset() = default;

    // The preset in the resources; none when there is no readable preset file.
    static EntryPreset read(const ResourceLocations& resources);

    // Whether there is a preset: one was read or set.
    bool exists() const { return file_ != nullptr || isSet_; }

    std::string serial() const;
    // The position kept under a bond record key (kTypeKey, kFaceValueKey, kIssueMonthKey,
    // kIssueYearKey); 0 without a preset, and whatever the file holds otherwise (the caller
    // checks it against its list).
    int position(std::string_view key) const;

    // Keeps a serial and four positions; without a preset a fresh one is made.
    void set(const std::string& serial, int type, int faceValue, int issueMonth, int issueYear);

    // Writes the preset, with the other entries of the file it was read from, to the user's
    // preset file, atomically. False, with the file as it was and the reason in `error`, when it
    // cannot be written.
    bool write(const ResourceLocations& resources, std::string* error = nullptr) const;

  private:
    // The file's dictionary as read, kept only to be written back with the preset in it.
    struct FileEntries;

    std::shared_ptr<const FileEntries> file_;
    std::string serial_;
    int type_ = 0;
    int faceValue_ = 0;
    int issueMonth_ = 0;
    int issueYear_ = 0;
    bool isSet_ = false;
};
