#pragma once

// Numbers read from and written as text, the same under every locale: the point is the decimal
// separator and no thousands separators are used.

#include "platform/PlistValue.h"

#include <string>
#include <string_view>

// Leading white space is skipped, then the longest prefix that forms a decimal number (an
// optional sign, digits, an optional point and further digits) is read; 0 when there is none.
double doubleValueOfText(std::string_view text);

// Leading white space is skipped, then an optional sign and the decimal digits that follow;
// 0 when the text does not start with a number. Values beyond the range of int are clamped.
int intValueOfText(std::string_view text);

// A stored value as a number: text by the rule above, a number as it is, anything else 0.
double doubleValueOf(const PlistValue& value);
int intValueOf(const PlistValue& value);

// Fixed notation with exactly six decimals, correctly rounded ("%f").
std::string formatSixDecimals(double value);
