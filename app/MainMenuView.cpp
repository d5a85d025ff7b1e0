#include "app/MainMenuView.h"

#include "app/AboutWindowController.h"
#include "app/AddNewPortfolioWindowController.h"
#include "app/BondListImportCommand.h"
#include "app/LoadPortfolioWindowController.h"
#include "app/PortfolioSummary.h"
#include "entry/BondChoiceLists.h"
#include "entry/EntryMessages.h"
#include "entry/ui/BondEditingWindowController.h"
#include "entry/ui/BondListUndoCommand.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"
#include "valuation/ui/RedemptionDateWindowController.h"
#include "valuation/ui/ReportWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QUndoStack>
#include <QUrl>

namespace {

constexpr const char* kErrorTitle = "Error";
constexpr const char* kCouldNotSaveTitle = "Could Not Save";
constexpr const char* kApplicationTitle = "Orvelt";
constexpr const char* kHelpPath = "/help/orvelthelp/Orvelt_Help.html";
constexpr const char* kValuesUpdatedTitle = "Values Updated";
constexpr const char* kLastPortfolioKey = "lastPortfolio";

// The local date and time written year first, as "2009-06-15 10:03:07 +0200".
std::string localDateText() {
    return QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss t").toStdString();
}

} // namespace

MainMenuView::MainMenuView(WindowServices& services, ResourceLocations resources, QWidget* parent)
    : QWidget(parent), services_(services), resources_(std::move(resources)),
      currentDateText_(localDateText), undoStack_(new QUndoStack(this)) {}

MainMenuView::~MainMenuView() {
    // Before the database goes: the stack tells open windows of its clearing.
    undoStack_->disconnect();
    delete undoStack_;
}

void MainMenuView::applicationDidFinishLaunching() {
    const auto path = resources_.pathForResource("portfolios", "plist");
    bondDatabase_ = BondDatabase::open(path.value_or(std::filesystem::path()));
    connect(bondDatabase_.get(), &BondDatabase::bondsChanged, this,
            [this](const std::string& name) {
                if (openPortfolio_ == name) {
                    updateSummary();
                }
            });
    if (bondValueReportButton_ != nullptr) {
        bondValueReportButton_->setEnabled(false);
    }
    updatePortfolioCommands();
    updateSummary();
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
    if (terminated_ || unsavedChangesDiscarded_) {
        return;
    }
    terminated_ = true;
    save();
}

bool MainMenuView::unsavedChangesMayBeLost() {
    while (bondDatabase_ && bondDatabase_->hasUnsavedChanges() && !unsavedChangesDiscarded_) {
        const SaveOutcome saved = bondDatabase_->save();
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

void MainMenuView::windowWillClose() {
    QCoreApplication::quit();
}

bool MainMenuView::save() {
    if (!bondDatabase_) {
        return true;
    }
    const SaveOutcome saved = bondDatabase_->save();
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

void MainMenuView::setPortfolioCommands(std::vector<QObject*> commands) {
    portfolioCommands_.assign(commands.begin(), commands.end());
    updatePortfolioCommands();
}

void MainMenuView::updatePortfolioCommands() {
    const bool open =
        bondDatabase_ && openPortfolio_ && bondDatabase_->hasPortfolio(*openPortfolio_);
    for (QObject* command : portfolioCommands_) {
        if (auto* action = qobject_cast<QAction*>(command)) {
            action->setEnabled(open);
        } else if (auto* widget = qobject_cast<QWidget*>(command)) {
            widget->setEnabled(open);
        }
    }
    for (QAction* item : {editItem_, generateItem_, saveItem_}) {
        if (item != nullptr) {
            item->setEnabled(open);
        }
    }
}

void MainMenuView::bondsChanged() {
    updateSummary();
    recomputeReports();
}

void MainMenuView::setRedemptionMonth(std::string month) {
    redemptionMonth_ = std::move(month);
    updateSummary();
    recomputeReports();
}

void MainMenuView::setRedemptionYear(std::string year) {
    redemptionYear_ = std::move(year);
    updateSummary();
    recomputeReports();
}

void MainMenuView::recomputeReports(bool newValues) {
    for (QWidget* window : windows_.reports()) {
        if (auto* report = qobject_cast<ReportWindow*>(window)) {
            newValues ? report->reloadValueTable() : report->recompute();
        }
    }
}

void MainMenuView::updateSummary() {
    if (summaryLabel_ == nullptr) {
        return;
    }
    if (!summaryTable_ && bondDatabase_ && openPortfolio_) {
        summaryTable_ = loadBondTable(resources_);
    }
    const std::string text =
        bondDatabase_ ? portfolioSummaryText(*this, summaryTable_) : std::string();
    summaryLabel_->setText(text.empty() ? tr("No portfolio is open. Create a new portfolio or "
                                             "open one to enter bonds and see their value.")
                                        : QString::fromStdString(text));
}

BondEditingWindowController* MainMenuView::editorOf(const std::string& portfolio) const {
    return windows_.editorOf(portfolio);
}

bool MainMenuView::taskWindowsMayClose() {
    return windows_.editorsMayClose();
}

void MainMenuView::reopenLastPortfolio() {
    const std::string name = QSettings().value(kLastPortfolioKey).toString().toStdString();
    if (!bondDatabase_ || name.empty() || !bondDatabase_->hasPortfolio(name)) {
        return;
    }
    openPortfolio_ = name;
    portfolioChanged();
}

void MainMenuView::portfolioChanged() {
    if (bondDatabase_) {
        windows_.closeWindowsOfGonePortfolios(
            [this](const std::string& name) { return bondDatabase_->hasPortfolio(name); });
    }
    updatePortfolioCommands();
    updateSummary();
    // A portfolio opened under a name the store cannot hold is none.
    if (openPortfolio_ && bondDatabase_ && !bondDatabase_->hasPortfolio(*openPortfolio_)) {
        openPortfolio_.reset();
    }
    const std::optional<std::string> current = openPortfolio_;
    if (!current) {
        showNoCurrentPortfolio();
        return;
    }
    QSettings().setValue(kLastPortfolioKey, QString::fromStdString(*current));
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
    if (!bondDatabase_) {
        return;
    }
    const ImportReport report = chooseAndReadBondList(services_, *bondDatabase_, openPortfolio_);
    if (report.outcome != ImportReport::Outcome::Imported) {
        return;
    }
    if (!report.bonds.empty()) {
        // The command adds the bonds and writes the file.
        undoStack_->push(
            new AddBondsCommand(*this, *openPortfolio_, report.bonds, tr("Import Bonds")));
    } else {
        save();
    }
    bondsChanged();
    std::string warnings;
    const BondChoiceLists lists = BondChoiceLists::read(resources_);
    int warned = 0;
    for (const Bond& bond : report.bonds) {
        const std::string warning = issueYearWarning(lists, bond.type, bond.issueYear);
        if (!warning.empty() && ++warned <= 15) {
            warnings += "\n" + bond.serial + ": " + warning;
        }
    }
    if (warned > 15) {
        warnings += "\n... and " + std::to_string(warned - 15) + " more.";
    }
    std::string message = std::to_string(report.added) +
                          (report.added == 1 ? " bond was added, " : " bonds were added, ") +
                          std::to_string(report.skippedDuplicates) +
                          " already in the portfolio skipped, " +
                          std::to_string(report.skippedLineCount) + " lines passed over.";
    if (warned > 0) {
        message += "\n\nThese bonds have an issue year their series was not issued in; they "
                   "were kept, please check them:" +
                   warnings;
    }
    if (report.added > 0) {
        message += "\n\nUndo (Ctrl+Z) takes the import back.";
    }
    services_.showInformationAlert("Import Finished", message);
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
    openPage(webSiteUrl());
}

void MainMenuView::launchHelp() {
    openPage(helpUrl());
}

void MainMenuView::openPage(const std::string& url) {
    if (services_.openUrlInBrowser(url)) {
        return;
    }
    const QUrl address(QString::fromStdString(url));
    const std::string where = address.isLocalFile() ? address.toLocalFile().toStdString()
                                                    : address.toString().toStdString();
    services_.showErrorAlert(kErrorTitle, "No web browser could be started to show the page. "
                                          "You can open it yourself; it is at:\n" +
                                              where);
}

namespace {

bool hasCurrentPortfolio(const BondDatabase* database, const std::optional<std::string>& open) {
    return database != nullptr && open.has_value() && !open->empty();
}

} // namespace

void MainMenuView::editBondsButtonPressed() {
    if (!hasCurrentPortfolio(bondDatabase_.get(), openPortfolio_)) {
        services_.showErrorAlert(kErrorTitle, std::string(kNoPortfolioForEditingMessage));
        return;
    }
    const std::string portfolio = *openPortfolio_;
    if (WindowRegistry::raiseIfOpen(windows_.editorOf(portfolio))) {
        return;
    }
    auto* controller = new BondEditingWindowController(*this);
    windows_.addEditor(portfolio, controller);
    controller->showInFront();
}

void MainMenuView::bondValueReportButtonPressed() {
    if (!hasCurrentPortfolio(bondDatabase_.get(), openPortfolio_)) {
        services_.showErrorAlert(kErrorTitle, "Please either open an existing bond file or create "
                                              "a new bond file before generating a report.");
        return;
    }
    const std::string portfolio = *openPortfolio_;
    if (WindowRegistry::raiseIfOpen(windows_.reportOf(portfolio))) {
        return;
    }
    auto* report = new ReportWindow(resources_);
    report->setParentView(this);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        connect(new QShortcut(keys, report), &QShortcut::activated, report, &QWidget::close);
    }
    windows_.addReport(portfolio, report);
    report->showWindow();
}

void MainMenuView::setRedemptionDateButtonPressed() {
    if (WindowRegistry::raiseIfOpen(windows_.dateWindow())) {
        return;
    }
    auto* controller = new RedemptionDateWindowController();
    controller->setParentView(this);
    windows_.setDateWindow(controller);
    controller->showWindow();
}

void MainMenuView::addNewPortfolioButtonPressed() {
    auto* controller = new AddNewPortfolioWindowController(*this);
    controller->showInFront();
}

void MainMenuView::openBondTableButtonPressed() {
    auto* controller = new LoadPortfolioWindowController(*this);
    controller->showInFront();
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
    summaryTable_.reset();
    updateSummary();
    recomputeReports(true);
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
