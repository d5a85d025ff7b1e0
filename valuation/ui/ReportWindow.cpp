#include "valuation/ui/ReportWindow.h"

#include "platform/NumberText.h"
#include "platform/ui/WindowHost.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "ui_ReportWindow.h"
#include "valuation/ReportColumn.h"
#include "valuation/ui/ReportTableModel.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMetaObject>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

ReportWindow::ReportWindow(const ResourceLocations& resources, ToolkitServices& services,
                           QWidget* parent)
    : TaskWindowController(parent), ui_(std::make_unique<Ui::ReportWindow>()),
      controller_(resources, services) {
    ui_->setupUi(this);
    tableView_ = ui_->tableView;
    model_ = new ReportTableModel(controller_, this);
    tableView_->setModel(model_);
    tableView_->setSelectionMode(QAbstractItemView::NoSelection);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->setFocusPolicy(Qt::NoFocus);
    // The report's first row is its own heading; a second one above it would only repeat it.
    tableView_->horizontalHeader()->hide();
    tableView_->verticalHeader()->hide();
    tableView_->horizontalHeader()->setStretchLastSection(true);
    tableView_->viewport()->installEventFilter(this);
    sizeColumns();

    controller_.setCloseWindow([this] { close(); });
    // A queued call on this window: it never runs inside a cell request, and it is dropped
    // when the window has gone.
    controller_.setAlertScheduler([this](std::function<void()> alert) {
        QMetaObject::invokeMethod(this, std::move(alert), Qt::QueuedConnection);
    });
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::setParentView(WindowHost* view) {
    TaskWindowController::setParentView(view);
    controller_.setParentView(view);
    if (view != nullptr && view->bondDatabase() != nullptr &&
        view->bondDatabase()->getCurrentPortfolio()) {
        setWindowTitle(
            QStringLiteral("Value Report - %1")
                .arg(QString::fromStdString(*view->bondDatabase()->getCurrentPortfolio())));
    }
    model_->reload();
}

void ReportWindow::windowDidLoad() {
    controller_.windowDidLoad();
    updateDateLabel();
    updateMissingValuesLabel();
}

QLabel* ReportWindow::missingValuesLabel() const {
    return ui_->missingValuesLabel;
}

void ReportWindow::reloadData() {
    model_->reload();
}

void ReportWindow::sizeColumns() {
    // Wide enough for each column's widest sample text, such as "$10000.00" per bond and
    // six-figure totals, and for its heading in bold.
    const QFontMetrics metrics(tableView_->font());
    QFont bold = tableView_->font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const int padding = 24;
    int tableWidth = 0;
    int position = 0;
    for (const ReportColumn& column : kReportColumns) {
        const QString sample = QString::fromUtf8(
            column.widestSample.data(), static_cast<qsizetype>(column.widestSample.size()));
        const QString heading =
            QString::fromUtf8(column.title.data(), static_cast<qsizetype>(column.title.size()));
        const int width = std::max(metrics.horizontalAdvance(sample),
                                   boldMetrics.horizontalAdvance(heading + QStringLiteral("0000")));
        tableView_->setColumnWidth(position++, width + padding);
        tableWidth += width + padding;
    }
    // The window opens wide enough to show every column without scrolling.
    const int frame =
        2 * tableView_->frameWidth() + tableView_->verticalScrollBar()->sizeHint().width();
    resize(std::max(width(), tableWidth + frame + layout()->contentsMargins().left() +
                                 layout()->contentsMargins().right()),
           height());
}

void ReportWindow::updateDateLabel() {
    WindowHost* view = parentView();
    if (view == nullptr) {
        return;
    }
    const int month = intValueOfText(view->redemptionMonth());
    const QString monthName =
        month >= 1 && month <= 12
            ? QString::fromUtf8(
                  kMonthNames[static_cast<std::size_t>(month - 1)].data(),
                  static_cast<qsizetype>(kMonthNames[static_cast<std::size_t>(month - 1)].size()))
            : QString::fromStdString(view->redemptionMonth());
    const QString text = QStringLiteral("Values at the redemption date %1 %2")
                             .arg(monthName, QString::fromStdString(view->redemptionYear()));
    if (ui_->dateLabel->text() != text) {
        ui_->dateLabel->setText(text);
    }
}

void ReportWindow::updateMissingValuesLabel() {
    QString note = QString::fromStdString(controller_.missingValuesNote());
    if (!note.isEmpty() && !controller_.tableHoldsRedemptionDate()) {
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

void ReportWindow::changeEvent(QEvent* event) {
    // Coming back to the report shows the portfolio's bonds as they are now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isLoaded()) {
        model_->reload();
    }
    TaskWindowController::changeEvent(event);
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event) {
    // Every redraw values the bonds at the date the parent holds now; the caption and the count
    // of bonds without a value follow it.
    if (watched == tableView_->viewport() && event->type() == QEvent::Paint) {
        updateDateLabel();
        updateMissingValuesLabel();
    }
    return TaskWindowController::eventFilter(watched, event);
}
