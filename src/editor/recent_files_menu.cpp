#include "editor/recent_files_menu.h"

#include <QAction>

RecentFilesMenu::RecentFilesMenu(const std::array<QAction*, 5>& items, QAction* separator,
                                 const QString& fileServeur, QObject* parent)
    : QObject(parent), m_items(items), m_separator(separator), m_files(m_settings, fileServeur) {
    for (QAction* item : m_items)
        connect(item, &QAction::triggered, this, [this, item] {
            if (item->isVisible()) emit chosen(item->data().toString());
        });
    m_files.setMenuListener([this](const QStringList& paths) { show(paths); });
    refresh();
}

void RecentFilesMenu::add(const QString& path) {
    m_files.AjouteDernierFichierOuvert(path);
}

void RecentFilesMenu::refresh() {
    m_files.afficheMenuFichiersOuverts();
}

void RecentFilesMenu::show(const QStringList& paths) {
    m_separator->setVisible(!paths.isEmpty());
    for (size_t i = 0; i < m_items.size(); ++i) {
        QAction* item = m_items[i];
        const bool shown = qsizetype(i) < paths.size();
        const QString path = shown ? paths[qsizetype(i)] : QString();
        // "&" would be read as a mnemonic mark.
        item->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setData(path);
        item->setVisible(shown);
    }
}
