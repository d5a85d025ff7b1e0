// Text in the usual writers' plain form and the same text with a comment in it read alike, with
// the same reason when refused, and as the property-list library reads them when read.

#include "platform/PropertyList.h"
#include "support/PlistLibraryReading.h"

#include <gtest/gtest.h>

namespace {

const std::string kPlainHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                               "<plist version=\"1.0\">\n";

std::string nested(int depth, std::string_view inner) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<array>";
    }
    text += inner;
    for (int i = 0; i < depth; ++i) {
        text += "</array>";
    }
    return text;
}

TEST(PropertyListPlainTextTest, PlainTextReadsAsTheLibraryReadsIt) {
    const std::string strings[] = {"plain",
                                   " spaced\t\n",
                                   "",
                                   "A &amp; B &lt;&gt; &quot;&apos;",
                                   "&#65;&#x42;&#01;&#13;",
                                   "&#65534;&#x10FFFF;&#xD800;",
                                   "&#0;",
                                   "&#1114112;",
                                   "&#00000065;",
                                   "&#000000065;",
                                   "&#X41;",
                                   "&#x;",
                                   "&ampx;",
                                   "&bogus;",
                                   "a&",
                                   "a & b",
                                   "caf\xc3\xa9",
                                   "\xff",
                                   "\xc0\xaf",
                                   "raw \x01",
                                   "raw\r\n",
                                   std::string("nul\0byte", 8),
                                   "a > b",
                                   "\xef\xbf\xbe"};
    std::vector<std::string> bodies;
    for (const std::string& text : strings) {
        bodies.push_back("<string>" + text + "</string>");
        bodies.push_back("<dict><key>" + text + "</key><true/></dict>");
    }
    const char* const others[] = {
        "<dict><key>a</key><true/><key>a</key><false/></dict>",
        "<dict><key>a</key><true/><key>b</key><false/><key>c</key><real>2.5</real></dict>",
        "<dict>\n\t<key>a</key>\n\t<dict/>\n\t<key>b</key>\n\t<array/>\n</dict>",
        "<dict><key>a</key></dict>",
        "<dict><true/></dict>",
        "<array><key>a</key></array>",
        "<string/>",
        "<dict><key/><true/></dict>",
        "<integer>9223372036854775807</integer>",
        "<integer>9223372036854775808</integer>",
        "<integer>-9223372036854775808</integer>",
        "<integer>-9223372036854775809</integer>",
        "<integer>010</integer>",
        "<integer>+5</integer>",
        "<integer>-0</integer>",
        "<integer>0</integer>",
        "<integer></integer>",
        "<real>1e400</real>",
        "<real>1e-400</real>",
        "<real>-0.0</real>",
        "<real>.5</real>",
        "<real>0.1</real>",
        "<real>1.5E+3</real>",
        "<date>2001-01-01T00:00:00Z</date>",
        "<true/>",
        "<false/>"};
    bodies.insert(bodies.end(), std::begin(others), std::end(others));
    bodies.push_back(nested(254, "<true/>"));
    bodies.push_back(nested(255, "<true/>"));
    bodies.push_back(nested(256, "<true/>"));
    bodies.push_back(nested(256, ""));
    bodies.push_back(nested(300, "<true/>"));
    for (const std::string& body : bodies) {
        const std::string plain = kPlainHead + body + "\n</plist>\n";
        const std::string marked = kPlainHead + "<!-- -->" + body + "\n</plist>\n";
        std::string plainError;
        std::string markedError;
        const PlistValue plainValue = propertyListFromXml(plain, &plainError);
        EXPECT_EQ(plainValue, propertyListFromXml(marked, &markedError)) << body;
        EXPECT_EQ(plainError, markedError) << body;
        if (!plainValue.isAbsent()) {
            EXPECT_EQ(plainValue, propertyListFromXmlByLibrary(plain)) << body;
        }
    }
}

} // namespace
