#include "valuation/EarningRates.h"

#include "platform/PropertyList.h"

#include <charconv>
#include <limits>

namespace {

// The shipped rates are 0.25 MB; a file much larger is not theirs.
constexpr std::uintmax_t kMaxEarningRatesBytes = std::uintmax_t{16} << 20;

constexpr std::int16_t kStoppedCode = -1;
constexpr std::int16_t kNotKnownCode = -2;

int monthNumber(YearMonth month) {
    return month.year * 12 + month.month - 1;
}

std::optional<int> monthNumberOfText(std::string_view text) {
    const std::optional<YearMonth> month = YearMonth::fromKeyText(text);
    return month ? std::optional<int>(monthNumber(*month)) : std::nullopt;
}

std::optional<int> numberOfText(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// "2.87 official" -> 287 and "official".
bool readRate(std::string_view text, int& hundredths, std::string& status) {
    const std::size_t space = text.find(' ');
    const std::string_view percent = text.substr(0, space);
    const std::size_t point = percent.find('.');
    if (space == std::string_view::npos || point == std::string_view::npos ||
        percent.size() != point + 3) {
        return false;
    }
    const std::optional<int> whole = numberOfText(percent.substr(0, point));
    const std::optional<int> cents = numberOfText(percent.substr(point + 1));
    if (!whole || !cents || *whole < 0 || *whole > 100 || *cents < 0) {
        return false;
    }
    hundredths = *whole * 100 + *cents;
    status = std::string(text.substr(space + 1));
    return true;
}

// The next space-separated word of `text`, taken off it.
std::string_view nextWord(std::string_view& text) {
    const std::size_t space = text.find(' ');
    const std::string_view word = text.substr(0, space);
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    return word;
}

} // namespace

const EarningRates::Issue* EarningRates::issueOf(BondSeries series, YearMonth issue) const {
    const Series& issues = series_[static_cast<std::size_t>(series)];
    const int index = monthNumber(issue) - issues.firstIssue;
    if (index < 0 || index >= static_cast<int>(issues.issues.size())) {
        return nullptr;
    }
    const Issue& found = issues.issues[static_cast<std::size_t>(index)];
    return found.step < 0 ? nullptr : &found;
}

bool EarningRates::coversMonth(YearMonth month) const {
    const int at = monthNumber(month);
    return at >= firstMonth_ && at <= lastMonth_;
}

EarningRate EarningRates::rateIn(BondSeries series, YearMonth issue, YearMonth month) const {
    const Issue* found = issueOf(series, issue);
    if (found == nullptr || !coversMonth(month)) {
        return {};
    }
    const int age = monthNumber(month) - monthNumber(issue);
    const Segment* holding = nullptr;
    for (std::uint32_t i = 0; i < found->segmentCount; ++i) {
        const Segment& segment = segments_[found->firstSegment + i];
        if (segment.fromAge > age) {
            break;
        }
        holding = &segment;
    }
    if (holding == nullptr || holding->code == kNotKnownCode) {
        return {};
    }
    if (holding->code == kStoppedCode) {
        return {EarningRate::Kind::Stopped, 0, {}};
    }
    const auto code = static_cast<std::size_t>(holding->code);
    return {EarningRate::Kind::Known, rateHundredths_[code], rateStatuses_[code]};
}

int EarningRates::accrualStepMonths(BondSeries series, YearMonth issue) const {
    const Issue* found = issueOf(series, issue);
    return found == nullptr ? 0 : found->step;
}

std::optional<ValueCell>
EarningRates::yearEndCentsWhileNotPayable(BondSeries series, YearMonth issue, int year) const {
    const Issue* found = issueOf(series, issue);
    if (found == nullptr || found->yearEndMonth != monthNumber({year, 12})) {
        return std::nullopt;
    }
    return found->yearEndCents;
}

bool EarningRates::readIssue(BondSeries series, int issue, std::string_view text) {
    Series& issues = series_[static_cast<std::size_t>(series)];
    if (issues.issues.empty()) {
        issues.firstIssue = issue;
    }
    const int index = issue - issues.firstIssue;
    if (index < 0 || index > 12 * 200) {
        return false;
    }
    if (static_cast<std::size_t>(index) >= issues.issues.size()) {
        issues.issues.resize(static_cast<std::size_t>(index) + 1,
                             Issue{0, 0, -1, -1, kMissingCell});
    }
    Issue read;
    const std::string_view step = nextWord(text);
    if (step == "?") {
        read.step = 0;
    } else if (step == "1" || step == "6") {
        read.step = static_cast<std::int8_t>(step[0] - '0');
    } else {
        return false;
    }
    read.firstSegment = static_cast<std::uint32_t>(segments_.size());
    while (!text.empty()) {
        const std::string_view word = nextWord(text);
        if (word.starts_with('Y')) {
            const std::size_t equals = word.find('=');
            const std::optional<int> month = equals == std::string_view::npos
                                                 ? std::nullopt
                                                 : monthNumberOfText(word.substr(1, equals - 1));
            const std::optional<int> cents =
                month ? numberOfText(word.substr(equals + 1)) : std::nullopt;
            if (!cents || *cents <= 0) {
                return false;
            }
            read.yearEndMonth = *month;
            read.yearEndCents = *cents;
            continue;
        }
        const std::size_t colon = word.find(':');
        if (colon == std::string_view::npos) {
            return false;
        }
        const int age = numberOfText(word.substr(0, colon)).value_or(-1);
        const std::string_view code = word.substr(colon + 1);
        const int index = numberOfText(code).value_or(-1);
        const bool knownCode =
            code == "-" || code == "?" ||
            (index >= 0 && static_cast<std::size_t>(index) < rateHundredths_.size());
        if (age < 0 || age > std::numeric_limits<std::int16_t>::max() || !knownCode ||
            (read.segmentCount > 0 && segments_.back().fromAge >= age)) {
            return false;
        }
        segments_.push_back(
            {static_cast<std::int16_t>(age), code == "-"   ? kStoppedCode
                                             : code == "?" ? kNotKnownCode
                                                           : static_cast<std::int16_t>(index)});
        ++read.segmentCount;
    }
    issues.issues[static_cast<std::size_t>(index)] = read;
    return true;
}

struct EarningRates::FileReader {
    // The rates of the file's dictionaries; empty, with `error`, when they are not of its form.
    static EarningRatesRef read(const PlistDict& root, std::string* error);
};

EarningRatesRef EarningRates::FileReader::read(const PlistDict& root, std::string* error) {
    auto rates = std::make_shared<EarningRates>();
    const auto fail = [error](std::string message) {
        if (error != nullptr) {
            *error = std::move(message);
        }
        return EarningRatesRef();
    };
    std::string_view months = root.text("Months");
    const std::optional<int> first = monthNumberOfText(nextWord(months));
    const std::optional<int> last = monthNumberOfText(months);
    const PlistValue* rateTexts = root.find("Rates");
    if (!first || !last || *last < *first || rateTexts == nullptr ||
        rateTexts->arrayPtr() == nullptr) {
        return fail("it holds no \"Months\" or \"Rates\"");
    }
    rates->firstMonth_ = *first;
    rates->lastMonth_ = *last;
    for (const PlistValue& text : *rateTexts->arrayPtr()) {
        int hundredths = 0;
        std::string status;
        if (!text.isString() || !readRate(text.text(), hundredths, status)) {
            return fail("a rate is not \"<percent> <status>\": " + text.text());
        }
        rates->rateHundredths_.push_back(hundredths);
        rates->rateStatuses_.push_back(std::move(status));
    }
    for (const auto& [seriesName, issues] : root.entries()) {
        const std::optional<BondSeries> series = bondSeriesOfName(seriesName);
        if (!series || issues.dictPtr() == nullptr) {
            continue;
        }
        for (const auto& [issueKey, text] : issues.dictPtr()->entries()) {
            const std::optional<int> issue = monthNumberOfText(issueKey);
            if (!issue || !text.isString() || !rates->readIssue(*series, *issue, text.text())) {
                return fail(seriesName + " " + issueKey + " is not of the rates' form");
            }
        }
    }
    return rates;
}

EarningRatesRef readEarningRatesFile(const std::filesystem::path& path, std::string* error) {
    const PlistDictRef root =
        readPropertyListDictionary(path, "it holds no dictionary", error, kMaxEarningRatesBytes);
    return root ? EarningRates::FileReader::read(*root, error) : EarningRatesRef();
}
