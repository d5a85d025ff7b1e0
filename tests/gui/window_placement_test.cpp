// Where windows open: wholly on their screen, frame included, the task windows centred on the
// main window, and the main window's first size within the screen.

#include "app/BondListPanel.h"
#include "app/LoadPortfolioWindow.h"
#include "app/TaskWindow.h"
#include "app/WindowPlacement.h"
#include "support/gui/AppHarness.h"

#include <QScreen>
#include <gtest/gtest.h>

TEST(WindowPlacement, AFrameCentredOnItsWindowLiesWhollyOnScreensOfEitherSize) {
    for (const QRect screen : {QRect(0, 0, 1440, 900), QRect(0, 0, 1024, 768)}) {
        // Edit Bonds with openbox's frame over a main window placed low and beyond the right edge.
        const QRect frame = frameCentredWithin({642, 545}, {600, 500, 1182, 745}, screen);
        EXPECT_TRUE(screen.contains(frame)) << screen.width();
        EXPECT_EQ(frame.size(), QSize(642, 545));
        EXPECT_EQ(frameWithin({-50, 10, 2000, 1000}, screen), screen) << "as large as it";
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
    app.view().showOpenPortfolioWindow();
    app.view().editBonds();
    app.view().showValueReport();
    settle();
    EXPECT_EQ(app.openWindows<LoadPortfolioWindow>().front()->frameGeometry().center(),
              app.window().frameGeometry().center());
    ASSERT_EQ(app.openWindows<TaskWindow>().size(), 3u);
    for (QWidget* window : app.openWindows<TaskWindow>()) {
        EXPECT_TRUE(screen.contains(window->frameGeometry()))
            << window->windowTitle().toStdString();
    }
}
