// The settings kept between runs: the values earlier versions wrote under their keys read back
// through the typed keys, and a key with nothing kept gives its default.

#include "platform/ApplicationIdentity.h"
#include "platform/Settings.h"
#include "support/TempDir.h"
#include "valuation/RememberedMonth.h"

#include <QSettings>
#include <gtest/gtest.h>

TEST(Settings, ValuesKeptByEarlierVersionsReadBackTypedAndMissingOnesGiveTheirDefault) {
    const TempDir temp;
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(temp.path().string()));
    EXPECT_TRUE(Settings::lastPortfolio.value().isEmpty());
    EXPECT_FALSE(rememberedRedemptionMonth());
    {
        QSettings earlier;
        earlier.setValue("lastPortfolio", "Savings");
        earlier.setValue("report/redemptionMonth", "2009-12");
        earlier.setValue("report/hiddenColumns", QStringList{"Status"}); // kept as plain text
        earlier.setValue("windows/ReportWindow/geometry", QByteArray("\x01\xd9\xd0\xcb", 4));
        earlier.setValue("windows/BondEditingWindowController/geometry", QByteArray("\x02", 1));
    }
    EXPECT_EQ(Settings::lastPortfolio.value(), "Savings");
    EXPECT_EQ(rememberedRedemptionMonth(), (RedemptionMonth{2009, 12}));
    EXPECT_EQ(Settings::hiddenReportColumns.value(), QStringList{"Status"});
    EXPECT_EQ(Settings::windowGeometry("ReportWindow").value(), QByteArray("\x01\xd9\xd0\xcb", 4));
    // A window renamed since keeps the place stored under its earlier name.
    EXPECT_EQ(Settings::windowGeometry("BondEditingWindow").value(), QByteArray("\x02", 1));

    rememberRedemptionMonth({2010, 1});
    EXPECT_EQ(QSettings().value("report/redemptionMonth").toString(), "2010-01");
    EXPECT_EQ(Settings::fileName(), QSettings().fileName());
}
