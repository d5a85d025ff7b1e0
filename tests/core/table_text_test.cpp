// Tables as CSV and as aligned text: what a spreadsheet or a terminal makes of a cell.

#include "valuation/TableText.h"

#include <gtest/gtest.h>

// A cell a spreadsheet would run as a formula is written as text (an apostrophe inside the
// quotes); a plain number stays a number; no control character reaches the output.
TEST(TableTextTest, FormulasAreWrittenAsTextAndControlCharactersAsReplacement) {
    const std::string csv =
        csvText({{"=cmd|' /C calc'!A0", "@SUM(A1)", "+1+1", "-1+1", "\tX", "-12.5", "$-3.00"},
                 {"CTL\x01X", "\x1b[2J", "a\r\nb", "=", "-", "1-1"}});
    EXPECT_EQ(csv, "\"'=cmd|' /C calc'!A0\",\"'@SUM(A1)\",\"'+1+1\",\"'-1+1\",\"'\tX\",-12.5,"
                   "$-3.00\r\n"
                   "CTL\xEF\xBF\xBDX,\xEF\xBF\xBD[2J,\"a\r\nb\",\"'=\",\"'-\",1-1\r\n");
    EXPECT_EQ(alignedText({{"\x1b[2J", "C1\xC2\x9B"}, {"ab\tc", "x"}}, {}),
              "\xEF\xBF\xBD[2J  C1\xEF\xBF\xBD\nab\xEF\xBF\xBD"
              "c  x\n");
}
