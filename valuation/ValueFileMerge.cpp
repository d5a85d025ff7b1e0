#include "valuation/ValueFileMerge.h"

#include <algorithm>

namespace {

std::uint64_t monthNumber(YearMonth month) {
    return static_cast<std::uint64_t>(month.year) * 12 + static_cast<std::uint64_t>(month.month);
}

// Series, redemption month and issue month in one number: a file's years have four digits.
std::uint64_t keyOf(BondSeries series, YearMonth redemption, YearMonth issue) {
    return (static_cast<std::uint64_t>(series) << 40) | (monthNumber(redemption) << 20) |
           monthNumber(issue);
}

// What a file brought one redemption month.
struct FileMonth {
    std::size_t heldLeavesGiven = 0; // leaves the month held that the file gives again
    std::size_t added = 0;           // leaves the month lacked
    bool changed = false;            // a leaf the month held, changed
};

std::string leafText(ValueCell cell) {
    return cell == kInvalidCell ? "six spaces" : leafOfValueCell(cell);
}

} // namespace

ValueFileMerger::ValueFileMerger(const ValueTable* base) : base_(base) {
    if (base_ != nullptr) {
        base_->forEachCell([this](BondSeries, YearMonth redemption, YearMonth, ValueCell) {
            ++heldPerMonth_[redemption];
        });
    }
}

ValueCell ValueFileMerger::heldCell(std::uint64_t key, BondSeries series, YearMonth redemption,
                                    YearMonth issue) const {
    if (const auto found = set_.find(key); found != set_.end()) {
        return found->second.cell;
    }
    return base_ != nullptr ? base_->cell(series, redemption, issue) : kMissingCell;
}

void ValueFileMerger::add(const std::string& file, const std::vector<ValueFileLine>& lines) {
    std::map<YearMonth, FileMonth> months;
    for (const ValueFileLine& line : lines) {
        const std::optional<BondSeries> series = bondSeriesOfName(line.series);
        const std::optional<YearMonth> redemption =
            YearMonth::fromKeyText(line.redemptionYear + "-" + line.redemptionMonth);
        const std::optional<int> issueYear = fourDigitYear(line.issueYear);
        if (!series || !redemption || !issueYear) {
            continue; // a line parseValueFile gave always has them
        }
        FileMonth& given = months[*redemption];
        for (std::size_t month = 0; month < 12; ++month) {
            if (line.leaves[month] == kUnknownValueLeaf) {
                continue;
            }
            const YearMonth issue{*issueYear, static_cast<int>(month) + 1};
            const ValueCell cell = valueCellOfLeaf(line.leaves[month]);
            const std::uint64_t key = keyOf(*series, *redemption, issue);
            const ValueCell before = heldCell(key, *series, *redemption, issue);
            if (before == kMissingCell) {
                ++given.added;
            } else {
                ++given.heldLeavesGiven;
                if (before != cell) {
                    given.changed = true;
                    result_.changes.push_back({*series, *redemption, issue, before, cell, file});
                }
            }
            set_[key] = {*series, *redemption, issue, cell};
        }
    }
    for (const auto& [redemption, given] : months) {
        std::size_t& held = heldPerMonth_[redemption];
        if (given.added > 0 || given.changed) {
            MonthSupply& supply = result_.supplied[redemption];
            if (given.heldLeavesGiven == held) {
                supply.files = {file};
                supply.replacesEarlier = true;
            } else if (std::find(supply.files.begin(), supply.files.end(), file) ==
                       supply.files.end()) {
                supply.files.push_back(file);
            }
        }
        held += given.added;
    }
}

ValueFileMerge ValueFileMerger::finish() {
    ValueTable::Builder builder;
    if (base_ != nullptr) {
        for (const YearMonth& month : base_->redemptionMonths()) {
            builder.holdMonth(month);
        }
        base_->forEachCell(
            [&builder](BondSeries series, YearMonth redemption, YearMonth issue, ValueCell cell) {
                builder.setCell(series, redemption, issue, cell);
            });
    }
    for (const auto& [key, set] : set_) {
        builder.setCell(set.series, set.redemption, set.issue, set.cell);
    }
    set_.clear();
    result_.table = builder.build();
    return std::move(result_);
}

std::string valueChangeText(const ValueChange& change) {
    return "Series " + std::string(bondSeriesName(change.series)) + ", redeemed in " +
           change.redemption.name() + ", issued in " + change.issue.name() + ": " +
           leafText(change.before) + " in the table, " + leafText(change.after) + " in " +
           change.file;
}

std::string valueChangesText(const std::vector<ValueChange>& changes, std::size_t listed) {
    std::string text =
        changes.size() == 1 ? std::string("1 value") : std::to_string(changes.size()) + " values";
    text += " the value table already holds would change:";
    const std::size_t shown = std::min(listed, changes.size());
    for (std::size_t i = 0; i < shown; ++i) {
        text += "\n" + valueChangeText(changes[i]);
    }
    if (changes.size() > shown) {
        text += "\n... and " + std::to_string(changes.size() - shown) + " more.";
    }
    return text;
}
