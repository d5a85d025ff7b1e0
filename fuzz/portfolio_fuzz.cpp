// The portfolio file as the application reads it at start-up, then the store's operations on
// it, then a save: what was saved must read back exactly as the store held it.
//
// The input is the file's bytes; the store's operations are chosen by the input's last bytes.

#include "FuzzCheck.h"
#include "platform/PropertyList.h"
#include "platform/SilentToolkitServices.h"
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

// A serial of the open portfolio chosen by the input, or a new one the input spells.
std::string pickSerial(FuzzedDataProvider& input, BondDatabase& db) {
    const PlistArrayRef bonds = db.currentBondList();
    if (bonds && !bonds->empty() && input.ConsumeBool()) {
        const std::size_t index = input.ConsumeIntegralInRange<std::size_t>(0, bonds->size() - 1);
        const PlistDict* bond = bonds->at(index).dictPtr();
        return bond != nullptr ? bond->text("Serial") : std::string();
    }
    return someText(input, 12);
}

void openSomePortfolio(FuzzedDataProvider& input, BondDatabase& db) {
    const std::vector<std::string> names = db.getPortfolioNames();
    if (!names.empty() && input.ConsumeBool()) {
        db.setNewCurrentPortfolio(
            names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)]);
        return;
    }
    const std::string name = someText(input, 12);
    db.addPortfolioWithName(name);
    db.setNewCurrentPortfolio(name);
}

void runOperations(FuzzedDataProvider& input, BondDatabase& db) {
    openSomePortfolio(input, db);
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int step = 0; step < count && input.remaining_bytes() > 0; ++step) {
        const std::string serial = pickSerial(input, db);
        switch (input.ConsumeIntegralInRange(0, 8)) {
        case 0:
            db.addBondWithSerial(serial, input.ConsumeBool() ? "100" : "1e3",
                                 input.PickValueInArray(kSeries), input.PickValueInArray(kYears),
                                 input.PickValueInArray(kMonths));
            break;
        case 1:
            db.updateFaceValue(someText(input, 8), serial);
            break;
        case 2:
            db.updateType(input.PickValueInArray(kSeries), serial);
            break;
        case 3:
            db.updateIssueYear(input.PickValueInArray(kYears), serial);
            break;
        case 4:
            db.updateIssueMonth(input.PickValueInArray(kMonths), serial);
            break;
        case 5:
            db.updateBondSerial(someText(input, 12), serial);
            break;
        case 6:
            db.deleteBondWithSerial(serial);
            break;
        case 7:
            db.sortBondsByDate();
            break;
        default:
            openSomePortfolio(input, db);
            break;
        }
    }
    db.sortBondsByDate();
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

    SilentToolkitServices services;
    const std::unique_ptr<BondDatabase> db = BondDatabase::initWithFile(file, services);
    FUZZ_CHECK(db != nullptr);
    FUZZ_CHECK(db->portfolios() != nullptr);
    runOperations(operations, *db);
    db->save();

    const std::unique_ptr<BondDatabase> again = BondDatabase::initWithFile(file, services);
    if (again->startupNotice() || *again->portfolios() != *db->portfolios()) {
        std::fprintf(stderr, "held:\n%s\nread back (%s):\n%s\n",
                     propertyListToXml(PlistValue(db->portfolios())).c_str(),
                     again->startupNotice().value_or("read normally").c_str(),
                     propertyListToXml(PlistValue(again->portfolios())).c_str());
    }
    FUZZ_CHECK(!again->startupNotice().has_value());
    FUZZ_CHECK(*again->portfolios() == *db->portfolios());
    return 0;
}
