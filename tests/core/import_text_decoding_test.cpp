#include "store/TextDecoding.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(TextDecodingTest, Utf8ValidityFollowsTheStrictRules) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));         // overlong NUL
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong slash
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("ab\xC3"));           // cut short at the end
    EXPECT_FALSE(isValidUtf8("\xC3(x"));           // lead byte without continuation
    EXPECT_FALSE(isValidUtf8("\x80"));             // lone continuation byte
    EXPECT_FALSE(isValidUtf8("\xFF"));
}

TEST(TextDecodingTest, Windows1252MapsItsOwnRangeAndLatin1) {
    EXPECT_EQ(windows1252ToUtf8("\x80\x8A\x99\x9F"), "\xE2\x82\xAC\xC5\xA0\xE2\x84\xA2\xC5\xB8");
    EXPECT_EQ(windows1252ToUtf8("caf\xE9 \xA0\xFF"), "caf\xC3\xA9 \xC2\xA0\xC3\xBF");
    EXPECT_EQ(windows1252ToUtf8("\x81\x8D"), "\xC2\x81\xC2\x8D");
    EXPECT_EQ(windows1252ToUtf8("a\0b"s), "a\0b"s);
}

TEST(TextDecodingTest, Utf16PairsLoneSurrogatesAndAnOddByte) {
    EXPECT_EQ(utf16ToUtf8("A\0\xE9\0"s, false), "A\xC3\xA9");
    EXPECT_EQ(utf16ToUtf8("\0A\x20\xAC"s, true), "A\xE2\x82\xAC");
    EXPECT_EQ(utf16ToUtf8("\x3D\xD8\x00\xDE"s, false), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16ToUtf8("\x3D\xD8"
                          "A\0"s,
                          false),
              "\xEF\xBF\xBD"
              "A");
    EXPECT_EQ(utf16ToUtf8("\x00\xDE"s, false), "\xEF\xBF\xBD");
    EXPECT_EQ(utf16ToUtf8("A\0B"s, false), "A\xEF\xBF\xBD");
}

TEST(TextDecodingTest, TheFileIsReadByItsMarkOrByWhetherItIsUtf8) {
    EXPECT_EQ(decodeWindowsText("\xEF\xBB\xBF"
                                "caf\xC3\xA9"),
              "caf\xC3\xA9");
    EXPECT_EQ(decodeWindowsText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(decodeWindowsText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(decodeWindowsText("\xEF\xBB\xBF"
                                "caf\xE9"),
              "caf\xC3\xA9");
    // Line by line: one line of Windows-1252 leaves the UTF-8 of the others as it is.
    EXPECT_EQ(decodeWindowsText("B\xC3\xA9\r\nB\xE9\rB\xC3\xA9"),
              "B\xC3\xA9\r\nB\xC3\xA9\rB\xC3\xA9");
    EXPECT_EQ(decodeWindowsText("\xFF\xFE"
                                "A\0"s),
              "A");
    EXPECT_EQ(decodeWindowsText("\xFE\xFF\0A"s), "A");
}

} // namespace
