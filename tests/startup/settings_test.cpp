#include "startup/settings.h"

#include "platform/paths.h"
#include "support/test_support.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Keeps the per-user store and APPDATA of a test away from the real ones.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedAppData = qgetenv("APPDATA");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    void TearDown() override { qputenv("APPDATA", savedAppData); }

    QTemporaryDir dir;
    QByteArray savedAppData;
};

} // namespace

TEST_F(SettingsTest, ValuesSurviveAndStayInTheirSection) {
    EXPECT_EQ(getConfigSetting(QStringLiteral("repCourant"), QStringLiteral("/prog")),
              QStringLiteral("/prog"));
    saveConfigSetting(QStringLiteral("repCourant"), QStringLiteral("/home/u/arbres"));
    saveSetting(QStringLiteral("Files"), QStringLiteral("F1"), QStringLiteral("/home/u/a.maa"));
    EXPECT_EQ(getConfigSetting(QStringLiteral("repCourant"), QString()), QStringLiteral("/home/u/arbres"));
    EXPECT_EQ(getSetting(QStringLiteral("Files"), QStringLiteral("F1"), QString()),
              QStringLiteral("/home/u/a.maa"));
    EXPECT_EQ(getSetting(QStringLiteral("Files"), QStringLiteral("repCourant"), QStringLiteral("none")),
              QStringLiteral("none"));
    EXPECT_EQ(getConfigSetting(QStringLiteral("F1"), QStringLiteral("none")), QStringLiteral("none"));
    // Stored under organisation and application "AA".
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("AA"), QStringLiteral("AA"));
    EXPECT_EQ(raw.value(QStringLiteral("Config/repCourant")).toString(), QStringLiteral("/home/u/arbres"));
}

TEST_F(SettingsTest, AppDataDirAndSeparators) {
    const QString sep = platform::nativeSeparator();
    qputenv("APPDATA", "/data/user");
    EXPECT_EQ(getAppDataDir(), QStringLiteral("/data/user") + sep);
    qputenv("APPDATA", "/data/user/");
    EXPECT_EQ(getAppDataDir(), QStringLiteral("/data/user/"));
    qputenv("APPDATA", "");
    EXPECT_EQ(getAppDataDir(), withBackslash(platform::perUserDataDir()));

    EXPECT_EQ(withBackslash(QStringLiteral("C:\\Data\\")), QStringLiteral("C:\\Data\\"));
    EXPECT_EQ(withBackslash(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    EXPECT_EQ(withBackslash(QStringLiteral("/a/b")), QStringLiteral("/a/b") + sep);
}

TEST_F(SettingsTest, ComponentVersionPrefersConfigIni) {
    const QString program = dir.path();
    EXPECT_EQ(getComponentVersion(program, QStringLiteral("qavo.exe")), QString());
    testing_support::writeBytes(program + QStringLiteral("/pkv.ini"),
                                "\r\n[Version]\r\nqavo.exe=1.0\r\nother.dll=2.0\r\n");
    EXPECT_EQ(getComponentVersion(program, QStringLiteral("OTHER.DLL")), QStringLiteral("2.0"));
    testing_support::writeBytes(program + QStringLiteral("/config.ini"), "[Version]\r\nqavo.exe= 3.8 \r\n");
    EXPECT_EQ(getComponentVersion(program, QStringLiteral("qavo.exe")), QStringLiteral("3.8"));
    EXPECT_EQ(getComponentVersion(program, QStringLiteral("other.dll")), QString()); // pkv.ini no longer read
    // "" names the running program itself.
    testing_support::writeBytes(
        program + QStringLiteral("/config.ini"),
        QStringLiteral("[Version]\r\n%1.exe=9.9\r\n").arg(platform::programName()).toUtf8());
    EXPECT_EQ(getComponentVersion(program, QString()), QStringLiteral("9.9"));
}
