// The redemption date window: its boxes, the preselection of the main view's date, the months
// it accepts and refuses, and Cancel.

#include "app/BondListPanel.h"
#include "support/gui/AppHarness.h"
#include "valuation/ui/RedemptionDateWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// The refusal of a month (none: no year chosen), with the months the shipped table holds.
std::string refusal(const std::string& month = "that month") {
    return "The value table holds no values for " + month +
           ". It holds values from June 2009 to November 2026. To add values for other months, "
           "choose Update Values… with the Treasury's value files for them. Later dates up to "
           "November 2056 can be chosen too: their values are projected.";
}

RedemptionDateWindow* openWindow(AppHarness& app) {
    app.view().chooseRedemptionDate();
    return app.openWindows<RedemptionDateWindow>().back();
}

void choose(RedemptionDateWindow* window, int month, const QString& year) {
    window->monthBox()->setCurrentIndex(month - 1);
    window->yearBox()->setCurrentIndex(window->yearBox()->findText(year));
}

} // namespace

TEST(RedemptionDateWindow, OffersTheMonthsInCalendarOrderAndTheTableYears) {
    AppHarness app;
    auto* window = openWindow(app);
    ASSERT_EQ(window->monthBox()->count(), 12);
    EXPECT_EQ(window->monthBox()->itemText(0), "January");
    EXPECT_EQ(window->monthBox()->itemText(5), "June");
    EXPECT_EQ(window->monthBox()->itemText(11), "December");
    EXPECT_GE(window->yearBox()->findText("2009"), 0);
    EXPECT_GE(window->yearBox()->findText("2010"), 0);
    EXPECT_FALSE(window->monthBox()->isEditable());
    EXPECT_FALSE(window->yearBox()->isEditable());
}

TEST(RedemptionDateWindow, AnAcceptedMonthIsStoredInOneChange) {
    struct Case {
        int month;
        QString year;
        std::string stored;
    };
    for (const Case& c : {Case{6, "2009", "2009-06"}, Case{12, "2009", "2009-12"},
                          Case{1, "2010", "2010-01"}, Case{5, "2010", "2010-05"}}) {
        AppHarness app({}, "2026-03-01 00:00:00 +0000");
        QPointer<RedemptionDateWindow> window = openWindow(app);
        choose(window, c.month, c.year);
        // The summary is computed once, never at a month half changed.
        std::vector<std::string> changes;
        QObject::connect(&app.session(), &Session::redemptionMonthChanged, [&app, &changes] {
            changes.push_back(monthKey(app.view().controller().redemptionMonth()));
        });
        window->applyChosenMonth();
        settle();
        EXPECT_TRUE(app.services.alerts.empty());
        EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), c.stored);
        EXPECT_EQ(changes, std::vector<std::string>{c.stored});
        EXPECT_TRUE(window.isNull()) << "the window closed";
    }
}

TEST(RedemptionDateWindow, MonthsOutsideTheTableAreRefusedAndNothingIsStored) {
    for (const auto& [month, year, name] : {std::tuple{5, QString("2009"), "May 2009"},
                                            std::tuple{1, QString("2009"), "January 2009"},
                                            std::tuple{12, QString("2056"), "December 2056"}}) {
        AppHarness app({}, "2009-08-15 00:00:00 +0000");
        QPointer<RedemptionDateWindow> window = openWindow(app);
        choose(window, month, year);
        window->applyChosenMonth();
        settle();
        ASSERT_EQ(app.services.informationAlerts.size(), 1u);
        EXPECT_EQ(app.services.informationAlerts[0].title, "No Values for That Month");
        EXPECT_EQ(app.services.informationAlerts[0].message, refusal(name));
        EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2009-08");
        ASSERT_FALSE(window.isNull());
        EXPECT_TRUE(window->isVisible()) << "the window stays open for another choice";
    }
}

TEST(RedemptionDateWindow, OpensOnTheCurrentChoiceAndAYearOutsideTheBoxSelectsNothing) {
    AppHarness app({}, "2027-11-20 12:00:00 +0000");
    // A date outside the table and its projection, which start-up would have replaced.
    app.view().controller().setRedemptionMonth({2057, 11});
    auto* window = openWindow(app);
    EXPECT_EQ(window->monthBox()->currentIndex(), 10);
    EXPECT_EQ(window->yearBox()->currentIndex(), -1);
    window->applyChosenMonth();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u) << "no year chosen";
    EXPECT_EQ(app.services.informationAlerts[0].message, refusal());
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2057-11");

    choose(window, 9, "2009");
    window->applyChosenMonth();
    settle();
    auto* again = openWindow(app);
    EXPECT_EQ(again->monthBox()->currentText(), "September");
    EXPECT_EQ(again->yearBox()->currentText(), "2009");
}

TEST(RedemptionDateWindow, CancelChangesNothingEvenAfterARefusal) {
    AppHarness app({}, "2009-06-15 10:03:07 +0000");
    QPointer<RedemptionDateWindow> window = openWindow(app);
    EXPECT_EQ(window->monthBox()->currentIndex(), 5);
    EXPECT_EQ(window->yearBox()->currentText(), "2009");
    choose(window, 5, "2009");
    window->applyChosenMonth();
    ASSERT_EQ(app.services.informationAlerts.size(), 1u);
    choose(window, 8, "2009");
    window->cancel();
    settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(monthKey(app.view().controller().redemptionMonth()), "2009-06");
}

TEST(RedemptionDateWindow, EscapeInAnOpenListClosesTheListAndThenTheWindow) {
    AppHarness app({}, "2009-06-15 10:03:07 +0000");
    const std::optional<YearMonth> month = app.view().controller().redemptionMonth();
    QPointer<RedemptionDateWindow> window = openWindow(app);
    window->activateWindow();
    window->yearBox()->showPopup();
    settle();
    ASSERT_TRUE(window->yearBox()->view()->isVisible());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(window->yearBox()->view()->isVisible());
    ASSERT_FALSE(window.isNull()) << "the window stays open";
    EXPECT_TRUE(window->isVisible());

    window->activateWindow();
    settle();
    QTest::keyClick(window->monthBox(), Qt::Key_Escape);
    settle();
    EXPECT_TRUE(window.isNull()) << "a second Escape closes the window";
    EXPECT_EQ(app.view().controller().redemptionMonth(), month) << "and changes nothing";
}

TEST(RedemptionDateWindow, WithTheShippedTableTheAcceptedRangeRunsFromJune2009ToNovember2056) {
    AppHarness app;
    auto* window = openWindow(app);
    for (int year = 2008; year <= 2057; ++year) {
        for (int month = 0; month <= 13; ++month) {
            // The table's months to November 2026, then 30 years projected.
            const bool expected = (year == 2009 && month >= 6 && month <= 12) ||
                                  (year >= 2010 && year <= 2055 && month >= 1 && month <= 12) ||
                                  (year == 2056 && month >= 1 && month <= 11);
            EXPECT_EQ(window->acceptsRedemptionDate(year, month), expected) << year << "-" << month;
        }
    }
    ASSERT_EQ(window->yearBox()->count(), 48) << "the years the shipped table holds or projects";
    EXPECT_EQ(window->yearBox()->itemText(0), "2009");
    EXPECT_EQ(window->yearBox()->itemText(17), "2026");
    EXPECT_EQ(window->yearBox()->itemText(47), "2056");
}

TEST(RedemptionDateWindow, AProjectedMonthIsShownWithItsMarkAndCaption) {
    AppHarness app({{"Savings", {{"I01", "I", "100", "2001", "September"}}}},
                   "2026-12-07 08:00:00 +0100");
    app.view().controller().setOpenPortfolio("Savings");
    settle();
    EXPECT_EQ(app.window().bondList()->monthLabel()->text(),
              "Values for November 2026, the latest month the table holds; today is December "
              "2026");
    auto* window = openWindow(app);
    choose(window, 6, "2030");
    window->applyChosenMonth();
    settle();
    EXPECT_TRUE(app.services.informationAlerts.empty());
    EXPECT_EQ(app.window().bondList()->monthLabel()->text(),
              "Values for June 2030, projected (~): rates in force in November 2026 held "
              "unchanged");
    const QAbstractItemModel* list = app.window().bondList()->tableView()->model();
    QStringList values;
    for (int column = 0; column < list->columnCount(); ++column) {
        values << list->index(0, column).data().toString();
    }
    // The value and the interest.
    EXPECT_EQ(values.filter(QRegularExpression("^~\\$[0-9]+\\.[0-9]{2}$")).size(), 2)
        << values.join('|').toStdString();
    QSettings().remove("report/redemptionMonth");
}
