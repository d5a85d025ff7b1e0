#include "platform/PlistXmlWriter.h"
#include "platform/PropertyList.h"
#include "store/Bond.h"
#include "store/BondRecord.h"

#include <gtest/gtest.h>

TEST(YearMonth, ConvertsNamesKeysAndCounts) {
    EXPECT_EQ(YearMonth::fromYearAndMonthName("2009", "June"), (YearMonth{2009, 6}));
    EXPECT_FALSE(YearMonth::fromYearAndMonthName("2009", "june"));
    EXPECT_FALSE(YearMonth::fromYearAndMonthName("209", "June"));
    EXPECT_EQ((YearMonth{2009, 6}).name(), "June 2009");
    EXPECT_EQ((YearMonth{2009, 6}).keyText(), "2009-06");
    EXPECT_EQ((YearMonth{999, 1}).keyText(), "0999-01") << "read back as it was given";
    EXPECT_EQ(YearMonth::fromKeyText("2009-12"), (YearMonth{2009, 12}));
    EXPECT_EQ(YearMonth::fromKeyText("0999-01"), (YearMonth{999, 1}));
    EXPECT_FALSE(YearMonth::fromKeyText("2009-13"));
    EXPECT_EQ((YearMonth{2009, 11}).plusMonths(3), (YearMonth{2010, 2}));
    EXPECT_EQ((YearMonth{2010, 2}).plusMonths(-14), (YearMonth{2008, 12}));
    EXPECT_EQ((YearMonth{2010, 2}).monthsSince(YearMonth{1941, 5}), 825);
}

TEST(Bond, RecordRoundTripKeepsWhatItDoesNotUse) {
    auto dict = PlistDict::create();
    dict->set("Note", PlistValue("gift"));
    dict->set(kSerialKey, PlistValue("C123"));
    dict->set(kFaceValueKey, PlistValue::integer(100)); // not text: kept as stored
    dict->set(kTypeKey, PlistValue("EE"));
    dict->set(kIssueYearKey, PlistValue("1999"));
    const PlistValue record(dict);

    Bond bond = Bond::fromRecord(record);
    EXPECT_EQ(bond.serial, "C123");
    EXPECT_EQ(bond.faceValue, "");
    EXPECT_FALSE(bond.issued()); // no month stored
    EXPECT_EQ(bond.toRecord(), record);

    bond.issueMonth = "May";
    EXPECT_EQ(bond.issued(), (YearMonth{1999, 5}));
    const PlistValue changed = bond.toRecord();
    ASSERT_NE(changed.dictPtr(), nullptr);
    EXPECT_EQ(changed.dictPtr()->keys(),
              (std::vector<std::string>{"Note", "Serial", "Face Value", "Type", "Issue Year",
                                        "Issue Month"}));
    EXPECT_EQ(*changed.dictPtr()->find(kFaceValueKey), PlistValue::integer(100));
    EXPECT_EQ(dict->size(), 5u); // the record read is not changed

    EXPECT_EQ(Bond::fromRecord(PlistValue("stray")).toRecord(), PlistValue("stray"));
    EXPECT_EQ(
        Bond("S1", "I", "50", "2001", "March").toRecord().dictPtr()->keys(),
        (std::vector<std::string>{"Serial", "Face Value", "Type", "Issue Year", "Issue Month"}));
}

TEST(Bond, OptionalFieldsAreStoredOnlyWhenSetAndReadBack) {
    Bond bond("", "I", "34.59", "2001", "May");
    bond.electronic = true;
    bond.setOwner("Ann Doe");
    bond.setSecondName("Ben Doe");
    bond.setSecondNameIs(std::string(kBeneficiary));
    bond.setCashed("2026-03");
    bond.setAmountReceived("70.12");
    std::string xml;
    PlistXmlWriter writer(xml);
    bond.writeRecord(writer);
    std::string error;
    ASSERT_TRUE(writer.finish(error)) << error;
    const PlistValue written = propertyListFromXml(xml);
    ASSERT_NE(written.dictPtr(), nullptr);
    EXPECT_EQ(written, bond.toRecord());
    EXPECT_EQ(written.dictPtr()->keys(),
              (std::vector<std::string>{"Serial", "Face Value", "Type", "Issue Year", "Issue Month",
                                        "Electronic", "Owner", "Second Name", "Second Name Is",
                                        "Cashed", "Amount Received"}));
    EXPECT_EQ(*written.dictPtr()->find(kElectronicKey), PlistValue(true));

    Bond read = Bond::fromRecord(written);
    EXPECT_TRUE(read.sameFields(bond));
    EXPECT_EQ(read.cashedMonth(), (YearMonth{2026, 3}));
    // Undoing the cashing and the electronic kind takes their keys out; the rest stays.
    read.setCashed({});
    read.setAmountReceived({});
    read.electronic = false;
    EXPECT_FALSE(read.sameFields(bond));
    EXPECT_EQ(read.toRecord().dictPtr()->keys(),
              (std::vector<std::string>{"Serial", "Face Value", "Type", "Issue Year", "Issue Month",
                                        "Owner", "Second Name", "Second Name Is"}));
    EXPECT_FALSE(read.cashedMonth());

    // A copy is a bond of its own: changing it leaves the bond it was copied from.
    Bond copy = bond;
    copy.setOwner("Cal Doe");
    copy.setNote("gift");
    EXPECT_EQ(bond.owner(), "Ann Doe");
    EXPECT_TRUE(bond.note().empty());
    EXPECT_EQ(copy.owner(), "Cal Doe");
    EXPECT_EQ(copy.secondName(), "Ben Doe");
}

// What the report shows for a key of the record: numbers plainly, whatever the key.
TEST(Bond, RecordTextShowsStoredNumbersPlainly) {
    auto dict = PlistDict::create();
    dict->set("Note", PlistValue("100"));
    dict->set("Count", PlistValue::integer(100));
    dict->set("Offset", PlistValue::integer(-7));
    dict->set("Share", PlistValue(100.5));
    dict->set("Extra", PlistValue(PlistDict::create()));
    dict->set(kFaceValueKey, PlistValue::integer(50));
    Bond bond = Bond::fromRecord(PlistValue(dict));
    EXPECT_EQ(bond.recordText("Note"), "100");
    EXPECT_EQ(bond.recordText("Count"), "100");
    EXPECT_EQ(bond.recordText("Offset"), "-7");
    EXPECT_EQ(bond.recordText("Share"), "100.5");
    EXPECT_EQ(bond.recordText("Extra"), "");
    EXPECT_EQ(bond.recordText("Missing"), "");
    EXPECT_EQ(bond.recordText(kFaceValueKey), "50");
    bond.faceValue = "75";
    EXPECT_EQ(bond.recordText(kFaceValueKey), "75") << "the field as it is now";
}
