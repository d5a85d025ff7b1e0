#include "valuation/ui/RedemptionDateWindow.h"

#include "app/WindowHost.h"
#include "platform/NumberText.h"
#include "platform/ToolkitServices.h"
#include "ui_RedemptionDateWindow.h"
#include "valuation/Projection.h"
#include "valuation/RememberedMonth.h"
#include "valuation/ValueTable.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <string>

RedemptionDateWindow::RedemptionDateWindow(WindowHost& host)
    : TaskWindow(host), ui_(std::make_unique<Ui::RedemptionDateWindow>()) {
    ui_->setupUi(this);
    setMonthBox(ui_->monthBox);
    setYearBox(ui_->yearBox);
    connect(ui_->okButton, &QPushButton::clicked, this, &RedemptionDateWindow::applyChosenMonth);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &RedemptionDateWindow::cancel);
    // OK is the default button: Return presses it wherever the focus is (keyPressEvent).
    ui_->okButton->setDefault(true);

    // The table in effect now: a copy put back since it was read counts.
    Session& session = host.session();
    session.reloadValueTable();
    tableProblem_ = session.valueTableProblem();
    setRedemptionMonths(redemptionMonthsInTable(session.valueTable().get()));
    const std::optional<YearMonth> chosen = host.redemptionMonth();
    const int monthIndex = chosen ? chosen->month - 1 : -1;
    monthBox_->setCurrentIndex(monthIndex < monthBox_->count() ? monthIndex : -1);
    yearBox_->setCurrentIndex(
        chosen ? yearBox_->findText(QString::number(chosen->year), Qt::MatchExactly) : -1);
}

RedemptionDateWindow::~RedemptionDateWindow() = default;

void RedemptionDateWindow::setRedemptionMonths(std::vector<RedemptionMonth> months) {
    redemptionMonths_ = std::move(months);
    lastProjected_.reset();
    yearBox_->clear();
    for (const std::string& year : redemptionYearTexts(redemptionMonths_)) {
        yearBox_->addItem(QString::fromStdString(year));
    }
    if (!redemptionMonths_.empty()) {
        lastProjected_ = redemptionMonths_.back().plusMonths(kProjectionYears * 12);
        for (int year = redemptionMonths_.back().year + 1; year <= lastProjected_->year; ++year) {
            yearBox_->addItem(QString::number(year));
        }
    }
    yearBox_->setCurrentIndex(-1);
    if (!redemptionMonths_.empty()) {
        ui_->rangeLabel->setText(
            QStringLiteral("Dates from %1 can be chosen, and later dates up to %2, whose values "
                           "are projected.")
                .arg(QString::fromStdString(redemptionMonthRangesText(redemptionMonths_)),
                     QString::fromStdString(lastProjected_->name())));
    } else if (!tableProblem_.empty()) {
        ui_->rangeLabel->setText(QString::fromStdString(tableProblem_));
    } else {
        ui_->rangeLabel->setText(
            QStringLiteral("The value table holds no redemption dates. Use "
                           "Update Values… to add the Treasury's value files."));
    }
}

bool RedemptionDateWindow::acceptsRedemptionDate(int year, int month) const {
    const RedemptionMonth chosen{year, month};
    if (month < 1 || month > 12) {
        return false;
    }
    return holdsRedemptionMonth(redemptionMonths_, year, month) ||
           (lastProjected_ && chosen > redemptionMonths_.back() && chosen <= *lastProjected_);
}

void RedemptionDateWindow::applyChosenMonth() {
    WindowHost* view = host();
    if (view == nullptr) {
        close();
        return;
    }
    const int month = monthBox_->currentIndex() + 1;
    const bool hasYear = yearBox_->currentIndex() >= 0;
    const std::string yearText = hasYear ? yearBox_->currentText().toStdString() : std::string();
    const int year = intValueOfText(yearText);
    if (!hasYear || !acceptsRedemptionDate(year, month)) {
        // Not an error: the month is a real one, the table only lacks its values for now.
        if (redemptionMonths_.empty() && !tableProblem_.empty()) {
            view->services().showErrorAlert("Value Table Damaged", tableProblem_);
            return;
        }
        std::string refusal = unsupportedRedemptionDateMessage(
            redemptionMonths_,
            hasYear ? std::optional<RedemptionMonth>(RedemptionMonth{year, month}) : std::nullopt);
        if (lastProjected_) {
            refusal += " Later dates up to " + lastProjected_->name() +
                       " can be chosen too: " + "their values are projected.";
        }
        view->services().showInformationAlert("No Values for That Month", refusal);
        return;
    }
    view->setRedemptionMonth({year, month});
    // The next start of the application begins with this month while the table holds it.
    rememberRedemptionMonth({year, month});
    close();
}

void RedemptionDateWindow::keyPressEvent(QKeyEvent* event) {
    // Only keys that no box or list took come here: an open month or year list takes Escape
    // (closing the list) and Return (choosing its item) itself.
    if (event->matches(QKeySequence::Cancel)) {
        cancel();
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        applyChosenMonth();
    } else {
        TaskWindow::keyPressEvent(event);
    }
}

void RedemptionDateWindow::cancel() {
    close();
}
