// The portfolio file as the application reads it at start-up, then the store's operations on
// it, then a save: what was saved must read back exactly as the store held it.
//
// The input is the file's bytes; the store's operations are chosen by the input's last bytes.

#include "FuzzCheck.h"
#include "platform/PropertyList.h"
#include "store/BondDatabase.h"
#include "store/TextDecoding.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One folder for the whole run, emptied before every input and removed at the end.
const fs::path& workFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "orvelt-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return fs::path(pattern);
    }();
    // Registered once the folder exists, so that it runs before the folder's name is destroyed.
    static const bool removedAtExit = std::atexit([] {
                                          std::error_code ignored;
                                          fs::remove_all(workFolder(), ignored);
                                      }) == 0;
    (void)removedAtExit;
    return folder;
}

const std::array<std::string, 5> kSeries = {"E", "EE", "I", "S", "X"};
const std::array<std::string, 4> kMonths = {"January", "June", "December", "Juni"};
const std::array<std::string, 4> kYears = {"1941", "2001", "2010", "20x1"};

// Text as the windows and the import hand it to the store: always UTF-8.
std::string someText(FuzzedDataProvider& input, std::size_t maxLength) {
    return windows1252ToUtf8(input.ConsumeRandomLengthString(maxLength));
}

// A serial of the portfolio chosen by the input, or a new one the input spells.
std::string pickSerial(FuzzedDataProvider& input, const BondDatabase& db,
                       const std::string& portfolio) {
    const Portfolio* open = db.portfolio(portfolio);
    if (open != nullptr && !open->bonds.empty() && input.ConsumeBool()) {
        const std::size_t index =
            input.ConsumeIntegralInRange<std::size_t>(0, open->bonds.size() - 1);
        return open->bonds[index].serial;
    }
    return someText(input, 12);
}

// An existing portfolio, or a new one the input names.
std::string pickPortfolio(FuzzedDataProvider& input, BondDatabase& db) {
    const std::vector<std::string> names = db.portfolioNames();
    if (!names.empty() && input.ConsumeBool()) {
        return names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
    }
    const std::string name = someText(input, 12);
    db.createPortfolio(name);
    return name;
}

void changeField(BondDatabase& db, const std::string& portfolio, const std::string& serial,
                 std::string Bond::*field, std::string value) {
    if (const Bond* found = db.bond(portfolio, serial)) {
        Bond changed = *found;
        changed.*field = std::move(value);
        db.changeBond(portfolio, serial, std::move(changed));
    }
}

void runOperations(FuzzedDataProvider& input, BondDatabase& db) {
    std::string portfolio = pickPortfolio(input, db);
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int step = 0; step < count && input.remaining_bytes() > 0; ++step) {
        const std::string serial = pickSerial(input, db, portfolio);
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
            db.addBond(portfolio,
                       Bond(serial, input.PickValueInArray(kSeries),
                            input.ConsumeBool() ? "100" : "1e3", input.PickValueInArray(kYears),
                            input.PickValueInArray(kMonths)));
            break;
        case 1:
            changeField(db, portfolio, serial, &Bond::faceValue, someText(input, 8));
            break;
        case 2:
            changeField(db, portfolio, serial, &Bond::type, input.PickValueInArray(kSeries));
            break;
        case 3:
            changeField(db, portfolio, serial, &Bond::issueYear, input.PickValueInArray(kYears));
            break;
        case 4:
            changeField(db, portfolio, serial, &Bond::issueMonth, input.PickValueInArray(kMonths));
            break;
        case 5:
            changeField(db, portfolio, serial, &Bond::serial, someText(input, 12));
            break;
        case 6:
            db.removeBond(portfolio, serial);
            break;
        case 7:
            db.sortBondsByDate(portfolio);
            break;
        case 8: {
            // Deleted, then put back under another name, as undoing a deletion may.
            const Portfolio* kept = db.portfolio(portfolio);
            const std::optional<std::size_t> position = db.positionOf(portfolio);
            if (kept != nullptr && position) {
                Portfolio restored = *kept;
                db.deletePortfolio(portfolio);
                restored.name = db.freeNameLike(someText(input, 12));
                restored.bondsChanged = true;
                if (db.restorePortfolio(restored, *position)) {
                    portfolio = restored.name;
                }
            }
            break;
        }
        default:
            portfolio = pickPortfolio(input, db);
            break;
        }
    }
    db.sortBondsByDate(portfolio);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& folder = workFolder();
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    const fs::path file = folder / "portfolios.plist";

    // The operations come from the end of the input, so that a seed's opening stays a file.
    const std::size_t operationBytes = std::min<std::size_t>(size, 64);
    FuzzedDataProvider operations(data + size - operationBytes, operationBytes);
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    const std::unique_ptr<BondDatabase> db = BondDatabase::open(file);
    FUZZ_CHECK(db != nullptr);
    runOperations(operations, *db);
    FUZZ_CHECK(db->save().saved);
    FUZZ_CHECK(!db->hasUnsavedChanges());

    const std::unique_ptr<BondDatabase> again = BondDatabase::open(file);
    const PlistDictRef held = db->toPropertyList();
    const PlistDictRef readBack = again->toPropertyList();
    // Characters XML cannot hold are written as U+FFFD, so what reads back may differ from what
    // was held only in what writes as the same text.
    const bool same = *readBack == *held || propertyListToXml(PlistValue(readBack)) ==
                                                propertyListToXml(PlistValue(held));
    if (again->startupNotice() || !same) {
        std::fprintf(stderr, "held:\n%s\nread back (%s):\n%s\n",
                     propertyListToXml(PlistValue(held)).c_str(),
                     again->startupNotice().value_or("read normally").c_str(),
                     propertyListToXml(PlistValue(readBack)).c_str());
    }
    FUZZ_CHECK(!again->startupNotice().has_value());
    FUZZ_CHECK(same);
    return 0;
}
