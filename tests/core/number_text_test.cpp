#include "platform/NumberText.h"

#include <climits>
#include <clocale>
#include <gtest/gtest.h>

namespace {

TEST(NumberTextTest, DecimalPrefixOfText) {
    EXPECT_EQ(doubleValueOfText("100"), 100.0);
    EXPECT_EQ(doubleValueOfText("  \t\n42.5"), 42.5);
    EXPECT_EQ(doubleValueOfText("-3.25"), -3.25);
    EXPECT_EQ(doubleValueOfText("+7"), 7.0);
    EXPECT_EQ(doubleValueOfText("12abc"), 12.0);
    EXPECT_EQ(doubleValueOfText(".5"), 0.5);
    EXPECT_EQ(doubleValueOfText("5."), 5.0);
    EXPECT_EQ(doubleValueOfText("1.2.3"), 1.2);
    EXPECT_EQ(doubleValueOfText("0025.50"), 25.5);
    EXPECT_EQ(doubleValueOfText(""), 0.0);
    EXPECT_EQ(doubleValueOfText("abc"), 0.0);
    EXPECT_EQ(doubleValueOfText("-"), 0.0);
    EXPECT_EQ(doubleValueOfText("."), 0.0);
    EXPECT_EQ(doubleValueOfText("$100"), 0.0);
    EXPECT_EQ(doubleValueOfText("1,000"), 1.0);
    EXPECT_EQ(doubleValueOfText("x 1"), 0.0);
}

TEST(NumberTextTest, IntegerPrefixOfText) {
    EXPECT_EQ(intValueOfText("1995"), 1995);
    EXPECT_EQ(intValueOfText("  -12x"), -12);
    EXPECT_EQ(intValueOfText("+8"), 8);
    EXPECT_EQ(intValueOfText("19.95"), 19);
    EXPECT_EQ(intValueOfText(""), 0);
    EXPECT_EQ(intValueOfText("- 5"), 0);
    EXPECT_EQ(intValueOfText("99999999999999999999"), INT_MAX);
    EXPECT_EQ(intValueOfText("-99999999999999999999"), INT_MIN);
}

TEST(NumberTextTest, StoredValuesOfEveryKind) {
    EXPECT_EQ(doubleValueOf(PlistValue("50")), 50.0);
    EXPECT_EQ(doubleValueOf(PlistValue::integer(500)), 500.0);
    EXPECT_EQ(doubleValueOf(PlistValue::integer(-2)), -2.0);
    EXPECT_EQ(doubleValueOf(PlistValue(12.5)), 12.5);
    EXPECT_EQ(doubleValueOf(PlistValue()), 0.0);
    EXPECT_EQ(doubleValueOf(PlistValue(PlistDict::create())), 0.0);
    EXPECT_EQ(intValueOf(PlistValue::integer(1999)), 1999);
    EXPECT_EQ(intValueOf(PlistValue(1e300)), INT_MAX);
    EXPECT_EQ(intValueOf(PlistValue(" 2001 ")), 2001);
}

TEST(NumberTextTest, TheLocaleDoesNotMatter) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    const double read = doubleValueOfText("1234.56");
    const double comma = doubleValueOfText("1234,56");
    const std::string written = formatSixDecimals(1234.5);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(read, 1234.56);
    EXPECT_EQ(comma, 1234.0);
    EXPECT_EQ(written, "1234.500000");
}

TEST(NumberTextTest, SixDecimals) {
    EXPECT_EQ(formatSixDecimals(0), "0.000000");
    EXPECT_EQ(formatSixDecimals(25.6), "25.600000");
    EXPECT_EQ(formatSixDecimals(-0.0000005), "-0.000000");
    EXPECT_EQ(formatSixDecimals(1234567.1234567), "1234567.123457");
}

} // namespace
