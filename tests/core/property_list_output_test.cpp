#include "platform/PropertyList.h"
#include "store/BondRecord.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

// Texts that exercise every way a character can be written: markup characters, control
// characters, characters XML cannot hold, characters outside ASCII, white space at the ends.
const char* const kTexts[] = {"",
                              "plain",
                              "A & B",
                              "<tag attr=\"1\">",
                              "it's > it was",
                              "]]> and &amp; as text",
                              "line one\nline two",
                              "\ttabbed\t",
                              "carriage\rreturn\r\n",
                              "control \x01\x02\x1f end",
                              "\x7f delete",
                              "non-characters \xef\xbf\xbe and \xef\xbf\xbf",
                              "caf\xc3\xa9 na\xc3\xafve",
                              "\xe6\x97\xa5\xe6\x9c\xac",
                              "emoji \xf0\x9f\x92\xb5",
                              "  spaced  ",
                              "\xc2\xa0no-break\xc2\xa0"};
constexpr std::size_t kTextCount = sizeof kTexts / sizeof kTexts[0];

// Dates and data are left out of `plainOnly` values, the plain form of most writers' files.
PlistValue anyValue(std::mt19937& random, bool plainOnly) {
    const unsigned kind = random() % 8;
    switch (plainOnly && (kind == 3 || kind == 4) ? 7 : kind) {
    case 0:
        return PlistValue::integer(static_cast<std::int64_t>(random()) - (1 << 30));
    case 1:
        return PlistValue(static_cast<double>(random()) / 7.0 - 1e6);
    case 2:
        return PlistValue(random() % 2 == 0);
    case 3:
        return PlistValue(PlistDate{static_cast<std::int64_t>(random() % 2000000000) - 900000000});
    case 4: {
        std::string bytes(random() % 120, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        return PlistValue(PlistData{bytes});
    }
    case 5:
        return PlistValue(PlistDict::create());
    case 6:
        return PlistValue(std::make_shared<PlistArray>());
    default:
        return PlistValue();
    }
}

// A fixed set of portfolios: bonds of the usual text values, some with texts of every kind and
// values of every other kind besides.
PlistValue portfolios(bool plainOnly = false) {
    std::mt19937 random(1941);
    auto root = PlistDict::create();
    for (int p = 0; p < 6; ++p) {
        const std::string name =
            std::string(kTexts[(p * 5) % kTextCount]) + " #" + std::to_string(p);
        auto bonds = std::make_shared<PlistArray>();
        for (int b = 0; b < 60; ++b) {
            auto bond = PlistDict::create();
            bond->set(kSerialKey, PlistValue("C" + std::to_string(random() % 100000000) + "EE"));
            bond->set(kTypeKey, PlistValue(b % 3 == 0 ? "EE" : "I"));
            bond->set(kFaceValueKey, PlistValue(std::to_string(50 << (random() % 6))));
            bond->set(kIssueYearKey, PlistValue(std::to_string(1941 + random() % 80)));
            bond->set(kIssueMonthKey, PlistValue(kMonthNames[random() % 12]));
            if (b % 4 == 1) {
                bond->set("Note", PlistValue(kTexts[random() % kTextCount]));
                bond->set(kTexts[random() % kTextCount], PlistValue(kTexts[random() % kTextCount]));
                bond->set("Extra", anyValue(random, plainOnly));
            }
            bonds->push_back(PlistValue(bond));
        }
        bonds->push_back(anyValue(random, plainOnly));
        auto record = PlistDict::create();
        record->set(kPortfolioNameKey, PlistValue(name));
        record->set(kPortfolioBondsKey, PlistValue(bonds));
        root->set(name, PlistValue(record));
    }
    // Edge values, some nested deeper than data lines are indented.
    PlistValue deep = PlistValue(PlistData{std::string(100, '\xfb')});
    for (int level = 0; level < 12; ++level) {
        deep = PlistValue(std::make_shared<PlistArray>(PlistArray{
            deep, PlistValue(0.0), PlistValue(-0.0), PlistValue(1e300), PlistValue(-1e-300),
            PlistValue(0.1), PlistValue(100.0), PlistValue::integer(INT64_MIN),
            PlistValue::integer(INT64_MAX), PlistValue(PlistDate{-31588531200}),
            PlistValue(PlistDate{252423993599}), PlistValue(PlistData{}), PlistValue(""),
            PlistValue(PlistData{std::string(level * 7, 'x')})}));
    }
    if (!plainOnly) {
        root->set("Deep", deep);
    }
    root->set("absent", PlistValue());
    root->set("Version", PlistValue::integer(2));
    return PlistValue(root);
}

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The writer's text of the same data never changes: the committed file was written by an
// earlier version of the writer. Read back (absent values left out) it is written the same.
TEST(PropertyListOutputTest, TextIsTheSameAsEarlierVersionsWrote) {
    const std::string expected = readWhole(std::filesystem::path(ORVELT_TEST_DATA_DIR) / "plist" /
                                           "written_portfolios.plist");
    ASSERT_GT(expected.size(), 50000u);
    const PlistValue data = portfolios();
    EXPECT_EQ(propertyListToXml(data), expected);
    EXPECT_EQ(propertyListToXml(propertyListFromXml(expected)), expected);
}

// The usual writers' plain text and text with other markup read as the same values.
TEST(PropertyListOutputTest, PlainAndOtherTextReadTheSame) {
    const std::string plain = propertyListToXml(portfolios(true));
    std::string marked = plain;
    marked.insert(marked.find("<dict>"), "<!-- not plain -->");
    const PlistValue value = propertyListFromXml(plain);
    ASSERT_NE(value.dictPtr(), nullptr);
    EXPECT_EQ(value, propertyListFromXml(marked));
}

} // namespace
