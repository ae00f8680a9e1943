#pragma once

#include "core/translation.h"

#include <QList>
#include <QString>

#include <memory>

class Passerelle;
class SessionFolder;

// An announcement of the server's list.
struct Announcement {
    qint32 number = 0;
    QString name;
    qint16 flags[4] = {0, 0, 0, 0}; // availability in languages 1 to 4
};

// A station (extension) of the server's list.
struct Station {
    QString number;
    QString name;
    qint16 kind = 0;
    QString voiceBox; // servers of generation 500 and later only
};

// The process-wide state: work folders, mode, command-line values, server version and flags, lists.
// Start-up fills one and hands it by reference to whoever needs it; nothing else is global.
struct AppContext {
    QString programDir; // where the executables, translation files and help live (no trailing separator)
    // Work folders, each ending with a separator.
    QString RepData; // work folder
    QString repTMP;  // this program's temporary folder (journal files, server copies): session's folder
    // This program's own folder under the work folder's TMP/, and the journals other editors left there
    // (startup/session_folder.h). None in tests that set repTMP themselves.
    std::shared_ptr<SessionFolder> session;

    bool fileDebugActive = false;
    QString fileServeur; // local copy of the server's tree file
    QString fileLecture; // server information file ("" in local mode)
    QString fileAOuvrir; // tree file opened when the main window loads
    // Why the server's tree could not be fetched at start-up ("" when it was, or the server has none).
    QString serverTreeFailure;
    QString commandLine;

    bool modeLocal = true;
    bool usePasserelle = false;

    // Command-line values.
    QString LANG, HADDR, HPORT, USER, PASS, PADDR, PPORT, PLOGIN, PPASS, FORCEVERSION;

    // Server information.
    int Nb_arbre = 5;
    QString VERSION_generel = QStringLiteral("Version locale");
    QString numStandard;
    bool VERSION_500 = true;
    bool VERSION_900 = false;

    // 1-based in the design; here index 0 holds entry 1.
    QList<Announcement> Announcements;
    QList<Station> Stations;
    int NbAnnonces() const { return int(Announcements.size()); }
    int NbPostes() const { return int(Stations.size()); }

    Translation translation;
    QString translationFile;

    QString getLabel(const QString& key) const { return translation.getLabel(key); }

    // The history's commit id recorded by the last transfer; empty when none was recorded.
    QString lastRevision;

    // The link to the server, created on first use by passerelleOf() (server/passerelle.h).
    std::shared_ptr<Passerelle> passerelle;
};
