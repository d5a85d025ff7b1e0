// The "Value Over Time" window over the shipped table: opened by its shortcut for the open
// portfolio, one line piece per run of months with a worth, the markers, axis labels that ignore
// the locale, and a change of month that moves its marker without computing the worth again.

#include "app/BondListPanel.h"
#include "app/ValueChartView.h"
#include "app/ValueChartWindow.h"
#include "support/gui/AppHarness.h"

#include <QAbstractSeries>
#include <QApplication>
#include <QChart>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QLocale>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
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

TEST(ValueChartWindow, OpensForTheOpenPortfolioAndFollowsTheMonth) {
    // Axis labels read "$1234" even where the locale writes "1.234".
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    AppHarness app({{"Savings",
                     {{"E80", "E", "100", "1980", "June"},
                      {"I01", "I", "100", "2001", "May"},
                      {"I20", "I", "1000", "2020", "March"}}}},
                   "2026-06-15 10:03:07 +0000");
    app.view().controller().setOpenPortfolio("Savings");
    QApplication::setActiveWindow(&app.window());
    QTest::keyClick(&app.window(), Qt::Key_T, Qt::ControlModifier);
    settle();
    const std::vector<ValueChartWindow*> windows = app.openWindows<ValueChartWindow>();
    ASSERT_EQ(windows.size(), 1U);
    ValueChartView* view = windows[0]->chartView();
    EXPECT_TRUE(view->focusPolicy() & Qt::TabFocus);
    QChart* chart = view->chart();

    const std::vector<WorthRun> runs = view->portfolioWorth().runs();
    const std::vector<QLineSeries*> pieces = seriesNamed(chart, "portfolio");
    ASSERT_EQ(pieces.size(), runs.size());
    ASSERT_GT(runs.size(), 1U) << "the table lacks the E bond in months of 2009 and 2010";
    for (std::size_t index = 0; index < runs.size(); ++index) {
        EXPECT_EQ(static_cast<std::size_t>(pieces[index]->count()), runs[index].count);
    }
    EXPECT_EQ(seriesNamed(chart, "finalMaturity").size(), 1U) << "only June 2010 is in range";
    EXPECT_TRUE(seriesNamed(chart, "selection").empty());
    // The bond selected in the main window's list gets a line of its own.
    app.window().bondList()->tableView()->selectRow(2);
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

    const long computed = view->computationCount();
    ASSERT_EQ(seriesNamed(chart, "shownMonth").size(), 1U);
    EXPECT_EQ(seriesNamed(chart, "shownMonth")[0]->name(), "Shown month: June 2026");
    app.view().controller().setRedemptionMonth(YearMonth{2026, 1});
    ASSERT_EQ(seriesNamed(chart, "shownMonth").size(), 1U);
    EXPECT_EQ(seriesNamed(chart, "shownMonth")[0]->name(), "Shown month: January 2026");
    EXPECT_EQ(view->computationCount(), computed);
    QLocale::setDefault(QLocale::c());
}

} // namespace
