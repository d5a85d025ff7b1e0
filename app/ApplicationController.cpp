#include "app/ApplicationController.h"

#include "platform/Settings.h"
#include "store/BondDatabase.h"
#include "valuation/RememberedMonth.h"

#include <QUndoStack>

namespace {

constexpr const char* kCouldNotSaveTitle = "Could Not Save";

} // namespace

ApplicationController::ApplicationController(WindowServices& services, Session& session,
                                             QObject* parent)
    : QObject(parent), services_(services), session_(session),
      currentMonth_(currentRedemptionMonth), undoStack_(new QUndoStack(this)) {
    // The portfolio open at the end is opened again at the next start.
    connect(&session_, &Session::openPortfolioChanged, this, [this] {
        if (const std::optional<std::string>& open = session_.openPortfolio()) {
            Settings::lastPortfolio.setValue(QString::fromStdString(*open));
        }
    });
}

ApplicationController::~ApplicationController() {
    // Before the windows go: the stack tells open windows of its clearing.
    undoStack_->disconnect();
    delete undoStack_;
}

void ApplicationController::start() {
    session_.startRedemptionMonth(currentMonth_ ? std::optional(currentMonth_()) : std::nullopt,
                                  rememberedRedemptionMonth());
}

void ApplicationController::reopenLastPortfolio() {
    const std::string name = Settings::lastPortfolio.value().toStdString();
    if (!name.empty() && session_.store().hasPortfolio(name)) {
        session_.setOpenPortfolio(name);
    }
}

void ApplicationController::showStartupNotice() {
    const std::optional<std::string>& notice = session_.store().startupNotice();
    if (startupNoticeShown_ || !notice) {
        return;
    }
    startupNoticeShown_ = true;
    services_.showErrorAlert(std::string(BondDatabase::kStartupNoticeTitle), *notice);
}

bool ApplicationController::save() {
    const SaveOutcome saved = session_.save();
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
    while (session_.store().hasUnsavedChanges() && !unsavedChangesDiscarded_) {
        const SaveOutcome saved = session_.save();
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
