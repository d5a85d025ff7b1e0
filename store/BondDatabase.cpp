#include "store/BondDatabase.h"

#include "platform/NumberText.h"
#include "platform/PropertyList.h"
#include "platform/ToolkitServices.h"
#include "platform/XmlSafeText.h"
#include "store/BondRecord.h"
#include "store/PortfolioFileReader.h"

#include <algorithm>
#include <initializer_list>

namespace {

const std::string kErrorTitle = "Error";
const std::string kDuplicateSerialMessage =
    "Serial already exists. Please enter a different serial.";
const std::string kUnstorableTextMessage =
    "The text holds a character that the portfolio file cannot keep (a null character or bytes "
    "that are not text). Please type it again.";

const PlistValue* fieldOf(const PlistValue& bond, std::string_view key) {
    const PlistDict* dict = bond.dictPtr();
    return dict != nullptr ? dict->find(key) : nullptr;
}

// Text the portfolio file could not hold would make every later save fail, so it is refused
// before it reaches the store.
bool allStorable(std::initializer_list<const std::string*> texts) {
    return std::all_of(texts.begin(), texts.end(),
                       [](const std::string* text) { return isStorableText(*text); });
}

// Month rank for the date order: a text that is no month name ranks with January.
int monthRankForSort(const PlistValue& bond) {
    const PlistValue* month = fieldOf(bond, kIssueMonthKey);
    if (month == nullptr) {
        return 0;
    }
    const std::string* text = month->stringPtr();
    if (text == nullptr) {
        return 0;
    }
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (*text == kMonthNames[i]) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int yearOf(const PlistValue& bond) {
    const PlistValue* year = fieldOf(bond, kIssueYearKey);
    return year != nullptr ? intValueOf(*year) : 0;
}

int compareInts(int a, int b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

int monthSort(const PlistValue& a, const PlistValue& b, void* /*context*/) {
    return compareInts(monthRankForSort(a), monthRankForSort(b));
}

int yearSort(const PlistValue& a, const PlistValue& b, void* /*context*/) {
    return compareInts(yearOf(a), yearOf(b));
}

BondDatabase::BondDatabase(ToolkitServices& services)
    : services_(services), portfolios_(PlistDict::create()) {}

std::unique_ptr<BondDatabase> BondDatabase::initWithFile(const std::filesystem::path& path,
                                                         ToolkitServices& services) {
    auto database = std::make_unique<BondDatabase>(services);
    database->filePath_ = path;
    PortfolioFileContents contents = readPortfolioFile(path);
    database->portfolios_ = std::move(contents.portfolios);
    database->startupNotice_ = std::move(contents.notice);
    database->setAsidePath_ = std::move(contents.setAsidePath);
    database->writingBlocked_ = contents.writingBlocked;
    return database;
}

int BondDatabase::getIntValueOfMonth(const std::string& month) const {
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (month == kMonthNames[i]) {
            return static_cast<int>(i);
        }
    }
    return 12;
}

void BondDatabase::sortBondsByDate() {
    if (!currentBondList_) {
        return;
    }
    // One stable pass on (year, month) orders the list as a month pass followed by a stable
    // year pass would, reading each bond's date once.
    struct Keyed {
        int year;
        int month;
        PlistValue bond;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(currentBondList_->size());
    for (PlistValue& bond : *currentBondList_) {
        keyed.push_back({yearOf(bond), monthRankForSort(bond), std::move(bond)});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return a.year != b.year ? a.year < b.year : a.month < b.month;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        (*currentBondList_)[i] = std::move(keyed[i].bond);
    }
}

void BondDatabase::save() {
    if (currentPortfolio_ && !currentPortfolio_->empty()) {
        saveCurrentPortfolio();
    }
    if (!portfolios_ || filePath_.empty() || writingBlocked_) {
        return;
    }
    writePropertyList(filePath_, PlistValue(portfolios_));
}

std::vector<std::string> BondDatabase::getPortfolioNames() const {
    return portfolios_ ? portfolios_->keys() : std::vector<std::string>();
}

void BondDatabase::setBond(PlistDictRef bond, const std::string& serial) {
    const std::int32_t index = getBondIndexWithSerial(serial);
    if (index == kNoBondIndex || !currentBondList_) {
        return;
    }
    (*currentBondList_)[static_cast<std::size_t>(index)] = PlistValue(std::move(bond));
    saveCurrentPortfolio();
}

std::int32_t BondDatabase::getBondIndexWithSerial(const std::string& serial) const {
    if (!currentBondList_) {
        return kNoBondIndex;
    }
    const PlistArray& list = *currentBondList_;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const PlistValue* bondSerial = fieldOf(list[i], kSerialKey);
        if (bondSerial != nullptr && bondSerial->equalsText(serial)) {
            return static_cast<std::int32_t>(i);
        }
    }
    return kNoBondIndex;
}

PlistDictRef BondDatabase::getBondWithSerial(const std::string& serial) const {
    const std::int32_t index = getBondIndexWithSerial(serial);
    if (index == kNoBondIndex) {
        return nullptr;
    }
    const PlistDict* bond = (*currentBondList_)[static_cast<std::size_t>(index)].dictPtr();
    return bond != nullptr ? bond->copy() : nullptr;
}

void BondDatabase::saveCurrentPortfolio() {
    // Without a list there is nothing to store: a record read without its "Bonds" stays as it
    // was read until a bond is added to it.
    if (!currentPortfolio_ || !portfolios_ || !currentBondList_) {
        return;
    }
    auto record = PlistDict::create();
    record->set(kPortfolioNameKey, PlistValue(*currentPortfolio_));
    record->set(kPortfolioBondsKey, PlistValue(currentBondList_));
    portfolios_->set(*currentPortfolio_, PlistValue(record));
}

void BondDatabase::deleteBondWithSerial(const std::string& serial) {
    const std::int32_t index = getBondIndexWithSerial(serial);
    if (index == kNoBondIndex) {
        return;
    }
    currentBondList_->erase(currentBondList_->begin() + index);
    saveCurrentPortfolio();
}

void BondDatabase::updateField(std::string_view key, const std::string& value,
                               const std::string& serial) {
    if (!bondExistsWithSerial(serial)) {
        return;
    }
    if (!isStorableText(value)) {
        services_.showErrorAlert(kErrorTitle, kUnstorableTextMessage);
        return;
    }
    PlistDictRef bond = getBondWithSerial(serial);
    if (!bond) {
        return;
    }
    bond->set(key, PlistValue(value));
    setBond(bond, serial);
}

void BondDatabase::updateIssueMonth(const std::string& month, const std::string& serial) {
    updateField(kIssueMonthKey, month, serial);
}

void BondDatabase::updateIssueYear(const std::string& year, const std::string& serial) {
    updateField(kIssueYearKey, year, serial);
}

void BondDatabase::updateType(const std::string& type, const std::string& serial) {
    updateField(kTypeKey, type, serial);
}

void BondDatabase::updateFaceValue(const std::string& faceValue, const std::string& serial) {
    updateField(kFaceValueKey, faceValue, serial);
}

bool BondDatabase::updateBondSerial(const std::string& newSerial, const std::string& oldSerial) {
    if (newSerial == oldSerial) {
        return true;
    }
    if (!bondExistsWithSerial(oldSerial)) {
        return false;
    }
    if (!isStorableText(newSerial)) {
        services_.showErrorAlert(kErrorTitle, kUnstorableTextMessage);
        return false;
    }
    if (bondExistsWithSerial(newSerial)) {
        services_.showErrorAlert(kErrorTitle, kDuplicateSerialMessage);
        return false;
    }
    PlistDictRef bond = getBondWithSerial(oldSerial);
    if (!bond) {
        return false;
    }
    bond->set(kSerialKey, PlistValue(newSerial));
    setBond(bond, oldSerial);
    saveCurrentPortfolio();
    return true;
}

bool BondDatabase::bondExistsWithSerial(const std::string& serial) const {
    return getBondIndexWithSerial(serial) != kNoBondIndex;
}

bool BondDatabase::addBond(const std::string& serial, const std::string& faceValue,
                           const std::string& type, const std::string& issueYear,
                           const std::string& issueMonth, bool alertOnDuplicate) {
    if (!currentPortfolio_) {
        return false;
    }
    if (bondExistsWithSerial(serial)) {
        if (alertOnDuplicate) {
            services_.showErrorAlert(kErrorTitle, kDuplicateSerialMessage);
        }
        return false;
    }
    return appendImportedBond(serial, faceValue, type, issueYear, issueMonth);
}

bool BondDatabase::addBondWithSerialWhileImporting(const std::string& serial,
                                                   const std::string& faceValue,
                                                   const std::string& type,
                                                   const std::string& issueYear,
                                                   const std::string& issueMonth) {
    return addBond(serial, faceValue, type, issueYear, issueMonth, false);
}

bool BondDatabase::addBondWithSerial(const std::string& serial, const std::string& faceValue,
                                     const std::string& type, const std::string& issueYear,
                                     const std::string& issueMonth) {
    return addBond(serial, faceValue, type, issueYear, issueMonth, true);
}

bool BondDatabase::appendImportedBond(const std::string& serial, const std::string& faceValue,
                                      const std::string& type, const std::string& issueYear,
                                      const std::string& issueMonth) {
    if (!currentPortfolio_) {
        return false;
    }
    if (!allStorable({&serial, &faceValue, &type, &issueYear, &issueMonth})) {
        services_.showErrorAlert(kErrorTitle, kUnstorableTextMessage);
        return false;
    }
    auto bond = PlistDict::create();
    bond->set(kSerialKey, PlistValue(serial));
    bond->set(kFaceValueKey, PlistValue(faceValue));
    bond->set(kTypeKey, PlistValue(type));
    bond->set(kIssueYearKey, PlistValue(issueYear));
    bond->set(kIssueMonthKey, PlistValue(issueMonth));
    if (!currentBondList_) {
        // A portfolio record read without its list gets one, so that the bond is kept.
        currentBondList_ = std::make_shared<PlistArray>();
    }
    currentBondList_->push_back(PlistValue(bond));
    saveCurrentPortfolio();
    return true;
}

void BondDatabase::setNewCurrentPortfolio(const std::string& name) {
    // No portfolio can be stored under such a name, so none is open.
    if (!isStorableText(name)) {
        currentPortfolio_.reset();
        currentBondList_.reset();
        return;
    }
    currentPortfolio_ = name;
    const PlistValue* record = portfolios_ ? portfolios_->find(name) : nullptr;
    const PlistDict* dict = record != nullptr ? record->dictPtr() : nullptr;
    currentBondList_ = dict != nullptr ? dict->value(kPortfolioBondsKey).array() : nullptr;
}

bool BondDatabase::portfolioExistsWithName(const std::string& name) const {
    return portfolios_ && portfolios_->contains(name);
}

void BondDatabase::deletePortfolioWithName(const std::string& name) {
    if (!portfolioExistsWithName(name)) {
        return;
    }
    portfolios_->remove(name);
    // The deleted portfolio is closed with it: left open, the next save or bond change would
    // store it again under its name and bring it back.
    if (currentPortfolio_ && *currentPortfolio_ == name) {
        currentPortfolio_.reset();
        currentBondList_.reset();
    }
}

bool BondDatabase::addPortfolioWithName(const std::string& name) {
    if (!isStorableText(name)) {
        services_.showErrorAlert(kErrorTitle, kUnstorableTextMessage);
        return false;
    }
    if (portfolioExistsWithName(name)) {
        services_.showErrorAlert(kErrorTitle, "Please enter a different name, \"" + name +
                                                  "\" is already being used by another portfolio.");
        return false;
    }
    if (!portfolios_) {
        return false;
    }
    auto record = PlistDict::create();
    record->set(kPortfolioNameKey, PlistValue(name));
    record->set(kPortfolioBondsKey, PlistValue(std::make_shared<PlistArray>()));
    portfolios_->set(name, PlistValue(record));
    setNewCurrentPortfolio(name);
    return true;
}

PlistArrayRef BondDatabase::bondListOfPortfolio(const std::string& name) const {
    const PlistValue* record = portfolios_ ? portfolios_->find(name) : nullptr;
    const PlistDict* dict = record != nullptr ? record->dictPtr() : nullptr;
    return dict != nullptr ? dict->value(kPortfolioBondsKey).array() : nullptr;
}

namespace {

// Bonds hold only texts, so copying each record's entries leaves nothing shared.
PlistArray copyOfBonds(const PlistArray& bonds) {
    PlistArray copy;
    copy.reserve(bonds.size());
    for (const PlistValue& bond : bonds) {
        const PlistDict* dict = bond.dictPtr();
        copy.push_back(dict != nullptr ? PlistValue(dict->copy()) : bond);
    }
    return copy;
}

} // namespace

std::optional<PlistArray> BondDatabase::copyBondsOfPortfolio(const std::string& name) const {
    const PlistArrayRef list = bondListOfPortfolio(name);
    if (!list) {
        return std::nullopt;
    }
    return copyOfBonds(*list);
}

bool BondDatabase::restoreBondsOfPortfolio(const std::string& name, const PlistArray& bonds) {
    const PlistArrayRef list = bondListOfPortfolio(name);
    if (!list) {
        return false;
    }
    *list = copyOfBonds(bonds);
    return true;
}
