// The table builder's value computation against the published figures collected in the
// project's rates.md (Section 4 official redemption tables and earnings reports, Section 1.3
// composite rates, the CFR worked examples), and the rules' boundaries.

#include "BondRates.h"
#include "EarningRatesBuilder.h"
#include "TableLines.h"
#include "ValueEngine.h"
#include "platform/PropertyList.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTableFile.h"
#include "valuation/ValueTableMonths.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iomanip>
#include <map>
#include <sstream>
#include <vector>

namespace {

const std::filesystem::path kDataDir = std::filesystem::path(ORVELT_SOURCE_DIR) / "tools" / "data";

const BondRates& rates() {
    static const BondRates loaded = [] {
        std::string error;
        std::optional<BondRates> result = BondRates::load(kDataDir, &error);
        if (!result) {
            ADD_FAILURE() << error;
            return BondRates{};
        }
        return *result;
    }();
    return loaded;
}

constexpr YearMonth ym(int year, int month) {
    return {year, month};
}

long long valueCents(BondSeries series, YearMonth issue, YearMonth redemption) {
    const RedemptionValue value = redemptionValue(rates(), series, issue, redemption);
    EXPECT_EQ(value.kind, RedemptionValue::Kind::Value)
        << "issue " << issue.keyText() << ", redemption " << redemption.keyText();
    return value.cents;
}

// A Treasury redemption table: values per $50 face (two units), issue months newest first.
struct PublishedTable {
    const char* name;
    YearMonth redemption;
    YearMonth newestIssue;
    YearMonth oldestIssue;
    std::vector<double> valuesPer50;
};

class PublishedEETable : public testing::TestWithParam<PublishedTable> {};

TEST_P(PublishedEETable, ComputedValuesMatchToTheCent) {
    const PublishedTable& table = GetParam();
    // A dropped or doubled number would shift every later month.
    ASSERT_EQ(table.valuesPer50.size(),
              static_cast<std::size_t>(table.newestIssue.monthsSince(table.oldestIssue) + 1));
    for (std::size_t i = 0; i < table.valuesPer50.size(); ++i) {
        const YearMonth issue = table.newestIssue.plusMonths(-static_cast<int>(i));
        const auto expected = static_cast<long long>(table.valuesPer50[i] * 100.0 + 0.5);
        EXPECT_EQ(2 * valueCents(BondSeries::EE, issue, table.redemption), expected)
            << table.name << ", issue " << issue.keyText();
    }
}

// rates.md, Section 4 (Treasury "Savings Bond Redemption Value Tables", series EE).
INSTANTIATE_TEST_SUITE_P(
    RatesSection4, PublishedEETable,
    testing::Values(
        PublishedTable{"Jun2009",
                       ym(2009, 6),
                       ym(2008, 6),
                       ym(2008, 1),
                       {25.26, 25.30, 25.70, 25.76, 25.82, 25.88}},
        PublishedTable{
            "Jun2010",
            ym(2010, 6),
            ym(2009, 6),
            ym(2008, 7),
            {25.12, 25.14, 25.30, 25.32, 25.34, 25.38, 25.40, 25.42, 25.50, 25.54, 25.56, 25.60}},
        PublishedTable{"Dec2008",
                       ym(2008, 12),
                       ym(2007, 12),
                       ym(2005, 1),
                       {25.56, 25.64, 25.78, 25.86, 25.94, 26.00, 26.08, 26.16, 26.30,
                        26.38, 26.46, 26.54, 26.62, 26.70, 26.82, 26.90, 26.98, 27.06,
                        27.14, 27.24, 27.00, 27.06, 27.14, 27.20, 27.28, 27.34, 27.66,
                        27.74, 27.82, 27.90, 27.98, 28.06, 28.46, 28.56, 28.62, 28.68}},
        PublishedTable{"Dec2002",
                       ym(2002, 12),
                       ym(2002, 6),
                       ym(2000, 1),
                       {25.24, 25.32, 25.42, 25.50, 25.58, 25.66, 25.76, 25.84, 26.00, 26.08,
                        26.16, 26.26, 26.34, 26.42, 26.72, 26.82, 26.90, 27.00, 27.08, 27.18,
                        27.50, 27.60, 27.70, 27.78, 27.88, 27.96, 28.20, 28.30, 28.40, 28.48}},
        PublishedTable{"Mar2002",
                       ym(2002, 3),
                       ym(2001, 9),
                       ym(2000, 1),
                       {25.28, 25.38, 25.46, 25.56, 25.64, 25.90, 25.98, 26.08, 26.18, 26.28, 26.36,
                        26.64, 26.74, 26.84, 26.94, 27.04, 27.14, 27.32, 27.42, 27.52, 27.62}},
        PublishedTable{"Sep2001",
                       ym(2001, 9),
                       ym(2001, 3),
                       ym(2000, 9),
                       {25.34, 25.46, 25.58, 25.70, 25.80, 25.96, 26.08}}),
    [](const testing::TestParamInfo<PublishedTable>& info) { return info.param.name; });

TEST(PublishedValues, JuneTwoThousandNineTableMarksRecentIssuesNotEligible) {
    for (YearMonth issue = ym(2008, 7); issue <= ym(2009, 6); issue = issue.plusMonths(1)) {
        EXPECT_EQ(redemptionValue(rates(), BondSeries::EE, issue, ym(2009, 6)).kind,
                  RedemptionValue::Kind::NotPayable);
    }
}

// Earnings report sber0500 (Series I, per $100 = four units, no penalty): the value at the
// start and the end of the rate period that overlaps Nov 1999 - Oct 2000.
TEST(PublishedValues, SeriesIEarningsReportNov1999ToOct2000) {
    struct Row {
        YearMonth firstIssue, lastIssue;
        int startAge;
        long long startPer100, endPer100;
    };
    const std::vector<Row> rows = {
        {ym(1999, 11), ym(2000, 4), 0, 10000, 10348},
        {ym(1999, 5), ym(1999, 10), 6, 10252, 10604},
        {ym(1998, 11), ym(1999, 4), 12, 10512, 10872},
        {ym(1998, 9), ym(1998, 10), 18, 10768, 11144},
    };
    for (const Row& row : rows) {
        for (YearMonth issue = row.firstIssue; issue <= row.lastIssue;
             issue = issue.plusMonths(1)) {
            EXPECT_EQ(4 * *accruedValueCents(rates(), BondSeries::I, issue, row.startAge),
                      row.startPer100);
            EXPECT_EQ(4 * *accruedValueCents(rates(), BondSeries::I, issue, row.startAge + 6),
                      row.endPer100);
        }
    }
}

// Earnings report sber0598 (EE per $100): issues of May - Oct 1997 are worth 51.44 after their
// first six months at 5.68%. 12.50 x 1.0284 is exactly 12.855: the half rounds up.
TEST(PublishedValues, SeriesEEEarningsReport1997AndItsHalfCent) {
    for (YearMonth issue = ym(1997, 5); issue <= ym(1997, 10); issue = issue.plusMonths(1)) {
        EXPECT_EQ(4 * *accruedValueCents(rates(), BondSeries::EE, issue, 6), 5144);
    }
}

TEST(PublishedValues, RegulationWorkedExamples) {
    EXPECT_EQ(compositeRate(200, 28), 257);            // 31 CFR 359.14
    EXPECT_EQ(accrueWithinPeriod(2500, 257, 6), 2532); // 359.19: $25 at 2.57%
    EXPECT_EQ(accrueWithinPeriod(1250, 325, 6), 1270); // 351.16: $12.50 at 3.25%
    EXPECT_EQ(accrueWithinPeriod(1600, 500, 5), 1633); // 351.32: $16.00 at 5.00%, m = 5
}

// Secondary value pages (eyebonds.info) that rates.md found to agree.
TEST(PublishedValues, SeriesIValuePages) {
    EXPECT_EQ(*accruedValueCents(rates(), BondSeries::I, ym(1998, 12), 1), 2510);
    EXPECT_EQ(*accruedValueCents(rates(), BondSeries::I, ym(1998, 12), 24), 2816);
    EXPECT_EQ(valueCents(BondSeries::I, ym(1998, 12), ym(2010, 6)), 4912);
    EXPECT_EQ(200 * valueCents(BondSeries::I, ym(2000, 6), ym(2010, 6)), 928600);
    EXPECT_EQ(valueCents(BondSeries::I, ym(2005, 2), ym(2010, 6)), 3095);
}

TEST(CompositeRate, PublishedCompositesAndFloor) {
    struct Case {
        int fixed, inflation, composite;
    };
    const std::vector<Case> cases = {
        // rates.md 1.3, rates for new issues.
        {340, 62, 466},
        {200, 28, 257},
        {160, 123, 408},
        {110, 177, 466},
        {110, 54, 219},
        {100, 133, 367},
        {120, 179, 480},
        {100, 285, 673},
        {140, 50, 241},
        {140, 155, 452},
        {130, 121, 374},
        {120, 153, 428},
        {0, 242, 484},
        {70, 246, 564},
        {10, -278, 0},
        {30, 153, 336},
        {20, 77, 174},
        // The Nov 2009 inflation rate for every fixed rate (SBA table).
        {340, 153, 651},
        {330, 153, 641},
        {360, 153, 672},
        {300, 153, 611},
        {200, 153, 509},
        {160, 153, 468},
        {110, 153, 418},
        {100, 153, 408},
        {120, 153, 428},
        {140, 153, 448},
        {130, 153, 438},
        {0, 153, 306},
        {70, 153, 377},
        {10, 153, 316},
        {30, 153, 336},
        // Lowest and highest fixed rates, other announcements; 1.00% with 0.50% is 2.005%
        // and rounds half up.
        {100, 155, 412},
        {360, 155, 676},
        {100, 121, 343},
        {360, 121, 606},
        {100, 50, 201},
        {360, 50, 462},
        {100, 179, 460},
        {360, 179, 724},
        // Deflation below the fixed rate: zero, never negative.
        {360, -278, 0},
        {0, -1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(compositeRate(c.fixed, c.inflation), c.composite)
            << c.fixed << " with " << c.inflation;
    }
}

TEST(RateData, EveryPeriodHasItsRateAndOnlyTheSourcedGapsAreOpen) {
    for (YearMonth issue = ym(1998, 9); issue <= ym(2010, 4); issue = issue.plusMonths(1)) {
        EXPECT_TRUE(periodRate(rates(), BondSeries::I, issue, issue).has_value())
            << issue.keyText();
    }
    std::vector<YearMonth> missing;
    for (YearMonth announcement = ym(1997, 5); announcement <= ym(2010, 5);
         announcement = announcement.plusMonths(6)) {
        if (announcement >= ym(1998, 5)) {
            EXPECT_TRUE(rates().iInflationByAnnouncement.at(announcement).hundredthsOfPercent);
        }
        const PublishedRate& ee = rates().eeMarketByAnnouncement.at(announcement);
        if (!ee.hundredthsOfPercent) {
            EXPECT_EQ(ee.status, "not found");
            missing.push_back(announcement);
        }
    }
    EXPECT_EQ(missing, std::vector<YearMonth>{});
}

TEST(RateData, ARateHoldsUpToTheLastIssueMonthItsRowCovers) {
    const std::map<YearMonth, PublishedRate> table = {{ym(2025, 5), {340, "official", false}}};
    EXPECT_EQ(publishedRateInEffect(table, ym(2025, 10), ym(2025, 10)), &table.begin()->second);
    EXPECT_EQ(publishedRateInEffect(table, ym(2025, 11), ym(2025, 10)), nullptr);
    EXPECT_EQ(publishedRateInEffect(table, ym(2025, 4), ym(2025, 10)), nullptr);
}

TEST(RateData, MalformedRateFilesAreRefused) {
    const auto tryWith = [](const std::string& file, const std::string& replaceFrom,
                            const std::string& replaceTo) {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("orvelt-rates-" + file);
        std::filesystem::create_directories(dir);
        for (const auto& entry : std::filesystem::directory_iterator(kDataDir)) {
            std::filesystem::copy_file(entry.path(), dir / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        std::ifstream in(dir / file);
        std::stringstream text;
        text << in.rdbuf();
        std::string content = text.str();
        const std::size_t at = content.find(replaceFrom);
        EXPECT_NE(at, std::string::npos);
        content.replace(at, replaceFrom.size(), replaceTo);
        std::ofstream(dir / file, std::ios::trunc) << content;
        std::string error;
        const bool loaded = BondRates::load(dir, &error).has_value();
        std::filesystem::remove_all(dir);
        EXPECT_NE(error.find(file), std::string::npos) << error;
        return loaded;
    };
    // A missing period (1999-05 to 1999-10 dropped) would leave bonds without a rate.
    EXPECT_FALSE(tryWith("i_fixed_rates.tsv", "1999-05\t1999-10\t3.30", "1999-06\t1999-10\t3.30"));
    // A guessed number beside "not found".
    EXPECT_FALSE(tryWith("ee_market_rates.tsv", "not found\tnot found", "5.50\tnot found"));
    EXPECT_FALSE(tryWith("i_inflation_rates.tsv", "0.62", "0.6"));
    // A month of yields left out.
    EXPECT_FALSE(tryWith("five_year_yields.tsv", "1982-02\t", "1982-03\t"));
}

TEST(Rules, PenaltyEndsAtFiveYears) {
    const YearMonth issue = ym(2004, 7);
    EXPECT_EQ(valueCents(BondSeries::I, issue, ym(2009, 6)),
              *accruedValueCents(rates(), BondSeries::I, issue, 56)); // 59 months
    EXPECT_EQ(valueCents(BondSeries::I, issue, ym(2009, 7)),
              *accruedValueCents(rates(), BondSeries::I, issue, 60)); // 60 months
    EXPECT_EQ(valueCents(BondSeries::EE, issue, ym(2009, 6)),
              *accruedValueCents(rates(), BondSeries::EE, issue, 56));
    EXPECT_EQ(valueCents(BondSeries::EE, issue, ym(2009, 7)),
              *accruedValueCents(rates(), BondSeries::EE, issue, 60));
}

TEST(Rules, MinimumHoldingIsSixMonthsUpToJanuary2003AndTwelveAfter) {
    using Kind = RedemptionValue::Kind;
    for (BondSeries series : {BondSeries::I, BondSeries::EE}) {
        // Issued January 2003: payable at 6 months, valued 3 months after issue.
        EXPECT_EQ(redemptionValue(rates(), series, ym(2003, 1), ym(2003, 6)).kind,
                  Kind::NotPayable);
        EXPECT_EQ(valueCents(series, ym(2003, 1), ym(2003, 7)),
                  *accruedValueCents(rates(), series, ym(2003, 1), 3));
        // Issued February 2003: 11 months is not enough, 12 months is.
        EXPECT_EQ(redemptionValue(rates(), series, ym(2003, 2), ym(2003, 8)).kind,
                  Kind::NotPayable);
        EXPECT_EQ(redemptionValue(rates(), series, ym(2003, 2), ym(2004, 1)).kind,
                  Kind::NotPayable);
        EXPECT_EQ(valueCents(series, ym(2003, 2), ym(2004, 2)),
                  *accruedValueCents(rates(), series, ym(2003, 2), 9));
    }
}

TEST(Rules, AnAprilBondLagsAMayBondTakesTheNewRateAtOnce) {
    // April 2009: its April period takes the November 2008 inflation (0.70 fixed: 5.64%), its
    // October period the May 2009 deflation (0%).
    EXPECT_EQ(periodRate(rates(), BondSeries::I, ym(2009, 4), ym(2009, 4)), 564);
    EXPECT_EQ(periodRate(rates(), BondSeries::I, ym(2009, 4), ym(2009, 10)), 0);
    // May 2009: the May 2009 rate at once (0.10 fixed: 0%), then November 2009 (3.16%).
    EXPECT_EQ(periodRate(rates(), BondSeries::I, ym(2009, 5), ym(2009, 5)), 0);
    EXPECT_EQ(periodRate(rates(), BondSeries::I, ym(2009, 5), ym(2009, 11)), 316);
    EXPECT_EQ(*accruedValueCents(rates(), BondSeries::I, ym(2009, 5), 6), 2500);
    EXPECT_GT(*accruedValueCents(rates(), BondSeries::I, ym(2009, 4), 6), 2500);
}

TEST(Rules, ZeroCompositeOfMay2009HoldsValuesAndNothingEverDecreases) {
    // November 2003 (1.10% fixed): its May 2009 period earns 0%, so June to November 2009 show
    // one value.
    const YearMonth issue = ym(2003, 11);
    const long long may = valueCents(BondSeries::I, issue, ym(2009, 5));
    for (YearMonth r = ym(2009, 6); r <= ym(2009, 11); r = r.plusMonths(1)) {
        EXPECT_EQ(valueCents(BondSeries::I, issue, r), may);
    }
    EXPECT_GT(valueCents(BondSeries::I, issue, ym(2009, 12)), may);
    // Every I bond, month after month through the table's window.
    for (YearMonth i = ym(1998, 9); i <= ym(2009, 5); i = i.plusMonths(1)) {
        long long previous = 0;
        for (YearMonth r = std::max(i.plusMonths(12), ym(2009, 6)); r <= ym(2010, 5);
             r = r.plusMonths(1)) {
            const long long value = valueCents(BondSeries::I, i, r);
            EXPECT_GE(value, previous) << i.keyText();
            previous = value;
        }
    }
}

// EE of November 1982 - April 1995 are worth the higher of their guaranteed path and their
// market-based value, averaged from the six-month period that ended before the issue month.
TEST(EarlyEE, TheMarketBasedValueCountsWhereItIsAboveThePath) {
    // The Treasury's November 1995 report: EE of May - October 1989 at 73.64 per $100 after 13
    // half-years, above their path's 73.44 (rounding the value half up would give 73.60); those
    // of November 1989 on their path at 71.32.
    for (YearMonth issue = ym(1989, 5); issue <= ym(1989, 10); issue = issue.plusMonths(1)) {
        EXPECT_EQ(*earlyEEValueCents(rates(), issue, 78), 1841);
    }
    EXPECT_EQ(*minimumPathValueCents(ym(1989, 5), 78), 1836);
    EXPECT_EQ(*earlyEEValueCents(rates(), ym(1989, 11), 72), 1783);
    EXPECT_LT(*marketBasedValueCents(rates(), ym(1989, 11), 72), 1783);
    // A month missing from the yields leaves the value not known, never averaged without it.
    BondRates withGap = rates();
    withGap.fiveYearYieldByMonth.erase(ym(1990, 2));
    EXPECT_FALSE(marketBasedValueCents(withGap, ym(1989, 11), 72));
    EXPECT_TRUE(marketBasedValueCents(withGap, ym(1989, 11), 6));
    // In the table, above paths of 52.22 and 22.57; the yields' average rounded half up gives
    // these (rounded down 54.41, rounded up 22.71).
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1983, 3), ym(2010, 9)), 5455);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1995, 3), ym(2010, 2)), 2268);
    EXPECT_TRUE(marketBasedValueGoverns(rates(), ym(1983, 3), ym(2010, 9)));
    EXPECT_FALSE(marketBasedValueGoverns(rates(), ym(1983, 3), ym(2013, 3)));
}

// EE of May 1995 - April 1997: interest every six months at the short-term rate for five years,
// then at the long-term rate, and face value at 17 years.
TEST(EarlyEE, TheShortTermPathGivesTheOfficialValues) {
    // FS Form 0034: a $100 bond of July 1996 worth $51.08 on January 1, 1997 (at 4.36%).
    EXPECT_EQ(4 * *earlyEEValueCents(rates(), ym(1996, 7), 6), 5108);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1997, 4), ym(2014, 3)), 2107);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1997, 4), ym(2014, 4)), 2500);
}

std::string leafOf(const std::vector<ValueFileLine>& lines, const std::string& series,
                   const std::string& issueYear, int issueMonth) {
    for (const ValueFileLine& line : lines) {
        if (line.series == series && line.issueYear == issueYear) {
            return line.leaves[static_cast<std::size_t>(issueMonth - 1)];
        }
    }
    return "(no line)";
}

OfficialValueFile officialFile() {
    std::ifstream in(kDataDir / "sb201606.asc", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    OfficialValueFile official{{}, "sb201606.asc"};
    std::string error;
    EXPECT_TRUE(parseValueFile(text.str(), official.name, official.lines, &error)) << error;
    return official;
}

std::vector<ValueFileLine> linesFor(YearMonth redemption,
                                    const OfficialValueFile& official = officialFile()) {
    std::vector<ValueFileLine> lines;
    std::string error;
    EXPECT_TRUE(buildTableLines(rates(), official, redemption, redemption, lines, &error)) << error;
    return lines;
}

TEST(FinalMaturity, FinalValuesFromTheOfficialFileStartInTheMaturityMonth) {
    const std::string unknown(kUnknownValueLeaf);
    // EE of January 1980 matures in January 2010 (sb201606.asc line 301: "008287"); a month
    // before, it is in its last extension.
    EXPECT_EQ(leafOf(linesFor(ym(2009, 12)), "EE", "1980", 1), "008125");
    EXPECT_EQ(leafOf(linesFor(ym(2010, 1)), "EE", "1980", 1), "008287");
    EXPECT_EQ(leafOf(linesFor(ym(2010, 1)), "EE", "1980", 2), "008125");
    // E of June 1980 matures in June 2010 (sb201606.asc line 1: "011175"); July 1980 had none.
    EXPECT_EQ(leafOf(linesFor(ym(2010, 5)), "E", "1980", 6), unknown);
    EXPECT_EQ(leafOf(linesFor(ym(2010, 6)), "E", "1980", 6), "011175");
    EXPECT_EQ(leafOf(linesFor(ym(2010, 6)), "E", "1980", 7), "      ");
    // E of November 1965 had a 40-year life, December 1965 one of 30 years (line 16).
    EXPECT_EQ(leafOf(linesFor(ym(2009, 6)), "E", "1965", 12), "012812");
    // Savings notes ended 30 years after issue, all before 2009 (line 44).
    EXPECT_EQ(leafOf(linesFor(ym(2009, 6)), "S", "1967", 5), "015333");
    EXPECT_EQ(leafOf(linesFor(ym(2009, 6)), "S", "1967", 4), "      ");
}

// Every I value, every value of EE issued from November 1999 and every value of EE of May 1997 -
// October 1999 from their 17th year in the official June - November 2016 file, from the rates and
// rules alone (the 17-year adjustment among them).
TEST(OfficialValueFile, TheRulesGiveEveryOfficialValueOfTheBondsTheyCover) {
    std::map<std::string, int> compared;
    for (const ValueFileLine& line : officialFile().lines) {
        const auto series = line.series == "I" ? BondSeries::I : BondSeries::EE;
        const YearMonth redemption =
            ym(std::stoi(line.redemptionYear), std::stoi(line.redemptionMonth));
        for (int month = 1; month <= 12; ++month) {
            const YearMonth issue = ym(std::stoi(line.issueYear), month);
            const std::string& official = line.leaves[static_cast<std::size_t>(month - 1)];
            if ((line.series != "I" && line.series != "EE") ||
                (line.series == "EE" && issue < ym(1982, 11)) || official == "      ") {
                continue;
            }
            const RedemptionValue value = redemptionValue(rates(), series, issue, redemption);
            const std::string computed =
                value.kind == RedemptionValue::Kind::NotPayable
                    ? "NO PAY"
                    : (std::ostringstream() << std::setw(6) << std::setfill('0') << value.cents)
                          .str();
            EXPECT_EQ(computed, official)
                << line.series << " " << issue.keyText() << " at " << line.redemptionMonth;
            const std::string band = line.series != "EE"   ? ""
                                     : issue < ym(1995, 5) ? " 1982-1995"
                                     : issue < ym(1997, 5) ? " 1995-1997"
                                                           : "";
            ++compared[line.series + band + (official == "NO PAY" ? " NO PAY" : "")];
        }
    }
    EXPECT_EQ(compared, (std::map<std::string, int>{{"I", 1227},
                                                    {"I NO PAY", 72},
                                                    {"EE", 1323},
                                                    {"EE 1982-1995", 900},
                                                    {"EE 1995-1997", 144},
                                                    {"EE NO PAY", 72}}));
}

TEST(OfficialValueFile, TheBuilderStopsWhenItsRulesDisagreeWithTheFile) {
    OfficialValueFile altered = officialFile();
    for (ValueFileLine& line : altered.lines) {
        if (line.series == "I" && line.redemptionMonth == "09" && line.issueYear == "2003") {
            line.leaves[4] = "003000";
        }
    }
    std::vector<ValueFileLine> lines;
    std::string error;
    EXPECT_FALSE(buildTableLines(rates(), altered, ym(2016, 9), ym(2016, 9), lines, &error));
    EXPECT_NE(error.find("series I issued 2003-05 at 2016-09"), std::string::npos) << error;
    // The official months are shipped as the file gives them, even where the rules give nothing.
    std::vector<ValueFileLine> september;
    for (const ValueFileLine& line : officialFile().lines) {
        if (line.redemptionMonth == "09") {
            september.push_back(line);
        }
    }
    EXPECT_EQ(linesFor(ym(2016, 9)).size(), september.size());
    EXPECT_EQ(leafOf(linesFor(ym(2016, 9)), "EE", "1990", 6), leafOf(september, "EE", "1990", 6));
    // Elsewhere an issue year with no value adds no line.
    BondRates withoutBases = rates();
    withoutBases.lastExtensionBases.clear();
    EXPECT_EQ(leafOf(linesFor(ym(2010, 6)), "EE", "1981", 6), "007059");
    std::vector<ValueFileLine> june2010;
    EXPECT_TRUE(
        buildTableLines(withoutBases, officialFile(), ym(2010, 6), ym(2010, 6), june2010, &error));
    EXPECT_EQ(leafOf(june2010, "EE", "1981", 6), "(no line)");
}

// EE of January 1980 - October 1982 and E of July 1979 - June 1980 in their last extension: 4%
// from a base their official final value pins; for Series E only where rounding up and half up
// agree.
TEST(LastExtension, ValuesGrowFromTheBaseToTheOfficialFinalValue) {
    // EE of May 1981 - October 1982: 45.66 at 18 years, the official 73.45 at 30.
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1982, 10), ym(2012, 9)), 7201);
    EXPECT_EQ(lastExtensionValueCents(rates(), BondSeries::EE, ym(1982, 10), 360), 7345);
    // E of July 1979: 107.44 both ways; E of January 1980 in June 2009: 106.32 rounded up from
    // 90.74, 106.33 half up from 90.75 (the base that gives its final 110.62 that way).
    const std::vector<ValueFileLine> june2009 = linesFor(ym(2009, 6));
    EXPECT_EQ(leafOf(june2009, "E", "1979", 7), "010744");
    EXPECT_EQ(leafOf(june2009, "E", "1980", 1), std::string(kUnknownValueLeaf));
}

// Each rule stops the build when an official figure it must give is not reproduced.
TEST(LastExtension, TheBuilderStopsWhenAnOfficialFigureIsNotReproduced) {
    const auto buildError = [](const BondRates& changed) {
        std::vector<ValueFileLine> lines;
        std::string error;
        EXPECT_FALSE(
            buildTableLines(changed, officialFile(), ym(2010, 6), ym(2010, 6), lines, &error));
        return error;
    };
    BondRates yields = rates();
    yields.fiveYearYieldByMonth.at(ym(1989, 1)) += 300;
    const std::string market = buildError(yields);
    EXPECT_NE(market.find("series EE issued 1989-05, 78 months after issue (1995-11): the rules "
                          "give 73.76 per $100 (18.44 per $25), the official value is 73.64"),
              std::string::npos)
        << market;
    BondRates base = rates();
    base.lastExtensionBases.front().roundUpCents += 1;
    const std::string final = buildError(base);
    EXPECT_NE(final.find("series EE issued 1980-01: its last extension from 58.03 rounded up ends "
                         "at 82.89, sb201606.asc gives \"008287\""),
              std::string::npos)
        << final;
}

TEST(Rules, EEIsWorthFaceValueAtOriginalMaturityAndGrowsFromThere) {
    struct Case {
        YearMonth issue;
        int years;
    };
    // 17 years up to May 2003, 20 years from June 2003; November 1999 is worth 19.88 without
    // the adjustment; May 2006 (3.70%) is above face already.
    for (const Case& c : {Case{ym(1999, 11), 17}, Case{ym(2003, 5), 17}, Case{ym(2003, 6), 20},
                          Case{ym(2005, 11), 20}}) {
        const YearMonth maturity = c.issue.plusMonths(c.years * 12);
        EXPECT_LT(valueCents(BondSeries::EE, c.issue, maturity.plusMonths(-1)), 2500);
        EXPECT_EQ(valueCents(BondSeries::EE, c.issue, maturity), 2500);
        EXPECT_EQ(
            valueCents(BondSeries::EE, c.issue, maturity.plusMonths(1)),
            accrueWithinPeriod(2500, *periodRate(rates(), BondSeries::EE, c.issue, maturity), 1));
    }
    EXPECT_LT(valueCents(BondSeries::EE, ym(2003, 6), ym(2020, 6)), 2500);
    EXPECT_GT(valueCents(BondSeries::EE, ym(2006, 5), ym(2026, 5)), 2500);
    // May 1997 - October 1999 too, with the market-based rates of November 1997 - May 1999.
    EXPECT_LT(valueCents(BondSeries::EE, ym(1998, 6), ym(2015, 5)), 2500);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1998, 6), ym(2015, 6)), 2500);
}

TEST(FinalMaturity, BondsPastFinalMaturityKeepTheirValueIn2026) {
    const std::vector<ValueFileLine> lines = linesFor(ym(2026, 11));
    EXPECT_EQ(leafOf(lines, "E", "1965", 12), "012812");
    EXPECT_EQ(leafOf(lines, "S", "1967", 5), "015333");
    EXPECT_EQ(leafOf(lines, "EE", "1980", 1), "008287");
    // EE of May 1995 reached 30 years in May 2025; its official value of November 2016 (25.32)
    // grew until then.
    const long long atMaturity = valueCents(BondSeries::EE, ym(1995, 5), ym(2025, 5));
    EXPECT_GT(atMaturity, 2532);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1995, 5), ym(2026, 11)), atMaturity);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1997, 5), ym(2026, 11)),
              *accruedValueCents(rates(), BondSeries::EE, ym(1997, 5), 354));
}

// EE of November 1982 - April 1995 on their rounded-up guaranteed-minimum path (the official
// June 2016 leaves are in TheRulesGiveEveryOfficialValueOfTheBondsTheyCover).
TEST(FinalMaturity, MinimumPathEEStopAtThirtyYearsAtTheirPublishedFinalValues) {
    // December 1986: 50.82 in the official November 2016 file, 51.84 from December 2016 on.
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1986, 12), ym(2016, 11)), 5082);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1986, 12), ym(2016, 12)), 5184);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1986, 12), ym(2026, 11)), 5184);
    // March 1993 grows monthly: 40.89 a month before final maturity, then 41.03 for good.
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1993, 3), ym(2023, 2)), 4089);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1993, 3), ym(2023, 3)), 4103);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1993, 3), ym(2026, 11)), 4103);
    const std::vector<ValueFileLine> lines = linesFor(ym(2026, 11));
    EXPECT_EQ(leafOf(lines, "EE", "1990", 6), "005184");
    EXPECT_EQ(leafOf(lines, "EE", "1995", 4), "004103");
    // Before June 2016 the market-based value counts where it is higher (path: 23.80).
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1993, 3), ym(2009, 6)), 2458);
    EXPECT_EQ(valueCents(BondSeries::EE, ym(1991, 1), ym(2015, 1)), 4088); // bank payment
    // A final value the table does not hold stops the builder.
    BondRates wrongFinal = rates();
    wrongFinal.eeFinalValuesByIssue.at(ym(1990, 6)).cents = 5185;
    std::vector<ValueFileLine> built;
    std::string error;
    EXPECT_FALSE(
        buildTableLines(wrongFinal, officialFile(), ym(2020, 6), ym(2020, 6), built, &error));
    EXPECT_NE(error.find("series EE issued 1990-06 at 2020-06"), std::string::npos) << error;
}

TEST(Gaps, AMissingRateGivesNoValueAndIsNeverCarriedForward) {
    using Kind = RedemptionValue::Kind;
    // EE fixed rate of May - October 2025 not found; November 2025 from an unchecked source.
    EXPECT_EQ(redemptionValue(rates(), BondSeries::EE, ym(2025, 6), ym(2026, 11)).kind,
              Kind::Unknown);
    EXPECT_TRUE(rates().eeFixedByIssue.at(ym(2025, 11)).unused);
    EXPECT_EQ(redemptionValue(rates(), BondSeries::EE, ym(2025, 11), ym(2026, 11)).kind,
              Kind::Unknown);
    EXPECT_EQ(leafOf(linesFor(ym(2026, 11)), "EE", "2025", 6), std::string(kUnknownValueLeaf));
    // Without the May 2026 inflation rate, no I bond has a value once a period needs it.
    BondRates withGap = rates();
    withGap.iInflationByAnnouncement.at(ym(2026, 5)).hundredthsOfPercent.reset();
    EXPECT_EQ(redemptionValue(withGap, BondSeries::I, ym(2015, 5), ym(2026, 5)).kind, Kind::Value);
    EXPECT_EQ(redemptionValue(withGap, BondSeries::I, ym(2015, 5), ym(2026, 6)).kind,
              Kind::Unknown);
}

TEST(RateData, OnlySingleSourcesThatMatchOfficialValuesAreUsed) {
    EXPECT_TRUE(isUsableRate("official (copy); official-table, pinned", "TD chart copy"));
    EXPECT_TRUE(isUsableRate("formula-derived", "B, C, D"));
    EXPECT_TRUE(isUsableRate("unconfirmed (2+ secondary)", "tipswatch; eyebonds"));
    EXPECT_TRUE(isUsableRate("unconfirmed (1 secondary)", "depositaccounts May 2020"));
    EXPECT_FALSE(isUsableRate("unconfirmed (1 secondary)", "finwright v0.9.3 release notes"));
    EXPECT_FALSE(rates().iInflationByAnnouncement.at(ym(2026, 11)).hundredthsOfPercent);
}

// The builder's rate of the accrual period holding a month, with its status, and the series'
// accrual steps.
TEST(EarningRates, EachMonthHoldsItsPeriodsRateWithItsStatus) {
    const EarningRatesTable table = buildEarningRates(rates(), ym(2009, 6), ym(2026, 11));
    const auto at = [&](BondSeries series, YearMonth issue, int age) {
        const IssueEarnings& issued = table.bySeries.at(series).at(issue);
        std::string rate = "(none)";
        for (const EarningSegment& segment : issued.segments) {
            if (segment.fromAge <= age) {
                rate = segment.code >= 0 ? table.rates.at(static_cast<std::size_t>(segment.code))
                       : segment.code == kStoppedEarning ? "-"
                                                         : "?";
            }
        }
        return std::to_string(issued.accrualStep) + " " + rate;
    };
    // An I bond's composite rate names the standing of both its rates.
    EXPECT_EQ(at(BondSeries::I, ym(2003, 6), 78),
              "1 4.18 fixed rate official; inflation rate unconfirmed (2+ secondary)");
    EXPECT_EQ(at(BondSeries::EE, ym(2025, 11), 12), "1 ?")
        << "one unchecked source's rate is not used";
    // EE of May 1995 - April 1997 grow every six months, at the long-term rate of the period.
    EXPECT_EQ(at(BondSeries::EE, ym(1996, 3), 203), "6 0.76 formula-derived");
    EXPECT_EQ(at(BondSeries::EE, ym(1996, 3), 204), "6 0.59 formula-derived");
    EXPECT_EQ(at(BondSeries::S, ym(1970, 10), 464), "6 -");
    // Interest stops in the final maturity month itself.
    EXPECT_EQ(at(BondSeries::EE, ym(1986, 11), 359),
              "6 4.00 guaranteed minimum (31 CFR 351.21), official-table");
    EXPECT_EQ(at(BondSeries::EE, ym(1986, 11), 360), "6 -");
    // Where the market-based value counts no rate is stated; a last extension earns 4%.
    EXPECT_EQ(at(BondSeries::EE, ym(1983, 3), 329), "6 ?");
    EXPECT_EQ(
        at(BondSeries::E, ym(1980, 6), 348),
        "6 4.00 guaranteed minimum of the last extension, pinned by the official final value");
    EXPECT_EQ(at(BondSeries::E, ym(1980, 1), 353), "6 ?");
}

TEST(ShippedTable, HoldsTheWindowAndTheOfficialJune2009Values) {
    std::string error;
    const PlistValue table = readPropertyList(
        std::filesystem::path(ORVELT_SOURCE_DIR) / "resources" / "BondTable.plist", &error);
    ASSERT_NE(table.dictPtr(), nullptr) << error;
    const std::vector<RedemptionMonth> months =
        redemptionMonthsInTable(valueTableOfDictionary(*table.dictPtr()).get());
    ASSERT_EQ(months.size(), 210u);
    EXPECT_EQ(months.front(), (RedemptionMonth{2009, 6}));
    EXPECT_EQ(months.back(), (RedemptionMonth{2026, 11}));
    EXPECT_EQ(months.front(), kShippedFirstMonth);
    EXPECT_EQ(months.back(), kShippedLastMonth);
    const auto leaf = [&](std::initializer_list<std::string_view> path) -> std::string {
        const PlistValue* found = plistFind(table.dictPtr(), path);
        return found == nullptr ? "(absent)" : found->text();
    };
    // Treasury's June 2009 table, EE per $50: January 2008 25.88, June 2008 25.26.
    EXPECT_EQ(leaf({"EE", "2009", "06", "2008", "January"}), "001294");
    EXPECT_EQ(leaf({"EE", "2009", "06", "2008", "June"}), "001263");
    EXPECT_EQ(leaf({"EE", "2009", "06", "2008", "July"}), "NO PAY");
    EXPECT_EQ(leaf({"I", "2009", "06", "2009", "July"}), "      ");
    EXPECT_EQ(leaf({"I", "2009", "06", "1998", "August"}), "      ");
    // The market-based value where it counts; no value where the sources give none.
    EXPECT_EQ(leaf({"EE", "2010", "09", "1983", "March"}), "005455");
    EXPECT_EQ(leaf({"EE", "2026", "06", "2025", "June"}), "(absent)");
    EXPECT_EQ(leaf({"E", "2009", "06", "1980", "January"}), "(absent)");
}

} // namespace
