// The value report's window over its snapshot: the columns, the rows, values that follow the
// main view's date and bonds, the portfolio it was opened for, and bonds the value table marks
// invalid, listed with the others and named in one alert as it opens.

#include "store/BondDatabase.h"
#include "support/TempDir.h"
#include "support/gui/AppHarness.h"
#include "valuation/ValueSources.h"
#include "valuation/ui/ReportWindow.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

// A value table covering EE bonds issued in June 2001, at June and July 2009; bonds issued in
// January 2002 have no value (six spaces) at June 2009.
PlistDictRef smallValueTable() {
    auto leaf = [](std::string text) { return PlistValue(std::move(text)); };
    auto dict = [](std::initializer_list<std::pair<std::string, PlistValue>> entries) {
        auto d = PlistDict::create();
        for (const auto& [key, value] : entries) {
            d->set(key, value);
        }
        return PlistValue(d);
    };
    PlistValue june2009 = dict({{"2001", dict({{"June", leaf("002712")}})},
                                {"2002", dict({{"January", leaf("      ")}})}});
    PlistValue july2009 = dict({{"2001", dict({{"June", leaf("003000")}})}});
    PlistValue table = dict({{"EE", dict({{"2009", dict({{"06", june2009}, {"07", july2009}})}})}});
    return table.dict();
}

class ReportWindowTest : public ::testing::Test {
  protected:
    void open(const std::vector<TestBond>& bonds,
              std::string dateText = "2009-06-15 10:03:07 +0000") {
        app = std::make_unique<AppHarness>(std::vector<TestPortfolio>{{"Savings", bonds}},
                                           std::move(dateText));
        app->useValueTable(smallValueTable());
        app->view().controller().setOpenPortfolio("Savings");
        report = new ReportWindow(app->view().controller());
    }
    // As the main window's command opens it, so that it follows the main window's changes.
    ReportWindow* openThroughHost(const std::string& portfolio) {
        app->view().controller().setOpenPortfolio(portfolio);
        app->view().showValueReport();
        settle();
        return app->openWindows<ReportWindow>().back();
    }
    QString cell(int row, int column) const {
        return report->tableView()->model()->index(row, column).data().toString();
    }
    // What a redraw asks: every cell of every row.
    void redraw() const {
        QAbstractItemModel* model = report->tableView()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                (void)model->index(row, column).data();
            }
        }
    }

    std::unique_ptr<AppHarness> app;
    QPointer<ReportWindow> report;
};

constexpr int kCurrentValue = 5;
constexpr int kFaceValue = 2;
constexpr int kIssueYear = 3;

} // namespace

TEST_F(ReportWindowTest, ShowsTheSixColumnsThenTheOwnersUnderTitlesThatStayWhileRowsScroll) {
    open({{"A1", "EE", "100", "2001", "June"}});
    report->open();
    QAbstractItemModel* model = report->tableView()->model();
    ASSERT_EQ(model->columnCount(), 20);
    // The kind and the registration follow the owner's figures, hidden until asked for.
    for (int column = 14; column < 20; ++column) {
        EXPECT_TRUE(report->tableView()->isColumnHidden(column)) << column;
    }
    EXPECT_EQ(model->headerData(14, Qt::Horizontal).toString(), "Kind");
    const char* identifiers[] = {"Serial",     "Type",        "Face Value",
                                 "Issue Year", "Issue Month", "Current Value"};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), identifiers[column]);
        EXPECT_EQ(cell(0, column), identifiers[column]) << "the heading row";
    }
    EXPECT_EQ(model->headerData(6, Qt::Horizontal).toString(), "Issue Price");
    EXPECT_EQ(model->headerData(10, Qt::Horizontal).toString(), "Interest Rate");
    EXPECT_EQ(model->headerData(11, Qt::Horizontal).toString(), "Next Accrual");
    EXPECT_EQ(model->headerData(13, Qt::Horizontal).toString(), "Status");
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(cell(2, 0), "A1");
    EXPECT_EQ(cell(2, kFaceValue), "$100");
    EXPECT_EQ(cell(2, kCurrentValue), "$108.48");
    EXPECT_EQ(cell(2, 6), "$50.00");
    EXPECT_EQ(cell(3, 0), "");
    EXPECT_EQ(cell(4, 1), "Total:");
    EXPECT_EQ(cell(4, 4), "Total:");
    EXPECT_EQ(cell(4, kFaceValue), "$100.00");
    EXPECT_EQ(cell(4, kCurrentValue), "$108.48");

    // The titles are the header, outside the scrolled viewport; the heading row is not shown.
    QTableView* table = report->tableView();
    EXPECT_TRUE(table->horizontalHeader()->isVisible());
    EXPECT_FALSE(table->viewport()->isAncestorOf(table->horizontalHeader()));
    EXPECT_TRUE(table->isRowHidden(0));
    report->reloadData();
    EXPECT_TRUE(table->isRowHidden(0)) << "still hidden after the rows are asked for anew";
    EXPECT_FALSE(report->summaryLabel()->text().isEmpty());
}

TEST_F(ReportWindowTest, BondRowsCanBeSelectedAndCtrlCCopiesThemAsTabSeparatedText) {
    open({{"A1", "EE", "100", "2001", "June"}, {"A2", "EE", "50", "2001", "June"}});
    report->open();
    settle();
    QTableView* table = report->tableView();
    for (int row : {0, 1, 4}) {
        EXPECT_FALSE(table->model()->flags(table->model()->index(row, 0)) & Qt::ItemIsSelectable)
            << row;
    }
    table->selectRow(3);
    table->setFocus();
    QApplication::clipboard()->clear();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(table, &copy);
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << QApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(lines[0].startsWith("Serial\tType\tFace Value\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("A2\tEE\t$50\t2001\tJune\t$54.24\t$25.00\t"))
        << lines[1].toStdString();
}

TEST_F(ReportWindowTest, HiddenOwnerColumnsStayHiddenInTheNextReport) {
    QSettings().remove("report/hiddenColumns");
    open({{"A1", "EE", "100", "2001", "June"}});
    // The owner's figures' last; the kind and the registration follow, hidden at first.
    const auto statusItem = [](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->text() == "Status") {
                return action;
            }
        }
        return static_cast<QAction*>(nullptr);
    };
    QAction* status = statusItem(report->columnsMenu());
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(report->columnsMenu()->actions().back()->isChecked());
    status->setChecked(false);
    EXPECT_TRUE(report->tableView()->isColumnHidden(13));
    EXPECT_FALSE(report->tableView()->isColumnHidden(12));

    auto* next = new ReportWindow(app->view().controller());
    next->setAttribute(Qt::WA_DeleteOnClose);
    EXPECT_TRUE(next->tableView()->isColumnHidden(13));
    ASSERT_NE(statusItem(next->columnsMenu()), nullptr);
    EXPECT_FALSE(statusItem(next->columnsMenu())->isChecked());
    next->close();
    QSettings().remove("report/hiddenColumns");
}

TEST_F(ReportWindowTest, TheLatestMonthOfTheTableIsNamedAsSuchInTheCaption) {
    open({{"A1", "EE", "100", "2001", "June"}}, "2026-12-07 08:00:00 +0100");
    report->close();
    report = openThroughHost("Savings");
    app->view().controller().setRedemptionMonth({2009, 7});
    settle();
    // Today lies past July 2009, the last month of this table.
    const QString caption = report->findChild<QLabel*>("dateLabel")->text();
    EXPECT_TRUE(caption.startsWith("Values at the redemption date July 2009, the latest month the "
                                   "table holds; today is December 2026. Add newer values"))
        << caption.toStdString();
    EXPECT_TRUE(caption.contains("Update Values")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith(QString::fromStdString(monthValueSourceText({2009, 7}, true))))
        << caption.toStdString();

    // Any other month is a sentence of its own.
    app->view().controller().setRedemptionMonth({2009, 6});
    settle();
    EXPECT_TRUE(report->findChild<QLabel*>("dateLabel")
                    ->text()
                    .startsWith("Values at the redemption date June 2009. Values of this month"));
    // A month after the table is projected, and says from where.
    app->view().controller().setRedemptionMonth({2009, 8});
    settle();
    EXPECT_EQ(report->findChild<QLabel*>("dateLabel")->text(),
              "Values at the redemption date August 2009, projected (~): rates in force in July "
              "2009 held unchanged.");
}

TEST_F(ReportWindowTest, AnEmptyPortfolioShowsFourRows) {
    open({});
    report->open();
    ASSERT_EQ(report->tableView()->model()->rowCount(), 4);
    EXPECT_EQ(cell(3, kFaceValue), "$0.00");
    EXPECT_EQ(cell(3, kCurrentValue), "$0.00");
}

TEST_F(ReportWindowTest, BondsAreShownInIssueDateOrder) {
    open({{"Late", "EE", "50", "2001", "June"}, {"Early", "EE", "50", "1999", "March"}});
    report->open();
    EXPECT_EQ(cell(2, 0), "Early");
    EXPECT_EQ(cell(3, 0), "Late");
}

TEST_F(ReportWindowTest, ATitleClickSortsTheBondRowsByValueAgainTheOtherWayTotalsStayLast) {
    open({{"A1", "EE", "100", "2001", "June"},
          {"A2", "EE", "50", "2001", "June"},
          {"B", "EE", "1000", "2001", "June"},
          {"Old", "EE", "50", "1999", "March"}});
    report->open();
    settle();
    QHeaderView* header = report->tableView()->horizontalHeader();
    auto clickTitle = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 4, header->height() / 2});
    };
    auto serials = [this] {
        QStringList shown;
        for (int row = 2; row < 6; ++row) {
            shown << cell(row, 0);
        }
        return shown.join(' ');
    };
    EXPECT_EQ(serials(), "Old A1 A2 B") << "issue-date order at first";
    clickTitle(kCurrentValue);
    // Old has no value in this table ("no value"): last both ways.
    EXPECT_EQ(serials(), "A2 A1 B Old");
    clickTitle(kCurrentValue);
    EXPECT_EQ(serials(), "B A1 A2 Old");
    EXPECT_EQ(cell(7, 1), "Total:") << "the totals stay last";
    EXPECT_EQ(cell(7, kCurrentValue), "$1247.52");
    clickTitle(kIssueYear);
    EXPECT_EQ(serials(), "Old A1 A2 B");
    clickTitle(kIssueYear);
    EXPECT_EQ(serials(), "A1 A2 B Old");
    EXPECT_TRUE(report->tableView()->isRowHidden(0));

    // Export follows the order shown, and the status line says where it went.
    TempDir out;
    const std::string path = (out / "sorted.csv").string();
    app->services.answerSaveFile(path);
    report->exportButton()->click();
    std::ifstream in(path);
    const std::string csv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_LT(csv.find("\r\nB,"), csv.find("\r\nOld,")) << csv;
    EXPECT_LT(csv.find("\r\nA1,"), csv.find("\r\nB,")) << csv;
    EXPECT_EQ(report->statusLabel()->text(), QString::fromStdString("Exported to " + path + "."));
}

TEST_F(ReportWindowTest, ColumnsFitTheirContentAndTheWindowFitsTheColumnsWithinTheScreen) {
    QSettings().setValue("report/hiddenColumns",
                         QStringList{"Issue Price", "Interest", "Interest This Year",
                                     "Yield Since Issue", "Status"});
    open({{"A1", "EE", "100", "2001", "June"}});
    report->open();
    settle();
    QTableView* table = report->tableView();
    QHeaderView* header = table->horizontalHeader();
    const QFontMetrics metrics(header->font());
    // Type and Issue Year are as wide as their titles, which are wider than their cells.
    for (int column : {1, kIssueYear}) {
        EXPECT_LE(table->columnWidth(column), header->sectionSizeHint(column)) << column;
        EXPECT_LT(table->columnWidth(column),
                  metrics.horizontalAdvance(cell(0, column)) + 3 * metrics.height())
            << column;
    }
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0) << "every shown column is seen whole";
    EXPECT_LT(report->width(), report->screen()->availableGeometry().width());

    const int fiveHidden = report->width();

    // All twelve: wider.
    QSettings().remove("report/hiddenColumns");
    report->close();
    open({{"A1", "EE", "100", "2001", "June"}});
    report->open();
    settle();
    EXPECT_GT(report->width(), fiveHidden);

    // A serial too long for the screen: the window and its frame take the screen's whole width,
    // no more.
    report->close();
    open({{std::string(200, 'M'), "EE", "100", "2001", "June"}});
    report->open();
    EXPECT_EQ(report->frameGeometry().width(), report->screen()->availableGeometry().width());
}

TEST_F(ReportWindowTest, AReportOpenWhileTheDateChangesIsComputedOnceForTheNewDate) {
    open({{"A1", "EE", "100", "2001", "June"}});
    report->close();
    report = openThroughHost("Savings");
    EXPECT_EQ(cell(2, kCurrentValue), "$108.48");
    // The report of the open portfolio is the main window's: computed once for both.
    const auto computations = [this] { return app->session().snapshotComputations(); };
    const long computed = computations();
    // The date window sets the month and the year in one change: one computation.
    app->view().controller().setRedemptionMonth({2009, 7});
    settle();
    EXPECT_EQ(computations(), computed + 1);
    EXPECT_EQ(cell(2, kCurrentValue), "$120.00");
    EXPECT_EQ(cell(3 + 1, kCurrentValue), "$120.00");
    // A date the table does not cover shows no value, without a message.
    app->view().controller().setRedemptionMonth({2011, 7});
    settle();
    EXPECT_EQ(cell(2, kCurrentValue), "no value");
    EXPECT_TRUE(app->services.alerts.empty());
}

TEST_F(ReportWindowTest, AReportStaysWithItsPortfolioAndFollowsItsBonds) {
    app = std::make_unique<AppHarness>(std::vector<TestPortfolio>{
        {"A", {{"A1", "EE", "100", "2001", "June"}}}, {"B", {{"B1", "EE", "50", "2001", "June"}}}});
    app->useValueTable(smallValueTable());
    report = openThroughHost("A");
    app->view().controller().setOpenPortfolio("B");
    ASSERT_TRUE(app->database().addBond("B", Bond("B2", "EE", "25", "2001", "June")));
    settle();
    EXPECT_EQ(report->windowTitle(), "Value Report - A");
    ASSERT_EQ(report->tableView()->model()->rowCount(), 5);
    EXPECT_EQ(cell(2, 0), "A1");
    EXPECT_EQ(cell(4, kCurrentValue), "$108.48");

    ASSERT_TRUE(app->database().addBond("A", Bond("A2", "EE", "25", "2001", "June")));
    settle();
    ASSERT_EQ(report->tableView()->model()->rowCount(), 6);
    EXPECT_EQ(cell(5, kCurrentValue), "$135.60");
}

TEST_F(ReportWindowTest, InvalidBondsAreListedAndNamedInOneAlertOnceAsTheWindowOpens) {
    // Forty bonds ahead keep the invalid ones off the screen; the alert names them all the same.
    std::vector<TestBond> bonds(40, {"GOOD", "EE", "100", "2001", "June"});
    bonds.push_back({"BAD1", "EE", "100", "2002", "January"});
    bonds.push_back({"BAD2", "EE", "100", "2002", "January"});
    open(bonds);
    report->tableView()->resize(400, 100);
    redraw();
    EXPECT_TRUE(app->services.alerts.empty()) << "no alert from inside a cell request";
    report->open();
    EXPECT_TRUE(app->services.alerts.empty()) << "the alert waits for the event loop";
    EXPECT_TRUE(report->isVisible()) << "the other bonds' values are shown";
    EXPECT_EQ(cell(42, kCurrentValue), "no value");
    EXPECT_EQ(cell(45, kCurrentValue), "$4339.20") << "the forty others, and only they";
    // The report is in front as the alert comes; answered, the alert hands the keyboard back to
    // the window it came from, the main window here. The report is in front all the same.
    app->services.setDuringAlert([this] {
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(&app->window());
    });
    settle();
    ASSERT_EQ(app->services.alerts.size(), 1u);
    EXPECT_EQ(app->services.alerts[0].title, "Invalid Issue Dates");
    EXPECT_EQ(app->services.alerts[0].message, invalidBondsMessage(report->report().snapshot()));
    EXPECT_EQ(QApplication::activeWindow(), report.data());
    // A later computation, and opening it again, list them still but name them no more.
    ASSERT_TRUE(app->database().addBond("Savings", Bond("BAD3", "EE", "25", "2002", "January")));
    settle();
    report->open();
    settle();
    EXPECT_EQ(cell(44, 0), "BAD3");
    EXPECT_EQ(app->services.alerts.size(), 1u);
    EXPECT_FALSE(report.isNull());
}

TEST_F(ReportWindowTest, AReportThatClosesBeforeItsAlertRunsShowsNothingAndCrashesNothing) {
    open({{"BAD1", "EE", "100", "2002", "January"}});
    report->open();
    redraw();
    report->close();
    settle();
    EXPECT_TRUE(report.isNull());
    // Either the alert ran before the window went, or it was dropped with it; never twice.
    EXPECT_LE(app->services.alerts.size(), 1u);
}
