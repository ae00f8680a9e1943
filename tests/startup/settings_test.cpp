#include "startup/settings.h"

#include "support/qt_print.h"
#include "support/test_support.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Keeps the per-user store of a test away from the real one.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    QTemporaryDir dir;
};

TEST_F(SettingsTest, ValuesSurviveAndStayInTheirSection) {
    EXPECT_EQ(getConfigSetting("repCourant", "/prog"), "/prog");
    saveConfigSetting("repCourant", "/home/u/arbres");
    saveSetting("Files", "F1", "/home/u/a.maa");
    EXPECT_EQ(getConfigSetting("repCourant", QString()), "/home/u/arbres");
    EXPECT_EQ(getSetting("Files", "F1", QString()), "/home/u/a.maa");
    EXPECT_EQ(getConfigSetting("F1", "none"), "none");
    // Stored under organisation and application "AA".
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "AA", "AA");
    EXPECT_EQ(raw.value("Config/repCourant").toString(), "/home/u/arbres");
}

TEST_F(SettingsTest, ComponentVersionPrefersConfigIni) {
    const QString program = dir.path();
    testing_support::writeBytes(program + "/pkv.ini", "\r\n[Version]\r\nqavo.exe=1.0\r\nother.dll=2.0\r\n");
    EXPECT_EQ(getComponentVersion(program, "OTHER.DLL"), "2.0");
    testing_support::writeBytes(program + "/config.ini", "[Version]\r\nqavo.exe= 3.8 \r\n");
    EXPECT_EQ(getComponentVersion(program, "qavo.exe"), "3.8");
    EXPECT_EQ(getComponentVersion(program, "other.dll"), "") << "pkv.ini is no longer read";
}

} // namespace
