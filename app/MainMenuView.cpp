#include "app/MainMenuView.h"

#include "app/AboutDialog.h"
#include "app/AddNewPortfolioWindow.h"
#include "app/AllPortfoliosWindow.h"
#include "app/BondListImportCommand.h"
#include "app/BondListPanel.h"
#include "app/LoadPortfolioWindow.h"
#include "app/PageWindow.h"
#include "app/PortfolioDetailsDialog.h"
#include "app/PortfolioSummary.h"
#include "app/ValueChartView.h"
#include "app/ValueChartWindow.h"
#include "entry/BondChoiceLists.h"
#include "entry/EntryMessages.h"
#include "entry/ImportedBondNotes.h"
#include "entry/ui/BondEditingWindow.h"
#include "entry/ui/BondListUndoCommand.h"
#include "platform/ExportTarget.h"
#include "platform/RememberedFolders.h"
#include "store/BondDatabase.h"
#include "store/BondListExport.h"
#include "store/BondRecord.h"
#include "store/PortfolioDetailsCommand.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ValueFile.h"
#include "valuation/ValueFileMerge.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"
#include "valuation/ui/EstateWindow.h"
#include "valuation/ui/RedemptionDateWindow.h"
#include "valuation/ui/ReportWindow.h"
#include "valuation/ui/TaxYearWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QShortcut>
#include <QTableView>
#include <QUndoStack>
#include <QUrl>

namespace {

constexpr const char* kErrorTitle = "Error";
constexpr const char* kApplicationTitle = "Orvelt";
constexpr const char* kHelpPath = "/help/orvelthelp/Orvelt_Help.html";
constexpr const char* kValuesUpdatedTitle = "Values Updated";
// How many of the values an update would change the question before it names.
constexpr std::size_t kValueChangesAsked = 5;

} // namespace

MainMenuView::MainMenuView(WindowServices& services, Session& session, QWidget* parent)
    : QWidget(parent), services_(services), session_(session), resources_(session.resources()),
      controller_(new ApplicationController(services, session, this)) {
    controller_->setHostWidget(this);
    controller_->setWindowsOfPortfolioMayClose(
        [this](const std::string& portfolio) { return windows_.editorMayClose(portfolio); });
    connect(&session_, &Session::openPortfolioChanged, this, &MainMenuView::followOpenPortfolio);
    connect(&session_, &Session::changed, this, [this](const std::string& portfolio) {
        if (session_.openPortfolio() == portfolio) {
            updateSummary();
        }
    });
    // A portfolio deleted, whichever window deleted it, takes its windows with it.
    connect(&session_, &Session::portfoliosChanged, this, [this] {
        const BondDatabase& store = session_.store();
        windows_.closeWindowsOfGonePortfolios(
            [&store](const std::string& name) { return store.hasPortfolio(name); });
        updatePortfolioCommands();
    });
}

MainMenuView::~MainMenuView() {
    // The controller's undo history goes first: its clearing reaches windows still open.
    delete controller_;
}

void MainMenuView::start() {
    controller_->start();
    updatePortfolioCommands();
    updateSummary();
}

void MainMenuView::mainWindowClosed() {
    QCoreApplication::quit();
}

void MainMenuView::setMainWindowTitle(const QString& title) {
    window()->setWindowTitle(title);
}

void MainMenuView::setPortfolioCommands(std::vector<QObject*> commands) {
    portfolioCommands_.assign(commands.begin(), commands.end());
    updatePortfolioCommands();
}

void MainMenuView::updatePortfolioCommands() {
    const std::optional<std::string>& openName = session_.openPortfolio();
    const bool open = openName && session_.store().hasPortfolio(*openName);
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

void MainMenuView::updateSummary() {
    const std::optional<std::string> open = session_.openPortfolio();
    const bool isOpen = open && session_.store().hasPortfolio(*open);
    const std::shared_ptr<const ReportSnapshot> snapshot =
        isOpen ? session_.snapshot(*open) : nullptr;
    const QString text =
        isOpen ? QString::fromStdString(portfolioSummaryText(*snapshot))
               : QStringLiteral("No portfolio is open. Create a new portfolio (Ctrl+N) or "
                                "open one (Ctrl+O) to enter bonds and see their value.");
    setActionLines(isOpen ? snapshot->actionLines() : std::vector<std::string>());
    if (bondList_ != nullptr) {
        bondList_->showSnapshot(snapshot, isOpen, text, session_.today());
    } else if (summaryLabel_ != nullptr) {
        summaryLabel_->setText(text);
    }
}

void MainMenuView::setActionLines(const std::vector<std::string>& lines) {
    if (bondList_ != nullptr) {
        bondList_->setActionLines(lines);
    }
}

BondEditingWindow* MainMenuView::editorOf(const std::string& portfolio) const {
    return windows_.editorOf(portfolio);
}

bool MainMenuView::taskWindowsMayClose() {
    return windows_.editorsMayClose();
}

void MainMenuView::followOpenPortfolio() {
    const BondDatabase& store = session_.store();
    windows_.closeWindowsOfGonePortfolios(
        [&store](const std::string& name) { return store.hasPortfolio(name); });
    updatePortfolioCommands();
    updateSummary();
    const std::optional<std::string> current = controller_->openPortfolio();
    if (!current) {
        showNoCurrentPortfolio();
        return;
    }
    setMainWindowTitle(QString("Orvelt - %1").arg(QString::fromStdString(*current)));
}

void MainMenuView::showNoCurrentPortfolio() {
    setMainWindowTitle(kApplicationTitle);
}

void MainMenuView::importBondList() {
    const BondDatabase* store = controller_->bondDatabase();
    const std::optional<std::string> portfolio = controller_->openPortfolio();
    if (store == nullptr) {
        return;
    }
    const ImportReport report =
        chooseAndReadBondList(services_, *store, portfolio, BondChoiceLists().faceValues());
    if (report.outcome != ImportReport::Outcome::Imported) {
        return;
    }
    if (!report.bonds.empty()) {
        // One command adds every bond and writes the file once.
        pushCommand(controller_->undoStack(),
                    std::make_unique<AddBondsCommand>(session_.store(), *portfolio, report.bonds,
                                                      "Import Bonds", controller_->saver()));
    } else {
        controller_->save();
    }
    std::string message = std::to_string(report.added) +
                          (report.added == 1 ? " bond was added, " : " bonds were added, ") +
                          std::to_string(report.skippedDuplicates) +
                          " already in the portfolio skipped, " +
                          std::to_string(report.skippedLineCount) + " lines passed over.";
    // Checked against the month and the values the list shows them with.
    if (const std::string note = importedBondsNote(report.bonds, session_.valueTable().get(),
                                                   session_.redemptionMonth());
        !note.empty()) {
        message += "\n\n" + note;
    }
    if (report.added > 0) {
        message += "\n\nUndo (Ctrl+Z) takes the import back.";
    }
    services_.showInformationAlert("Import Finished", message);
}

void MainMenuView::exportBondList() {
    const BondDatabase* store = controller_->bondDatabase();
    const std::optional<std::string> name = controller_->openPortfolio();
    const Portfolio* portfolio = store != nullptr && name ? store->portfolio(*name) : nullptr;
    if (portfolio == nullptr) {
        services_.showInformationAlert(std::string(kNoPortfolioOpenTitle),
                                       "Please open a portfolio to export its bond list.");
        return;
    }
    SaveFileRequest request;
    request.title = "Export Bond List";
    request.suggestedName = *name + ".csv";
    request.kinds = {{"Bond list", "csv"}};
    const std::string path =
        chooseFileToSaveInLastFolder(services_, request, FileDialogKind::BondList);
    if (path.empty() || !mayExportTo(path, resources_, services_)) {
        return;
    }
    std::string error;
    if (!writeExportFile(path, bondListText(portfolio->bonds), resources_, &error)) {
        services_.showErrorAlert("Error",
                                 "The bond list could not be saved to " + path + ".\n\n" + error);
        return;
    }
    const std::size_t count = portfolio->bonds.size();
    services_.showInformationAlert(
        "Export Finished", std::to_string(count) + (count == 1 ? " bond was" : " bonds were") +
                               " written to " + path +
                               ". Import Bond List reads it back, here or in Orvelt for "
                               "Windows.");
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

void MainMenuView::openWebSite() {
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
    // The shipped pages need no browser: they are shown in a window of the application's own.
    if (address.isLocalFile() && QFileInfo::exists(address.toLocalFile())) {
        if (pageWindow_ == nullptr) {
            pageWindow_ = new PageWindow(this);
        }
        pageWindow_->showPage(address);
        return;
    }
    const std::string where = address.isLocalFile() ? address.toLocalFile().toStdString()
                                                    : address.toString().toStdString();
    services_.showErrorAlert(kErrorTitle, "No web browser could be started to show the page. "
                                          "You can open it yourself; it is at:\n" +
                                              where);
}

namespace {

bool hasCurrentPortfolio(const Session& session) {
    const std::optional<std::string>& open = session.openPortfolio();
    return open.has_value() && !open->empty();
}

} // namespace

void MainMenuView::editBonds() {
    if (!hasCurrentPortfolio(session_)) {
        services_.showInformationAlert(std::string(kNoPortfolioOpenTitle),
                                       std::string(kNoPortfolioForEditingMessage));
        return;
    }
    const std::string portfolio = *controller_->openPortfolio();
    if (WindowRegistry::raiseIfOpen(windows_.editorOf(portfolio))) {
        return;
    }
    auto* controller = new BondEditingWindow(*controller_);
    windows_.addEditor(portfolio, controller);
    controller->showInFront();
}

void MainMenuView::editBond(const std::string& serial) {
    editBonds();
    const std::optional<std::string> portfolio = controller_->openPortfolio();
    BondEditingWindow* editor = portfolio ? windows_.editorOf(*portfolio) : nullptr;
    if (editor != nullptr && !serial.empty()) {
        editor->editBond(serial);
    }
}

void MainMenuView::editCurrentBond() {
    if (bondList_ != nullptr && !bondList_->currentSerial().empty()) {
        editBond(bondList_->currentSerial());
    }
}

void MainMenuView::deleteSelectedBonds() {
    BondDatabase* store = controller_->bondDatabase();
    const std::optional<std::string> portfolio = controller_->openPortfolio();
    const std::vector<std::string> serials =
        bondList_ != nullptr ? bondList_->selectedSerials() : std::vector<std::string>();
    if (store == nullptr || !portfolio || serials.empty()) {
        return;
    }
    const std::string what = serials.size() == 1
                                 ? "the bond with serial \"" + serials.front() + "\""
                                 : std::to_string(serials.size()) + " bonds";
    // "Cancel" is the default, so that Return never deletes bonds.
    if (!services_.confirmDestruction("Delete Bonds", "Cancel", "Delete",
                                      "Are you sure you want to delete " + what +
                                          "? You can undo this with Undo (Ctrl+Z).")) {
        return;
    }
    // One command removes them all and writes the file once.
    pushCommand(controller_->undoStack(),
                std::make_unique<RemoveBondsCommand>(
                    *store, *portfolio, serials,
                    serials.size() == 1 ? "Delete Bond" : "Delete Bonds", controller_->saver()));
}

void MainMenuView::showValueReport() {
    if (!hasCurrentPortfolio(session_)) {
        services_.showInformationAlert(std::string(kNoPortfolioOpenTitle),
                                       "Please either open an existing bond file or create a new "
                                       "bond file before generating a report.");
        return;
    }
    const std::string portfolio = *controller_->openPortfolio();
    if (WindowRegistry::raiseIfOpen(windows_.reportOf(portfolio))) {
        return;
    }
    auto* report = new ReportWindow(*controller_);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        connect(new QShortcut(keys, report), &QShortcut::activated, report, &QWidget::close);
    }
    windows_.addReport(portfolio, report);
    report->open();
}

void MainMenuView::setBondList(BondListPanel* list) {
    bondList_ = list;
    connect(list->tableView()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainMenuView::showSelectionInChart);
}

void MainMenuView::showSelectionInChart() {
    if (valueChart_ && bondList_ != nullptr) {
        valueChart_->chartView()->setSelection(bondList_->selectedSerials());
    }
}

void MainMenuView::showValueChart() {
    if (WindowRegistry::raiseIfOpen(valueChart_)) {
        return;
    }
    valueChart_ = new ValueChartWindow(*controller_);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        connect(new QShortcut(keys, valueChart_), &QShortcut::activated, valueChart_,
                &QWidget::close);
    }
    showSelectionInChart();
    valueChart_->showInFront();
}

void MainMenuView::showTaxYear() {
    if (!WindowRegistry::raiseIfOpen(taxYear_)) {
        auto* window = new TaxYearWindow(*controller_);
        taxYear_ = window;
        window->showInFront();
    }
}

void MainMenuView::editPortfolioDetails() {
    const std::optional<std::string> open = session_.openPortfolio();
    const Portfolio* portfolio = open ? session_.store().portfolio(*open) : nullptr;
    if (portfolio == nullptr) {
        return;
    }
    const std::string name = *open;
    auto apply = [this, name](const PortfolioDetails& after) {
        BondDatabase& store = session_.store();
        const Portfolio* held = store.portfolio(name);
        if (held == nullptr) {
            return std::string("The portfolio is no longer there.");
        }
        if (const StoreOutcome checked = store.checkPortfolioDetails(name, after); !checked) {
            return checked.message;
        }
        const PortfolioDetails before = portfolioDetailsOf(*held);
        if (after != before) {
            pushCommand(controller_->undoStack(),
                        std::make_unique<SetPortfolioDetailsCommand>(store, name, before, after,
                                                                     controller_->saver()));
        }
        return std::string();
    };
    auto* dialog =
        new PortfolioDetailsDialog(name, portfolioDetailsOf(*portfolio), apply, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void MainMenuView::showEstate() {
    if (!WindowRegistry::raiseIfOpen(estate_)) {
        auto* window = new EstateWindow(*controller_);
        estate_ = window;
        window->showInFront();
    }
}

void MainMenuView::showAllPortfolios() {
    if (WindowRegistry::raiseIfOpen(allPortfolios_)) {
        return;
    }
    allPortfolios_ = new AllPortfoliosWindow(*controller_);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        connect(new QShortcut(keys, allPortfolios_), &QShortcut::activated, allPortfolios_,
                &QWidget::close);
    }
    allPortfolios_->showInFront();
}

void MainMenuView::chooseRedemptionDate() {
    if (WindowRegistry::raiseIfOpen(windows_.dateWindow())) {
        return;
    }
    auto* controller = new RedemptionDateWindow(*controller_);
    windows_.setDateWindow(controller);
    controller->showInFront();
}

void MainMenuView::addNewPortfolio() {
    auto* controller = new AddNewPortfolioWindow(*controller_);
    controller->showInFront();
}

void MainMenuView::showOpenPortfolioWindow() {
    auto* controller = new LoadPortfolioWindow(*controller_);
    controller->showInFront();
}

void MainMenuView::showAbout() {
    AboutDialog about;
    about.exec();
}

void MainMenuView::updateValues() {
    OpenFileRequest request;
    request.title = "Add Value Files";
    request.message = "Choose one or more of the Treasury's savings bond value files.";
    // The Treasury publishes them as "sb201606.asc"; some copies carry ".txt".
    request.extensions = {"asc", "txt"};
    request.fileKindName = "Savings bond value files";
    request.allowsMultipleSelection = true;
    const std::vector<std::string> chosen =
        chooseFilesFromLastFolder(services_, request, FileDialogKind::ValueFiles);
    if (chosen.empty()) {
        return;
    }
    const std::vector<std::filesystem::path> files(chosen.begin(), chosen.end());
    std::string error;
    ValueChangeConsent consent;
    bool updated = updateUserValueTable(resources_, files, &error, &consent);
    // Values the table holds are replaced only when the user says so, knowing which.
    if (!updated && !consent.refused.empty()) {
        if (!services_.confirmDestruction(
                "Replace Values?", "Keep Values", "Replace Values",
                valueChangesText(consent.refused, kValueChangesAsked) +
                    "\n\nA file whose values differ from those of the table may be damaged or "
                    "not the Treasury's. Replace the values your table holds with those of the "
                    "files?")) {
            return;
        }
        consent.accepted = std::move(consent.refused);
        consent.refused.clear();
        updated = updateUserValueTable(resources_, files, &error, &consent);
    }
    if (!updated) {
        services_.showErrorAlert(kErrorTitle, "The values could not be updated.\n\n" + error +
                                                  "\n\nThe value table was not changed.");
        return;
    }
    // Every window showing values reads them anew.
    session_.reloadValueTable();
    const std::vector<RedemptionMonth> months =
        redemptionMonthsInTable(session_.valueTable().get());
    const std::string added = files.size() == 1 ? files.front().filename().string()
                                                : std::to_string(files.size()) + " value files";
    services_.showInformationAlert(kValuesUpdatedTitle,
                                   "The values of " + added +
                                       " were added to your value table. It now holds "
                                       "redemption dates from " +
                                       redemptionMonthRangesText(months) + ".");
}
