#include "app/MainMenuView.h"

#include "app/AboutWindowController.h"
#include "app/AddNewPortfolioWindowController.h"
#include "app/LoadPortfolioWindowController.h"
#include "entry/EntryMessages.h"
#include "entry/ui/BondEditingWindowController.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondListImport.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"
#include "valuation/ui/RedemptionDateWindowController.h"
#include "valuation/ui/ReportWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QPushButton>
#include <QUrl>

namespace {

constexpr const char* kErrorTitle = "Error";
constexpr const char* kApplicationTitle = "Orvelt";
constexpr const char* kHelpPath = "/help/orvelthelp/Orvelt_Help.html";
constexpr const char* kValuesUpdatedTitle = "Values Updated";

// The local date and time written year first, as "2009-06-15 10:03:07 +0200".
std::string localDateText() {
    return QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss t").toStdString();
}

} // namespace

MainMenuView::MainMenuView(ToolkitServices& services, ResourceLocations resources, QWidget* parent)
    : QWidget(parent), services_(services), resources_(std::move(resources)),
      currentDateText_(localDateText) {}

MainMenuView::~MainMenuView() = default;

void MainMenuView::applicationDidFinishLaunching() {
    const auto path = resources_.pathForResource("portfolios", "plist");
    bondDatabase_ = BondDatabase::initWithFile(path.value_or(std::filesystem::path()), services_);
    if (bondValueReportButton_ != nullptr) {
        bondValueReportButton_->setEnabled(false);
    }
    const std::string date = currentDateText_ ? currentDateText_() : std::string();
    redemptionYear_ = date.substr(0, std::min<std::size_t>(4, date.size()));
    redemptionMonth_ = date.size() > 5 ? date.substr(5, 2) : std::string();
    // The month chosen last, or the latest month with values when the table lacks the current
    // one: a month without values would show every bond at $0.00.
    if (const auto current = redemptionMonthFromText(redemptionYear_ + "-" + redemptionMonth_)) {
        const StartingMonth start =
            startingRedemptionMonth(redemptionMonthsInTable(loadBondTable(resources_).get()),
                                    *current, rememberedRedemptionMonth());
        const std::string key = redemptionMonthKeyText(start.month);
        redemptionYear_ = key.substr(0, 4);
        redemptionMonth_ = key.substr(5, 2);
    }
}

void MainMenuView::showStartupNotice() {
    if (startupNoticeShown_ || !bondDatabase_ || !bondDatabase_->startupNotice()) {
        return;
    }
    startupNoticeShown_ = true;
    services_.showErrorAlert(std::string(BondDatabase::kStartupNoticeTitle),
                             *bondDatabase_->startupNotice());
}

void MainMenuView::applicationWillTerminate() {
    if (terminated_) {
        return;
    }
    terminated_ = true;
    save();
}

void MainMenuView::windowWillClose() {
    QCoreApplication::quit();
}

void MainMenuView::save() {
    if (bondDatabase_) {
        bondDatabase_->save();
    }
}

void MainMenuView::setMainWindowTitle(const QString& title) {
    window()->setWindowTitle(title);
}

void MainMenuView::enableMenuItems() {
    for (QAction* item : {editItem_, generateItem_, saveItem_}) {
        if (item != nullptr) {
            item->setEnabled(true);
        }
    }
}

void MainMenuView::portfolioChanged() {
    const std::optional<std::string> current =
        bondDatabase_ ? bondDatabase_->getCurrentPortfolio() : std::nullopt;
    if (!current) {
        showNoCurrentPortfolio();
        return;
    }
    setMainWindowTitle(QString("Orvelt - %1").arg(QString::fromStdString(*current)));
    if (bondValueReportButton_ != nullptr) {
        bondValueReportButton_->setEnabled(true);
    }
}

void MainMenuView::showNoCurrentPortfolio() {
    setMainWindowTitle(kApplicationTitle);
    if (bondValueReportButton_ != nullptr) {
        bondValueReportButton_->setEnabled(false);
    }
}

void MainMenuView::importPressed() {
    if (bondDatabase_) {
        runBondListImportCommand(*bondDatabase_);
    }
}

void MainMenuView::addContentsOfFileToCurrentPortfolio(const std::string& text) {
    if (bondDatabase_) {
        addBondListTextToCurrentPortfolio(*bondDatabase_, text);
    }
}

std::string MainMenuView::webSiteUrl() const {
    return QUrl::fromLocalFile(QString::fromStdString((resources_.shippedDir() / "site").string()))
               .toString()
               .toStdString() +
           "/index.html";
}

std::string MainMenuView::helpUrl() const {
    return QUrl::fromLocalFile(QString::fromStdString((resources_.shippedDir() / "site").string()))
               .toString()
               .toStdString() +
           kHelpPath;
}

void MainMenuView::urlClicked() {
    services_.openUrl(webSiteUrl());
}

void MainMenuView::launchHelp() {
    services_.openUrl(helpUrl());
}

namespace {

bool hasCurrentPortfolio(const BondDatabase* database) {
    return database != nullptr && database->getCurrentPortfolio().has_value() &&
           !database->getCurrentPortfolio()->empty();
}

} // namespace

void MainMenuView::editBondsButtonPressed() {
    if (!hasCurrentPortfolio(bondDatabase_.get())) {
        services_.showErrorAlert(kErrorTitle, std::string(kNoPortfolioForEditingMessage));
        return;
    }
    auto* controller = new BondEditingWindowController(resources_);
    controller->setParentView(this);
    controller->showWindow();
}

void MainMenuView::bondValueReportButtonPressed() {
    if (!hasCurrentPortfolio(bondDatabase_.get())) {
        services_.showErrorAlert(kErrorTitle, "Please either open an existing bond file or create "
                                              "a new bond file before generating a report.");
        return;
    }
    auto* report = new ReportWindow(resources_, services_);
    report->setParentView(this);
    report->showWindow();
}

void MainMenuView::setRedemptionDateButtonPressed() {
    auto* controller = new RedemptionDateWindowController();
    controller->setParentView(this);
    controller->showWindow();
}

void MainMenuView::addNewPortfolioButtonPressed() {
    auto* controller = new AddNewPortfolioWindowController();
    controller->setParentView(this);
    controller->showWindow();
}

void MainMenuView::openBondTableButtonPressed() {
    auto* controller = new LoadPortfolioWindowController();
    controller->setParentView(this);
    controller->setPortfolios(bondDatabase_ ? bondDatabase_->getPortfolioNames()
                                            : std::vector<std::string>());
    controller->showWindow();
}

void MainMenuView::aboutPressed() {
    AboutWindowController about;
    about.exec();
}

void MainMenuView::updateValuesPressed() {
    OpenPanelRequest request;
    request.title = "Choose File";
    request.message = "Choose one or more of the Treasury's savings bond value files.";
    // The Treasury publishes them as "sb201606.asc"; some copies carry ".txt".
    request.extensions = {"asc", "txt"};
    request.fileKindName = "Savings bond value files";
    request.allowsMultipleSelection = true;
    const std::vector<std::string> chosen = services_.runOpenPanel(request);
    if (chosen.empty()) {
        return;
    }
    const std::vector<std::filesystem::path> files(chosen.begin(), chosen.end());
    std::string error;
    if (!updateUserValueTable(resources_, files, &error)) {
        services_.showErrorAlert(kErrorTitle, "The values could not be updated.\n\n" + error +
                                                  "\n\nThe value table was not changed.");
        return;
    }
    // Report windows already open keep the table they loaded; the next ones read this one.
    const std::vector<RedemptionMonth> months =
        redemptionMonthsInTable(loadBondTable(resources_).get());
    const std::string added = files.size() == 1 ? files.front().filename().string()
                                                : std::to_string(files.size()) + " value files";
    services_.showInformationAlert(kValuesUpdatedTitle,
                                   "The values of " + added +
                                       " were added to your value table. It now holds "
                                       "redemption dates from " +
                                       redemptionMonthRangesText(months) + ".");
}
