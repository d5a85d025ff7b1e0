#include "app/BondListPanel.h"

#include "app/BondListModel.h"
#include "valuation/MonthCaption.h"
#include "valuation/ReportSnapshot.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_set>

BondListPanel::BondListPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);

    actionLines_ = new QLabel(this);
    actionLines_->setObjectName("actionLinesLabel");
    actionLines_->setWordWrap(true);
    actionLines_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    actionLines_->hide();
    layout->addWidget(actionLines_);

    auto* bar = new QHBoxLayout();
    month_ = new QLabel(this);
    month_->setObjectName("monthLabel");
    bar->addWidget(month_, 1);
    // Alt+T: Alt+F opens the File menu.
    auto* filterTitle = new QLabel(QStringLiteral("Fil&ter:"), this);
    filter_ = new QLineEdit(this);
    filter_->setObjectName("filterField");
    filter_->setPlaceholderText(QStringLiteral("serial, series, status, owner or note"));
    filter_->setClearButtonEnabled(true);
    filterTitle->setBuddy(filter_);
    bar->addWidget(filterTitle);
    bar->addWidget(filter_);
    showCashed_ = new QCheckBox(QStringLiteral("Show ca&shed bonds"), this);
    showCashed_->setObjectName("showCashedBox");
    showCashed_->setChecked(true);
    bar->addWidget(showCashed_);
    layout->addLayout(bar);

    model_ = new BondListModel(this);
    rows_ = new BondListFilter(model_, this);
    table_ = new QTableView(this);
    table_->setObjectName("bondList");
    table_->setModel(rows_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    // One line a bond: a long status reads in full by scrolling, not by taller rows. The rows
    // are no taller than their text needs, so that a small screen shows many.
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setSectionsMovable(true);
    // Issue-date order until a title is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    table_->installEventFilter(this);
    layout->addWidget(table_, 1);
    setUpOptionalColumns();
    connect(filter_, &QLineEdit::textChanged, rows_, &QSortFilterProxyModel::setFilterFixedString);
    connect(table_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit bondActivated(model_->serialAt(rows_->mapToSource(index).row()));
    });

    summary_ = new QLabel(this);
    summary_->setObjectName("summaryLabel");
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
    connect(showCashed_, &QCheckBox::toggled, rows_, &BondListFilter::setShowCashed);
    setTabOrder(filter_, showCashed_);
    setTabOrder(showCashed_, table_);
}

void BondListPanel::setUpOptionalColumns() {
    // The kind and the registration are hidden at first; the header's menu shows them.
    auto* menu = new QMenu(this);
    menu->setObjectName("listColumnsMenu");
    for (int section = 0; section < model_->columnCount(); ++section) {
        const ReportColumn& column = model_->column(section);
        if (!column.optional) {
            continue;
        }
        table_->setColumnHidden(section, true);
        QAction* action = menu->addAction(
            QString::fromUtf8(column.title.data(), static_cast<qsizetype>(column.title.size())));
        action->setCheckable(true);
        connect(action, &QAction::toggled, this,
                [this, section](bool shown) { table_->setColumnHidden(section, !shown); });
    }
    // A restored layout may show some of them.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        int section = 0;
        for (QAction* action : menu->actions()) {
            while (!model_->column(section).optional) {
                ++section;
            }
            const QSignalBlocker quiet(action);
            action->setChecked(!table_->isColumnHidden(section++));
        }
    });
    QHeaderView* header = table_->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::customContextMenuRequested, menu,
            [menu, header](const QPoint& point) { menu->popup(header->mapToGlobal(point)); });
}

void BondListPanel::showSnapshot(std::shared_ptr<const ReportSnapshot> snapshot, bool portfolioOpen,
                                 const QString& summary, const std::optional<YearMonth>& today) {
    // The selection follows its bonds into the new snapshot.
    const std::vector<std::string> serials = selectedSerials();
    const std::unordered_set<std::string_view> selected(serials.begin(), serials.end());
    month_->setText(portfolioOpen && snapshot
                        ? QString::fromStdString(valuesForMonthText(*snapshot, today))
                        : QString());
    model_->setSnapshot(portfolioOpen ? std::move(snapshot) : nullptr);
    if (!selected.empty()) {
        // One selection of runs of rows, however many bonds it holds.
        QItemSelection restored;
        int runStart = -1;
        const int rowCount = rows_->rowCount();
        for (int row = 0; row <= rowCount; ++row) {
            const bool kept =
                row < rowCount &&
                selected.count(model_->serialAt(rows_->mapToSource(rows_->index(row, 0)).row())) !=
                    0;
            if (kept && runStart < 0) {
                runStart = row;
            } else if (!kept && runStart >= 0) {
                restored.select(rows_->index(runStart, 0), rows_->index(row - 1, 0));
                runStart = -1;
            }
        }
        table_->selectionModel()->select(restored,
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (!layoutSet_ && model_->rowCount() > 0) {
        fitColumns();
    }
    table_->setVisible(portfolioOpen);
    filter_->setEnabled(portfolioOpen);
    summary_->setText(summary);
}

void BondListPanel::setActionLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) {
        text << QString::fromStdString(line);
    }
    actionLines_->setText(text.join('\n'));
    actionLines_->setVisible(!text.isEmpty());
}

std::vector<std::string> BondListPanel::selectedSerials() const {
    std::vector<std::string> serials;
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows) {
        serials.push_back(model_->serialAt(rows_->mapToSource(row).row()));
    }
    return serials;
}

std::string BondListPanel::currentSerial() const {
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? model_->serialAt(rows_->mapToSource(current).row()) : std::string();
}

QByteArray BondListPanel::saveLayout() const {
    return table_->horizontalHeader()->saveState();
}

void BondListPanel::restoreLayout(const QByteArray& state) {
    QHeaderView* header = table_->horizontalHeader();
    if (!state.isEmpty() && header->restoreState(state)) {
        layoutSet_ = true;
        table_->sortByColumn(header->sortIndicatorSection(), header->sortIndicatorOrder());
    }
}

int BondListPanel::fittedColumnWidth(int section) const {
    // From the column's widest usual text, so that no cell is read to size it.
    const QFontMetrics metrics = table_->fontMetrics();
    const ReportColumn& column = model_->column(section);
    // The list shows the issue month and year together under "Issue Date".
    const QString widest =
        column.identifier == kIssueYearKey
            ? QStringLiteral("September 0000")
            : QString::fromUtf8(column.widestSample.data(),
                                static_cast<qsizetype>(column.widestSample.size()));
    const QString title = model_->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString();
    return std::max(metrics.horizontalAdvance(widest), metrics.horizontalAdvance(title) + 16) + 16;
}

void BondListPanel::fitColumns() {
    layoutSet_ = true;
    for (int section = 0; section < model_->columnCount(); ++section) {
        table_->setColumnWidth(section, fittedColumnWidth(section));
    }
}

int BondListPanel::widthForColumns() const {
    int width = 0;
    for (int section = 0; section < model_->columnCount(); ++section) {
        width += table_->isColumnHidden(section) ? 0 : fittedColumnWidth(section);
    }
    const QMargins margins = layout()->contentsMargins();
    return width + 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width() +
           margins.left() + margins.right();
}

bool BondListPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        // The keys the window's shortcuts give, also while the window is not the active one.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !currentSerial().empty()) {
            emit bondActivated(currentSerial());
            return true;
        }
        if (key == Qt::Key_Delete) {
            emit deleteRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
