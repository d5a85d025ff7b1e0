#include "platform/PropertyList.h"
#include "support/PlistLibraryReading.h"
#include "support/TempDir.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

PlistValue fixture(const char* name) {
    std::string error;
    PlistValue value = readPropertyList(fs::path(ORVELT_TEST_DATA_DIR) / "plist" / name, &error);
    EXPECT_FALSE(value.isAbsent()) << error;
    return value;
}

PlistValue roundTrip(const PlistValue& value) {
    std::string error;
    PlistValue back = propertyListFromXml(propertyListToXml(value), &error);
    EXPECT_FALSE(back.isAbsent()) << error;
    return back;
}

PlistArrayRef arrayOf(std::initializer_list<PlistValue> values) {
    return std::make_shared<PlistArray>(values);
}

TEST(PropertyListTest, WrittenFileReadsBackWithKeysInTheirOrder) {
    TempDir dir;
    auto root = PlistDict::create();
    root->set("zeta", PlistValue("last letter"));
    root->set("alpha", PlistValue::integer(-7));
    root->set("mid", PlistValue(arrayOf({PlistValue(2.5), PlistValue(true)})));
    ASSERT_TRUE(writePropertyList(dir / "x.plist", PlistValue(root)));
    PlistValue back = readPropertyList(dir / "x.plist");
    ASSERT_NE(back.dictPtr(), nullptr);
    EXPECT_EQ(back.dictPtr()->keys(), (std::vector<std::string>{"zeta", "alpha", "mid"}));
    EXPECT_EQ(back, PlistValue(root));
}

TEST(PropertyListTest, EveryKindOfValueRoundTrips) {
    auto inner = PlistDict::create();
    inner->set("deep",
               PlistValue(arrayOf({PlistValue(arrayOf({})), PlistValue(PlistDict::create())})));
    auto root = PlistDict::create();
    root->set("text", PlistValue("a & b < c > d \"e\" 'f' ]]> ünï 債券 😀 tab\there\nline"));
    root->set("empty", PlistValue(""));
    root->set("negative", PlistValue::integer(-9223372036854775807LL - 1));
    root->set("large", PlistValue::integer(9223372036854775807LL));
    root->set("zero", PlistValue::integer(0));
    root->set("real", PlistValue(0.1));
    root->set("tiny", PlistValue(-1.5e-300));
    root->set("true", PlistValue(true));
    root->set("false", PlistValue(false));
    root->set("date", PlistValue(PlistDate{-283996800, 0}));
    root->set("far future", PlistValue(PlistDate{3155760000LL, 0}));
    root->set("far past", PlistValue(PlistDate{-3155760000LL, 0}));
    root->set("data", PlistValue(PlistData{std::string("\0\x01\xff<&>", 6)}));
    root->set("nested", PlistValue(inner));
    root->set("& key <with> markup", PlistValue("v"));
    EXPECT_EQ(roundTrip(PlistValue(root)), PlistValue(root));
    // A root that is not a dictionary.
    const PlistValue array(arrayOf({PlistValue("x"), PlistValue::integer(1)}));
    EXPECT_EQ(roundTrip(array), array);
    EXPECT_EQ(roundTrip(PlistValue("just text")), PlistValue("just text"));
    EXPECT_EQ(roundTrip(PlistValue(PlistDict::create())), PlistValue(PlistDict::create()));
}

TEST(PropertyListTest, MarkupAndNonAsciiAreEscapedOrKeptAsUtf8) {
    auto root = PlistDict::create();
    root->set("k&<>", PlistValue("a&b<c>d ü"));
    const std::string xml = propertyListToXml(PlistValue(root));
    EXPECT_NE(xml.find("<key>k&amp;&lt;&gt;</key>"), std::string::npos);
    EXPECT_NE(xml.find("<string>a&amp;b&lt;c&gt;d \xC3\xBC</string>"), std::string::npos);
}

// Characters XML 1.0 cannot hold are written as U+FFFD, so that any XML reader takes the file;
// two keys that would then meet fail the write. Text that no XML file can hold is not written,
// and the file is left as it was.
TEST(PropertyListTest, ControlCharactersAreWrittenAsReplacementAndUnwritableTextIsRefused) {
    auto root = PlistDict::create();
    root->set("control", PlistValue("C1\x01\x1b\x1f"
                                    "EE\xEF\xBF\xBE\xEF\xBF\xBF"));
    root->set(std::string("key\x07", 4), PlistValue("bell"));
    root->set("allowed", PlistValue("tab\t lf\n cr\r crlf\r\n del\x7f"));
    const std::string xml = propertyListToXml(PlistValue(root));
    for (char c : xml) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte >= 0x20 || c == '\t' || c == '\n') << "raw byte " << int(byte);
    }
    const std::string replacement = "\xEF\xBF\xBD";
    const std::string written =
        "C1" + replacement + replacement + replacement + "EE" + replacement + replacement;
    EXPECT_NE(xml.find(written), std::string::npos) << xml;
    const PlistValue back = propertyListFromXml(xml);
    ASSERT_NE(back.dictPtr(), nullptr);
    EXPECT_EQ(back.dictPtr()->keys(),
              (std::vector<std::string>{"control", "key" + replacement, "allowed"}));
    EXPECT_EQ(back.dictPtr()->text("control"), written);
    EXPECT_EQ(back.dictPtr()->value("allowed"), root->value("allowed"));
    root->set(std::string("key\x08", 4), PlistValue("backspace"));
    std::string error;
    EXPECT_TRUE(propertyListToXml(PlistValue(root), &error).empty());
    EXPECT_NE(error.find("differ only in control characters"), std::string::npos) << error;
    auto meets = PlistDict::create();
    meets->set("key" + replacement, PlistValue("written as it is"));
    meets->set(std::string("key\x07", 4), PlistValue("bell"));
    error.clear();
    EXPECT_TRUE(propertyListToXml(PlistValue(meets), &error).empty());
    EXPECT_NE(error.find("differ only in control characters"), std::string::npos) << error;

    TempDir dir;
    writeWholeFile(dir / "kept.plist", "before");
    for (const std::string& text :
         {std::string("caf\xE9"), std::string("trunc\xC3"), std::string("nul\0x", 5),
          std::string("\xED\xA0\x80 surrogate"), std::string("\xC0\xAF overlong")}) {
        SCOPED_TRACE(text);
        auto asValue = PlistDict::create();
        asValue->set("k", PlistValue(text));
        auto asKey = PlistDict::create();
        asKey->set(text, PlistValue("v"));
        asKey->set("other", PlistValue("w"));
        for (const auto& bad : {asValue, asKey}) {
            std::string error;
            EXPECT_TRUE(propertyListToXml(PlistValue(bad), &error).empty());
            EXPECT_EQ(error, "a text is not UTF-8 or holds a NUL character");
            EXPECT_FALSE(writePropertyList(dir / "kept.plist", PlistValue(bad)));
        }
    }
    EXPECT_EQ(readWholeFile(dir / "kept.plist"), "before");
}

TEST(PropertyListTest, AbsentValuesAreLeftOutInsteadOfFailingTheWrite) {
    auto root = PlistDict::create();
    root->set("kept", PlistValue("yes"));
    root->set("absent", PlistValue());
    root->set("list", PlistValue(arrayOf({PlistValue(), PlistValue("item")})));
    PlistValue back = roundTrip(PlistValue(root));
    EXPECT_EQ(back.dictPtr()->keys(), (std::vector<std::string>{"kept", "list"}));
    EXPECT_EQ(back.dictPtr()->value("list"), PlistValue(arrayOf({PlistValue("item")})));
    EXPECT_TRUE(propertyListToXml(PlistValue()).empty());
    TempDir dir;
    EXPECT_FALSE(writePropertyList(dir / "absent.plist", PlistValue()));
    EXPECT_FALSE(fs::exists(dir / "absent.plist"));
}

TEST(PropertyListTest, NumbersDoNotDependOnTheLocale) {
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (german == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    auto root = PlistDict::create();
    root->set("real", PlistValue(2.5));
    const std::string xml = propertyListToXml(PlistValue(root));
    PlistValue parsed = propertyListFromXml(
        "<plist version=\"1.0\"><dict><key>r</key><real>1234.5</real></dict></plist>");
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(xml.find("<real>2.5</real>"), std::string::npos) << xml;
    ASSERT_NE(parsed.dictPtr(), nullptr);
    EXPECT_EQ(*parsed.dictPtr()->value("r").realPtr(), 1234.5);
}

TEST(PropertyListTest, PlistlibFilesLoadWithTheSameContent) {
    PlistValue every = fixture("plistlib_every_kind.plist");
    const PlistDict& d = *every.dictPtr();
    EXPECT_EQ(d.keys().front(), "string");
    EXPECT_EQ(d.keys().back(), "a");
    EXPECT_EQ(d.text("string"), "plain");
    EXPECT_EQ(d.value("empty"), PlistValue(""));
    EXPECT_EQ(d.value("integer"), PlistValue::integer(42));
    EXPECT_EQ(d.value("negative"), PlistValue::integer(-17));
    EXPECT_EQ(d.value("large"), PlistValue::integer(9007199254740993LL));
    EXPECT_EQ(d.value("real"), PlistValue(2.5));
    EXPECT_EQ(d.value("small real"), PlistValue(0.1));
    EXPECT_EQ(d.value("negative real"), PlistValue(-1234.5678));
    EXPECT_EQ(d.value("true"), PlistValue(true));
    EXPECT_EQ(d.value("false"), PlistValue(false));
    // 1990-01-01, 1901-12-14 20:45:52 and 2100-07-04 12:00 in seconds from 2001-01-01 UTC.
    EXPECT_EQ(d.value("date"), PlistValue(PlistDate{-347155200, 0}));
    EXPECT_EQ(d.value("old date"), PlistValue(PlistDate{-3125704448LL, 0}));
    EXPECT_EQ(d.value("future date"), PlistValue(PlistDate{3140078400LL, 0}));
    std::string allBytes;
    for (int i = 0; i < 256; ++i) {
        allBytes += static_cast<char>(i);
    }
    EXPECT_EQ(d.value("data"), PlistValue(PlistData{allBytes}));
    EXPECT_EQ(d.value("empty data"), PlistValue(PlistData{}));
    const PlistValue* four = plistFind(&d, {"nested", "list"});
    ASSERT_NE(four, nullptr);
    const PlistArray& list = *four->arrayPtr();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1], PlistValue("two"));
    const PlistArray& third = *list[2].arrayPtr();
    EXPECT_EQ(third[0], PlistValue(3.0));
    EXPECT_EQ(plistFind(third[1].dictPtr(), {"four"})->arrayPtr()->at(0), PlistValue(true));
    EXPECT_TRUE(plistFind(&d, {"nested", "empty dict"})->dictPtr()->empty());

    PlistValue portfolios = fixture("plistlib_portfolios.plist");
    EXPECT_EQ(portfolios.dictPtr()->keys(),
              (std::vector<std::string>{"Family", "Grandmère's 債券", "No list"}));
    const PlistValue* bonds = plistFind(portfolios.dictPtr(), {"Family", "Bonds"});
    ASSERT_NE(bonds, nullptr);
    EXPECT_EQ(bonds->arrayPtr()->at(1).dictPtr()->text("Serial"), "Q 42 & <co>");
    EXPECT_EQ(bonds->arrayPtr()->at(1).dictPtr()->value("Face Value"), PlistValue::integer(500));
    EXPECT_EQ(plistFind(portfolios.dictPtr(), {"Grandmère's 債券", "Note"})->text(),
              "ünïcödé — \"quoted\" 'single' > tab\there");
    EXPECT_EQ(roundTrip(portfolios), portfolios);
}

// A large root dictionary reads as the library reads it.
TEST(PropertyListTest, ALargeRootReadsAsTheLibraryReadsIt) {
    auto root = PlistDict::create();
    auto bonds = std::make_shared<PlistArray>();
    for (int i = 0; i < 20000; ++i) {
        auto bond = PlistDict::create();
        bond->set("Serial", PlistValue("S" + std::to_string(i)));
        bond->set("Face Value", PlistValue::integer(i));
        bonds->push_back(PlistValue(bond));
    }
    for (int p = 0; p < 9; ++p) {
        auto record = PlistDict::create();
        record->set("Name", PlistValue("P" + std::to_string(p)));
        record->set("Bonds", PlistValue(bonds));
        root->set("P" + std::to_string(p), PlistValue(record));
    }
    root->set("<!-- not a comment -->", PlistValue("]]> <dict>"));
    root->set("empty", PlistValue(PlistDict::create()));
    const std::string xml = propertyListToXml(PlistValue(root));
    ASSERT_GT(xml.size(), 3u << 20);
    EXPECT_EQ(propertyListFromXml(xml), PlistValue(root));
    EXPECT_EQ(propertyListFromXmlByLibrary(xml), PlistValue(root));

    // Comments and a CDATA section between the entries are read as the library reads them.
    const std::string withComments =
        "<?xml version=\"1.0\"?>\n<!-- <dict> -->\n<plist version=\"1.0\"><dict>"
        "<key>a</key><!-- </dict> --><string><![CDATA[<x>]]></string>"
        "<key>b</key><true/></dict></plist>\n";
    PlistValue parsed = propertyListFromXml(withComments);
    ASSERT_NE(parsed.dictPtr(), nullptr);
    EXPECT_EQ(parsed.dictPtr()->text("a"), "<x>");
    EXPECT_EQ(parsed.dictPtr()->value("b"), PlistValue(true));
}

TEST(PropertyListTest, BadTextGivesTheAbsentValueWithoutCrashing) {
    std::string closedDeep;
    for (int i = 0; i < 200000; ++i) {
        closedDeep += "<array>";
    }
    for (int i = 0; i < 200000; ++i) {
        closedDeep += "</array>";
    }
    std::string deepInsideRoot = "<plist version=\"1.0\"><dict><key>k</key>";
    for (int i = 0; i < 300; ++i) {
        deepInsideRoot += "<array>";
    }
    std::string acceptableDepth = "<plist version=\"1.0\">";
    for (int i = 0; i < 200; ++i) {
        acceptableDepth += "<array>";
    }
    for (int i = 0; i < 200; ++i) {
        acceptableDepth += "</array>";
    }
    acceptableDepth += "</plist>";
    for (const std::string& text :
         {std::string(), std::string("   "), std::string("<plist version=\"1.0\"><dict><key>a"),
          std::string("<plist><dict><key>a</key><string>x</string></dict>"),
          std::string("<plist><string>a&bogus;b</string></plist>"), std::string("<<<>>>"),
          std::string("<plist><dict><string>no key</string></dict></plist>"),
          std::string("<plist><integer>12</string></plist>"),
          std::string("<!DOCTYPE x [<!ENTITY e \"v\">]><plist><string>&e;</string></plist>"),
          std::string("\xff\xfe<\0p\0l\0", 8), closedDeep, deepInsideRoot}) {
        std::string error;
        PlistValue value = propertyListFromXml(text, &error);
        if (value.isAbsent()) {
            EXPECT_FALSE(error.empty());
        }
    }
    std::string error;
    EXPECT_TRUE(propertyListFromXml(closedDeep, &error).isAbsent());
    EXPECT_EQ(error, "the property list is nested too deeply");
    EXPECT_TRUE(propertyListFromXml(deepInsideRoot).isAbsent());
    EXPECT_FALSE(propertyListFromXml(acceptableDepth).isAbsent());
}

TEST(PropertyListTest, ReadingFiles) {
    TempDir dir;
    std::string error;
    EXPECT_TRUE(readPropertyList(dir / "missing.plist", &error).isAbsent());
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(readPropertyList(dir.path()).isAbsent());
    writeWholeFile(dir / "small.plist", "<plist><string>x</string></plist>");
    EXPECT_EQ(readPropertyList(dir / "small.plist"), PlistValue("x"));
    EXPECT_TRUE(readPropertyList(dir / "small.plist", 10, &error).isAbsent());
    EXPECT_NE(error.find("too large"), std::string::npos);

    // A root dictionary is read as one; another root gets the caller's words, a file that cannot
    // be read keeps the reader's reason.
    writeWholeFile(dir / "dict.plist",
                   "<plist><dict><key>a</key><string>x</string></dict></plist>");
    const PlistDictRef dict = readPropertyListDictionary(dir / "dict.plist", "no dict", &error);
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->text("a"), "x");
    EXPECT_FALSE(readPropertyListDictionary(dir / "small.plist", "no dict", &error));
    EXPECT_EQ(error, "no dict");
    EXPECT_FALSE(readPropertyListDictionary(dir / "small.plist", "no dict", &error, 10));
    EXPECT_NE(error.find("too large"), std::string::npos);
}

} // namespace
