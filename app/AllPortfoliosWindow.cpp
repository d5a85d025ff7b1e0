#include "app/AllPortfoliosWindow.h"

#include "app/WindowHost.h"
#include "platform/ExportTarget.h"
#include "platform/RememberedFolders.h"
#include "platform/ui/WindowServices.h"
#include "valuation/Session.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

AllPortfoliosWindow::AllPortfoliosWindow(WindowHost& host)
    : TaskWindow(host), session_(host.session()) {
    setObjectName("allPortfoliosWindow");
    setWindowTitle(QStringLiteral("All Portfolios"));
    auto* layout = new QVBoxLayout(this);
    month_ = new QLabel(this);
    layout->addWidget(month_);
    table_ = new QTableWidget(this);
    table_->setObjectName("allPortfoliosTable");
    table_->setColumnCount(static_cast<int>(kAllPortfoliosTitles.size()));
    QStringList titles;
    for (std::string_view title : kAllPortfoliosTitles) {
        titles << qText(title);
    }
    table_->setHorizontalHeaderLabels(titles);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setTabKeyNavigation(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->installEventFilter(this);
    layout->addWidget(table_, 1);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open =
        buttons->addButton(QStringLiteral("&Open Portfolio"), QDialogButtonBox::ActionRole);
    QPushButton* exportButton =
        buttons->addButton(QStringLiteral("&Export…"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(open, &QPushButton::clicked, this, [this] { openRow(table_->currentRow()); });
    connect(exportButton, &QPushButton::clicked, this, &AllPortfoliosWindow::exportReport);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });

    connect(&session_, &Session::changed, this, &AllPortfoliosWindow::scheduleRefresh);
    connect(&session_, &Session::portfoliosChanged, this, &AllPortfoliosWindow::scheduleRefresh);
    connect(&session_, &Session::redemptionMonthChanged, this,
            &AllPortfoliosWindow::scheduleRefresh);
    refresh();
    resize(720, 360);
}

void AllPortfoliosWindow::scheduleRefresh() {
    if (!refreshScheduled_) {
        refreshScheduled_ = true;
        QTimer::singleShot(0, this, &AllPortfoliosWindow::refresh);
    }
}

void AllPortfoliosWindow::refresh() {
    refreshScheduled_ = false;
    const int current = table_->currentRow();
    shown_ = allPortfolios(session_);
    month_->setText(QStringLiteral("Values for %1").arg(qText(shown_.monthName)));
    const std::vector<TextRow> rows = shown_.rows();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            auto* item = new QTableWidgetItem(qText(rows[row][column]));
            if (column >= kAllPortfoliosFirstNumberColumn) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (row + 1 == rows.size()) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table_->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    table_->resizeColumnsToContents();
    if (current >= 0 && current < table_->rowCount()) {
        table_->setCurrentCell(current, 0);
    }
    QStringList lines;
    for (const std::string& line : shown_.summaryLines()) {
        lines << qText(line);
    }
    summary_->setText(lines.join('\n'));
}

void AllPortfoliosWindow::openRow(int row) {
    WindowHost* view = host();
    if (view == nullptr || row < 0 || row >= static_cast<int>(shown_.portfolios.size())) {
        return;
    }
    view->setOpenPortfolio(shown_.portfolios[static_cast<std::size_t>(row)].name);
}

void AllPortfoliosWindow::exportReport() {
    WindowHost* view = host();
    if (view == nullptr) {
        return;
    }
    SaveFileRequest request;
    request.title = "Export All Portfolios";
    request.suggestedName = "All Portfolios.csv";
    request.kinds = {{"CSV file", "csv"}};
    const std::string path =
        chooseFileToSaveInLastFolder(view->services(), request, FileDialogKind::ReportExport);
    if (path.empty() || !mayExportTo(path, view->resources(), view->services())) {
        return;
    }
    std::string error;
    if (!writeExportFile(path, csvText(shown_.table()), view->resources(), &error)) {
        view->services().showErrorAlert("Error", "The table could not be saved to " + path +
                                                     ".\n\n" + error);
    }
}

bool AllPortfoliosWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openRow(table_->currentRow());
            return true;
        }
    }
    return TaskWindow::eventFilter(watched, event);
}
