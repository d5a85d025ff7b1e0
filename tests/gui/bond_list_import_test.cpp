#include "app/BondListImportCommand.h"
#include "entry/BondChoiceLists.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "support/ScriptedToolkitServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using namespace std::string_literals;

const std::string kHeader =
    "\"Serial Number\",\"Type\",\"Face Value\",\"Month Issued\",\"Year Issued\"";
const std::string kInvalidFileMessage =
    "This file is invalid. Please check you have exported your bonds from Orvelt for Windows "
    "correctly and try again.";

struct Row {
    std::string serial, type, faceValue, year, month;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& b) {
    return out << "{" << b.serial << "|" << b.type << "|" << b.faceValue << "|" << b.year << "|"
               << b.month << "}";
}

// The face values a bond is entered with.
std::vector<std::string> shippedFaceValues() {
    return BondChoiceLists().faceValues();
}

class BondListImportTest : public ::testing::Test {
  protected:
    ScriptedToolkitServices services;
    BondDatabase db;
    const std::vector<std::string> faceValues = shippedFaceValues();

    void SetUp() override { ASSERT_TRUE(db.createPortfolio("Family")); }

    std::vector<Row> bonds() const {
        std::vector<Row> result;
        for (const Bond& b : db.portfolio("Family")->bonds) {
            result.push_back({b.serial, b.type, b.faceValue, b.issueYear, b.issueMonth});
        }
        return result;
    }
    std::vector<std::string> serials() const {
        std::vector<std::string> result;
        for (const Row& b : bonds()) {
            result.push_back(b.serial);
        }
        return result;
    }
    // As the Import command does: the text read with its alert, then the bonds added.
    ImportReport import(const std::string& text) {
        ImportReport report =
            readBondListTextShowingAlerts(services, db, "Family", text, faceValues);
        db.appendBonds("Family", report.bonds);
        return report;
    }
};

TEST_F(BondListImportTest, CrlfRowsGoToTheEndInFileOrderWithMonthNamesAndNoDollar) {
    ASSERT_TRUE(db.addBond("Family", Bond("OLD1", "I", "500", "1999", "May")));
    const ImportReport report = import(kHeader + "\r\n\"C100\",\"EE\",$100,\"6\",\"2001\"\r\n" +
                                       "\"A200\",\"I\",$50,\"12\",\"2004\"\r\n");
    EXPECT_EQ(bonds(), (std::vector<Row>{{"OLD1", "I", "500", "1999", "May"},
                                         {"C100", "EE", "100", "2001", "June"},
                                         {"A200", "I", "50", "2004", "December"}}));
    EXPECT_EQ(report.outcome, ImportReport::Outcome::Imported);
    EXPECT_EQ(report.added, 2u);
    EXPECT_TRUE(services.alerts.empty());
    // The portfolio is written with them: the bonds reach the file with the next save.
    const PlistDictRef root = db.toPropertyList();
    const PlistDict* record = root->find("Family")->dictPtr();
    EXPECT_EQ(record->value(kPortfolioBondsKey).arrayPtr()->size(), 3u);
}

// A series, month or year written another way that means one thing is read as that thing; any
// other is passed over and named, so that no bond is added that cannot be valued or placed.
TEST_F(BondListImportTest, SeriesMonthsAndYearsAreReadAsTheyMeanOrPassedOver) {
    const ImportReport report =
        import(kHeader + "\n" +
               "\"M06\",\"ee\",$100,\"06\",\"2001\"\n"                              // 2
               "\"MSP\",\" Ee \",$100,\" 7 \",\" 2001 \"\n"                         // 3
               "\"MWORD\",\"i\",$100,\"mAY\",\"2001\"\n"                            // 4
               "\"M0\",\"EE\",$100,\"0\",\"2001\"\n"                                // 5
               "\"M13\",\"EE\",$100,\"13\",\"2001\"\n"                              // 6
               "\"MSIGN\",\"EE\",$100,\"+7\",\"2001\"\n"                            // 7
               "\"MTAIL\",\"EE\",$100,\"5th\",\"2001\"\n"                           // 8
               "\"MNONE\",\"EE\",$100,\"\",\"2001\"\n"                              // 9
               "\"SN\",\"SN\",$100,\"1\",\"2001\"\n"                                // 10
               "\"Y20\",\"EE\",$100,\"1\",\"20\"\n"                                 // 11
               "\"YAR\",\"EE\",$100,\"1\",\"\xD9\xA2\xD9\xA0\xD9\xA0\xD9\xA1\"\n"); // 12
    EXPECT_EQ(bonds(), (std::vector<Row>{{"M06", "EE", "100", "2001", "June"},
                                         {"MSP", "EE", "100", "2001", "July"},
                                         {"MWORD", "I", "100", "2001", "May"}}));
    std::vector<std::size_t> lines;
    for (const SkippedLine& line : report.skipped) {
        lines.push_back(line.lineNumber);
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(report.skipped[1].reason, "the month \"13\" is not a month (1 to 12, or its name)");
    EXPECT_EQ(report.skipped[5].reason,
              "the series \"SN\" is not one Orvelt knows (E, EE, I or S)");
    EXPECT_EQ(report.skipped[7].reason,
              "the year \"\xD9\xA2\xD9\xA0\xD9\xA0\xD9\xA1\" is not a year of four digits");
}

// A face value is read whole, thousands separators and all; one that is not a face value a bond
// is entered with, or no whole number of dollars, is passed over and named by its line. The
// serial keeps its text, a doubled double quote standing for one.
TEST_F(BondListImportTest, FaceValuesAreReadWholeAndNamedWhenNoBondHasThem) {
    const ImportReport report =
        import(readWholeFile(std::filesystem::path(ORVELT_TEST_DATA_DIR) /
                             "import/windows_export_crlf.csv") +
               "\"B1,000,8EE\",\"EE\",$1,000,\"1\",\"2010\"\r\n"         // 5
               "\"B10K\",\"EE\",\"$10,000\",\"2\",\"2010\",\"gift\"\r\n" // 6
               "\"Q\"\"1\",\"EE\",$100.00,\"3\",\"2010\"\r\n"            // 7
               "\"X3 \",\"eee\",$25,\"  9\",\"  85\"\n"                  // 8
               "\"F30\",\"EE\",$30,\"1\",\"2010\"\r\n"                   // 9
               "\"F0\",\"EE\",$0,\"1\",\"2010\"\r\n"                     // 10
               "\"F-\",\"EE\",$-100,\"1\",\"2010\"\r\n"                  // 11
               "\"FE\",\"EE\",$1e309,\"1\",\"2010\"\r\n"                 // 12
               "\"FN\",\"EE\",$nan,\"1\",\"2010\"\r\n"                   // 13
               "\"FA\",\"EE\",$abc,\"1\",\"2010\"\r\n"                   // 14
               "\"FG\",\"EE\",$1,00,\"1\",\"2010\"\r\n"                  // 15
               "\"FC\",\"EE\",$25.50,\"1\",\"2010\"\r\n" +               // 16
               kHeader +
               "\r\n" +                                       // 17
               "\"LF\n1\",\"EE\",$100,\"1\",\"2010\"\r\n"     // 18, 19
               "\"FL\",\"EE\",$1000,000,\"1\",\"2010\"\r\n"); // 20
    EXPECT_EQ(bonds(), (std::vector<Row>{{"C123456789EE", "EE", "100", "2001", "June"},
                                         {"L987654321I", "I", "50", "2004", "December"},
                                         {"Q111222333E", "E", "25", "1985", "January"},
                                         {"B1,000,8EE", "EE", "1000", "2010", "January"},
                                         {"B10K", "EE", "10000", "2010", "February"},
                                         {"Q\"1", "EE", "100", "2010", "March"}}));
    std::vector<std::size_t> lines;
    for (const SkippedLine& line : report.skipped) {
        lines.push_back(line.lineNumber);
    }
    ASSERT_EQ(lines, (std::vector<std::size_t>{8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(report.skipped[1].reason,
              "the face value $30 is not one a bond is issued in ($10, $25, $50, $75, $100, $200, "
              "$500, $1000, $5000, $10000)");
    EXPECT_EQ(report.skipped[3].reason,
              "the face value $-100 is not a positive whole number of dollars");
    EXPECT_EQ(report.skipped[11].reason,
              "it continues a field in double quotes that line 18 leaves open");
    EXPECT_EQ(report.skipped[12].reason,
              "the face value $1000,000 is not a positive whole number of dollars");
}

// A portfolio whose record in the file cannot hold bonds refuses the whole import, saying why,
// rather than reporting bonds added that the store then refuses.
TEST_F(BondListImportTest, APortfolioWhoseRecordTakesNoBondsRefusesTheImport) {
    PlistDict root;
    root.set("Text", PlistValue("a string"));
    auto store = BondDatabase::fromPropertyList(root);
    const ImportReport report = importBondListText(
        *store, "Text", kHeader + "\n\"T1\",\"EE\",$100,\"1\",\"2001\"\n", faceValues);
    EXPECT_EQ(report.outcome, ImportReport::Outcome::Refused);
    EXPECT_EQ(report.added, 0u);
    EXPECT_NE(report.refusal.find("not a dictionary"), std::string::npos) << report.refusal;
}

TEST_F(BondListImportTest, HeaderOnlyAndTrailingEmptyLinesAddNothingAndShowNothing) {
    import(kHeader + "\n");
    import(kHeader);
    import(kHeader + "\r\n\r\n");
    EXPECT_TRUE(bonds().empty());
    import(kHeader + "\n\"T1\",\"EE\",$100,\"1\",\"2001\"\n\n\r\n   \n\t\n\x1A");
    EXPECT_EQ(serials(), std::vector<std::string>{"T1"});
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(BondListImportTest, DuplicatesAreSkippedSilentlyFromThePortfolioAndFromTheFile) {
    const std::string file = kHeader + "\n\"D1\",\"EE\",$100,\"1\",\"2001\"\n" +
                             "\"D1\",\"I\",$200,\"2\",\"2002\"\n" +
                             "\"D3\",\"EE\",$100,\"3\",\"2003\"\n";
    ImportReport first = import(file);
    EXPECT_EQ(bonds(), (std::vector<Row>{{"D1", "EE", "100", "2001", "January"},
                                         {"D3", "EE", "100", "2003", "March"}}));
    EXPECT_EQ(first.added, 2u);
    EXPECT_EQ(first.skippedDuplicates, 1u);
    ImportReport second = import(file);
    EXPECT_EQ(serials(), (std::vector<std::string>{"D1", "D3"}));
    EXPECT_EQ(second.added, 0u);
    EXPECT_EQ(second.skippedDuplicates, 3u);
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(BondListImportTest, SerialsMatchByExactTextAsTheStoreDoes) {
    ASSERT_TRUE(db.addBond("Family", Bond("a1", "EE", "100", "2001", "May")));
    // A record whose serial is not text matches no serial, as in the store's own scan.
    auto odd = PlistDict::create();
    odd->set(kSerialKey, PlistValue::integer(7));
    ASSERT_TRUE(db.appendBonds("Family", {Bond::fromRecord(PlistValue(odd))}));
    import(kHeader + "\n\"A1\",\"EE\",$50,\"1\",\"2001\"\n\" a1\",\"EE\",$50,\"1\",\"2001\"\n" +
           "\"a1\",\"EE\",$50,\"1\",\"2001\"\n\"7\",\"EE\",$50,\"1\",\"2001\"\n");
    EXPECT_EQ(db.portfolio("Family")->bonds.size(), 5u);
    EXPECT_TRUE(db.bond("Family", "A1"));
    EXPECT_TRUE(db.bond("Family", " a1"));
    EXPECT_TRUE(db.bond("Family", "7"));
}

TEST_F(BondListImportTest, TextWithoutHeaderIsAnInvalidFileAndAddsNothing) {
    for (const std::string& text :
         {std::string("\"C1\",\"EE\",$100,\"6\",\"2001\"\n"), std::string(),
          std::string("\"serial number\",\"Type\",\"Face Value\",\"Month Issued\",\"Year "
                      "Issued\"\n\"C1\",\"EE\",$100,\"6\",\"2001\"\n"),
          std::string("<?xml version=\"1.0\"?><Workbook>Serial Number</Workbook>\n")}) {
        services.clear();
        const ImportReport report = import(text);
        EXPECT_EQ(report.outcome, ImportReport::Outcome::InvalidFile);
        ASSERT_EQ(services.alerts.size(), 1u);
        EXPECT_EQ(services.alerts[0].title, "Invalid File");
        EXPECT_EQ(services.alerts[0].message, kInvalidFileMessage);
    }
    EXPECT_TRUE(bonds().empty());
}

TEST_F(BondListImportTest, HeaderAnywhereRowsFromTheSecondLine) {
    // The header need not be the first line, and the first line is never a row; a line that
    // repeats the header (two exports pasted together) is counted as passed over.
    const ImportReport report = import("Exported by Orvelt for Windows\n" + kHeader +
                                       "\n\"H1\",\"EE\",$100,\"1\",\"2001\"\n" + kHeader +
                                       "\r\n\"H2\",\"EE\",$100,\"2\",\"2001\"\n");
    EXPECT_EQ(serials(), (std::vector<std::string>{"H1", "H2"}));
    EXPECT_EQ(report.skipped, (std::vector<SkippedLine>{{4, "it repeats the column titles"}}));
}

TEST_F(BondListImportTest, MalformedRowsArePassedOverAndNamedInOneAlert) {
    const ImportReport report = import(kHeader + "\n" +
                                       "\"R1\",\"EE\",$100,\"1\",\"2000\"\n" // 2
                                       "\"R2\",\"EE\",100,\"2\",\"2000\"\n"  // 3: no "$"
                                       "\n"                                  // 4: blank
                                       "\"R3\",\"EE\",$100,\"3\",\"2000\"\n" // 5
                                       "Total,$300\n"                        // 6
                                       "\"R4\",\"EE\",$100,\"4\",\"2000");   // 7: no closing quote
    EXPECT_EQ(serials(), (std::vector<std::string>{"R1", "R3"}));
    EXPECT_EQ(report.added, 2u);
    EXPECT_EQ(report.skippedLineCount, 3u);
    EXPECT_EQ(report.skipped, (std::vector<SkippedLine>{
                                  {3, "the face value is missing (no \",$\" after the series)"},
                                  {6, "it is not a bond row (it has no double quotes)"},
                                  {7, "the year has no closing double quote"}}));
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].title, "Error");
    EXPECT_EQ(services.alerts[0].message,
              "3 lines of the file could not be read as bonds and were passed over:\n"
              "\nLine 3: the face value is missing (no \",$\" after the series)."
              "\nLine 6: it is not a bond row (it has no double quotes)."
              "\nLine 7: the year has no closing double quote."
              "\n\nThe rest of the file was read as usual.");
}

TEST_F(BondListImportTest, EachMissingDelimiterIsNamedAndNeverReachesIntoTheNextLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\"S1", "the serial has no closing double quote"},
        {"\"S1\"", "the series is missing"},
        {"\"S1\",\"EE", "the series has no closing double quote"},
        {"\"S1\",\"EE\",100", "the face value is missing (no \",$\" after the series)"},
        {"\"S1\",\"EE\",$100", "the face value has no comma after it"},
        {"\"S1\",\"EE\",$100,6", "the month is missing"},
        {"\"S1\",\"EE\",$100,\"6", "the month has no closing double quote"},
        {"\"S1\",\"EE\",$100,\"6\",2001", "the year is missing"},
        {"\"S1\",\"EE\",$100,\"6\",\"2001", "the year has no closing double quote"},
        {"\"", "the serial has no closing double quote"},
    };
    for (const auto& [line, reason] : cases) {
        BondDatabase fresh;
        ASSERT_TRUE(fresh.createPortfolio("P"));
        // The next line holds every delimiter; a search that ran on into it would take it in.
        const ImportReport report = importBondListText(
            fresh, "P", kHeader + "\n" + line + "\r\n\"NEXT\",\"EE\",$100,\"6\",\"2001\"\r\n",
            faceValues);
        ASSERT_EQ(report.skipped.size(), 1u) << line;
        EXPECT_EQ(report.skipped[0], (SkippedLine{2, reason})) << line;
        ASSERT_EQ(fresh.portfolio("P")->bonds.size(), 1u) << line;
        EXPECT_EQ(fresh.portfolio("P")->bonds.front().serial, "NEXT") << line;
    }
}

TEST_F(BondListImportTest, LineEndings) {
    // The last row needs no line feed; a file of carriage returns alone is read line by line.
    import(kHeader + "\n\"L1\",\"EE\",$100,\"1\",\"2001\"\n\"L2\",\"EE\",$100,\"2\",\"2001\"");
    import(kHeader + "\r\"L3\",\"EE\",$100,\"3\",\"2001\"\r\"L4\",\"EE\",$100,\"4\",\"2001\"\r");
    EXPECT_EQ(serials(), (std::vector<std::string>{"L1", "L2", "L3", "L4"}));
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(BondListImportTest, FieldsWithControlCharactersAreRefused) {
    const ImportReport report = import(
        kHeader + "\n\"C\x01X\",\"EE\",$100,\"1\",\"2001\"\n" +
        "\"C2\",\"E\0E\",$100,\"1\",\"2001\"\n"s + "\"C3\",\"EE\",$100,\"1\",\"2001\"\x02\n" +
        "\"C\tTAB\",\"EE\",$100,\"1\",\"2001\"\n" +
        // The last control character and the first one kept.
        "\"C\x1FUS\",\"EE\",$100,\"1\",\"2001\"\n" + "\"C\x20SP\",\"EE\",$100,\"1\",\"2001\"\n" +
        // DEL and C1 (here CSI, which a terminal takes for an escape) are refused too.
        "\"C\x7F\",\"EE\",$100,\"1\",\"2001\"\n" + "\"C\xC2\x9B\",\"EE\",$100,\"1\",\"2001\"\n");
    EXPECT_EQ(serials(), (std::vector<std::string>{"C3", "C\tTAB", "C SP"}));
    EXPECT_EQ(report.skipped, (std::vector<SkippedLine>{{2, "it holds control characters"},
                                                        {3, "it holds control characters"},
                                                        {6, "it holds control characters"},
                                                        {8, "it holds control characters"},
                                                        {9, "it holds control characters"}}));
}

TEST_F(BondListImportTest, ManyBadLinesAreCountedAndTheAlertStaysShort) {
    std::string text = kHeader + "\n";
    for (int i = 0; i < 5000; ++i) {
        text += "junk line\n";
    }
    text += "\"LAST\",\"EE\",$100,\"1\",\"2001\"\n";
    const ImportReport report = import(text);
    EXPECT_EQ(serials(), std::vector<std::string>{"LAST"});
    EXPECT_EQ(report.skippedLineCount, 5000u);
    EXPECT_EQ(report.skipped.size(), kMaxRecordedSkippedLines);
    EXPECT_EQ(report.skipped.back().lineNumber, kMaxRecordedSkippedLines + 1);
    ASSERT_EQ(services.alerts.size(), 1u);
    const std::string& message = services.alerts[0].message;
    EXPECT_EQ(message.rfind("5000 lines of the file", 0), 0u) << message;
    EXPECT_NE(message.find("\nLine 16: "), std::string::npos);
    EXPECT_EQ(message.find("\nLine 17: "), std::string::npos);
    EXPECT_NE(message.find("...and 4985 more."), std::string::npos);
}

TEST_F(BondListImportTest, OneSkippedLineIsWordedInTheSingular) {
    import(kHeader + "\nnonsense\n");
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_EQ(services.alerts[0].message.rfind("1 line of the file could not be read as a bond "
                                               "and was passed over:\n\nLine 2: ",
                                               0),
              0u);
}

TEST_F(BondListImportTest, EncodingsUtf8WithAndWithoutMarkAndWindows1252) {
    import("\xEF\xBB\xBF" + kHeader + "\n\"\xC3\x84" + "1\",\"EE\",$100,\"1\",\"2001\"\n");
    import(kHeader + "\n\"\xC3\xA9" + "2\",\"EE\",$100,\"1\",\"2001\"\n");
    // Not UTF-8: read as Windows-1252 (0xC4 is "Ä", 0x80 the euro sign).
    import(kHeader + "\n\"\xC4" + "3\",\"EE\",$100,\"1\",\"2001\",\"\x80\"\n");
    // A row that opens with another character than the quote loses that character whole, in
    // UTF-8 and once decoded from Windows-1252, never a part of it.
    import(kHeader + "\n\xC3\xA9" + "4\",\"EE\",$100,\"1\",\"2001\"\n");
    import(kHeader + "\n\xE4" + "5\",\"EE\",$100,\"1\",\"2001\",\"\x80\"\n");
    EXPECT_EQ(serials(), (std::vector<std::string>{"\xC3\x84"
                                                   "1",
                                                   "\xC3\xA9"
                                                   "2",
                                                   "\xC3\x84"
                                                   "3",
                                                   "4", "5"}));
    EXPECT_TRUE(services.alerts.empty());
}

TEST_F(BondListImportTest, WithNoPortfolioOpenNothingIsAddedAndTheUserIsTold) {
    BondDatabase closed;
    const ImportReport report = readBondListTextShowingAlerts(
        services, closed, "Family", kHeader + "\n\"N1\",\"EE\",$100,\"1\",\"2001\"\n", faceValues);
    EXPECT_EQ(report.outcome, ImportReport::Outcome::NoPortfolioOpen);
    EXPECT_EQ(report.added, 0u);
    EXPECT_TRUE(closed.toPropertyList()->empty());
    ASSERT_EQ(services.informationAlerts.size(), 1u);
    EXPECT_EQ(services.informationAlerts[0].title, "No Portfolio Open");
}

TEST(BondListImportNoiseTest, BinaryNoiseIsReadQuicklyAndTheFileStaysReadable) {
    TempDir dir;
    ASSERT_TRUE(writePropertyList(dir / "portfolios.plist", PlistValue(PlistDict::create())));
    auto db = BondDatabase::open(dir / "portfolios.plist");
    ASSERT_TRUE(db->createPortfolio("Noise"));
    std::mt19937 random(42);
    std::string noise = kHeader + "\n";
    // Quotes, commas, dollars and line feeds made likely, so that some rows come through.
    const std::string likely = "\",$\n0123456789";
    for (int i = 0; i < 4'000'000; ++i) {
        const unsigned r = random();
        noise.push_back(r % 4 == 0 ? likely[(r >> 8) % likely.size()] : static_cast<char>(r >> 16));
    }
    const ImportReport report = importBondListText(*db, "Noise", noise, shippedFaceValues());
    EXPECT_EQ(report.outcome, ImportReport::Outcome::Imported);
    EXPECT_GT(report.skippedLineCount, 0u);
    EXPECT_EQ(db->portfolio("Noise")->bonds.size(), report.added);
    // Whatever was added survives a save and a fresh read unchanged.
    ASSERT_TRUE(db->save());
    auto reread = BondDatabase::open(dir / "portfolios.plist");
    ASSERT_TRUE(reread->portfolio("Noise"));
    EXPECT_EQ(*reread->toPropertyList(), *db->toPropertyList());
}

} // namespace

namespace {

std::string bondRows(int first, int count) {
    std::string rows;
    for (int i = first; i < first + count; ++i) {
        rows += "\"L" + std::to_string(i) + "\",\"EE\",$100,\"6\",\"2001\"\n";
    }
    return rows;
}

// An import that would make the portfolio file unreadable adds nothing and says why in one
// alert; one that just fits is added and the file still reads back.
TEST_F(BondListImportTest, AnImportBeyondTheFilesLimitsAddsNothing) {
    // Values shared many times over, so that the store is large without the memory.
    auto thousand = std::make_shared<PlistArray>(1000, PlistValue(true));
    auto filler = PlistDict::create();
    for (int i = 0; i < 3990; ++i) {
        filler->set("k" + std::to_string(i), PlistValue(thousand));
    }
    PlistDict root = *db.toPropertyList();
    root.set("Filler", PlistValue(filler));
    const std::unique_ptr<BondDatabase> big = BondDatabase::fromPropertyList(std::move(root));
    const auto importIntoBig = [&](const std::string& text) {
        ImportReport report =
            readBondListTextShowingAlerts(services, *big, "Family", text, faceValues);
        big->appendBonds("Family", report.bonds);
        return report;
    };
    const std::size_t room =
        (kMaxPropertyListValues - propertyListSize(PlistValue(big->toPropertyList())).values) / 6;
    ASSERT_GT(room, 10u);

    ImportReport report = importIntoBig(kHeader + "\n" + bondRows(0, static_cast<int>(room) + 1));
    EXPECT_EQ(report.outcome, ImportReport::Outcome::TooManyBonds);
    EXPECT_EQ(report.added, 0u);
    EXPECT_TRUE(big->portfolio("Family")->bonds.empty());
    ASSERT_EQ(services.alerts.size(), 1u);
    EXPECT_NE(services.alerts[0].message.find("can take only " + std::to_string(room) + " more"),
              std::string::npos)
        << services.alerts[0].message;

    report = importIntoBig(kHeader + "\n" + bondRows(0, static_cast<int>(room)));
    EXPECT_EQ(report.added, room);
    TempDir dir;
    std::string error;
    ASSERT_TRUE(writePropertyList(dir / "p.plist", PlistValue(big->toPropertyList()), &error))
        << error;
    EXPECT_FALSE(readPropertyList(dir / "p.plist", &error).isAbsent()) << error;
    // One value more is neither written nor read.
    ASSERT_TRUE(big->addBond("Family", Bond("ONE MORE", "EE", "100", "2001", "May")));
    EXPECT_FALSE(writePropertyList(dir / "p.plist", PlistValue(big->toPropertyList()), &error));
}

} // namespace
