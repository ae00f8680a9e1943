#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

// The pictures of the editor, drawn as vector shapes so that they stay crisp at any size and device pixel
// ratio: one per node image key ("Arbre", "Menu", "NoAction", "Saut", "Transfert", "Annonce",
// "Standard", "FreeDialing", "BoiteVoc1", "BoiteVoc2"), one per diagnostics level ("Warning", "Erreur",
// "Ok", "Info"), the two mode pictures and the two pictures of the diagnostics size toggle.
class NodeIcons {
public:
    NodeIcons();

    // Icon of an image key; an unknown key gives a question-mark picture.
    QIcon icon(const QString& imageKey) const;
    bool hasIcon(const QString& imageKey) const { return m_icons.contains(imageKey); }

    // Mode pictures of the title band.
    QIcon localMode() const { return icon(QStringLiteral("ModeLocal")); }
    QIcon serverMode() const { return icon(QStringLiteral("ModeServeur")); }
    // Pictures of the diagnostics size toggle: enlarge (picFH) and shrink (picFB).
    QIcon toggleUp() const { return icon(QStringLiteral("FlecheHaut")); }
    QIcon toggleDown() const { return icon(QStringLiteral("FlecheBas")); }
    QIcon help() const { return icon(QStringLiteral("Aide")); }
    // The logo of the title band.
    QIcon logo() const { return icon(QStringLiteral("Logo")); }

    static const QStringList& nodeImageKeys();
    static const QStringList& diagnosticImageKeys();

private:
    QHash<QString, QIcon> m_icons;
    QIcon m_unknown;
};
