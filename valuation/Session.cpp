#include "valuation/Session.h"

#include "store/BondDatabase.h"
#include "store/PortfolioDetails.h"
#include "valuation/PortfolioBonds.h"
#include "valuation/TaxYear.h"
#include "valuation/ValueTableMonths.h"

#include <QMetaObject>
#include <system_error>

namespace {

constexpr std::string_view kPortfoliosResource = "portfolios";
constexpr std::string_view kPlistType = "plist";

bool isAbsent(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() ==
           std::filesystem::file_type::not_found;
}

} // namespace

Session::Session(ResourceLocations resources, QObject* parent)
    : QObject(parent), resources_(std::move(resources)), store_(std::make_unique<BondDatabase>()) {
    connectStore();
}

Session::~Session() = default;

Session::Opening Session::open(Access access) {
    Opening opening;
    lock_.reset();
    access_ = Access::Read;
    std::unique_ptr<BondDatabase> read;
    if (access == Access::Write) {
        lock_ = DataFolderLock::tryAcquire(resources_.userDataDir(), &opening.refusal);
        if (!lock_) {
            opening.opened = false;
            return opening;
        }
        access_ = Access::Write;
        read = BondDatabase::open(
            resources_.pathForResource(kPortfoliosResource, kPlistType).value_or(""));
    } else {
        const std::filesystem::path user =
            resources_.userPathForResource(kPortfoliosResource, kPlistType);
        const std::filesystem::path shipped = resources_.shippedDir() / "portfolios.plist";
        // A link that leads nowhere is the user's file too, an unreadable one: the shipped file
        // must not stand in for it.
        if (!isAbsent(user)) {
            read = BondDatabase::open(user, UnreadableFile::LeaveAlone);
            // Set aside only while no one else uses the folder: the file may be theirs to
            // replace at that very moment.
            if (!read->unreadableReason().empty()) {
                if (const std::optional<DataFolderLock> held =
                        DataFolderLock::tryAcquire(resources_.userDataDir())) {
                    read = BondDatabase::open(user);
                }
            }
        } else if (!resources_.shippedDir().empty() && !isAbsent(shipped)) {
            read = BondDatabase::open(shipped, UnreadableFile::LeaveAlone);
        } else {
            read = std::make_unique<BondDatabase>();
        }
    }
    store_->disconnect(this);
    store_ = std::move(read);
    connectStore();
    openPortfolio_.reset();
    outdate(std::nullopt, PortfolioChanged | BondsChanged);
    emit portfoliosChanged();
    emit openPortfolioChanged();
    return opening;
}

void Session::connectStore() {
    connect(store_.get(), &BondDatabase::bondsChanged, this,
            [this](const std::string& portfolio) { outdate(portfolio, BondsChanged); });
    connect(store_.get(), &BondDatabase::portfoliosChanged, this, [this] {
        for (auto& [name, held] : snapshots_) {
            if (!held.snapshot.expired() && store_->hasPortfolio(name) != held.portfolioExisted) {
                held.outdated = true;
                announce(name, PortfolioChanged);
            }
        }
        emit portfoliosChanged();
    });
}

SaveOutcome Session::save() {
    if (!writes()) {
        return {false, store_->filePath(), "the data folder was opened only to be read"};
    }
    return store_->save();
}

void Session::setOpenPortfolio(std::optional<std::string> name) {
    if (name && !store_->hasPortfolio(*name)) {
        name.reset();
    }
    openPortfolio_ = std::move(name);
    emit openPortfolioChanged();
}

void Session::setRedemptionMonth(std::optional<YearMonth> month) {
    month_ = month;
    outdate(std::nullopt, MonthChanged);
    emit redemptionMonthChanged();
}

std::optional<StartingMonth> Session::startRedemptionMonth(std::optional<YearMonth> today,
                                                           std::optional<YearMonth> remembered) {
    reloadValueTable();
    today_ = today;
    std::optional<StartingMonth> start;
    if (today) {
        start = startingRedemptionMonth(redemptionMonthsInTable(valueTable().get()), *today,
                                        remembered);
    }
    setRedemptionMonth(start ? std::optional<YearMonth>(start->month) : std::nullopt);
    return start;
}

const ValueTableRef& Session::valueTable() {
    if (!tableRead_) {
        readValueTable();
    }
    return table_;
}

const std::string& Session::valueTableProblem() {
    valueTable();
    return tableProblem_;
}

void Session::reloadValueTable() {
    if (!tableRead_) {
        readValueTable();
        return;
    }
    const ValueTable* before = table_.get();
    readValueTable();
    if (table_.get() != before) {
        outdate(std::nullopt, ValuesChanged);
    }
}

void Session::readValueTable() {
    tableRead_ = true;
    tableProblem_.clear();
    // The same table while its file stays the same (see loadBondTable).
    table_ = loadBondTable(resources_, &tableProblem_);
}

std::shared_ptr<const ReportSnapshot> Session::snapshot(const std::string& portfolio) {
    HeldSnapshot& held = snapshots_[portfolio];
    if (std::shared_ptr<const ReportSnapshot> shared = held.snapshot.lock();
        shared && !held.outdated) {
        return shared;
    }
    ++snapshotComputations_;
    const ValueTable* table = valueTable().get();
    ReportSnapshot report =
        computeReportSnapshot(bondsOfPortfolio(*store_, portfolio), portfolio, table, month_);
    // An owner who reports interest as it accrues has nothing left to report at final maturity.
    if (const Portfolio* record = store_->portfolio(portfolio);
        record != nullptr &&
        portfolioDetailsOf(*record).effectiveTaxMethod() == TaxMethod::Accrual) {
        report.comingMaturities.clear();
    }
    auto computed = std::make_shared<const ReportSnapshot>(std::move(report));
    held = {computed, false, store_->hasPortfolio(portfolio)};
    return computed;
}

void Session::outdate(const std::optional<std::string>& portfolio, unsigned what) {
    if (portfolio) {
        if (const auto found = snapshots_.find(*portfolio); found != snapshots_.end()) {
            found->second.outdated = true;
        }
        announce(*portfolio, what);
        return;
    }
    for (auto held = snapshots_.begin(); held != snapshots_.end();) {
        if (held->second.snapshot.expired()) {
            held = snapshots_.erase(held);
            continue;
        }
        held->second.outdated = true;
        announce(held->first, what);
        ++held;
    }
}

void Session::announce(const std::string& portfolio, unsigned what) {
    pendingAnnouncements_[portfolio] |= what;
    if (announcementScheduled_) {
        return;
    }
    // Changes that come together (bonds added, then sorted; a month, then its year) are one.
    announcementScheduled_ = true;
    QMetaObject::invokeMethod(this, &Session::sendAnnouncements, Qt::QueuedConnection);
}

void Session::sendAnnouncements() {
    announcementScheduled_ = false;
    for (const auto& [portfolio, what] : std::exchange(pendingAnnouncements_, {})) {
        emit changed(portfolio, what);
    }
}
