#include "app/ValueChartWindow.h"

#include "app/ApplicationController.h"
#include "app/ValueChartView.h"
#include "store/BondDatabase.h"
#include "valuation/OwnerFigures.h"
#include "valuation/PortfolioBonds.h"

#include <QChart>
#include <QLabel>
#include <QVBoxLayout>

ValueChartWindow::ValueChartWindow(ApplicationController& controller)
    : TaskWindowController(controller), controller_(controller), chart_(new ValueChartView(this)),
      note_(new QLabel(this)) {
    setObjectName("valueChartWindow");
    setWindowTitle(tr("Value Over Time"));
    note_->setWordWrap(true);
    note_->setText(tr("The line leaves out every month in which a bond already issued has no "
                      "value in the value table, rather than show a smaller total."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 1);
    layout->addWidget(note_);
    resize(820, 540);

    connect(&controller, &ApplicationController::openPortfolioChanged, this,
            &ValueChartWindow::followPortfolio);
    connect(&controller, &ApplicationController::snapshotChanged, this,
            &ValueChartWindow::followPortfolio);
    connect(&controller, &ApplicationController::redemptionMonthChanged, this,
            &ValueChartWindow::followShownMonth);
    followPortfolio();
    followShownMonth();
}

void ValueChartWindow::followPortfolio() {
    const BondDatabase* store = controller_.bondDatabase();
    const std::optional<std::string> open = controller_.openPortfolio();
    if (store == nullptr || !open || !store->hasPortfolio(*open)) {
        chart_->setBonds({}, nullptr);
        chart_->chart()->setTitle(tr("No portfolio is open."));
        return;
    }
    chart_->setBonds(bondsOfPortfolio(*store, *open), controller_.summaryTable());
    chart_->chart()->setTitle(tr("Worth of %1 by month").arg(QString::fromStdString(*open)));
}

void ValueChartWindow::followShownMonth() {
    chart_->setShownMonth(controller_.redemptionMonth());
}
