#include "platform/PropertyList.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">\n";

// A root dictionary is written entry by entry; the text must be exactly the library's text of
// the whole tree, entries in their order.
TEST(PropertyListWritingTest, RootEntriesAreWrittenInTheLibrarysLayout) {
    auto bond = PlistDict::create();
    bond->set("Serial", PlistValue("C1\r2"));
    bond->set("Face Value", PlistValue::integer(50));
    auto record = PlistDict::create();
    record->set("Name", PlistValue("A & B"));
    record->set("Bonds", PlistValue(std::make_shared<PlistArray>(
                             PlistArray{PlistValue(bond), PlistValue(true)})));
    auto root = PlistDict::create();
    root->set("A & B", PlistValue(record));
    root->set("skipped", PlistValue());
    root->set("Empty", PlistValue(PlistDict::create()));
    root->set("Real", PlistValue(2.5));
    EXPECT_EQ(propertyListToXml(PlistValue(root)), kHead + "<dict>\n"
                                                           "\t<key>A &amp; B</key>\n"
                                                           "\t<dict>\n"
                                                           "\t\t<key>Name</key>\n"
                                                           "\t\t<string>A &amp; B</string>\n"
                                                           "\t\t<key>Bonds</key>\n"
                                                           "\t\t<array>\n"
                                                           "\t\t\t<dict>\n"
                                                           "\t\t\t\t<key>Serial</key>\n"
                                                           "\t\t\t\t<string>C1&#13;2</string>\n"
                                                           "\t\t\t\t<key>Face Value</key>\n"
                                                           "\t\t\t\t<integer>50</integer>\n"
                                                           "\t\t\t</dict>\n"
                                                           "\t\t\t<true/>\n"
                                                           "\t\t</array>\n"
                                                           "\t</dict>\n"
                                                           "\t<key>Empty</key>\n"
                                                           "\t<dict/>\n"
                                                           "\t<key>Real</key>\n"
                                                           "\t<real>2.5</real>\n"
                                                           "</dict>\n"
                                                           "</plist>\n");
}

TEST(PropertyListWritingTest, RootOfOnlyAbsentValuesIsAnEmptyDictionary) {
    auto root = PlistDict::create();
    root->set("a", PlistValue());
    root->set("b", PlistValue());
    EXPECT_EQ(propertyListToXml(PlistValue(root)), kHead + "<dict/>\n</plist>\n");
}

// Entries are written on more than one thread: many entries of different sizes must still come
// out whole, in their order, and the same every time.
TEST(PropertyListWritingTest, ManyRootEntriesKeepTheirOrder) {
    auto root = PlistDict::create();
    for (int p = 0; p < 200; ++p) {
        auto bonds = std::make_shared<PlistArray>();
        for (int b = 0; b < (p * 37) % 300; ++b) {
            auto bond = PlistDict::create();
            bond->set("Serial", PlistValue("S" + std::to_string(p) + "-" + std::to_string(b)));
            bond->set("Value", PlistValue(b + 0.25));
            bonds->push_back(PlistValue(bond));
        }
        root->set("Portfolio " + std::to_string(p), PlistValue(bonds));
        if (p % 50 == 0) {
            root->set("absent " + std::to_string(p), PlistValue());
        }
    }
    const std::string xml = propertyListToXml(PlistValue(root));
    EXPECT_EQ(propertyListToXml(PlistValue(root)), xml);
    const PlistValue back = propertyListFromXml(xml);
    ASSERT_NE(back.dictPtr(), nullptr);
    ASSERT_EQ(back.dictPtr()->size(), 200u);
    for (int p = 0; p < 200; ++p) {
        const std::string key = "Portfolio " + std::to_string(p);
        EXPECT_EQ(back.dictPtr()->entries()[static_cast<std::size_t>(p)].first, key);
        EXPECT_EQ(back.dictPtr()->value(key), root->value(key)) << key;
    }
}

// A fault anywhere in a large root, first or last, fails the whole read.
TEST(PropertyListWritingTest, AFaultInAnyPartOfALargeRootFailsTheRead) {
    auto root = PlistDict::create();
    for (int p = 0; p < 40; ++p) {
        auto bonds = std::make_shared<PlistArray>();
        for (int b = 0; b < 3000; ++b) {
            bonds->push_back(PlistValue("S" + std::to_string(p * 10000 + b)));
        }
        root->set("P" + std::to_string(p), PlistValue(bonds));
    }
    const std::string xml = propertyListToXml(PlistValue(root));
    ASSERT_GT(xml.size(), 3u << 20);
    ASSERT_EQ(propertyListFromXml(xml), PlistValue(root));
    for (const std::string serial : {"S0", "S200000", "S392999"}) {
        std::string broken = xml;
        const std::size_t at = broken.find("<string>" + serial + "</string>");
        ASSERT_NE(at, std::string::npos);
        // An entity no property-list reader knows.
        broken.insert(at + 8, "&bogus;");
        std::string error;
        EXPECT_TRUE(propertyListFromXml(broken, &error).isAbsent()) << serial;
        EXPECT_EQ(error, "the file is not an XML property list") << serial;
    }
}

// Numbers are written and read under the "C" locale, whatever the process's.
TEST(PropertyListWritingTest, PartsOnEveryThreadIgnoreTheLocale) {
    auto root = PlistDict::create();
    for (int p = 0; p < 50; ++p) {
        PlistArray reals(2000);
        for (int i = 0; i < 2000; ++i) {
            reals[static_cast<std::size_t>(i)] = PlistValue(p * 10000 + i + 0.5);
        }
        root->set("P" + std::to_string(p), PlistValue(std::make_shared<PlistArray>(reals)));
    }
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    const std::string xml = propertyListToXml(PlistValue(root));
    const PlistValue back = propertyListFromXml(xml);
    std::setlocale(LC_ALL, "C");
    ASSERT_GT(xml.size(), 2u << 20);
    EXPECT_EQ(xml.find(",5"), std::string::npos);
    EXPECT_EQ(back, PlistValue(root));
}

} // namespace
