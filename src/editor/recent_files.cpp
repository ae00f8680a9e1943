#include "editor/recent_files.h"

#include "startup/settings.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Files");

QString entryKey(int n) {
    return QStringLiteral("F") + QString::number(n);
}

} // namespace

QString MemorySettingsStore::value(const QString& section, const QString& key) const {
    return m_values.value(section + QLatin1Char('/') + key);
}

void MemorySettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    m_values.insert(section + QLatin1Char('/') + key, value);
}

QString QSettingsStore::value(const QString& section, const QString& key) const {
    return m_settings.value(section + QLatin1Char('/') + key).toString();
}

void QSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    m_settings.setValue(section + QLatin1Char('/') + key, value);
}

UserSettingsStore::UserSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("AA"), QStringLiteral("AA"))) {}

UserSettingsStore::~UserSettingsStore() = default;

QString UserSettingsStore::value(const QString& section, const QString& key) const {
    return m_settings->value(section + QLatin1Char('/') + key).toString();
}

void UserSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    m_settings->setValue(section + QLatin1Char('/') + key, value);
}

RecentFiles::RecentFiles(SettingsStore& store, QString fileServeur)
    : m_store(store), m_fileServeur(std::move(fileServeur)) {}

QString RecentFiles::entry(int n) const {
    return m_store.value(kSection, entryKey(n));
}

void RecentFiles::setEntry(int n, const QString& path) {
    // An unchanged list is not written again: each write of the settings rewrites their whole file.
    if (entry(n) != path) m_store.setValue(kSection, entryKey(n), path);
}

QStringList RecentFiles::entries() const {
    QStringList all;
    for (int n = 1; n <= kCount; ++n)
        all.append(entry(n));
    return all;
}

bool RecentFiles::estDsTabF(const QStringList& list, const QString& path) {
    return list.contains(path);
}

QStringList RecentFiles::AjouteDernierFichierOuvert(const QString& path) {
    int from = kCount;
    for (int n = 1; n <= kCount; ++n) {
        if (entry(n) == path) {
            from = n;
            break;
        }
    }
    for (int n = from; n >= 2; --n)
        setEntry(n, entry(n - 1));
    setEntry(1, path);
    return afficheMenuFichiersOuverts();
}

QStringList RecentFiles::afficheMenuFichiersOuverts() {
    QStringList shown;
    for (int n = 1; n <= kCount; ++n) {
        const QString path = entry(n);
        if (path.isEmpty()) continue;
        if (path == m_fileServeur || !QFileInfo::exists(path) || estDsTabF(shown, path)) {
            setEntry(n, QString());
            continue;
        }
        shown.append(path);
        setEntry(int(shown.size()), path);
    }
    for (int n = int(shown.size()) + 1; n <= kCount; ++n)
        setEntry(n, QString());
    if (m_listener) m_listener(shown);
    return shown;
}
