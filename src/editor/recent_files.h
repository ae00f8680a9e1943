#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QSettings;

// Where per-user text settings are read and written, by section and key. The editor uses the user's
// settings of application "AA"; tests use a file or memory of their own.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // "" when the key is not set.
    virtual QString value(const QString& section, const QString& key) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QString& value) = 0;
};

// Settings kept in memory only.
class MemorySettingsStore : public SettingsStore {
public:
    QString value(const QString& section, const QString& key) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;

private:
    QMap<QString, QString> m_values; // "section/key" -> value
};

// Settings in a QSettings object owned by the caller (a temporary INI file in tests).
class QSettingsStore : public SettingsStore {
public:
    explicit QSettingsStore(QSettings& settings) : m_settings(settings) {}
    QString value(const QString& section, const QString& key) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;

private:
    QSettings& m_settings;
};

// The user's own settings of application "AA" (getSetting / saveSetting).
// One settings object for the window's whole life: writes reach the disk once Qt syncs it (when events
// are next processed, and when the store goes), not once per entry, and every other reader in the
// process sees them at once.
class UserSettingsStore : public SettingsStore {
public:
    UserSettingsStore();
    ~UserSettingsStore() override;
    QString value(const QString& section, const QString& key) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;

private:
    std::unique_ptr<QSettings> m_settings;
};

// The five tree files used last, kept in settings section "Files" as "F1" (most recent) to "F5", each a
// full path. No widgets: the menu is rebuilt by whoever listens to menuChanged.
class RecentFiles {
public:
    static constexpr int kCount = 5;

    // fileServeur is the local copy of the server's tree file, which is never listed.
    RecentFiles(SettingsStore& store, QString fileServeur);

    // Called with the paths to show in mnuFile1.. (in order, at most five) each time the list is rebuilt.
    void setMenuListener(std::function<void(const QStringList&)> listener) {
        m_listener = std::move(listener);
    }

    // Puts path at the top: a listed file moves up without a duplicate, a new one pushes out entry 5.
    // Then rebuilds the list; returns the paths to show.
    QStringList AjouteDernierFichierOuvert(const QString& path);

    // Drops empty entries, the server copy, missing files and duplicates, packs the rest towards "F1",
    // erases the entries left over; returns the paths to show.
    QStringList afficheMenuFichiersOuverts();

    // Entry n (1 to 5) as stored.
    QString entry(int n) const;
    // The five stored entries, "F1" first.
    QStringList entries() const;

    // True when path is already in list.
    static bool estDsTabF(const QStringList& list, const QString& path);

private:
    void setEntry(int n, const QString& path);

    SettingsStore& m_store;
    QString m_fileServeur;
    std::function<void(const QStringList&)> m_listener;
};
