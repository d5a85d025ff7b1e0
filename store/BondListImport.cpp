#include "store/BondListImport.h"

#include "platform/ControlCharacters.h"
#include "platform/NumberText.h"
#include "platform/PlistValue.h"
#include "platform/PropertyList.h"
#include "platform/RegularFile.h"
#include "platform/XmlSafeText.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "store/TextDecoding.h"

#include <functional>
#include <unordered_set>

namespace {

// The delimiters of a row, in the order a row is read.
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kQuoteCommaQuote = "\",\"";
constexpr std::string_view kQuoteCommaDollar = "\",$";
constexpr std::string_view kComma = ",";
constexpr std::string_view kCommaQuote = ",\"";

struct RowFields {
    std::string_view serial;
    std::string_view type;
    std::string_view faceValue;
    std::string_view monthNumber;
    std::string_view year;
};

// The length in bytes of the UTF-8 character that `text` begins with (1 for an ASCII byte).
std::size_t firstCharacterLength(std::string_view text) {
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// Reads one row within its own line, each search starting where the previous step left off.
// Answers nullptr when every delimiter was found, else why the line is passed over.
const char* readRow(std::string_view line, RowFields& fields) {
    // The opening double quote, not looked at. Whatever character stands there is passed over
    // whole: cutting into a multi-byte one would begin the serial with a broken character,
    // which the portfolio file cannot store.
    std::size_t position = firstCharacterLength(line);
    auto fieldUpTo = [&](std::string_view delimiter, std::string_view& field) {
        const std::size_t end = line.find(delimiter, position);
        if (end == std::string_view::npos) {
            return false;
        }
        field = line.substr(position, end - position);
        return true;
    };
    auto dropThrough = [&](std::string_view delimiter) {
        const std::size_t at = line.find(delimiter, position);
        if (at == std::string_view::npos) {
            return false;
        }
        position = at + delimiter.size();
        return true;
    };
    if (!fieldUpTo(kQuote, fields.serial)) {
        return "the serial has no closing double quote";
    }
    if (!dropThrough(kQuoteCommaQuote)) {
        return "the series is missing";
    }
    if (!fieldUpTo(kQuote, fields.type)) {
        return "the series has no closing double quote";
    }
    if (!dropThrough(kQuoteCommaDollar)) {
        return "the face value is missing (no \",$\" after the series)";
    }
    if (!fieldUpTo(kComma, fields.faceValue)) {
        return "the face value has no comma after it";
    }
    if (!dropThrough(kCommaQuote)) {
        return "the month is missing";
    }
    if (!fieldUpTo(kQuote, fields.monthNumber)) {
        return "the month has no closing double quote";
    }
    if (!dropThrough(kQuoteCommaQuote)) {
        return "the year is missing";
    }
    if (!fieldUpTo(kQuote, fields.year)) {
        return "the year has no closing double quote";
    }
    return nullptr;
}

// White space alone, or the end-of-file mark (Ctrl-Z) that old Windows programs append.
bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r\v\f\x1A") == std::string_view::npos;
}

std::string monthFromNumberText(std::string_view monthNumber) {
    const int number = intValueOfText(monthNumber);
    if (number >= 1 && number <= 12) {
        return std::string(kMonthNames[static_cast<std::size_t>(number - 1)]);
    }
    return std::string(monthNumber);
}

struct TransparentHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};
using SerialSet = std::unordered_set<std::string, TransparentHash, std::equal_to<>>;

// The serials of a portfolio, gathered once so that each row costs the same however many bonds
// the portfolio holds.
SerialSet serialsOf(const Portfolio& portfolio) {
    SerialSet serials;
    serials.reserve(portfolio.bonds.size() * 2);
    for (const Bond& bond : portfolio.bonds) {
        serials.insert(bond.serial);
    }
    return serials;
}

void recordSkipped(ImportReport& report, std::size_t lineNumber, std::string reason) {
    ++report.skippedLineCount;
    if (report.skipped.size() < kMaxRecordedSkippedLines) {
        report.skipped.push_back({lineNumber, std::move(reason)});
    }
}

// How many of the new bonds the database's file can take within its limits, each inside a
// portfolio's list (three levels down from the file's root).
std::size_t bondsTheFileCanTake(const BondDatabase& db, const std::vector<Bond>& bonds) {
    PropertyListSize size = propertyListSize(PlistValue(db.toPropertyList()));
    for (std::size_t taken = 0; taken < bonds.size(); ++taken) {
        const PropertyListSize one = propertyListSize(bonds[taken].toRecord(), 3);
        size.values += one.values;
        size.maxXmlBytes += one.maxXmlBytes;
        if (!fitsPropertyListFile(size)) {
            return taken;
        }
    }
    return bonds.size();
}

class RowReader {
  public:
    RowReader(const Portfolio& portfolio, ImportReport& report)
        : report_(report), serials_(serialsOf(portfolio)) {}

    void readLine(std::string_view line, std::size_t lineNumber) {
        if (isBlank(line) || line.find(kBondListHeader) != std::string_view::npos) {
            return;
        }
        if (line.find('"') == std::string_view::npos) {
            recordSkipped(report_, lineNumber, "it is not a bond row (it has no double quotes)");
            return;
        }
        RowFields fields;
        if (const char* reason = readRow(line, fields)) {
            recordSkipped(report_, lineNumber, reason);
            return;
        }
        if (holdsControlCharacter(fields.serial) || holdsControlCharacter(fields.type) ||
            holdsControlCharacter(fields.faceValue) || holdsControlCharacter(fields.monthNumber) ||
            holdsControlCharacter(fields.year)) {
            recordSkipped(report_, lineNumber, "it holds control characters");
            return;
        }
        if (serials_.contains(fields.serial)) {
            ++report_.skippedDuplicates;
            return;
        }
        Bond bond(std::string(fields.serial), std::string(fields.type),
                  std::string(fields.faceValue), std::string(fields.year),
                  monthFromNumberText(fields.monthNumber));
        if (!isStorableText(bond.serial) || !isStorableText(bond.type) ||
            !isStorableText(bond.faceValue) || !isStorableText(bond.issueYear) ||
            !isStorableText(bond.issueMonth)) {
            return;
        }
        serials_.insert(bond.serial);
        report_.bonds.push_back(std::move(bond));
        ++report_.added;
    }

  private:
    ImportReport& report_;
    SerialSet serials_;
};

// Bond lists end lines with a line feed; one with none at all may come from a program that
// ends them with a carriage return.
char lineEndOf(std::string_view text) {
    if (text.find('\n') != std::string_view::npos) {
        return '\n';
    }
    return text.find('\r') != std::string_view::npos ? '\r' : '\n';
}

// The text as UTF-8 without a byte-order mark; `storage` holds it when it had to be converted.
std::string_view asUtf8(std::string_view text, std::string& storage) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    std::string_view body = text.starts_with(kUtf8Mark) ? text.substr(kUtf8Mark.size()) : text;
    if (!text.starts_with("\xFF\xFE") && !text.starts_with("\xFE\xFF") && isValidUtf8(body)) {
        return body;
    }
    storage = decodeWindowsText(text);
    return storage;
}

} // namespace

ImportReport readBondListText(const BondDatabase& db, std::string_view portfolio,
                              std::string_view rawText) {
    ImportReport report;
    std::string converted;
    const std::string_view text = asUtf8(rawText, converted);
    if (text.find(kBondListHeader) == std::string_view::npos) {
        report.outcome = ImportReport::Outcome::InvalidFile;
        return report;
    }
    const Portfolio* target = db.portfolio(portfolio);
    if (target == nullptr) {
        report.outcome = ImportReport::Outcome::NoPortfolioOpen;
        return report;
    }
    if (const StoreOutcome takes = db.checkTakesBonds(portfolio); !takes) {
        report.outcome = ImportReport::Outcome::Refused;
        report.refusal = takes.message;
        return report;
    }
    RowReader reader(*target, report);
    const char lineEnd = lineEndOf(text);
    // The first line is the header line and is never read as a row.
    std::size_t lineStart = text.find(lineEnd);
    std::size_t lineNumber = 1;
    while (lineStart != std::string_view::npos && lineStart + 1 < text.size()) {
        ++lineStart;
        ++lineNumber;
        const std::size_t lineStop = text.find(lineEnd, lineStart);
        const std::size_t length =
            (lineStop == std::string_view::npos ? text.size() : lineStop) - lineStart;
        reader.readLine(text.substr(lineStart, length), lineNumber);
        lineStart = lineStop;
    }
    if (const std::size_t fit = bondsTheFileCanTake(db, report.bonds); fit < report.bonds.size()) {
        report.outcome = ImportReport::Outcome::TooManyBonds;
        report.rowsToAdd = report.bonds.size();
        report.rowsThatFit = fit;
        report.added = 0;
        report.bonds.clear();
    }
    return report;
}

std::string tooManyBondsMessage(const ImportReport& report) {
    return "The file holds " + std::to_string(report.rowsToAdd) +
           " new bonds, but the portfolio file can take only " +
           std::to_string(report.rowsThatFit) +
           " more: with all of them it would be larger than Orvelt can read back (at most " +
           std::to_string(kMaxPropertyListValues) +
           " values, six for each bond). Nothing was imported.";
}

ImportReport importBondListText(BondDatabase& db, const std::string& portfolio,
                                std::string_view text) {
    ImportReport report = readBondListText(db, portfolio, text);
    if (!report.bonds.empty()) {
        db.appendBonds(portfolio, report.bonds);
    }
    return report;
}

ImportReport::Outcome readBondListFile(const std::filesystem::path& path, std::string& bytes) {
    switch (readRegularFile(path, kMaxBondListFileBytes, bytes)) {
    case RegularFileRead::Read:
        return ImportReport::Outcome::Imported;
    case RegularFileRead::TooLarge:
        return ImportReport::Outcome::TooLarge;
    case RegularFileRead::CannotOpen:
    case RegularFileRead::NotRegular:
    case RegularFileRead::Failed:
        break;
    }
    return ImportReport::Outcome::Unreadable;
}

std::string skippedLinesMessage(const ImportReport& report) {
    if (report.skippedLineCount == 0) {
        return {};
    }
    std::string message =
        report.skippedLineCount == 1
            ? "1 line of the file could not be read as a bond and was passed over:\n"
            : std::to_string(report.skippedLineCount) +
                  " lines of the file could not be read as bonds and were passed over:\n";
    std::size_t listed = 0;
    for (const SkippedLine& line : report.skipped) {
        if (listed == kMaxSkippedLinesInAlert) {
            break;
        }
        message += "\nLine " + std::to_string(line.lineNumber) + ": " + line.reason + ".";
        ++listed;
    }
    if (report.skippedLineCount > listed) {
        message += "\n...and " + std::to_string(report.skippedLineCount - listed) + " more.";
    }
    message += "\n\nThe rest of the file was read as usual.";
    return message;
}
