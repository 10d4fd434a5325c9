#include <QLocale>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Every test program runs in folders and settings of its own, so that nothing a developer's desktop
// holds (settings files, plug-in fonts, a locale) changes what the tests see.
TEST(MachineIsolationTest, TestsSeeTheirOwnFoldersAndAFixedLocale) {
    for (const auto location : {QStandardPaths::HomeLocation, QStandardPaths::ConfigLocation,
                                QStandardPaths::GenericDataLocation, QStandardPaths::GenericCacheLocation}) {
        EXPECT_TRUE(QStandardPaths::writableLocation(location).contains(QLatin1String("/tovrin-home-")))
            << QStandardPaths::writableLocation(location).toStdString();
    }
    EXPECT_EQ(QLocale::system().name(), QLatin1String("C"));
}
