#include "store/BondListImport.h"

#include "platform/ControlCharacters.h"
#include "platform/NumberText.h"
#include "platform/PlistValue.h"
#include "platform/PropertyList.h"
#include "platform/RegularFile.h"
#include "platform/XmlSafeText.h"
#include "store/BondDatabase.h"
#include "store/BondListExport.h"
#include "store/BondRecord.h"
#include "store/ElectronicAmount.h"
#include "store/ImportedFaceValue.h"
#include "store/SeriesRules.h"
#include "store/TextDecoding.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_set>

namespace {

// The delimiters of a row, in the order a row is read.
constexpr char kQuote = '"';
constexpr std::string_view kQuoteCommaQuote = "\",\"";
constexpr std::string_view kQuoteCommaDollar = "\",$";
constexpr std::string_view kQuoteCommaQuoteDollar = "\",\"$";
constexpr std::string_view kCommaQuote = ",\"";

struct RowFields {
    std::string serial;
    std::string type;
    std::string faceValue;
    std::string monthNumber;
    std::string year;
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
// Inside double quotes a doubled double quote stands for one, as in any CSV file. Answers
// nullptr when every delimiter was found, else why the line is passed over.
class RowScanner {
  public:
    explicit RowScanner(std::string_view line) : line_(line) {}

    const char* read(RowFields& fields) {
        // The opening double quote, not looked at. Whatever character stands there is passed
        // over whole: cutting into a multi-byte one would begin the serial with a broken
        // character, which the portfolio file cannot store.
        position_ = firstCharacterLength(line_);
        if (!quotedField(fields.serial)) {
            return "the serial has no closing double quote";
        }
        if (!dropThrough(kQuoteCommaQuote)) {
            return "the series is missing";
        }
        if (!quotedField(fields.type)) {
            return "the series has no closing double quote";
        }
        if (const char* reason = faceValueField(fields.faceValue)) {
            return reason;
        }
        if (!quotedField(fields.monthNumber)) {
            return "the month has no closing double quote";
        }
        if (!dropThrough(kQuoteCommaQuote)) {
            return "the year is missing";
        }
        if (!quotedField(fields.year)) {
            return "the year has no closing double quote";
        }
        return nullptr;
    }

    // The fields after the year, each `,"…"`, as Orvelt's own export adds them; reading stops at
    // anything else (a line's end, a carriage return).
    std::vector<std::string> extraFields() {
        std::vector<std::string> extras;
        std::size_t at = position_ + 1;
        while (at < line_.size() && line_.substr(at).starts_with(kCommaQuote)) {
            position_ = at + kCommaQuote.size();
            std::string field;
            if (!quotedField(field)) {
                break;
            }
            extras.push_back(std::move(field));
            at = position_ + 1;
        }
        return extras;
    }

  private:
    // The text up to the closing double quote, where it leaves the position.
    bool quotedField(std::string& field) {
        field.clear();
        for (std::size_t at = position_; at < line_.size(); ++at) {
            if (line_[at] != kQuote) {
                field += line_[at];
            } else if (at + 1 < line_.size() && line_[at + 1] == kQuote) {
                field += kQuote;
                ++at;
            } else {
                position_ = at;
                return true;
            }
        }
        return false;
    }

    bool dropThrough(std::string_view delimiter) {
        const std::size_t at = line_.find(delimiter, position_);
        if (at == std::string_view::npos) {
            return false;
        }
        position_ = at + delimiter.size();
        return true;
    }

    // As the Windows edition writes it, $100 or $1,000 up to the comma that opens the month; or,
    // from a list a spreadsheet saved again, "$1,000" in double quotes. Leaves the position
    // inside the month's double quotes.
    const char* faceValueField(std::string& field) {
        const std::size_t bare = line_.find(kQuoteCommaDollar, position_);
        const std::size_t quoted = line_.find(kQuoteCommaQuoteDollar, position_);
        if (quoted < bare) {
            position_ = quoted + kQuoteCommaQuoteDollar.size();
            if (!quotedField(field)) {
                return "the face value has no closing double quote";
            }
            return dropThrough(kCommaQuote) ? nullptr : "the month is missing";
        }
        if (bare == std::string_view::npos) {
            return "the face value is missing (no \",$\" after the series)";
        }
        position_ = bare + kQuoteCommaDollar.size();
        const std::size_t month = line_.find(kCommaQuote, position_);
        if (month == std::string_view::npos) {
            return line_.find(',', position_) == std::string_view::npos
                       ? "the face value has no comma after it"
                       : "the month is missing";
        }
        field = line_.substr(position_, month - position_);
        position_ = month + kCommaQuote.size();
        return nullptr;
    }

    std::string_view line_;
    std::size_t position_ = 0;
};

// White space alone, or the end-of-file mark (Ctrl-Z) that old Windows programs append.
bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r\v\f\x1A") == std::string_view::npos;
}

std::string_view trimmed(std::string_view field) {
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return field.substr(first, field.find_last_not_of(" \t") - first + 1);
}

bool isAsciiDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiUpper(x) == asciiUpper(y);
           });
}

std::string inQuotes(std::string_view field) {
    return "\"" + std::string(field) + "\"";
}

// The series as the store keeps it ("EE" for " ee"); nothing for one Orvelt does not know.
std::optional<std::string_view> seriesOfField(std::string_view field) {
    for (const SeriesRules& rules : kSeriesRules) {
        if (sameIgnoringAsciiCase(trimmed(field), rules.series)) {
            return rules.series;
        }
    }
    return std::nullopt;
}

// The month's English name, from its number ("6", "06") or its name in any letter case.
std::optional<std::string_view> monthOfField(std::string_view field) {
    std::string_view text = trimmed(field);
    if (isAsciiDigits(text)) {
        text.remove_prefix(std::min(text.find_first_not_of('0'), text.size()));
        const int number = text.size() <= 2 ? intValueOfText(text) : 0;
        return number >= 1 && number <= 12 ? std::optional(monthName(number)) : std::nullopt;
    }
    for (int month = 1; month <= 12; ++month) {
        if (sameIgnoringAsciiCase(text, monthName(month))) {
            return monthName(month);
        }
    }
    return std::nullopt;
}

// Why the series, month or year of a row cannot be placed, or nothing when all three can;
// `bond` then holds them as the store keeps them.
std::optional<std::string> issueProblem(const RowFields& fields, Bond& bond) {
    const std::optional<std::string_view> series = seriesOfField(fields.type);
    if (!series) {
        return "the series " + inQuotes(fields.type) + " is not one Orvelt knows (E, EE, I or S)";
    }
    const std::optional<std::string_view> month = monthOfField(fields.monthNumber);
    if (!month) {
        return "the month " + inQuotes(fields.monthNumber) +
               " is not a month (1 to 12, or its name)";
    }
    const std::string_view year = trimmed(fields.year);
    if (!fourDigitYear(year)) {
        return "the year " + inQuotes(fields.year) + " is not a year of four digits";
    }
    bond.type = *series;
    bond.issueMonth = *month;
    bond.issueYear = year;
    return std::nullopt;
}

// Why the fields after the year cannot be taken, or nothing when they can; `bond` then holds
// them: electronic when the first is kElectronicMark, then the registration and the note.
std::optional<std::string> extrasProblem(const std::vector<std::string>& extras, Bond& bond) {
    const std::string_view electronic = trimmed(extras[0]);
    if (!electronic.empty() && !sameIgnoringAsciiCase(electronic, kElectronicMark)) {
        return "the kind " + inQuotes(extras[0]) + " is not \"" + std::string(kElectronicMark) +
               "\" or empty";
    }
    const std::string& secondNameIs = extras[3];
    if (!secondNameIs.empty() && secondNameIs != kCoOwner && secondNameIs != kBeneficiary) {
        return "the second name's role " + inQuotes(secondNameIs) + " is not \"" +
               std::string(kCoOwner) + "\" or \"" + std::string(kBeneficiary) + "\"";
    }
    bond.electronic = !electronic.empty();
    bond.setOwner(extras[1]);
    bond.setSecondName(extras[2]);
    bond.setSecondNameIs(secondNameIs);
    bond.setKeptAt(extras[4]);
    bond.setNote(extras[5]);
    return std::nullopt;
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

// True when the line leaves a field in double quotes open (or closes one opened before): in CSV
// such a field runs on over the line feed.
bool leavesQuotesOpen(std::string_view line) {
    return std::count(line.begin(), line.end(), '"') % 2 != 0;
}

class RowReader {
  public:
    RowReader(const Portfolio& portfolio, const std::vector<std::string>& faceValues,
              bool headerSeen, bool withExtras, ImportReport& report)
        : report_(report), faceValues_(faceValues), serials_(serialsOf(portfolio)),
          headerSeen_(headerSeen), withExtras_(withExtras) {}

    void readLine(std::string_view line, std::size_t lineNumber) {
        // A line feed inside double quotes: the lines that follow, up to the one that closes
        // them, belong to that field. Rows never hold one, so they are passed over with it;
        // only a field after a bond's own ones (a note) is left quietly.
        if (openSince_ != 0 && !line.starts_with('"')) {
            if (!openQuietly_) {
                recordSkipped(report_, lineNumber,
                              "it continues a field in double quotes that line " +
                                  std::to_string(openSince_) + " leaves open");
            }
            if (leavesQuotesOpen(line)) {
                openSince_ = 0;
            }
            return;
        }
        openSince_ = 0;
        const bool added = readRowLine(line, lineNumber);
        if (leavesQuotesOpen(line)) {
            openSince_ = lineNumber;
            openQuietly_ = added;
        }
    }

  private:
    // Reads one line as a row; true when it gave a bond or named a serial already there.
    bool readRowLine(std::string_view line, std::size_t lineNumber) {
        if (isBlank(line)) {
            return true;
        }
        if (line.starts_with(kBondListHeader)) {
            // The first header is the file's own (the text before it is not read as rows); a
            // repeated one is named, so that no line goes uncounted.
            if (headerSeen_) {
                recordSkipped(report_, lineNumber, "it repeats the column titles");
            }
            headerSeen_ = true;
            return true;
        }
        if (line.find('"') == std::string_view::npos) {
            recordSkipped(report_, lineNumber, "it is not a bond row (it has no double quotes)");
            return false;
        }
        RowFields fields;
        RowScanner scanner(line);
        if (const char* reason = scanner.read(fields)) {
            recordSkipped(report_, lineNumber, reason);
            return false;
        }
        // Only a list of Orvelt's own export has them: another field after the year is not read.
        std::vector<std::string> extras =
            withExtras_ ? scanner.extraFields() : std::vector<std::string>();
        extras.resize(kBondListExtraTitles.size());
        if (std::any_of(extras.begin(), extras.end(),
                        [](const std::string& extra) { return holdsControlCharacter(extra); })) {
            recordSkipped(report_, lineNumber, "it holds control characters");
            return false;
        }
        if (holdsControlCharacter(fields.serial) || holdsControlCharacter(fields.type) ||
            holdsControlCharacter(fields.faceValue) || holdsControlCharacter(fields.monthNumber) ||
            holdsControlCharacter(fields.year)) {
            recordSkipped(report_, lineNumber, "it holds control characters");
            return false;
        }
        Bond bond;
        std::string dollars;
        if (std::optional<std::string> problem = extrasProblem(extras, bond)) {
            recordSkipped(report_, lineNumber, std::move(*problem));
            return false;
        }
        if (std::optional<std::string> problem =
                bond.electronic ? electronicAmountProblem(trimmed(fields.faceValue), dollars)
                                : faceValueProblem(fields.faceValue, faceValues_, dollars)) {
            recordSkipped(report_, lineNumber, std::move(*problem));
            return false;
        }
        if (std::optional<std::string> problem = issueProblem(fields, bond)) {
            recordSkipped(report_, lineNumber, std::move(*problem));
            return false;
        }
        if (serials_.contains(fields.serial)) {
            ++report_.skippedDuplicates;
            return true;
        }
        bond.serial = std::move(fields.serial);
        bond.faceValue = std::move(dollars);
        if (!isStorableText(bond.serial) || !isStorableText(bond.type) ||
            !isStorableText(bond.issueYear) || !isStorableText(bond.issueMonth) ||
            !std::all_of(extras.begin(), extras.end(), isStorableText)) {
            recordSkipped(report_, lineNumber, "it holds text the portfolio file cannot keep");
            return false;
        }
        serials_.insert(bond.serial);
        report_.bonds.push_back(std::move(bond));
        ++report_.added;
        return true;
    }

    ImportReport& report_;
    const std::vector<std::string>& faceValues_;
    SerialSet serials_;
    bool headerSeen_;
    bool withExtras_;
    std::size_t openSince_ = 0; // the line that left double quotes open, or 0
    bool openQuietly_ = false;
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
                              std::string_view rawText,
                              const std::vector<std::string>& faceValues) {
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
    const char lineEnd = lineEndOf(text);
    // The first line is never read as a row; when it holds the header, that is the file's own.
    std::size_t lineStart = text.find(lineEnd);
    const bool headerFirst = text.substr(0, lineStart).find(kBondListHeader) != std::string::npos;
    // The titles of the further columns right after the year's: a list of Orvelt's own export.
    const std::string extrasHeader =
        std::string(kBondListHeader) + ",\"" + std::string(kBondListExtraTitles.front()) + "\"";
    const bool withExtras = text.find(extrasHeader) != std::string_view::npos;
    RowReader reader(*target, faceValues, headerFirst, withExtras, report);
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
                                std::string_view text, const std::vector<std::string>& faceValues) {
    ImportReport report = readBondListText(db, portfolio, text, faceValues);
    if (!report.bonds.empty()) {
        db.appendBonds(portfolio, report.bonds);
    }
    return report;
}

ImportReport::Outcome readBondListFile(const std::filesystem::path& path, std::string& bytes,
                                       std::string* why) {
    int error = 0;
    std::string reason;
    switch (readRegularFile(path, kMaxBondListFileBytes, bytes, &error)) {
    case RegularFileRead::Read:
        return ImportReport::Outcome::Imported;
    case RegularFileRead::TooLarge:
        return ImportReport::Outcome::TooLarge;
    case RegularFileRead::NotRegular:
        reason = "it is not a regular file";
        break;
    case RegularFileRead::CannotOpen:
    case RegularFileRead::Failed:
        reason = std::strerror(error);
        break;
    }
    if (why != nullptr) {
        *why = std::move(reason);
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
