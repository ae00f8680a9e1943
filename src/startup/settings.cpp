#include "startup/settings.h"

#include "core/profile_file.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// The store the older program used: application "AA" of organisation "AA".
QSettings userSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("AA"),
                     QStringLiteral("AA"));
}

QString settingPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

QString getSetting(const QString& section, const QString& key, const QString& defaultValue) {
    return userSettings().value(settingPath(section, key), defaultValue).toString();
}

void saveSetting(const QString& section, const QString& key, const QString& value) {
    QSettings settings = userSettings();
    settings.setValue(settingPath(section, key), value);
    settings.sync();
}

QString getConfigSetting(const QString& key, const QString& defaultValue) {
    return getSetting(QStringLiteral("Config"), key, defaultValue);
}

void saveConfigSetting(const QString& key, const QString& value) {
    saveSetting(QStringLiteral("Config"), key, value);
}

QString getAppDataDir() {
    const QString env = platform::appDataEnv();
    if (!env.isEmpty()) return withBackslash(env);
    const QString perUser = platform::perUserDataDir();
    return perUser.isEmpty() ? QString() : withBackslash(perUser);
}

QString withBackslash(const QString& path) {
    if (platform::endsWithSeparator(path)) return path;
    return path + platform::nativeSeparator();
}

QString getComponentVersion(const QString& programDir, const QString& name) {
    QString file = platform::joinPath(programDir, QStringLiteral("config.ini"));
    if (!QFileInfo::exists(file)) {
        file = platform::joinPath(programDir, QStringLiteral("pkv.ini"));
        if (!QFileInfo::exists(file)) return QString();
    }
    const QString key = name.isEmpty() ? platform::programName() + QStringLiteral(".exe") : name;
    return readProfileString(QStringLiteral("Version"), key, file, QString());
}
