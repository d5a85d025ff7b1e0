#include "valuation/ui/HoldingWindow.h"

#include "app/WindowHost.h"
#include "platform/ExportTarget.h"
#include "platform/RememberedFolders.h"
#include "platform/ToolkitServices.h"
#include "valuation/ui/ReportPages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

HoldingWindow::HoldingWindow(WindowHost& host)
    : TaskWindow(host), choices_(new QHBoxLayout), caption_(new QLabel(this)),
      table_(new QTableWidget(this)), notes_(new QLabel(this)), status_(new QLabel(this)),
      exportButton_(new QPushButton(QStringLiteral("&Export…"), this)),
      printButton_(new QPushButton(QStringLiteral("&Print…"), this)) {
    table_->setObjectName("holdingTable");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    // Tab leaves the table for the buttons, as in every window.
    table_->setTabKeyNavigation(false);
    notes_->setObjectName("holdingNotes");
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    exportButton_->setObjectName("exportButton");
    printButton_->setObjectName("printButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(exportButton_);
    buttons->addWidget(printButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices_);
    layout->addWidget(caption_);
    layout->addWidget(table_, 1);
    layout->addWidget(notes_);
    layout->addLayout(buttons);
    connect(exportButton_, &QPushButton::clicked, this, &HoldingWindow::exportReport);
    connect(printButton_, &QPushButton::clicked, this, &HoldingWindow::printReport);
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, this,
            &HoldingWindow::printReport);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    }
    // Any change of bonds, values or month may change every figure shown.
    connect(&host.session(), &Session::changed, this, [this] { refresh(); });
    connect(&host.session(), &Session::portfoliosChanged, this, [this] { refresh(); });
    connect(&host.session(), &Session::openPortfolioChanged, this, [this] { refresh(); });
    resize(900, 500);
}

void HoldingWindow::refresh() {
    if (host() == nullptr) {
        return;
    }
    shown_ = compute();
    setWindowTitle(qText(shown_.title));
    caption_->setText(qText(shown_.caption));
    const std::vector<TextRow>& rows = shown_.table;
    const int columns = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    table_->clear();
    table_->setColumnCount(columns);
    table_->setRowCount(rows.empty() ? 0 : static_cast<int>(rows.size()) - 1);
    for (int column = 0; column < columns; ++column) {
        table_->setHorizontalHeaderItem(
            column, new QTableWidgetItem(qText(rows.front()[static_cast<std::size_t>(column)])));
    }
    for (std::size_t row = 1; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            auto* item = new QTableWidgetItem(qText(rows[row][column]));
            if (shown_.isAmount && shown_.isAmount(column)) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (row + 1 == rows.size()) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table_->setItem(static_cast<int>(row) - 1, static_cast<int>(column), item);
        }
    }
    table_->resizeColumnsToContents();
    QStringList notes;
    for (const std::string& line : shown_.notes) {
        notes << qText(line);
    }
    notes_->setText(notes.join(QLatin1Char('\n')));
}

void HoldingWindow::showStatus(const QString& text) {
    status_->setText(text);
    status_->setToolTip(text);
}

std::string HoldingWindow::csvOfShown() const {
    // As the value report's export: what it is first, then the table, then the notes.
    std::vector<TextRow> rows = {{shown_.title}, {shown_.caption}, {}};
    rows.insert(rows.end(), shown_.table.begin(), shown_.table.end());
    rows.push_back({});
    for (const std::string& line : shown_.notes) {
        rows.push_back({line});
    }
    return csvText(rows);
}

void HoldingWindow::exportReport() {
    WindowHost* view = host();
    if (view == nullptr) {
        return;
    }
    SaveFileRequest request;
    request.title = "Export " + shown_.title;
    request.suggestedName = shown_.fileName + ".pdf";
    request.kinds = {{"PDF document", "pdf"}, {"CSV file", "csv"}};
    const std::string path =
        chooseFileToSaveInLastFolder(view->services(), request, FileDialogKind::ReportExport);
    if (path.empty() || !mayExportTo(path, view->resources(), view->services())) {
        return;
    }
    std::string error;
    bool written = false;
    if (qText(path).endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        written = writeExportFile(path, csvOfShown(), view->resources(), &error);
    } else {
        const TablePrintout printout{
            shown_.table, shown_.isAmount, {shown_.title, shown_.caption, shown_.notes}};
        written = writeTablePdf(path, view->resources(), printout, reportPdfPageLayout(),
                                shown_.title, {}, &error) == PaintOutcome::Done;
    }
    if (!written) {
        showStatus(QStringLiteral("Nothing was exported."));
        view->services().showErrorAlert("Error", "The " + shown_.title + " could not be saved to " +
                                                     path + ".\n\n" + error);
        return;
    }
    showStatus(QStringLiteral("Exported to %1.").arg(qText(path)));
}

void HoldingWindow::printReport() {
    WindowHost* view = host();
    if (view == nullptr) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    if (!view->services().runPrintDialog(printer)) {
        return;
    }
    const TablePrintout printout{
        shown_.table, shown_.isAmount, {shown_.title, shown_.caption, shown_.notes}};
    std::string error;
    PaintOutcome printed = PaintOutcome::Failed;
    if (!printer.outputFileName().isEmpty()) {
        // A file is written as an export is: whole, where it may be, or not at all.
        if (!mayExportTo(printer.outputFileName().toStdString(), view->resources(),
                         view->services(), "Cannot Print Here")) {
            showStatus(QStringLiteral("Nothing was printed."));
            return;
        }
        printed = writeTablePdf(printer.outputFileName().toStdString(), view->resources(), printout,
                                printer.pageLayout(), shown_.title, {}, &error);
    } else {
        printed = paintTablePages(printer, printout);
    }
    if (printed != PaintOutcome::Done) {
        showStatus(QStringLiteral("Nothing was printed."));
        view->services().showErrorAlert("Error", "The " + shown_.title +
                                                     " could not be printed.\n\n" + error);
        return;
    }
    showStatus(printer.outputFileName().isEmpty()
                   ? QStringLiteral("Sent to the printer.")
                   : QStringLiteral("Printed to %1.").arg(printer.outputFileName()));
}
