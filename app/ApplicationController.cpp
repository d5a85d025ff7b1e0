#include "app/ApplicationController.h"

#include "store/BondDatabase.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ValueReport.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"

#include <QMetaObject>
#include <QSettings>
#include <QUndoStack>

namespace {

constexpr const char* kCouldNotSaveTitle = "Could Not Save";
constexpr const char* kLastPortfolioKey = "lastPortfolio";

} // namespace

ApplicationController::ApplicationController(WindowServices& services, ResourceLocations resources,
                                             QObject* parent)
    : QObject(parent), services_(services), resources_(std::move(resources)),
      currentDateText_(localDateText), undoStack_(new QUndoStack(this)) {}

ApplicationController::~ApplicationController() {
    // Before the store goes: the stack tells open windows of its clearing.
    undoStack_->disconnect();
    delete undoStack_;
}

void ApplicationController::start() {
    const auto path = resources_.pathForResource("portfolios", "plist");
    store_ = BondDatabase::open(path.value_or(std::filesystem::path()));
    connect(store_.get(), &BondDatabase::bondsChanged, this, [this](const std::string& name) {
        if (openPortfolio_ == name) {
            snapshotOutdated();
        }
    });
    // Only the open portfolio's going touches the snapshot.
    connect(store_.get(), &BondDatabase::portfoliosChanged, this, [this] {
        if (openPortfolio_ && !store_->hasPortfolio(*openPortfolio_)) {
            snapshotOutdated();
        }
    });
    snapshotOutdated();
    redemptionMonth_ = monthOfDateText(currentDateText_ ? currentDateText_() : std::string());
    if (redemptionMonth_) {
        redemptionMonth_ =
            startingRedemptionMonth(redemptionMonthsInTable(loadBondTable(resources_).get()),
                                    *redemptionMonth_, rememberedRedemptionMonth())
                .month;
    }
}

void ApplicationController::setRedemptionMonth(YearMonth month) {
    redemptionMonth_ = month;
    snapshotOutdated();
    emit redemptionMonthChanged();
}

void ApplicationController::portfolioChanged() {
    // A portfolio opened under a name the store cannot hold is none.
    if (openPortfolio_ && store_ && !store_->hasPortfolio(*openPortfolio_)) {
        openPortfolio_.reset();
    }
    if (openPortfolio_) {
        QSettings().setValue(kLastPortfolioKey, QString::fromStdString(*openPortfolio_));
    }
    snapshotOutdated();
    emit openPortfolioChanged();
}

void ApplicationController::reopenLastPortfolio() {
    const std::string name = QSettings().value(kLastPortfolioKey).toString().toStdString();
    if (!store_ || name.empty() || !store_->hasPortfolio(name)) {
        return;
    }
    openPortfolio_ = name;
    portfolioChanged();
}

void ApplicationController::showStartupNotice() {
    if (startupNoticeShown_ || !store_ || !store_->startupNotice()) {
        return;
    }
    startupNoticeShown_ = true;
    services_.showErrorAlert(std::string(BondDatabase::kStartupNoticeTitle),
                             *store_->startupNotice());
}

bool ApplicationController::save() {
    if (!store_) {
        return true;
    }
    const SaveOutcome saved = store_->save();
    if (!saved) {
        // The changes stay in the store: the next save writes them, and quitting asks first.
        services_.showErrorAlert(kCouldNotSaveTitle,
                                 "The portfolio file \"" + saved.file.string() +
                                     "\" could not be saved: " + saved.reason +
                                     ".\n\nYour changes are kept while Orvelt runs; save again "
                                     "once the folder can be written to.");
    }
    return saved.saved;
}

bool ApplicationController::unsavedChangesMayBeLost() {
    while (store_ && store_->hasUnsavedChanges() && !unsavedChangesDiscarded_) {
        const SaveOutcome saved = store_->save();
        if (saved) {
            return true;
        }
        switch (services_.askThreeWay(
            kCouldNotSaveTitle, "Try Again", "Quit Without Saving", "Cancel",
            "Your latest changes could not be saved to \"" + saved.file.string() + "\" (" +
                saved.reason + "). If you quit now, they are lost.")) {
        case ToolkitServices::ThreeWayAnswer::First:
            continue;
        case ToolkitServices::ThreeWayAnswer::Second:
            unsavedChangesDiscarded_ = true;
            return true;
        case ToolkitServices::ThreeWayAnswer::Third:
            return false;
        }
    }
    return true;
}

void ApplicationController::saveBeforeQuit() {
    if (terminated_ || unsavedChangesDiscarded_) {
        return;
    }
    terminated_ = true;
    save();
}

const ValueTableRef& ApplicationController::summaryTable() {
    if (!summaryTable_ && store_ && openPortfolio_) {
        summaryTable_ = loadBondTable(resources_);
    }
    return summaryTable_;
}

void ApplicationController::forgetSummaryTable() {
    summaryTable_.reset();
    snapshotOutdated();
}

void ApplicationController::snapshotOutdated() {
    snapshotIsOutdated_ = true;
    if (snapshotAnnouncementPending_) {
        return;
    }
    // Changes that come together (bonds added, then sorted; a month, then its year) are one.
    snapshotAnnouncementPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            snapshotAnnouncementPending_ = false;
            sharedSnapshot();
            emit snapshotChanged();
        },
        Qt::QueuedConnection);
}

std::shared_ptr<const ReportSnapshot> ApplicationController::sharedSnapshot() {
    if (snapshotIsOutdated_ || !snapshot_) {
        snapshotIsOutdated_ = false;
        ++snapshotComputations_;
        const bool open = store_ && openPortfolio_ && store_->hasPortfolio(*openPortfolio_);
        snapshot_ = std::make_shared<const ReportSnapshot>(computeOwnerSnapshot(
            this, open ? openPortfolio_ : std::nullopt, open ? summaryTable().get() : nullptr));
    }
    return snapshot_;
}

const ReportSnapshot& ApplicationController::snapshot() {
    return *sharedSnapshot();
}

std::shared_ptr<const ReportSnapshot>
ApplicationController::sharedSnapshot(const std::string& portfolio, const ValueTable* table) {
    if (!store_ || openPortfolio_ != portfolio || !store_->hasPortfolio(portfolio) ||
        summaryTable().get() != table) {
        return nullptr;
    }
    return sharedSnapshot();
}
