// The entry preset on disk: reading what is there, keeping a new choice, writing it back whole.

#include "entry/EntryPreset.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondRecord.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class EntryPresetTest : public ::testing::Test {
  protected:
    TempDir shipped;
    TempDir data;
    ResourceLocations resources{shipped.path(), data.path()};
};

TEST_F(EntryPresetTest, WithoutAFileThereIsNoPresetAndSettingMakesOne) {
    EntryPreset preset = EntryPreset::read(resources);
    EXPECT_FALSE(preset.exists());
    EXPECT_EQ(preset.serial(), "");
    EXPECT_EQ(preset.position(kTypeKey), 0);

    preset.set("C123", 1, 2, 3, -1);
    EXPECT_TRUE(preset.exists());
    EXPECT_EQ(preset.serial(), "C123");
    EXPECT_EQ(preset.position(kFaceValueKey), 2);
    EXPECT_EQ(preset.position(kIssueYearKey), -1);
}

TEST_F(EntryPresetTest, WritingKeepsEntriesThatAreNotThePresetsAndALaterReadSeesIt) {
    auto file = PlistDict::create();
    file->set("Note", "kept");
    file->set(kSerialKey, "OLD");
    ASSERT_TRUE(writePropertyList(data / "preset.plist", PlistValue(file)));

    EntryPreset preset = EntryPreset::read(resources);
    EXPECT_EQ(preset.serial(), "OLD");
    preset.set("NEW", 3, 0, 11, 7);
    std::string error;
    ASSERT_TRUE(preset.write(resources, &error)) << error;

    const EntryPreset again = EntryPreset::read(resources);
    EXPECT_EQ(again.serial(), "NEW");
    EXPECT_EQ(again.position(kTypeKey), 3);
    EXPECT_EQ(again.position(kIssueMonthKey), 11);
    const PlistValue written = readPropertyList(data / "preset.plist");
    ASSERT_NE(written.dictPtr(), nullptr);
    EXPECT_EQ(written.dictPtr()->text("Note"), "kept");
    // Positions are kept as text, and the serial where the file had it.
    EXPECT_EQ(written.dictPtr()->text(kFaceValueKey), "0");
    EXPECT_EQ(written.dictPtr()->keys().at(1), kSerialKey);
}

TEST_F(EntryPresetTest, AFailedWriteSaysWhyAndLeavesNoFile) {
    // The data folder's place is taken by a file, so nothing can be written inside it.
    writeWholeFile(data / "blocked", "not a folder");
    const ResourceLocations blocked{shipped.path(), data / "blocked"};
    EntryPreset preset;
    preset.set("S", 0, 0, 0, 0);
    std::string error;
    EXPECT_FALSE(preset.write(blocked, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readWholeFile(data / "blocked"), "not a folder");
}

} // namespace
