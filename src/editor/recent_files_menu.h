#pragma once

#include "editor/recent_files.h"

#include <QObject>
#include <array>

class QAction;

// The File menu's recent files (mnuFile1 to mnuFile5, after the separator mnuVide2): shows the list the
// user's settings keep and says which file the user chose.
class RecentFilesMenu final : public QObject {
    Q_OBJECT
public:
    // fileServeur is the local copy of the server's tree, never listed.
    RecentFilesMenu(const std::array<QAction*, 5>& items, QAction* separator, const QString& fileServeur,
                    QObject* parent);

    // Puts path at the top of the list.
    void add(const QString& path);
    // Reads the list again, dropping the files that are gone.
    void refresh();

signals:
    void chosen(const QString& path);

private:
    void show(const QStringList& paths);

    std::array<QAction*, 5> m_items;
    QAction* m_separator;
    UserSettingsStore m_settings;
    RecentFiles m_files;
};
