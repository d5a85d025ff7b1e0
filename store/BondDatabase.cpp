#include "store/BondDatabase.h"

#include "platform/ControlCharacters.h"
#include "platform/PropertyList.h"
#include "platform/XmlSafeText.h"
#include "store/BondRecord.h"
#include "store/PortfolioFileReader.h"

#include <algorithm>
#include <unordered_set>

namespace {

using Status = StoreOutcome::Status;

const char* const kDuplicateSerialMessage =
    "Serial already exists. Please enter a different serial.";
const char* const kUnstorableTextMessage =
    "The text holds a character that the portfolio file cannot keep (a null character or bytes "
    "that are not text). Please type it again.";

StoreOutcome done() {
    return {};
}

StoreOutcome noSuchPortfolio(std::string_view name) {
    return StoreOutcome::refused(Status::NoSuchPortfolio,
                                 "There is no portfolio named \"" + std::string(name) + "\".");
}

StoreOutcome nameInUse(std::string_view name) {
    return StoreOutcome::refused(Status::DuplicateName, "Please enter a different name, \"" +
                                                            std::string(name) +
                                                            "\" is already being used by "
                                                            "another portfolio.");
}

StoreOutcome unstorable() {
    return StoreOutcome::refused(Status::UnstorableText, kUnstorableTextMessage);
}

// Text the portfolio file could not hold would make every later save fail, so it is refused
// before it reaches the store.
bool storable(const Bond& bond) {
    return isStorableText(bond.serial) && isStorableText(bond.type) &&
           isStorableText(bond.faceValue) && isStorableText(bond.issueYear) &&
           isStorableText(bond.issueMonth);
}

StoreOutcome controlCharacterIn(std::string_view what) {
    return StoreOutcome::refused(Status::ControlCharacter,
                                 std::string(what) +
                                     " holds a control character (an invisible character such as "
                                     "an escape or a line break), which Orvelt does not keep. "
                                     "Please type it again without it.");
}

// The fields of `bond` that are being entered (all of them for a new bond, those that differ
// from `before` for a changed one) hold no control character.
StoreOutcome checkEnteredFields(const Bond& bond, const Bond* before) {
    const auto entered = [before, &bond](std::string Bond::*field) {
        return before == nullptr || bond.*field != before->*field;
    };
    if (entered(&Bond::serial) && holdsControlCharacter(bond.serial)) {
        return controlCharacterIn("The serial");
    }
    for (std::string Bond::*field :
         {&Bond::type, &Bond::faceValue, &Bond::issueYear, &Bond::issueMonth}) {
        if (entered(field) && holdsControlCharacter(bond.*field)) {
            return controlCharacterIn("A field of the bond");
        }
    }
    return {};
}

} // namespace

BondDatabase::BondDatabase(QObject* parent) : QObject(parent) {}

BondDatabase::~BondDatabase() = default;

std::unique_ptr<BondDatabase> BondDatabase::open(const std::filesystem::path& path,
                                                 UnreadableFile unreadable) {
    PortfolioFileContents contents = readPortfolioFile(path, kMaxPropertyListBytes, unreadable);
    auto database = std::make_unique<BondDatabase>();
    database->filePath_ = path;
    database->portfolios_ = takePortfoliosFromPropertyList(*contents.portfolios);
    database->startupNotice_ = std::move(contents.notice);
    database->setAsidePath_ = std::move(contents.setAsidePath);
    database->unreadableReason_ = std::move(contents.unreadableReason);
    database->writingBlocked_ = contents.writingBlocked;
    return database;
}

std::unique_ptr<BondDatabase> BondDatabase::fromPropertyList(PlistDict root) {
    auto database = std::make_unique<BondDatabase>();
    database->portfolios_ = takePortfoliosFromPropertyList(root);
    return database;
}

PlistDictRef BondDatabase::toPropertyList() const {
    return portfoliosToPropertyList(portfolios_);
}

bool BondDatabase::fileText(std::string& out, std::string& error) const {
    return appendPortfolioFileXml(portfolios_, out, error);
}

std::vector<std::string> BondDatabase::portfolioNames() const {
    std::vector<std::string> names;
    names.reserve(portfolios_.size());
    for (const Portfolio& portfolio : portfolios_) {
        names.push_back(portfolio.name);
    }
    return names;
}

bool BondDatabase::hasPortfolio(std::string_view name) const {
    return portfolio(name) != nullptr;
}

const Portfolio* BondDatabase::portfolio(std::string_view name) const {
    const auto found = std::find_if(portfolios_.begin(), portfolios_.end(),
                                    [name](const Portfolio& p) { return p.name == name; });
    return found != portfolios_.end() ? &*found : nullptr;
}

Portfolio* BondDatabase::find(std::string_view name) {
    return const_cast<Portfolio*>(std::as_const(*this).portfolio(name));
}

const Bond* BondDatabase::bond(std::string_view portfolio, std::string_view serial) const {
    const Portfolio* found = this->portfolio(portfolio);
    return found != nullptr ? found->find(serial) : nullptr;
}

void BondDatabase::portfoliosEdited() {
    unsaved_ = true;
    emit portfoliosChanged();
}

void BondDatabase::changed(const std::string& portfolio) {
    if (Portfolio* changedPortfolio = find(portfolio)) {
        changedPortfolio->bondsChanged = true;
    }
    unsaved_ = true;
    emit bondsChanged(portfolio);
}

StoreOutcome BondDatabase::createPortfolio(const std::string& name) {
    if (!isStorableText(name)) {
        return unstorable();
    }
    if (holdsControlCharacter(name)) {
        return controlCharacterIn("The name");
    }
    if (hasPortfolio(name)) {
        return nameInUse(name);
    }
    Portfolio& created = portfolios_.emplace_back();
    created.name = name;
    created.bondsChanged = true;
    portfoliosEdited();
    return done();
}

StoreOutcome BondDatabase::deletePortfolio(const std::string& name) {
    const auto found = std::find_if(portfolios_.begin(), portfolios_.end(),
                                    [&name](const Portfolio& p) { return p.name == name; });
    if (found == portfolios_.end()) {
        return noSuchPortfolio(name);
    }
    portfolios_.erase(found);
    portfoliosEdited();
    return done();
}

StoreOutcome BondDatabase::restorePortfolio(Portfolio portfolio, std::size_t position) {
    // A name the file cannot hold would make every later save fail.
    if (!isStorableText(portfolio.name)) {
        return unstorable();
    }
    if (hasPortfolio(portfolio.name)) {
        return nameInUse(portfolio.name);
    }
    portfolios_.insert(portfolios_.begin() +
                           static_cast<std::ptrdiff_t>(std::min(position, portfolios_.size())),
                       std::move(portfolio));
    portfoliosEdited();
    return done();
}

std::string BondDatabase::freeNameLike(const std::string& name) const {
    if (!hasPortfolio(name)) {
        return name;
    }
    std::string candidate = name + " (restored)";
    for (int number = 2; hasPortfolio(candidate); ++number) {
        candidate = name + " (restored " + std::to_string(number) + ")";
    }
    return candidate;
}

std::optional<std::size_t> BondDatabase::positionOf(std::string_view name) const {
    for (std::size_t i = 0; i < portfolios_.size(); ++i) {
        if (portfolios_[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

StoreOutcome BondDatabase::checkPortfolioDetails(std::string_view name,
                                                 const PortfolioDetails& details) const {
    const Portfolio* target = portfolio(name);
    if (target == nullptr) {
        return noSuchPortfolio(name);
    }
    const PortfolioDetails current = portfolioDetailsOf(*target);
    if (details.defaultOwner != current.defaultOwner) {
        if (!isStorableText(details.defaultOwner)) {
            return unstorable();
        }
        if (holdsControlCharacter(details.defaultOwner)) {
            return controlCharacterIn("The owner's name");
        }
    }
    if (details != current && !target->stored.isAbsent() && target->stored.dictPtr() == nullptr) {
        return StoreOutcome::refused(Status::RecordUnfitForBonds,
                                     "The details of \"" + std::string(name) +
                                         "\" cannot be kept: its record in the portfolio file is "
                                         "not a dictionary.");
    }
    return done();
}

StoreOutcome BondDatabase::setPortfolioDetails(const std::string& name,
                                               const PortfolioDetails& details) {
    if (StoreOutcome checked = checkPortfolioDetails(name, details); !checked) {
        return checked;
    }
    Portfolio* target = find(name);
    const PortfolioDetails current = portfolioDetailsOf(*target);
    if (details == current) {
        return done();
    }
    // A copy, so that a portfolio kept elsewhere (an undo of its deletion) keeps its record.
    PlistDictRef record;
    if (target->stored.isAbsent()) {
        record = PlistDict::create();
        record->set(kPortfolioNameKey, PlistValue(target->name));
        record->set(kPortfolioBondsKey, PlistValue(std::make_shared<PlistArray>()));
        target->storedHasBondList = true;
    } else {
        record = target->stored.dictPtr()->copy();
    }
    const auto keep = [&record](std::string_view key, const std::string& text) {
        if (text.empty()) {
            record->remove(key);
        } else {
            record->set(key, PlistValue(text));
        }
    };
    if (details.defaultOwner != current.defaultOwner) {
        keep(kPortfolioDefaultOwnerKey, details.defaultOwner);
    }
    if (details.ownerBirthMonth != current.ownerBirthMonth) {
        keep(kPortfolioOwnerBirthMonthKey,
             details.ownerBirthMonth ? details.ownerBirthMonth->keyText() : std::string());
    }
    if (details.taxMethod != current.taxMethod) {
        keep(kPortfolioTaxMethodKey,
             details.taxMethod ? std::string(taxMethodKeyword(*details.taxMethod)) : std::string());
    }
    target->stored = PlistValue(std::move(record));
    unsaved_ = true;
    emit bondsChanged(name);
    return done();
}

StoreOutcome BondDatabase::checkTakesBonds(std::string_view portfolio) const {
    const Portfolio* target = this->portfolio(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    if (const std::string unfit = target->recordUnfitForBonds(); !unfit.empty()) {
        return StoreOutcome::refused(
            Status::RecordUnfitForBonds,
            "Bonds cannot be added to the portfolio \"" + target->name + "\": " + unfit +
                ". The portfolio file is kept as it is; please put its record right in a text "
                "editor, or keep the bonds in another portfolio.");
    }
    return done();
}

StoreOutcome BondDatabase::checkNewBond(std::string_view portfolio, const Bond& bond) const {
    if (StoreOutcome takes = checkTakesBonds(portfolio); !takes) {
        return takes;
    }
    const Portfolio* target = this->portfolio(portfolio);
    if (!storable(bond)) {
        return unstorable();
    }
    if (StoreOutcome entered = checkEnteredFields(bond, nullptr); !entered) {
        return entered;
    }
    if (target->find(bond.serial) != nullptr) {
        return StoreOutcome::refused(Status::DuplicateSerial, kDuplicateSerialMessage);
    }
    return done();
}

StoreOutcome BondDatabase::addBond(const std::string& portfolio, Bond bond) {
    StoreOutcome outcome = checkNewBond(portfolio, bond);
    if (outcome) {
        find(portfolio)->bonds.push_back(std::move(bond));
        changed(portfolio);
    }
    return outcome;
}

StoreOutcome BondDatabase::checkChangedBond(std::string_view portfolio, std::string_view serial,
                                            const Bond& bond) const {
    const Portfolio* target = this->portfolio(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    const Bond* before = target->find(serial);
    if (before == nullptr) {
        return StoreOutcome::refused(Status::NoSuchBond, "There is no bond with the serial \"" +
                                                             std::string(serial) + "\".");
    }
    if (!storable(bond)) {
        return unstorable();
    }
    if (StoreOutcome entered = checkEnteredFields(bond, before); !entered) {
        return entered;
    }
    if (bond.serial != serial && target->find(bond.serial) != nullptr) {
        return StoreOutcome::refused(Status::DuplicateSerial, kDuplicateSerialMessage);
    }
    return done();
}

StoreOutcome BondDatabase::changeBond(const std::string& portfolio, std::string_view serial,
                                      Bond bond) {
    StoreOutcome outcome = checkChangedBond(portfolio, serial, bond);
    if (outcome) {
        Portfolio* target = find(portfolio);
        target->bonds[*target->indexOf(serial)] = std::move(bond);
        changed(portfolio);
    }
    return outcome;
}

StoreOutcome BondDatabase::removeBond(const std::string& portfolio, std::string_view serial) {
    Portfolio* target = find(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    const std::optional<std::size_t> index = target->indexOf(serial);
    if (!index) {
        return StoreOutcome::refused(Status::NoSuchBond, "There is no bond with the serial \"" +
                                                             std::string(serial) + "\".");
    }
    target->bonds.erase(target->bonds.begin() + static_cast<std::ptrdiff_t>(*index));
    changed(portfolio);
    return done();
}

StoreOutcome BondDatabase::insertBonds(const std::string& portfolio, std::size_t position,
                                       std::vector<Bond> bonds) {
    if (StoreOutcome takes = checkTakesBonds(portfolio); !takes && !bonds.empty()) {
        return takes;
    }
    Portfolio* target = find(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    if (!std::all_of(bonds.begin(), bonds.end(), storable)) {
        return unstorable();
    }
    if (bonds.empty()) {
        return done();
    }
    position = std::min(position, target->bonds.size());
    target->bonds.insert(target->bonds.begin() + static_cast<std::ptrdiff_t>(position),
                         std::make_move_iterator(bonds.begin()),
                         std::make_move_iterator(bonds.end()));
    changed(portfolio);
    return done();
}

StoreOutcome BondDatabase::appendBonds(const std::string& portfolio, std::vector<Bond> bonds) {
    return insertBonds(portfolio, static_cast<std::size_t>(-1), std::move(bonds));
}

StoreOutcome BondDatabase::removeBonds(const std::string& portfolio,
                                       const std::vector<std::string>& serials) {
    Portfolio* target = find(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    std::unordered_set<std::string_view> left(serials.begin(), serials.end());
    const auto removed =
        std::remove_if(target->bonds.begin(), target->bonds.end(),
                       [&left](const Bond& bond) { return left.erase(bond.serial) > 0; });
    if (removed == target->bonds.end()) {
        return done();
    }
    target->bonds.erase(removed, target->bonds.end());
    changed(portfolio);
    return done();
}

StoreOutcome BondDatabase::insertBondsAt(const std::string& portfolio,
                                         std::vector<PlacedBond> bonds) {
    if (StoreOutcome takes = checkTakesBonds(portfolio); !takes && !bonds.empty()) {
        return takes;
    }
    Portfolio* target = find(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    if (!std::all_of(bonds.begin(), bonds.end(),
                     [](const PlacedBond& placed) { return storable(placed.bond); })) {
        return unstorable();
    }
    if (bonds.empty()) {
        return done();
    }
    // The list and the bonds merged by place into a new list, each bond moved once.
    std::vector<Bond> merged;
    merged.reserve(target->bonds.size() + bonds.size());
    auto kept = std::make_move_iterator(target->bonds.begin());
    const auto keptEnd = std::make_move_iterator(target->bonds.end());
    for (PlacedBond& placed : bonds) {
        while (merged.size() < placed.position && kept != keptEnd) {
            merged.push_back(*kept++);
        }
        merged.push_back(std::move(placed.bond));
    }
    merged.insert(merged.end(), kept, keptEnd);
    target->bonds = std::move(merged);
    changed(portfolio);
    return done();
}

StoreOutcome BondDatabase::sortBondsByDate(const std::string& portfolio) {
    Portfolio* target = find(portfolio);
    if (target == nullptr) {
        return noSuchPortfolio(portfolio);
    }
    // One stable pass in issue-date order, reading each bond's date once.
    struct Keyed {
        YearMonth issued;
        std::size_t index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(target->bonds.size());
    for (std::size_t i = 0; i < target->bonds.size(); ++i) {
        keyed.push_back({target->bonds[i].issueDateOrder(), i});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.issued < b.issued; });
    const bool alreadySorted =
        std::is_sorted(keyed.begin(), keyed.end(),
                       [](const Keyed& a, const Keyed& b) { return a.index < b.index; });
    if (alreadySorted) {
        return done();
    }
    // The bonds are moved into their places along the cycles of the new order, without a
    // second list of a large portfolio.
    std::vector<Bond>& bonds = target->bonds;
    std::vector<bool> placed(bonds.size(), false);
    for (std::size_t start = 0; start < bonds.size(); ++start) {
        if (placed[start] || keyed[start].index == start) {
            continue;
        }
        Bond first = std::move(bonds[start]);
        std::size_t at = start;
        while (keyed[at].index != start) {
            bonds[at] = std::move(bonds[keyed[at].index]);
            placed[at] = true;
            at = keyed[at].index;
        }
        bonds[at] = std::move(first);
        placed[at] = true;
    }
    changed(portfolio);
    return done();
}

SaveOutcome BondDatabase::save() {
    SaveOutcome outcome;
    outcome.file = filePath_;
    if (filePath_.empty()) {
        return outcome;
    }
    if (writingBlocked_) {
        outcome.saved = false;
        outcome.reason = "the unreadable portfolio file there is kept untouched";
        return outcome;
    }
    std::string error;
    std::string xml;
    if (!fileText(xml, error) || !writePropertyListText(filePath_, xml, &error)) {
        outcome.saved = false;
        outcome.reason = error.empty() ? "it could not be written" : error;
        return outcome;
    }
    unsaved_ = false;
    return outcome;
}
