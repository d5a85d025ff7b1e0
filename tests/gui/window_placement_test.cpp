// Where windows open: wholly on their screen, frame included, the task windows centred on the
// main window, and the main window's first size within the screen.

#include "app/BondListPanel.h"
#include "app/LoadPortfolioWindowController.h"
#include "app/TaskWindowController.h"
#include "app/WindowPlacement.h"
#include "support/gui/AppHarness.h"

#include <QScreen>
#include <gtest/gtest.h>

TEST(WindowPlacement, AFrameCentredOnItsWindowLiesWhollyOnScreensOfEitherSize) {
    for (const QRect screen : {QRect(0, 0, 1440, 900), QRect(0, 0, 1024, 768)}) {
        // Open Portfolio and Edit Bonds, with openbox's frame, over a main window placed high,
        // low or partly beyond the screen's right edge.
        for (const QSize size : {QSize(422, 385), QSize(642, 545)}) {
            for (const QRect main : {QRect(130, 20, 1182, 745), QRect(130, 500, 1182, 745),
                                     QRect(600, 100, 1182, 745)}) {
                const QRect frame = frameCentredWithin(size, main, screen);
                EXPECT_TRUE(screen.contains(frame)) << screen.width() << " " << main.y();
                EXPECT_EQ(frame.size(), size);
            }
        }
        // Too large for the screen: as large as the screen.
        EXPECT_EQ(frameWithin(QRect(-50, 10, 2000, 1000), screen), screen);
    }
}

TEST(WindowPlacement, WindowsOpenWhollyOnTheScreenAndTheMainWindowFirstFitsIt) {
    AppHarness app({{"Family", {{"EE1", "EE", "100", "2001", "June"}}}});
    const QRect screen = app.window().screen()->availableGeometry();
    app.window().restoreSettings();
    settle();
    EXPECT_TRUE(screen.contains(app.window().frameGeometry()));
    EXPECT_EQ(app.window().width(),
              std::min(app.window().bondList()->widthForColumns(), screen.width() - 8));

    // The task windows centred on a small main window near the screen's upper left corner, as
    // far as the screen lets them be.
    app.view().controller().setOpenPortfolio("Family");
    app.window().setGeometry(100, 100, 300, 200);
    settle();
    app.view().openBondTableButtonPressed();
    app.view().editBondsButtonPressed();
    app.view().bondValueReportButtonPressed();
    settle();
    const std::vector<TaskWindowController*> windows = app.openWindows<TaskWindowController>();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(app.openWindows<LoadPortfolioWindowController>().front()->frameGeometry().center(),
              app.window().frameGeometry().center());
    for (QWidget* window : windows) {
        EXPECT_TRUE(screen.contains(window->frameGeometry()))
            << window->windowTitle().toStdString();
    }
}
