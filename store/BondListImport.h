#pragma once

// Import of the bond list that "Orvelt for Windows" exports: a header line, then one row per
// bond, e.g.
//   "Serial Number","Type","Face Value","Month Issued","Year Issued"
//   "C123","EE",$100,"6","2001"
//   "C124","EE",$1,000,"6","2001"
// The bonds go to the end of the portfolio's list; a serial already there is skipped without a
// word. Nothing is sorted or saved here: the bonds reach the portfolio file with the next save.

#include "store/Bond.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class BondDatabase;

// The column titles a bond list must contain somewhere in its text.
inline constexpr std::string_view kBondListHeader =
    "\"Serial Number\",\"Type\",\"Face Value\",\"Month Issued\",\"Year Issued\"";

// A real export is a few hundred kilobytes at most; anything bigger is refused unread.
inline constexpr std::uintmax_t kMaxBondListFileBytes = 64u * 1024u * 1024u;
// How many passed-over lines a report keeps, and how many of them the alert names.
inline constexpr std::size_t kMaxRecordedSkippedLines = 1000;
inline constexpr std::size_t kMaxSkippedLinesInAlert = 15;

// A line of the file that was passed over, nothing added from it.
struct SkippedLine {
    std::size_t lineNumber = 0; // 1 for the file's first line
    std::string reason;         // e.g. "the face value has no comma after it"
    bool operator==(const SkippedLine&) const = default;
};

struct ImportReport {
    enum class Outcome {
        Imported,        // the rows were read (some may have been passed over)
        InvalidFile,     // the text lacks the header; nothing added
        NoPortfolioOpen, // nothing to add the bonds to; nothing added
        Cancelled,       // the user cancelled the file-open panel
        Unreadable,      // the chosen file could not be read
        TooLarge,        // the chosen file is bigger than kMaxBondListFileBytes
        TooManyBonds,    // with its bonds the portfolio file would grow beyond what it can hold;
                         // nothing added
        Refused,         // the portfolio takes no bonds (`refusal` says why); nothing added
    };
    Outcome outcome = Outcome::Imported;
    std::size_t added = 0;
    std::size_t skippedDuplicates = 0; // rows whose serial the portfolio already had
    std::size_t skippedLineCount = 0;  // every passed-over line, also those beyond `skipped`
    std::vector<SkippedLine> skipped;  // the first kMaxRecordedSkippedLines of them, in order
    std::size_t rowsToAdd = 0;         // the bonds the file would have added (TooManyBonds)
    std::size_t rowsThatFit = 0;       // how many of them the portfolio file could take
    std::vector<Bond> bonds;           // the bonds read to be added, in file order
    std::string refusal;               // why the portfolio takes no bonds (Refused)
};

// How many added bonds an import names one by one; the others are counted.
inline constexpr std::size_t kMaxBondsNamedAfterImport = 20;

// Reads the rows of a bond list for a portfolio of the store and reports what it would add;
// changes nothing and shows nothing. The text may be UTF-16 with its byte-order mark, or UTF-8
// (a byte-order mark is dropped) and Windows-1252 line by line (decodeWindowsText). A portfolio
// the store lacks gives NoPortfolioOpen. When the whole store,
// portfolio file included, could not be written and read back with the new bonds, none is
// offered (TooManyBonds).
//
// Rows are read line by line from the line after the first; a line ends at a line feed (at a
// carriage return in a file that has no line feed at all), and the last one need not be ended.
// Blank lines and the file's own header line are passed over quietly. The series, the month and
// the year are read whatever their letter case and surrounding spaces ("ee", " June ", "06"). A
// line in which a delimiter of the row format is missing, whose fields hold control characters,
// whose face value is not one of `faceValues` (the face values a bond is entered with; thousands
// separators are read), whose series is not one Orvelt knows, whose month is not 1 to 12 or a
// month's name, whose year is not four digits, that repeats the header, or that belongs to a
// field broken by a line feed inside double quotes, is passed over and recorded, and the lines
// after it are read as usual: no bond is added that could not be valued or put in date order.
ImportReport readBondListText(const BondDatabase& db, std::string_view portfolio,
                              std::string_view text, const std::vector<std::string>& faceValues);

// readBondListText, then the bonds read appended to the portfolio (neither sorted nor saved).
ImportReport importBondListText(BondDatabase& db, const std::string& portfolio,
                                std::string_view text, const std::vector<std::string>& faceValues);

// Reads a bond list file whole, refusing one over the size limit; a named pipe, a device or a
// folder is unreadable. Imported when `bytes` holds the file; when Unreadable, `why` (when given)
// says why, as "Permission denied".
ImportReport::Outcome readBondListFile(const std::filesystem::path& path, std::string& bytes,
                                       std::string* why = nullptr);

// Why an import with the outcome TooManyBonds added nothing, for an alert or a command's error.
std::string tooManyBondsMessage(const ImportReport& report);

// The message of the alert that names the passed-over lines; empty when there are none.
std::string skippedLinesMessage(const ImportReport& report);
