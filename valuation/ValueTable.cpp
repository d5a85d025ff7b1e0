#include "valuation/ValueTable.h"

#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"
#include "store/ElectronicAmount.h"
#include "store/SeriesRules.h"
#include "valuation/EarningRates.h"
#include "valuation/ElectronicValue.h"
#include "valuation/ValueTableFile.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace {

// Digits only, no sign or white space: read without the general parser. The digits fit a
// double exactly and so does the power of ten, so the one division is correctly rounded and the
// result is the same double the text-to-number rule gives.
bool readPlainDecimal(std::string_view whole, std::string_view fraction, double& result) {
    static constexpr std::array<double, 16> kPowersOfTen = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::size_t digitCount = whole.size() + fraction.size();
    if (digitCount == 0 || digitCount > 15) {
        return false;
    }
    std::uint64_t digits = 0;
    for (std::string_view part : {whole, fraction}) {
        for (char c : part) {
            if (c < '0' || c > '9') {
                return false;
            }
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    result = static_cast<double>(digits) / kPowersOfTen[fraction.size()];
    return true;
}

// The face value text read as the text-to-number rule reads it, plain digits without the
// general parser.
double faceValueOf(const std::string& faceValue) {
    double plain = 0.0;
    if (readPlainDecimal(faceValue, {}, plain)) {
        return plain;
    }
    return doubleValueOfText(faceValue);
}

} // namespace

namespace {

// What tells one version of a file from another: a rewrite (always to a new file, renamed into
// place) changes the inode, and any change in place the size or the change time.
struct FileIdentity {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};
    timespec modified{};
    bool operator==(const FileIdentity& other) const {
        return path == other.path && device == other.device && inode == other.inode &&
               size == other.size && changed.tv_sec == other.changed.tv_sec &&
               changed.tv_nsec == other.changed.tv_nsec &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

std::optional<FileIdentity> identityOf(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{path.string(),  status.st_dev,  status.st_ino,
                        status.st_size, status.st_ctim, status.st_mtim};
}

// The rates shipped beside the table, or why they cannot be had: the path, the reason and what to
// do, as for a damaged table.
EarningRatesRef readEarningRates(const ResourceLocations& resources,
                                 const std::optional<std::filesystem::path>& path,
                                 std::string& problem) {
    const std::filesystem::path shown =
        path ? *path
             : resources.shippedDir() /
                   (std::string(kEarningRatesResource) + "." + std::string(kEarningRatesType));
    std::string readError = "it is missing";
    EarningRatesRef rates = path ? readEarningRatesFile(*path, &readError) : nullptr;
    if (!rates) {
        const bool usersCopy = path && *path == resources.userPathForResource(kEarningRatesResource,
                                                                              kEarningRatesType);
        problem = "The earning rates file " + shown.string() + " cannot be read: " + readError +
                  ". " +
                  (usersCopy ? "Remove it to use the rates that come with Orvelt."
                             : "Install Orvelt again to put back a whole copy.");
    }
    return rates;
}

} // namespace

ValueTableRef readBondTableFile(const ResourceLocations& resources,
                                const std::filesystem::path& path, std::string* error) {
    // A compact form is made by the build for the shipped table only: one beside the user's own
    // copy was not made from it.
    const bool usersCopy =
        path == resources.userPathForResource(kBondTableResource, kBondTableType);
    return usersCopy ? readValueTableXml(path, error)
                     : readValueTableFile(path, error, resources.cacheDir());
}

ValueTableRef loadBondTable(const ResourceLocations& resources, std::string* problem) {
    const auto path = resources.pathForResource(kBondTableResource, kBondTableType);
    if (!path) {
        return {};
    }
    // The table is read whole and never changed once read, so the windows and the start-up share
    // the last one read while its files stay the same.
    static std::mutex mutex;
    static std::optional<FileIdentity> lastIdentity;
    static std::optional<FileIdentity> lastRatesIdentity;
    static ValueTableRef lastTable;
    const std::optional<FileIdentity> identity = identityOf(*path);
    // The rates come with the application, beside the table.
    const auto ratesPath = resources.pathForResource(kEarningRatesResource, kEarningRatesType);
    const auto ratesIdentity = ratesPath ? identityOf(*ratesPath) : std::nullopt;
    const std::lock_guard<std::mutex> lock(mutex);
    if (identity && ratesIdentity && lastTable && lastIdentity == identity &&
        lastRatesIdentity == ratesIdentity) {
        return lastTable;
    }
    std::string readError;
    std::string found;
    ValueTableRef table = readBondTableFile(resources, *path, &readError);
    if (!table) {
        const bool usersCopy =
            *path == resources.userPathForResource(kBondTableResource, kBondTableType);
        found = "The value table " + path->string() + " cannot be read: " + readError + ". " +
                (usersCopy ? "Remove it, or put back a whole copy, to use the table that "
                             "comes with Orvelt."
                           : "Install Orvelt again to put back a whole copy.");
    } else if (EarningRatesRef rates = readEarningRates(resources, ratesPath, found)) {
        table = withEarningRates(std::move(table), std::move(rates));
    } else {
        table = {};
    }
    if (problem != nullptr) {
        *problem = found;
    }
    // Kept only when the files did not change while they were read.
    if (identity && ratesIdentity && table && identityOf(*path) == identity &&
        identityOf(*ratesPath) == ratesIdentity) {
        lastIdentity = identity;
        lastRatesIdentity = ratesIdentity;
        lastTable = table;
    }
    return table;
}

ValueTableRef withEarningRates(ValueTableRef table, std::shared_ptr<const EarningRates> rates) {
    if (!table) {
        return table;
    }
    // A table nobody else holds was made writable and is not yet shared: set in place rather
    // than copy its cells.
    std::shared_ptr<ValueTable> changed = table.use_count() == 1
                                              ? std::const_pointer_cast<ValueTable>(table)
                                              : std::make_shared<ValueTable>(*table);
    changed->earningRates_ = std::move(rates);
    return changed;
}

TableEntry tableEntryOfBond(const ValueTable* table, const Bond& bond,
                            const YearMonth& redemption) {
    const std::optional<BondSeries> series = bondSeriesOfName(bond.type);
    const std::optional<YearMonth> issue = bond.issued();
    const FaceScale scale = FaceScale::ofBond(bond);
    if (table == nullptr || !series || !issue || !scale.valuable()) {
        return {};
    }
    return tableEntryOfCell(table->cell(*series, redemption, *issue), scale);
}

TableEntry tableEntryOfCell(ValueCell cell, const FaceScale& scale) {
    switch (cell) {
    case kMissingCell:
        return {};
    case kInvalidCell:
        return {TableEntry::Kind::Invalid, {}};
    case kNoPayCell:
        return {TableEntry::Kind::NotYetPayable, {}};
    default:
        return {TableEntry::Kind::Value, scale.amountOf(cell)};
    }
}

Amount amountOfFace(double face, ValueCell cents) {
    return FaceScale(face).amountOf(cents);
}

FaceScale::FaceScale(double face) : face_(face), faceCents_(wholeCentsOf(face)) {}

FaceScale FaceScale::ofBond(const Bond& bond) {
    FaceScale scale(tableFaceOfBond(bond));
    if (!bond.electronic) {
        return scale;
    }
    const SeriesRules* rules = seriesRulesOf(bond.type);
    const std::optional<std::int64_t> cents = electronicAmountCents(bond.faceValue);
    scale.electronicSeries_ = bondSeriesOfName(bond.type);
    scale.faceCents_ = cents;
    scale.valuable_ = rules != nullptr && soldElectronically(*rules) && cents.has_value();
    return scale;
}

Amount FaceScale::amountOf(ValueCell cents) const {
    if (electronicSeries_) {
        return valuable_ ? electronicValue(*electronicSeries_, *faceCents_, cents) : Amount();
    }
    if (faceCents_) {
        // cents * faceCents / 25 cents is cents * faceCents * 4 millionths of a dollar.
        return Amount::ofMillionths(Amount::Millionths{cents} * *faceCents_ * 4);
    }
    return Amount::ofDollars(static_cast<double>(cents) / 100.0 * (face_ / 25.0));
}

double tableFaceOfBond(const Bond& bond) {
    return faceValueOf(bond.faceValue);
}

Amount amountOfBond(const Bond& bond, ValueCell cents) {
    return FaceScale::ofBond(bond).amountOf(cents);
}
