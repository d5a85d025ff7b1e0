// The "Value Over Time" window over the shipped table: opened by its shortcut for the open
// portfolio, one line piece per run of months with a worth, the markers, axis labels that ignore
// the locale, and a change of month that moves its marker without computing the worth again; the
// selection on a scale of its own, the read-out of the month under the pointer, the maturity
// marks' labels grouped where dense, and the note naming the bond that leaves months out; the
// projected months after the table dashed up to the horizon the owner sets.

#include "app/BondListPanel.h"
#include "app/ValueChartView.h"
#include "app/ValueChartWindow.h"
#include "store/BondDatabase.h"
#include "support/gui/AppHarness.h"

#include <QAbstractSeries>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QDeadlineTimer>
#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::vector<QLineSeries*> seriesNamed(QChart* chart, const QString& objectName) {
    std::vector<QLineSeries*> found;
    for (QAbstractSeries* series : chart->series()) {
        if (series->objectName() == objectName) {
            found.push_back(qobject_cast<QLineSeries*>(series));
        }
    }
    return found;
}

template <typename Axis> Axis* axisNamed(QChart* chart, const QString& objectName) {
    for (QAbstractAxis* axis : chart->axes()) {
        if (axis->objectName() == objectName) {
            return qobject_cast<Axis*>(axis);
        }
    }
    return nullptr;
}

// The worth is computed away from the window; it is drawn when the loop runs.
void waitForWorth(ValueChartView* view) {
    // The session announces a change on its next turn of the event loop.
    QCoreApplication::processEvents();
    const QDeadlineTimer deadline(30000);
    while (view->computing() && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    ASSERT_FALSE(view->computing());
}

// The pointer moved over the month, in the middle of the plot's height.
void pointAtMonth(ValueChartView* view, const YearMonth& month) {
    QChart* chart = view->chart();
    const QCategoryAxis* months = axisNamed<QCategoryAxis>(chart, "months");
    const QRectF plot = chart->plotArea();
    const double position = month.year * 12.0 + month.month - 1;
    const QPointF point(plot.left() + (position - months->min()) / (months->max() - months->min()) *
                                          plot.width(),
                        plot.center().y());
    const QPoint at = view->mapFromScene(chart->mapToScene(point));
    QMouseEvent event(QEvent::MouseMove, QPointF(at), QPointF(view->viewport()->mapToGlobal(at)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &event);
}

ValueChartView* openChart(AppHarness& app) {
    app.view().controller().setOpenPortfolio("Savings");
    QApplication::setActiveWindow(&app.window());
    QTest::keyClick(&app.window(), Qt::Key_T, Qt::ControlModifier);
    settle();
    const std::vector<ValueChartWindow*> windows = app.openWindows<ValueChartWindow>();
    if (windows.size() != 1U) {
        ADD_FAILURE() << windows.size() << " chart windows";
        return nullptr;
    }
    windows[0]->resize(900, 600);
    waitForWorth(windows[0]->chartView());
    settle();
    return windows[0]->chartView();
}

QLabel* gapNote(ValueChartView* view) {
    return view->window()->findChild<QLabel*>("gapNote");
}

TEST(ValueChartWindow, OpensForTheOpenPortfolioAndFollowsTheMonth) {
    // Axis labels read "$1234" even where the locale writes "1.234".
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    AppHarness app({{"Savings",
                     {{"E80", "E", "100", "1980", "June"},
                      {"I01", "I", "100", "2001", "September"},
                      {"I20", "I", "1000", "2020", "March"}}}},
                   "2026-06-15 10:03:07 +0000");
    app.view().controller().setOpenPortfolio("Savings");
    QApplication::setActiveWindow(&app.window());
    QTest::keyClick(&app.window(), Qt::Key_T, Qt::ControlModifier);
    settle();
    const std::vector<ValueChartWindow*> windows = app.openWindows<ValueChartWindow>();
    ASSERT_EQ(windows.size(), 1U);
    ValueChartView* view = windows[0]->chartView();
    waitForWorth(view);
    EXPECT_TRUE(view->focusPolicy() & Qt::TabFocus);
    QChart* chart = view->chart();

    // The line runs on projected, dashed, to the latest final maturity, March 2050; it goes on
    // from the table's last month unbroken.
    const WorthOverTime& worth = view->portfolioWorth();
    ASSERT_EQ(worth.months.back().month, (YearMonth{2050, 3}));
    EXPECT_TRUE(worth.months.back().projected);
    EXPECT_FALSE(worth.at({2026, 11})->projected);
    const std::vector<WorthRun> runs = worth.runs();
    const std::vector<QLineSeries*> pieces = seriesNamed(chart, "portfolio");
    ASSERT_EQ(pieces.size(), runs.size() + 1);
    ASSERT_GT(runs.size(), 1U) << "the table lacks the E bond in months of 2009 and 2010";
    for (std::size_t index = 0; index + 1 < runs.size(); ++index) {
        EXPECT_EQ(static_cast<std::size_t>(pieces[index]->count()), runs[index].count);
        EXPECT_EQ(pieces[index]->pen().style(), Qt::SolidLine);
    }
    const auto tableMonths =
        static_cast<std::size_t>(worth.at({2026, 11}) - &worth.months[runs.back().first] + 1);
    EXPECT_EQ(static_cast<std::size_t>(pieces[runs.size() - 1]->count()), tableMonths);
    EXPECT_EQ(pieces.back()->pen().style(), Qt::DashLine);
    EXPECT_EQ(static_cast<std::size_t>(pieces.back()->count()),
              runs.back().count - tableMonths + 1);
    EXPECT_EQ(windows[0]->findChild<QLabel*>("projectionNote")->text(),
              "The dashed line after November 2026 is projected: rates in force in November "
              "2026 held unchanged.");
    EXPECT_EQ(axisNamed<QCategoryAxis>(chart, "maturities")->categoriesLabels(),
              (QStringList{"June 2010", "September 2031", "March 2050"}));
    pointAtMonth(view, {2031, 9});
    EXPECT_TRUE(view->readOutText().contains(" (projected)\nFinal maturity: 1 bond"))
        << view->readOutText().toStdString();
    // The owner sets the horizon; "none" draws the table's months alone.
    windows[0]->horizonBox()->setValue(2040);
    waitForWorth(view);
    EXPECT_EQ(view->portfolioWorth().months.back().month, (YearMonth{2040, 12}));
    windows[0]->horizonBox()->setValue(windows[0]->horizonBox()->minimum());
    waitForWorth(view);
    EXPECT_EQ(view->portfolioWorth().months.back().month, (YearMonth{2026, 11}));
    EXPECT_EQ(windows[0]->horizonBox()->text(), "none");
    EXPECT_TRUE(windows[0]->findChild<QLabel*>("projectionNote")->text().isEmpty());
    EXPECT_TRUE(seriesNamed(chart, "selection").empty());
    // The bond selected in the main window's list gets a line of its own.
    app.window().bondList()->tableView()->selectRow(2);
    waitForWorth(view);
    EXPECT_EQ(seriesNamed(chart, "selection").size(), 1U);

    windows[0]->resize(900, 600);
    settle();
    QStringList amounts;
    for (QGraphicsItem* item : view->scene()->items()) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible()) {
            amounts << text->toPlainText();
        }
    }
    EXPECT_FALSE(amounts.filter(QRegularExpression("^\\$[0-9]{4,}$")).isEmpty())
        << amounts.join('|').toStdString();

    // Another month moves the mark only: no worth is computed or drawn anew.
    QSignalSpy drawn(view, &ValueChartView::worthDrawn);
    ASSERT_EQ(seriesNamed(chart, "shownMonth").size(), 1U);
    EXPECT_EQ(seriesNamed(chart, "shownMonth")[0]->name(), "Shown month: June 2026");
    app.view().controller().setRedemptionMonth(YearMonth{2026, 1});
    EXPECT_FALSE(view->computing());
    ASSERT_EQ(seriesNamed(chart, "shownMonth").size(), 1U);
    EXPECT_EQ(seriesNamed(chart, "shownMonth")[0]->name(), "Shown month: January 2026");
    QCoreApplication::processEvents();
    EXPECT_EQ(drawn.count(), 0);
    QLocale::setDefault(QLocale::c());
}

TEST(ValueChartWindow, ScalesTheSelectionApartAndReadsOutTheMonthUnderThePointer) {
    AppHarness app(
        {{"Savings",
          {{"I10", "I", "10000", "2010", "January"}, {"E80", "E", "25", "1980", "April"}}}},
        "2026-06-15 10:03:07 +0000");
    ValueChartView* view = openChart(app);
    ASSERT_NE(view, nullptr);
    QChart* chart = view->chart();
    auto* portfolioAxis = axisNamed<QValueAxis>(chart, "worth");
    auto* selectionAxis = axisNamed<QValueAxis>(chart, "selectionWorth");
    EXPECT_FALSE(selectionAxis->isVisible());

    view->setSelection({"E80"});
    waitForWorth(view);
    const std::vector<QLineSeries*> pieces = seriesNamed(chart, "selection");
    ASSERT_FALSE(pieces.empty());
    EXPECT_TRUE(pieces[0]->attachedAxes().contains(selectionAxis));
    EXPECT_TRUE(selectionAxis->isVisible());
    // $25 of face against $10,000: on the portfolio's scale the line would lie on the bottom.
    double highest = 0.0;
    for (const QLineSeries* piece : pieces) {
        for (const QPointF& point : piece->points()) {
            highest = std::max(highest, point.y());
        }
    }
    EXPECT_GT(highest, selectionAxis->max() / 2.0);
    EXPECT_LT(selectionAxis->max(), portfolioAxis->max() / 100.0);

    pointAtMonth(view, {2020, 6});
    const auto amountAt = [](const WorthOverTime& worth, const YearMonth& month) {
        return QString::fromStdString(amountText(*worth.worthAt(month)));
    };
    const auto e80Bond = std::find_if(view->bonds().begin(), view->bonds().end(),
                                      [](const Bond& bond) { return bond.serial == "E80"; });
    ASSERT_NE(e80Bond, view->bonds().end());
    const WorthOverTime e80 = worthOverTime({*e80Bond}, app.session().valueTable().get());
    EXPECT_EQ(view->readOutText(),
              "June 2020\nPortfolio: " + amountAt(view->portfolioWorth(), {2020, 6}) +
                  "\nSelected bonds: " + amountAt(e80, {2020, 6}));
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_TRUE(view->readOutText().startsWith("July 2020\nPortfolio: " +
                                               amountAt(view->portfolioWorth(), {2020, 7})));
    // In a month the table lacks the E bond, neither line has a worth, and the read-out says why.
    pointAtMonth(view, {2009, 7});
    EXPECT_EQ(view->readOutText(), "July 2009\nPortfolio: not known: 1 bond has no value\n"
                                   "Selected bonds: not known: 1 bond has no value");
}

TEST(ValueChartWindow, GroupsDenseMaturityMarksAndNamesTheBondThatLeavesMonthsOut) {
    // Two EE bonds of each month from December 1987 to February 1993, all valued in every month
    // of the table: 63 final maturities, December 2017 to February 2023.
    std::vector<TestBond> bonds;
    for (YearMonth issue{1987, 12}; issue <= YearMonth{1993, 2}; issue = issue.plusMonths(1)) {
        for (const char* copy : {"a", "b"}) {
            bonds.push_back({issue.keyText() + copy, "EE", "100", std::to_string(issue.year),
                             std::string(monthName(issue.month))});
        }
    }
    AppHarness app({{"Savings", bonds}}, "2026-06-15 10:03:07 +0000");
    ValueChartView* view = openChart(app);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(gapNote(view)->isVisible());

    QChart* chart = view->chart();
    auto* maturities = axisNamed<QCategoryAxis>(chart, "maturities");
    const QStringList labels = maturities->categoriesLabels();
    EXPECT_EQ(seriesNamed(chart, "finalMaturity").size(), static_cast<std::size_t>(labels.size()));
    EXPECT_LT(labels.size(), 63) << labels.join('|').toStdString();
    // Every bond is counted under one label, and no label runs into the next.
    const QRegularExpression count("\\((\\d+) bonds\\)$");
    const QFontMetricsF metrics(maturities->labelsFont());
    const double pixelsPerMonth =
        chart->plotArea().width() / (maturities->max() - maturities->min());
    int counted = 0;
    for (int index = 0; index < labels.size(); ++index) {
        const QRegularExpressionMatch match = count.match(labels[index]);
        counted += match.hasMatch() ? match.captured(1).toInt() : 1;
        if (index > 0) {
            const double room =
                (maturities->endValue(labels[index]) - maturities->endValue(labels[index - 1])) *
                pixelsPerMonth;
            EXPECT_GE(room, (metrics.horizontalAdvance(labels[index]) +
                             metrics.horizontalAdvance(labels[index - 1])) /
                                2.0)
                << labels.join('|').toStdString();
        }
    }
    EXPECT_EQ(counted, 126);

    // A bond the table holds no value for from December 2009 to May 2010 cuts the line short.
    app.database().appendBonds("Savings", {Bond("E80", "E", "100", "1980", "June")});
    waitForWorth(view);
    EXPECT_TRUE(gapNote(view)->isVisible());
    EXPECT_TRUE(gapNote(view)->text().contains(
        "E bond \"E80\", issued June 1980: no value from December 2009 to May 2010"))
        << gapNote(view)->text().toStdString();
}

} // namespace
