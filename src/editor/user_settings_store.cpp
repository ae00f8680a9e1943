// Kept apart from recent_files.cpp so that code using only the other stores does not need the user's
// settings.
#include "editor/recent_files.h"
#include "startup/settings.h"

QString UserSettingsStore::value(const QString& section, const QString& key) const {
    return getSetting(section, key, QString());
}

void UserSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    saveSetting(section, key, value);
}
