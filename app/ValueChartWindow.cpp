#include "app/ValueChartWindow.h"

#include "app/ValueChartView.h"
#include "app/WindowHost.h"
#include "store/BondDatabase.h"

#include <QChart>
#include <QLabel>
#include <QVBoxLayout>

ValueChartWindow::ValueChartWindow(WindowHost& host)
    : TaskWindowController(host), session_(host.session()), chart_(new ValueChartView(this)),
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

    connect(&session_, &Session::openPortfolioChanged, this, [this] { followPortfolio(); });
    connect(&session_, &Session::changed, this,
            [this](const std::string& portfolio, unsigned what) {
                if (session_.openPortfolio() == portfolio) {
                    // A new month leaves every bond's worth in every month as it was.
                    followPortfolio((what & ~unsigned(Session::MonthChanged)) == 0);
                }
            });
    connect(&session_, &Session::redemptionMonthChanged, this, &ValueChartWindow::followShownMonth);
    followPortfolio();
    followShownMonth();
}

void ValueChartWindow::followPortfolio(bool sameBonds) {
    const std::optional<std::string>& open = session_.openPortfolio();
    if (!open || !session_.store().hasPortfolio(*open)) {
        chart_->setSnapshot(nullptr, nullptr);
        chart_->chart()->setTitle(tr("No portfolio is open."));
        return;
    }
    chart_->setSnapshot(session_.snapshot(*open), session_.valueTable(), sameBonds);
    chart_->chart()->setTitle(tr("Worth of %1 by month").arg(QString::fromStdString(*open)));
}

void ValueChartWindow::followShownMonth() {
    chart_->setShownMonth(session_.redemptionMonth());
}
