#include "valuation/ui/ReportWindow.h"

#include "app/WindowHost.h"
#include "platform/ExportTarget.h"
#include "platform/NumberText.h"
#include "platform/RememberedFolders.h"
#include "platform/ResourceLocations.h"
#include "platform/Settings.h"
#include "platform/ToolkitServices.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "ui_ReportWindow.h"
#include "valuation/MonthCaption.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ReportColumn.h"
#include "valuation/ReportDocument.h"
#include "valuation/ReportOrder.h"
#include "valuation/ValueSources.h"
#include "valuation/ValueTable.h"
#include "valuation/ValueTableMonths.h"
#include "valuation/ui/ReportHeaderView.h"
#include "valuation/ui/ReportTableModel.h"
#include "valuation/ui/WarningColour.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <algorithm>

namespace {

// The identifiers of the owner's columns the user has hidden.

// The alert that names the bonds whose issue date no bond of their series can have.
constexpr const char* kInvalidBondsTitle = "Invalid Issue Dates";

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The host's open portfolio, its stored order first made the report's order, as it always has
// been; the value table in effect now, a copy put back since it was read included.
std::string openPortfolioInDateOrder(WindowHost& host) {
    host.session().reloadValueTable();
    const std::string portfolio = host.openPortfolio().value_or(std::string());
    if (!portfolio.empty()) {
        host.bondDatabase()->sortBondsByDate(portfolio);
    }
    return portfolio;
}

} // namespace

ReportWindow::ReportWindow(WindowHost& host)
    : TaskWindow(host), ui_(std::make_unique<Ui::ReportWindow>()),
      report_(host.session(), openPortfolioInDateOrder(host)) {
    ui_->setupUi(this);
    tableView_ = ui_->tableView;
    tableView_->setHorizontalHeader(new ReportHeaderView(tableView_));
    model_ = new ReportTableModel(report_, this);
    tableView_->setModel(model_);
    tableView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The titles are the table's header, which stays in place while the rows scroll; the
    // report's own heading row would only repeat them.
    tableView_->verticalHeader()->hide();
    tableView_->horizontalHeader()->setStretchLastSection(true);
    // Nor is the blank row below it needed.
    auto hideHeadingRows = [this] {
        tableView_->setRowHidden(0, true);
        tableView_->setRowHidden(1, true);
    };
    connect(model_, &QAbstractItemModel::modelReset, this, hideHeadingRows);
    hideHeadingRows();
    // A click on a title sorts by its column; none is chosen at first: issue-date order.
    tableView_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tableView_->horizontalHeader()->setSortIndicatorShown(true);
    tableView_->setSortingEnabled(true);
    fitColumns(false);
    setUpColumnsMenu();
    colourWarnings();

    // Ctrl+C copies the selected rows, not just the current cell as the table would.
    tableView_->installEventFilter(this);
    connect(ui_->exportButton, &QPushButton::clicked, this, &ReportWindow::exportReport);
    connect(ui_->printButton, &QPushButton::clicked, this, &ReportWindow::printReport);
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, this,
            &ReportWindow::printReport);

    // The report follows its own portfolio, whichever portfolio is open, through the session,
    // whose snapshot of it every other view of it reads too.
    connect(&host.session(), &Session::changed, this, [this](const std::string& portfolio) {
        if (report_.portfolioName() == portfolio) {
            followSession();
        }
    });
    if (!report_.portfolioName().empty()) {
        setWindowTitle(QStringLiteral("Value Report - %1")
                           .arg(QString::fromStdString(report_.portfolioName())));
    }
    model_->reload();
    updateLabels();
    fitColumns(false);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::showEvent(QShowEvent* event) {
    // Opened as wide as the columns need, or wider when the user left it so last time.
    if (!fittedToColumns_) {
        fittedToColumns_ = true;
        fitWidthToColumns();
    }
    TaskWindow::showEvent(event);
}

void ReportWindow::open() {
    showInFront();
    if (report_.valid() || invalidBondsNamed_) {
        return;
    }
    // Once, as the window opens, never at a later computation: the bonds with an invalid issue
    // date are listed in the report, and the alert names them all. It comes from the event loop,
    // after the command that opened the report, and is dropped if the window has gone by then.
    // Once it is answered, the report is the window in front, not the one the alert came back
    // to.
    invalidBondsNamed_ = true;
    const std::string message = invalidBondsMessage(report_.snapshot());
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            const QPointer<ReportWindow> self(this);
            if (WindowHost* view = host()) {
                view->services().showErrorAlert(kInvalidBondsTitle, message);
            }
            if (self && isVisible()) {
                raise();
                activateWindow();
            }
        },
        Qt::QueuedConnection);
}

void ReportWindow::followSession() {
    report_.refresh();
    // What Export or Print did was done with the figures before.
    showStatus(QString());
    model_->reload();
    updateLabels();
    fitColumns(true);
}

void ReportWindow::updateLabels() {
    updateDateLabel();
    updateMissingValuesLabel();
    updateSummaryLabel();
    updateActionsLabel();
}

void ReportWindow::updateActionsLabel() {
    QStringList lines;
    for (const std::string& line : report_.snapshot().actionLines()) {
        lines << QString::fromStdString(line);
    }
    const QString text = lines.join(QLatin1Char('\n'));
    if (ui_->actionsLabel->text() != text) {
        ui_->actionsLabel->setText(text);
    }
    if (ui_->actionsLabel->isHidden() != text.isEmpty()) {
        ui_->actionsLabel->setHidden(text.isEmpty());
    }
}

QLabel* ReportWindow::missingValuesLabel() const {
    return ui_->missingValuesLabel;
}

QLabel* ReportWindow::summaryLabel() const {
    return ui_->summaryLabel;
}

QLabel* ReportWindow::actionsLabel() const {
    return ui_->actionsLabel;
}

QLabel* ReportWindow::statusLabel() const {
    return ui_->statusLabel;
}

QPushButton* ReportWindow::exportButton() const {
    return ui_->exportButton;
}

QPushButton* ReportWindow::printButton() const {
    return ui_->printButton;
}

void ReportWindow::reloadData() {
    model_->reload();
}

void ReportWindow::fitColumns(bool onlyWiden) {
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int before = tableView_->columnWidth(column);
        tableView_->resizeColumnToContents(column);
        if (onlyWiden && tableView_->columnWidth(column) < before) {
            tableView_->setColumnWidth(column, before);
        }
    }
}

void ReportWindow::fitWidthToColumns() {
    int columnsWidth = 0;
    for (int column = 0; column < model_->columnCount(); ++column) {
        if (!tableView_->isColumnHidden(column)) {
            columnsWidth += tableView_->columnWidth(column);
        }
    }
    const QMargins margins = layout()->contentsMargins();
    int wanted = columnsWidth + 2 * tableView_->frameWidth() +
                 tableView_->verticalScrollBar()->sizeHint().width() + margins.left() +
                 margins.right();
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shownOn != nullptr) {
        // The window manager's frame, once there is one, takes its share of the screen too.
        const int frame = std::max(0, frameGeometry().width() - width());
        wanted = std::min(wanted, shownOn->availableGeometry().width() - frame);
    }
    resize(std::max({wanted, width(), minimumSizeHint().width()}), height());
}

void ReportWindow::colourWarnings() {
    QPalette palette = ui_->missingValuesLabel->palette();
    palette.setColor(QPalette::WindowText, warningColour(this->palette()));
    ui_->missingValuesLabel->setPalette(palette);
}

void ReportWindow::changeEvent(QEvent* event) {
    TaskWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colourWarnings();
    }
}

void ReportWindow::showStatus(const QString& text) {
    ui_->statusLabel->setText(text);
    // The whole text, a long path included, when the line is too short for it.
    ui_->statusLabel->setToolTip(text);
}

void ReportWindow::updateDateLabel() {
    const ReportSnapshot& snapshot = report_.snapshot();
    WindowHost* view = host();
    // The application starts at the latest month with values when the clock is past the table;
    // say so, and where newer values come from.
    const std::optional<YearMonth> today = view != nullptr && view->session().today()
                                               ? view->session().today()
                                               : std::optional(currentRedemptionMonth());
    QString text = QString::fromStdString(
        valuesForMonthText(snapshot, today, "Values at the redemption date"));
    if (showsLatestBeforeToday(snapshot, today)) {
        text += QStringLiteral(". Add newer values with Update Values…");
    } else {
        text += QLatin1Char('.');
    }
    // A projected month's values come from the rule the caption names, not from a value file.
    if (view != nullptr && snapshot.month && !snapshot.projected()) {
        text += QStringLiteral(" ") +
                QString::fromStdString(monthValueSourceText(*snapshot.month, view->resources()));
    }
    if (ui_->dateLabel->text() != text) {
        ui_->dateLabel->setText(text);
    }
}

void ReportWindow::updateMissingValuesLabel() {
    QString note = QString::fromStdString(report_.missingValuesNote());
    if (!note.isEmpty() && !report_.tableHoldsRedemptionDate()) {
        note += QStringLiteral(" Choose another redemption date, or add the Treasury's value file "
                               "for that month with Update Values…");
    }
    if (ui_->missingValuesLabel->text() != note) {
        ui_->missingValuesLabel->setText(note);
    }
    if (ui_->missingValuesLabel->isHidden() != note.isEmpty()) {
        ui_->missingValuesLabel->setHidden(note.isEmpty());
    }
}

void ReportWindow::updateSummaryLabel() {
    QStringList lines;
    const ReportColumnPositions shown = shownColumns();
    for (const std::string& line : report_.snapshot().summaryLines(&shown)) {
        lines << QString::fromStdString(line);
    }
    const QString text = lines.join(QLatin1Char('\n'));
    if (ui_->summaryLabel->text() != text) {
        ui_->summaryLabel->setText(text);
    }
}

void ReportWindow::setUpColumnsMenu() {
    columnsMenu_ = new QMenu(this);
    const QStringList hidden = Settings::hiddenReportColumns.value();
    const QStringList shownOptional = Settings::shownOptionalReportColumns.value();
    for (std::size_t position = kValueColumnCount; position < kReportColumns.size(); ++position) {
        const ReportColumn& column = kReportColumns[position];
        if (column.optional && position > kValueColumnCount &&
            !kReportColumns[position - 1].optional) {
            columnsMenu_->addSeparator();
        }
        QAction* action = columnsMenu_->addAction(qText(column.title));
        action->setCheckable(true);
        const QString identifier = qText(column.identifier);
        // The kind and the registration are hidden until asked for; the figures shown.
        action->setChecked(column.optional ? shownOptional.contains(identifier)
                                           : !hidden.contains(identifier));
        showColumn(position, action->isChecked());
        connect(action, &QAction::toggled, this, [this, position](bool shown) {
            showColumn(position, shown);
            // Remembered for the next reports, in this run and the next ones.
            const ReportColumn& toggled = kReportColumns[position];
            const Setting<QStringList>& setting = toggled.optional
                                                      ? Settings::shownOptionalReportColumns
                                                      : Settings::hiddenReportColumns;
            QStringList listed = setting.value();
            const QString identifier = qText(toggled.identifier);
            listed.removeAll(identifier);
            if (shown == toggled.optional) {
                listed << identifier;
            }
            setting.setValue(listed);
        });
    }
    ui_->columnsButton->setMenu(columnsMenu_);
    // The same choice from the header's context menu.
    QHeaderView* header = tableView_->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        header, &QHeaderView::customContextMenuRequested, this,
        [this, header](const QPoint& point) { columnsMenu_->popup(header->mapToGlobal(point)); });
}

void ReportWindow::showColumn(std::size_t position, bool shown) {
    tableView_->setColumnHidden(static_cast<int>(position), !shown);
    // The notes of a hidden total go with it.
    updateSummaryLabel();
}

QString ReportWindow::selectedRowsText() const {
    QList<int> rows;
    for (const QModelIndex& index : tableView_->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    QList<int> shownColumns;
    for (int column = 0; column < model_->columnCount(); ++column) {
        if (!tableView_->isColumnHidden(column)) {
            shownColumns << column;
        }
    }
    if (rows.isEmpty()) {
        return {};
    }
    // The titles first, from the report's own heading row.
    rows.prepend(0);
    for (int row : std::as_const(rows)) {
        QStringList cells;
        for (int column : shownColumns) {
            cells << model_->data(model_->index(row, column), Qt::DisplayRole).toString();
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void ReportWindow::copySelectedRows() const {
    const QString text = selectedRowsText();
    if (!text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
    }
}

ReportColumnPositions ReportWindow::shownColumns() const {
    ReportColumnPositions columns;
    for (std::size_t position = 0; position < kReportColumns.size(); ++position) {
        if (!tableView_->isColumnHidden(static_cast<int>(position))) {
            columns.push_back(position);
        }
    }
    return columns;
}

ReportSnapshot ReportWindow::shownSnapshot() const {
    return withBondRowOrder(report_.snapshot(), model_->bondOrder());
}

ReportPageTexts ReportWindow::pageTexts(const ReportSnapshot& shown) const {
    ReportDocumentInfo info;
    info.madeOn =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
    if (WindowHost* view = host()) {
        info.valuesSource = valuesSourceText(view->resources(), report_.bondTable());
    }
    return reportPageTexts(shown, info, shownColumns());
}

namespace {

// A modal progress dialog that counts the pages made; its Cancel stops the pages.
class PageProgressDialog : public QProgressDialog {
  public:
    PageProgressDialog(const QString& label, QWidget* parent)
        : QProgressDialog(label, QStringLiteral("Cancel"), 0, 1, parent) {
        setWindowModality(Qt::ApplicationModal);
        setMinimumDuration(300);
        setAutoClose(false);
        setAutoReset(false);
    }

    PageProgress pageProgress() {
        return [this](int pagesDone, int pageCount) {
            setMaximum(pageCount);
            setLabelText(labelText().section(QLatin1Char('\n'), 0, 0) +
                         QStringLiteral("\nPage %1 of %2").arg(pagesDone).arg(pageCount));
            setValue(pagesDone);
            return !wasCanceled();
        };
    }
};

} // namespace

PaintOutcome ReportWindow::writePdf(const std::string& path, std::string* error) {
    WindowHost* view = host();
    if (view == nullptr) {
        return PaintOutcome::Failed;
    }
    const ReportSnapshot shown = shownSnapshot();
    const ReportPrintout printout{shown, shownColumns(), pageTexts(shown)};
    PageProgressDialog progress(QStringLiteral("Exporting the report as PDF…"), this);
    return writeReportPdf(path, view->resources(), printout, reportPdfPageLayout(),
                          windowTitle().toStdString(), progress.pageProgress(), error);
}

PaintOutcome ReportWindow::printTo(QPrinter& printer, std::string* error) {
    WindowHost* view = host();
    if (view == nullptr) {
        return PaintOutcome::Failed;
    }
    const ReportSnapshot shown = shownSnapshot();
    const ReportPrintout printout{shown, shownColumns(), pageTexts(shown)};
    PageProgressDialog progress(QStringLiteral("Printing the report…"), this);
    if (!printer.outputFileName().isEmpty()) {
        // A file is written as an export is: whole, or not at all.
        return writeReportPdf(printer.outputFileName().toStdString(), view->resources(), printout,
                              printer.pageLayout(), printer.docName().toStdString(),
                              progress.pageProgress(), error);
    }
    const PageProgress step = progress.pageProgress();
    const PaintOutcome outcome =
        paintReportPages(printer, printout, [&printer, &step](int pagesDone, int pageCount) {
            if (step(pagesDone, pageCount)) {
                return true;
            }
            printer.abort();
            return false;
        });
    if (outcome == PaintOutcome::Failed && error != nullptr) {
        *error = "The printer did not take the pages.";
    }
    return outcome;
}

void ReportWindow::exportReport() {
    WindowHost* view = host();
    if (view == nullptr) {
        return;
    }
    SaveFileRequest request;
    request.title = "Export Report";
    const std::string name =
        report_.portfolioName().empty() ? "Value Report" : report_.portfolioName();
    request.suggestedName = name + ".pdf";
    request.kinds = {{"PDF document", "pdf"}, {"CSV file", "csv"}};
    const std::string path =
        chooseFileToSaveInLastFolder(view->services(), request, FileDialogKind::ReportExport);
    if (path.empty() || !mayExportTo(path, view->resources(), view->services())) {
        return;
    }
    const bool csv =
        QString::fromStdString(path).endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    std::string error;
    const PaintOutcome written =
        csv ? (writeExportFile(path, reportCsv(shownSnapshot(), shownColumns()), view->resources(),
                               &error)
                   ? PaintOutcome::Done
                   : PaintOutcome::Failed)
            : writePdf(path, &error);
    if (written == PaintOutcome::Cancelled) {
        showStatus(QStringLiteral("Nothing was exported: the export was cancelled."));
        return;
    }
    if (written == PaintOutcome::Failed) {
        showStatus(QStringLiteral("Nothing was exported."));
        view->services().showErrorAlert("Error", "The report could not be saved to " + path +
                                                     ".\n\n" + error);
        return;
    }
    showStatus(QStringLiteral("Exported to %1.").arg(QString::fromStdString(path)));
}

void ReportWindow::printReport() {
    WindowHost* view = host();
    if (view == nullptr) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    if (view->services().runPrintDialog(printer)) {
        // The print dialog offers any file, as the export's save dialog does: the same check.
        if (!printer.outputFileName().isEmpty() &&
            !mayExportTo(printer.outputFileName().toStdString(), view->resources(),
                         view->services(), "Cannot Print Here")) {
            showStatus(QStringLiteral("Nothing was printed."));
            return;
        }
        std::string error;
        const PaintOutcome printed = printTo(printer, &error);
        if (printed == PaintOutcome::Cancelled) {
            showStatus(QStringLiteral("Nothing was printed: printing was cancelled."));
            return;
        }
        if (printed == PaintOutcome::Failed) {
            showStatus(QStringLiteral("Nothing was printed."));
            view->services().showErrorAlert("Error",
                                            "The report could not be printed.\n\n" + error);
            return;
        }
        // Printing to a file names the file; a printer is named when the system names it.
        if (!printer.outputFileName().isEmpty()) {
            showStatus(QStringLiteral("Printed to %1.").arg(printer.outputFileName()));
        } else if (!printer.printerName().isEmpty()) {
            showStatus(QStringLiteral("Sent to the printer %1.").arg(printer.printerName()));
        } else {
            showStatus(QStringLiteral("Sent to the printer."));
        }
    }
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tableView_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copySelectedRows();
        return true;
    }
    return TaskWindow::eventFilter(watched, event);
}
