// Where values come from, as every window and orvelt-cli tell it, and the help page's copy.

#include "support/TempDir.h"
#include "valuation/ValueSources.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

TEST(ValueSources, TheOfficialAndTheComputedMonthsAreNamed) {
    const std::string text = valueSourcesText();
    EXPECT_NE(text.find("values for June 2016 to November 2016 are the Treasury's official values"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("value files you add (Update Values…)"), std::string::npos) << text;
    EXPECT_NE(text.find("other months from June 2009 to November 2026 are computed from the "
                        "Treasury's published interest rates"),
              std::string::npos)
        << text;

    const auto month = [](RedemptionMonth m, bool updated) {
        return monthValueSourceText(m, updated);
    };
    EXPECT_NE(month({2016, 6}, false).find("official values (value file sb201606.asc)"),
              std::string::npos);
    EXPECT_NE(month({2026, 11}, false).find("computed from the Treasury's published"),
              std::string::npos);
    EXPECT_EQ(month({2026, 11}, false).find("unless"), std::string::npos);
    EXPECT_NE(month({2026, 11}, true).find("unless a Treasury value file you added"),
              std::string::npos);
    EXPECT_NE(month({2027, 1}, true).find("from the value files you added"), std::string::npos);
    EXPECT_NE(month({2009, 5}, true).find("from the value files you added"), std::string::npos);
}

TEST(ValueSources, TheHelpPageSaysTheSame) {
    std::ifstream page(std::filesystem::path(ORVELT_SOURCE_DIR) /
                       "resources/site/help/orvelthelp/Orvelt_Help.html");
    std::stringstream html;
    html << page.rdbuf();
    EXPECT_NE(html.str().find(valueSourcesText()), std::string::npos);
}
