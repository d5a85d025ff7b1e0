#include "valuation/ReportWindow.h"

#include "app/MainMenuView.h"
#include "platform/NumberText.h"
#include "store/BondDatabase.h"
#include "store/BondRecord.h"
#include "ui_ReportWindow.h"

#include <QAbstractTableModel>
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

// The table's model: every cell is asked of the report controller, nothing is kept.
class ReportTableModel : public QAbstractTableModel {
  public:
    ReportTableModel(ReportWindowController& controller, QObject* parent)
        : QAbstractTableModel(parent), controller_(controller) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : controller_.numberOfRowsInTableView();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(kReportColumnIdentifiers.size());
    }
    static std::string_view identifier(int column) {
        return kReportColumnIdentifiers[static_cast<std::size_t>(column)];
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) {
            return {};
        }
        switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(
                controller_.tableViewObjectValue(identifier(index.column()), index.row()));
        case Qt::TextAlignmentRole:
            return isAmountColumn(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                  : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::FontRole:
            if (index.row() == 0 || index.row() == rowCount() - 1) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < columnCount()) {
            return QString::fromUtf8(identifier(section).data(),
                                     static_cast<qsizetype>(identifier(section).size()));
        }
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) {
            return Qt::NoItemFlags;
        }
        Qt::ItemFlags flags = Qt::ItemIsEnabled;
        if (controller_.tableViewShouldSelectRow(index.row())) {
            flags |= Qt::ItemIsSelectable;
        }
        return flags;
    }
    void reload() {
        beginResetModel();
        endResetModel();
    }

    static bool isAmountColumn(int column) {
        return identifier(column) == "Face Value" || identifier(column) == kCurrentValueColumn;
    }

  private:
    ReportWindowController& controller_;
};

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

void ReportWindow::setParentView(MainMenuView* view) {
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
    // Wide enough for the largest amounts a portfolio shows, such as "$10000.00" per bond and
    // six-figure totals, and for the marker an invalid bond shows.
    const QFontMetrics metrics(tableView_->font());
    QFont bold = tableView_->font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const int padding = 24;
    int tableWidth = 0;
    static const char* const kWidestTexts[] = {"M000000000EE", "Type",      "$000000.00",
                                               "Issue Year",   "September", "135790246.500000"};
    for (int column = 0; column < model_->columnCount(); ++column) {
        const QString heading =
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const int width =
            std::max(metrics.horizontalAdvance(QString::fromLatin1(kWidestTexts[column])),
                     boldMetrics.horizontalAdvance(heading + QStringLiteral("0000")));
        tableView_->setColumnWidth(column, width + padding);
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
    MainMenuView* view = parentView();
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
                               "for that month with Update Values...");
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
