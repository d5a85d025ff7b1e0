// Property-list text made to crash, exhaust or fool the reader, and values that the writer could
// not write back the same: each is refused as a whole file, or read and written unchanged.

#include "platform/PlistXmlReader.h"
#include "platform/PropertyList.h"
#include "support/PlistLibraryReading.h"
#include "support/TempDir.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

std::string repeated(std::string_view text, int count) {
    std::string result;
    result.reserve(text.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

std::string plist(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" +
           std::string(body) + "</plist>\n";
}

void expectRefused(const std::string& xml, std::string_view what) {
    std::string error;
    EXPECT_TRUE(propertyListFromXml(xml, &error).isAbsent()) << what;
    EXPECT_FALSE(error.empty()) << what;
}

PlistArrayRef arrayOf(std::initializer_list<PlistValue> values) {
    return std::make_shared<PlistArray>(values);
}

std::int64_t secondsSince2001(int year, unsigned month, unsigned day, int hms = 0) {
    using namespace std::chrono;
    const sys_days date =
        std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day);
    return (date - sys_days(std::chrono::year(2001) / 1 / 1)).count() * 86400LL + hms;
}

// Markup that reads differently from a naive look must not hide nesting beyond the limit.
TEST(PropertyListHardeningTest, NestingHiddenByMarkupIsRefusedWithoutCrashing) {
    constexpr int kDeep = 400000;
    const std::pair<std::string, std::string> cases[] = {
        {"quoted '/>' in an attribute", plist(repeated("<array a=\"/>\">", kDeep))},
        {"quoted '/>' on dictionaries",
         plist(repeated("<dict q=\"x/>y\" r=\">\"><key>k</key>", kDeep))},
        {"document type with a quoted '['",
         "<!DOCTYPE plist \"[\">" + plist(repeated("<array>", kDeep)) + "]>"},
        {"document type with an internal subset",
         "<!DOCTYPE plist [<!ENTITY e \"]>\">]>" + plist(repeated("<array>", kDeep))},
        {"single-quoted '/>'", plist(repeated("<array a='/>'>", kDeep))},
        {"processing instructions between levels",
         plist(repeated("<array><?pi \"?>\"?><!-- <array/> -->", kDeep))},
        {"closed again", plist(repeated("<array>", kDeep) + repeated("</array>", kDeep))},
    };
    for (const auto& [what, xml] : cases) {
        std::string error;
        EXPECT_TRUE(propertyListFromXml(xml, &error).isAbsent()) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
    // Deep-looking markup inside CDATA or a comment is text, not nesting.
    const std::string inCdata =
        plist("<string><![CDATA[" + repeated("<array>", kDeep) + "]]></string>");
    EXPECT_EQ(propertyListFromXml(inCdata), PlistValue(repeated("<array>", kDeep)));
    // The bound is exact, for a root of any kind.
    for (const bool dictRoot : {false, true}) {
        for (const int depth : {256, 257}) {
            const std::string head = dictRoot ? "<dict><key>a</key><true/><key>b</key>" : "";
            const int arrays = dictRoot ? depth - 1 : depth;
            const std::string xml =
                plist(head + repeated("<array>", arrays) + repeated("</array>", arrays) +
                      (dictRoot ? "</dict>" : ""));
            EXPECT_EQ(propertyListFromXml(xml).isAbsent(), depth > 256) << depth << dictRoot;
        }
    }
}

// A file is decoded by the encoding it declares; text that is not UTF-8 is never replaced.
TEST(PropertyListHardeningTest, TextIsReadByItsDeclaredEncodingOrRefused) {
    const std::string latin1Body = "<plist><array><string>Caf\xE9</string><string>\xFF</string>"
                                   "</array></plist>";
    const PlistValue cafe(arrayOf({PlistValue("Caf\xC3\xA9"), PlistValue("\xC3\xBF")}));
    EXPECT_EQ(propertyListFromXml("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + latin1Body),
              cafe);
    EXPECT_EQ(propertyListFromXml("  <?xml version='1.0' encoding = 'latin1' ?>" + latin1Body),
              cafe);
    EXPECT_EQ(propertyListFromXml("<?xml version=\"1.0\" encoding=\"us-ascii\"?>"
                                  "<plist><string>plain</string></plist>"),
              PlistValue("plain"));
    // UTF-16 in either byte order, with its mark or without.
    const std::u16string utf16 = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><array>"
                                 u"<string>Caf\u00e9</string><string>\xFF</string>"
                                 u"<string>\U0001F4B5</string></array></plist>";
    const PlistValue cafeAndNote(arrayOf(
        {PlistValue("Caf\xC3\xA9"), PlistValue("\xC3\xBF"), PlistValue("\xF0\x9F\x92\xB5")}));
    for (const bool littleEndian : {true, false}) {
        for (const std::u16string& text : {u"\uFEFF" + utf16, utf16}) {
            std::string bytes;
            for (const char16_t unit : text) {
                bytes += static_cast<char>(littleEndian ? unit & 0xFF : unit >> 8);
                bytes += static_cast<char>(littleEndian ? unit >> 8 : unit & 0xFF);
            }
            EXPECT_EQ(propertyListFromXml(bytes), cafeAndNote) << littleEndian;
        }
    }
    // Character references to control characters keep two serials apart.
    EXPECT_EQ(propertyListFromXml(plist("<array><string>C&#1;</string><string>C&#x2;</string>"
                                        "</array>")),
              PlistValue(arrayOf({PlistValue("C\x01"), PlistValue("C\x02")})));
    const std::pair<std::string, std::string> refused[] = {
        {"bytes that are not UTF-8", plist("<string>A\xFE</string>")},
        {"keys that are not UTF-8",
         plist("<dict><key>A\xFE</key><string>1</string><key>A\xFF</key><string>2</string>"
               "</dict>")},
        {"undeclared ISO-8859-1", "<plist><string>Caf\xE9</string></plist>"},
        {"a surrogate by reference", plist("<string>&#xD800;</string>")},
        {"UTF-16 declared, not written",
         "<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><true/></plist>"},
        {"Shift_JIS", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><plist><true/></plist>"},
        {"US-ASCII with other bytes",
         "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><plist><string>\xC3\xA9</string></plist>"},
        {"a NUL byte in a string", plist(std::string("<string>ab\0cd</string>", 23))},
    };
    for (const auto& [what, xml] : refused) {
        expectRefused(xml, what);
    }
}

// The library keeps one entry of a key given twice; such a file is refused, never merged.
TEST(PropertyListHardeningTest, AKeyGivenTwiceInOneDictionaryMakesTheFileUnreadable) {
    std::string large = "<dict>";
    for (int i = 0; i < 30000; ++i) {
        large += "<key>P" + std::to_string(i) + "</key><string>" + repeated("x", 60) + "</string>";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"nested", "<dict><key>a</key><dict><key>k</key><true/><key>k</key><false/></dict>"
                   "<key>b</key><true/></dict>"},
        {"root", "<dict><key>a</key><true/><key>b</key><true/><key>a</key><false/></dict>"},
        {"same after references",
         "<dict><key>AA</key><true/><key>x</key><true/><key>A&#65;</key><false/></dict>"},
        {"root parts far apart", large + "<key>P7</key><true/></dict>"},
    };
    for (const auto& [what, body] : cases) {
        std::string error;
        EXPECT_TRUE(propertyListFromXml(plist(body), &error).isAbsent()) << what;
        EXPECT_EQ(error, "a dictionary of the property list holds the same key twice") << what;
    }
    const PlistValue distinct = propertyListFromXml(plist(large + "</dict>"));
    ASSERT_NE(distinct.dictPtr(), nullptr);
    EXPECT_EQ(distinct.dictPtr()->size(), 30000u);
}

// Integers, dates and reals that the library would read as some other value are refused; those
// kept are written back the same.
TEST(PropertyListHardeningTest, ValuesAreReadOnlyWhenTheyReadBackTheSame) {
    const char* refused[] = {
        "<integer>9223372036854775808</integer>",
        "<integer>18446744073709551615</integer>",
        "<integer>-9223372036854775809</integer>",
        "<integer>99999999999999999999</integer>",
        "<integer>12a</integer>",
        "<integer>010</integer>",
        "<integer>-0x10</integer>",
        "<date>2001-13-45T00:00:00Z</date>",
        "<date>0001-01-01T00:00:00Z</date>",
        "<date>999-12-31T00:00:00Z</date>",
        "<date>1900-02-29T00:00:00Z</date>",
        "<date>2001-01-01T24:00:00Z</date>",
        "<date>2001-01-01T00:00:00</date>",
        "<date>hello</date>",
        "<date/>",
        "<real>nan</real>",
        "<real>-inf</real>",
        "<real>1e999</real>",
    };
    for (const char* value : refused) {
        expectRefused(plist(value), value);
    }
    const std::pair<const char*, PlistValue> kept[] = {
        {"<integer>9223372036854775807</integer>", PlistValue::integer(INT64_MAX)},
        {"<integer>-9223372036854775808</integer>", PlistValue::integer(INT64_MIN)},
        {"<integer>0x1F</integer>", PlistValue::integer(31)},
        {"<date>1000-01-01T00:00:00Z</date>", PlistValue(PlistDate{secondsSince2001(1000, 1, 1)})},
        {"<date> 2000-02-29T12:00:00Z </date>",
         PlistValue(PlistDate{secondsSince2001(2000, 2, 29, 43200)})},
        {"<date>9999-12-31T23:59:59Z</date>",
         PlistValue(PlistDate{secondsSince2001(9999, 12, 31, 86399)})},
        {"<real>-1.5e300</real>", PlistValue(-1.5e300)},
    };
    for (const auto& [text, value] : kept) {
        const PlistValue read = propertyListFromXml(plist(text));
        EXPECT_EQ(read, value) << text;
        EXPECT_EQ(propertyListFromXml(propertyListToXml(read)), value) << text;
    }
    // The writer refuses what the reader would refuse, leaving the file as it was.
    TempDir dir;
    writeWholeFile(dir / "kept.plist", "before");
    const PlistValue unwritable[] = {
        PlistValue(std::numeric_limits<double>::quiet_NaN()),
        PlistValue(-std::numeric_limits<double>::infinity()),
        PlistValue(PlistDate{secondsSince2001(1, 1, 1)}),
        PlistValue(PlistDate{secondsSince2001(10000, 1, 1)}),
        PlistValue(PlistDate{0, 500000}),
        PlistValue(PlistInteger{std::numeric_limits<std::uint64_t>::max(), false}),
    };
    for (const PlistValue& value : unwritable) {
        auto root = PlistDict::create();
        root->set("v", value);
        root->set("w", PlistValue("fine"));
        EXPECT_FALSE(writePropertyList(dir / "kept.plist", PlistValue(root)));
        EXPECT_FALSE(writePropertyList(dir / "kept.plist", PlistValue(arrayOf({value}))));
    }
    EXPECT_EQ(readWholeFile(dir / "kept.plist"), "before");
}

// The number of values is bounded, exactly.
TEST(PropertyListHardeningTest, TooManyValuesAreRefusedBeforeParsing) {
    const std::string five = plist("<array>" + repeated("<true/>", 4) + "</array>");
    std::string reason;
    EXPECT_FALSE(readPlistXml(five, reason, PlistXmlLimits{256, 5}).isAbsent());
    EXPECT_TRUE(readPlistXml(five, reason, PlistXmlLimits{256, 4}).isAbsent());
    EXPECT_EQ(reason, "the property list holds more than 4 values");
    std::string error;
    const std::string huge = plist("<array>" + repeated("<true/>", 4'000'000) + "</array>");
    EXPECT_TRUE(propertyListFromXml(huge, &error).isAbsent());
    EXPECT_EQ(error, "the property list holds more than 4000000 values");
}

// A root dictionary is read only when the library would read the whole text.
TEST(PropertyListHardeningTest, PartWiseReadingAcceptsExactlyWhatAWholeParseAccepts) {
    const std::string entries =
        "<key>a</key><string>x</string><key>b</key><array><true/></array><key>c</key><dict/>";
    const std::string body = "<dict>" + entries + "</dict>";
    auto expected = PlistDict::create();
    expected->set("a", PlistValue("x"));
    expected->set("b", PlistValue(arrayOf({PlistValue(true)})));
    expected->set("c", PlistValue(PlistDict::create()));
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string open = "<plist version=\"1.0\">";
    const std::pair<std::string, std::string> refused[] = {
        {"unclosed quote in the declaration", "<?xml version=\"1.0?>" + open + body + "</plist>"},
        {"junk before the first key", open + "<dict>junk" + entries + "</dict></plist>"},
        {"junk between entries",
         open + "<dict><key>a</key><string>x</string>&amp;" + entries.substr(30) + "</dict>"},
        {"cut at </dict and padded with NULs",
         declaration + open + "<dict>" + entries + std::string("</dict\0\0\0\0", 10)},
        {"a value without a key", open + "<dict><string>v</string>" + entries + "</dict>"},
        {"an unknown element between entries",
         open + "<dict><key>a</key><string>x</string><x/>" + entries.substr(30) + "</dict>"},
        {"a second <plist> inside", open + "<dict><plist>" + entries + "</dict></plist>"},
    };
    for (const auto& [what, xml] : refused) {
        expectRefused(xml, what);
    }
    const std::pair<std::string, std::string> accepted[] = {
        {"plain", declaration + open + body + "</plist>\n"},
        {"comments and instructions between entries",
         declaration + open + "<dict><!-- <key>z</key> --><key>a</key><?pi x?><string>x</string>" +
             entries.substr(30) + "</dict></plist>"},
        {"anything after the root, as the library ignores it",
         declaration + open + body + std::string("</plist>\0junk<dict>", 19)},
        {"no end tag for <plist>", open + body},
    };
    for (const auto& [what, xml] : accepted) {
        EXPECT_EQ(propertyListFromXml(xml), PlistValue(expected)) << what;
    }
}

} // namespace

namespace {

// Document types and quoted attribute text are read as the library reads them: an integer
// hidden from the reader would be read as some other number.
TEST(PropertyListHardeningTest, ThePreCheckSeesPastDocumentTypesAndQuotedAttributes) {
    const std::string tooBig = "<integer>99999999999999999999999</integer>";
    const std::pair<std::string, std::string> refused[] = {
        {"an empty internal subset", "<!DOCTYPE plist [ ]><plist>" + tooBig + "</plist>"},
        {"a decoy property list in the internal subset",
         "<!DOCTYPE plist [ <plist><array></array> ]><plist>" + tooBig + "</plist>"},
        {"a quoted '>' in an attribute", plist("<integer a=\">\">" + tooBig.substr(9))},
    };
    for (const auto& [what, xml] : refused) {
        expectRefused(xml, what);
    }
    EXPECT_EQ(propertyListFromXml("<plist version=\"1>0\"><integer>7</integer></plist>"),
              PlistValue::integer(7));
}

// A file is read exactly when it could be written again, at every depth around the limit and
// whichever reading takes it.
TEST(PropertyListHardeningTest, NestingIsReadExactlyAsDeepAsItIsWritten) {
    const std::string written = propertyListToXml(PlistValue(true));
    const std::string prolog = written.substr(0, written.find("<true/>"));
    int readable = 0;
    for (int depth = 250; depth <= 260; ++depth) {
        PlistValue nested(std::make_shared<PlistArray>());
        for (int level = 1; level < depth; ++level) {
            nested = PlistValue(arrayOf({nested}));
        }
        const bool writable = !propertyListToXml(nested).empty();
        const std::string body = repeated("<array>", depth) + repeated("</array>", depth);
        const bool plainRead = !propertyListFromXml(prolog + body + "\n</plist>\n").isAbsent();
        const bool carefulRead = !propertyListFromXml(plist(body)).isAbsent();
        EXPECT_EQ(plainRead, writable) << depth;
        EXPECT_EQ(carefulRead, writable) << depth;
        readable += plainRead ? 1 : 0;
    }
    EXPECT_GT(readable, 0);
    EXPECT_LT(readable, 11);
}

// A byte-order mark before UTF-8 text is no part of it, whichever reading takes the text.
TEST(PropertyListHardeningTest, AByteOrderMarkIsPassedOver) {
    const PlistValue value(arrayOf({PlistValue("caf\u00e9")}));
    EXPECT_EQ(propertyListFromXml("\xEF\xBB\xBF" + propertyListToXml(value)), value);
    EXPECT_EQ(
        propertyListFromXml("\xEF\xBB\xBF" + plist("<array><string>caf\u00e9</string></array>")),
        value);
}

} // namespace

namespace {

// A text with more references than any real one holds is refused at once (the library, the
// tests' oracle, takes time growing with their number squared); one below the bound is read.
TEST(PropertyListHardeningTest, ReferencesInOneTextAreBounded) {
    const auto start = std::chrono::steady_clock::now();
    expectRefused(plist("<string>" + repeated("&amp;", 500000) + "</string>"), "500,000");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(propertyListFromXml(plist("<string>" + repeated("&amp;", 60000) + "</string>")),
              PlistValue(std::string(60000, '&')));
}

} // namespace

namespace {

// What a value is measured to take in a file is what the file holds: its values exactly, no
// more bytes than the bound.
TEST(PropertyListHardeningTest, AValuesSizeInAFileIsBoundBeforeWriting) {
    // Data ten levels down is written in its narrowest lines.
    PlistValue deep(PlistData{std::string(1000, 'x')});
    for (int level = 0; level < 10; ++level) {
        deep = PlistValue(arrayOf({deep}));
    }
    for (const PlistValue& value :
         {readPropertyList(std::filesystem::path(ORVELT_TEST_DATA_DIR) / "plist" /
                           "plistlib_every_kind.plist"),
          PlistValue(arrayOf({PlistValue("a\x01&<\xEF\xBF\xBE"), deep}))}) {
        ASSERT_FALSE(value.isAbsent());
        const std::string xml = propertyListToXml(value);
        const PropertyListSize size = propertyListSize(value);
        std::string error;
        EXPECT_FALSE(readPlistXml(xml, error, PlistXmlLimits{256, size.values}).isAbsent());
        EXPECT_TRUE(readPlistXml(xml, error, PlistXmlLimits{256, size.values - 1}).isAbsent());
        EXPECT_GE(size.maxXmlBytes, xml.size());
    }
}

} // namespace

namespace {

// Dates and data that the library reads as something else than they say are refused; what the
// reader takes from the seeds of the fuzz target and the test files, the library reads alike.
TEST(PropertyListHardeningTest, WhatIsReadTheLibraryReadsAlike) {
    for (const char* value : {"<date><!-- -->2001-01-01T00:00:00Z</date>",
                              "<date>2001-01-01T00:00:00Z            </date>", "<data>Q=JD</data>",
                              "<data>QU JD</data>", "<data>QU<!-- -->JD</data>"}) {
        expectRefused(plist(value), value);
    }
    EXPECT_EQ(propertyListFromXml(plist("<data> QUJD\n\tQQ== </data>")),
              PlistValue(PlistData{"ABCA"}));
    expectRefused(plist(std::string("<string>&amp\0;</string>", 23)), "a NUL in a reference");
    // A key that takes no value is dropped, whatever its text.
    EXPECT_EQ(propertyListFromXml(plist("<dict><key>\xFF</key></dict>")),
              PlistValue(PlistDict::create()));
    std::size_t compared = 0;
    for (const char* folder :
         {ORVELT_SOURCE_DIR "/fuzz/corpus/oracle", ORVELT_SOURCE_DIR "/fuzz/corpus/portfolio",
          ORVELT_TEST_DATA_DIR "/plist"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string text = readWholeFile(entry.path());
            const PlistValue read = propertyListFromXml(text);
            if (!read.isAbsent()) {
                EXPECT_EQ(read, propertyListFromXmlByLibrary(text)) << entry.path();
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 10u);
}

} // namespace
