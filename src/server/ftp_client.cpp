#include "server/ftp_client.h"

#include "platform/atomic_file.h"

#include <QByteArray>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <curl/curl.h>

namespace {

const char* const TexteConnecte = "You cannot change this property while connected to an FTP server";

// libcurl's global start-up runs once per process; a static makes it thread-safe.
bool curlDemarre() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

CURL* poignee(void* p) {
    return static_cast<CURL*>(p);
}

size_t versTampon(char* data, size_t taille, size_t n, void* tampon) {
    static_cast<QByteArray*>(tampon)->append(data, qsizetype(taille * n));
    return taille * n;
}

size_t versFichier(char* data, size_t taille, size_t n, void* fichier) {
    const auto octets = qint64(taille * n);
    return static_cast<platform::AtomicFile*>(fichier)->write(data, octets) ? taille * n : 0;
}

size_t depuisFichier(char* data, size_t taille, size_t n, void* fichier) {
    const qint64 lus = static_cast<QFile*>(fichier)->read(data, qint64(taille * n));
    return lus < 0 ? size_t(CURL_READFUNC_ABORT) : size_t(lus);
}

// Keeps the last reply line of the server, the only detail a failed operation leaves for a message,
// and notes whether a rename or delete command was refused.
int surTrace(CURL*, curl_infotype type, char* data, size_t taille, void* suivi) {
    auto* s = static_cast<SuiviReponsesFTP*>(suivi);
    const QByteArray texte(data, qsizetype(taille));
    if (type == CURLINFO_HEADER_OUT) {
        s->enAttente = texte.startsWith("RNFR ") || texte.startsWith("RNTO ") || texte.startsWith("DELE ");
    } else if (type == CURLINFO_HEADER_IN) {
        const QString ligne = QString::fromUtf8(texte).trimmed();
        if (ligne.isEmpty()) return 0;
        s->derniere = ligne;
        if (s->enAttente && ligne.size() >= 4 && ligne[3] == QLatin1Char(' ')) { // final line of the reply
            s->enAttente = false;
            if (ligne[0] >= QLatin1Char('4')) s->commandeRefusee = true;
        }
    }
    return 0;
}

// What a request without a destination of its own receives (header lines of a size query).
size_t jeter(char*, size_t taille, size_t n, void*) {
    return taille * n;
}

// One listing entry of an MLSD reply: "type=file;size=12;modify=20260101120000; name".
bool lireEntreeMlsd(const QString& ligne, EnregistrementFTP& e) {
    const qsizetype espace = ligne.indexOf(QLatin1Char(' '));
    if (espace < 0) return false;
    e.nom = ligne.mid(espace + 1);
    for (const QString& fait : ligne.left(espace).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString cle = fait.section(QLatin1Char('='), 0, 0).toLower();
        const QString valeur = fait.section(QLatin1Char('='), 1);
        if (cle == QLatin1String("type")) {
            const QString t = valeur.toLower();
            if (t == QLatin1String("cdir") || t == QLatin1String("pdir")) return false;
            e.repertoire = t == QLatin1String("dir");
        } else if (cle == QLatin1String("size")) {
            e.taille = valeur.toLongLong();
        } else if (cle == QLatin1String("modify")) {
            e.modification = valeur.left(14);
        }
    }
    return !e.nom.isEmpty();
}

} // namespace

ErreurFTP::ErreurFTP(std::uint32_t numero_, QString source_, QString description_)
    : std::runtime_error(description_.toStdString()), numero(numero_), source(std::move(source_)),
      description(std::move(description_)) {}

cFTP::cFTP() {
    if (!curlDemarre())
        throw ErreurFTP(ErrInitialisation, QStringLiteral("QXFTP::Class_Initialise"),
                        QStringLiteral("Cannot get Connection to WinInet.dll !"));
}

cFTP::~cFTP() {
    fermer();
}

void cFTP::setHost(const QString& host) {
    if (Connected()) throw ErreurFTP(ErrConnecte, QStringLiteral("ZRBFTP:Host_Let"), TexteConnecte);
    m_host = host;
}

void cFTP::setUser(const QString& user) {
    if (Connected()) throw ErreurFTP(ErrConnecte, QStringLiteral("QXFTP::User_Let"), TexteConnecte);
    m_user = user;
}

void cFTP::setPassword(const QString& password) {
    if (Connected()) throw ErreurFTP(ErrConnecte, QStringLiteral("QXFTP::Password_Let"), TexteConnecte);
    m_password = password;
}

void cFTP::setDirectory(const QString& directory) {
    if (!Connected())
        throw ErreurFTP(ErrNonConnecte, QStringLiteral("QXFTP::Directory_Let"),
                        QStringLiteral("Not Connected to FTP Site"));
    // The value is kept whether or not the server accepted the change.
    m_directory = directory;
    try {
        RemoteChDir(directory);
    } catch (const std::exception& e) {
        throw ErreurFTP(ErrRepertoire, QStringLiteral("QXFTP::Directory[Let]"),
                        QString::fromLocal8Bit(e.what()));
    }
}

bool cFTP::Connect(const QString& host, const QString& user, const QString& password, bool passive, int port,
                   bool reconnect) {
    if (Connected()) {
        if (!reconnect) return true;
        fermer();
    }
    if (!host.isEmpty()) m_host = host;
    if (!user.isEmpty()) m_user = user;
    if (!password.isEmpty()) m_password = password;
    if (m_host.isEmpty())
        throw ErreurFTP(ErrConnecte, QStringLiteral("QXFTP::Connect"),
                        QStringLiteral("No Host Address Specified!"));
    if (port < 1 || port > 65535) return false; // any TCP port
    m_passive = passive;
    m_port = port;
    m_connexion = curl_easy_init();
    m_requetes = curl_multi_init();
    if (!m_connexion || !m_requetes) {
        fermer();
        return false;
    }

    // The login happens here; the handle then keeps the control connection for what follows.
    m_chemin.clear();
    preparer({}, true);
    curl_easy_setopt(poignee(m_connexion), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(poignee(m_connexion), CURLOPT_URL, (adresse() + '/').constData()); // the login folder
    if (!executer()) {
        fermer();
        return false;
    }
    // Paths are kept absolute, starting from the folder the server put us in at login.
    char* entree = nullptr;
    curl_easy_getinfo(poignee(m_connexion), CURLINFO_FTP_ENTRY_PATH, &entree);
    m_chemin = resoudre(QLatin1Char('/') + QString::fromUtf8(entree ? entree : ""));
    return true;
}

bool cFTP::Disconnect() {
    if (!Connected()) return false;
    fermer();
    m_host.clear();
    m_user.clear();
    m_password.clear();
    m_directory.clear();
    m_chemin.clear();
    return true;
}

int cFTP::GetDirectoryList(const QString& directory, const QString& filter, QStringList* target,
                           bool includeCompressed, bool append, bool firstOnly) {
    bool change = false;
    if (Connected()) {
        if (!directory.isEmpty()) change = RemoteChDir(directory);
        const QString filtre = filter.isEmpty() ? QStringLiteral("*.*") : filter;
        if (target && !append) target->clear();

        QByteArray liste;
        preparer(m_chemin, true);
        CURL* h = poignee(m_connexion);
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "MLSD");
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, versTampon);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &liste);
        bool ok = executer();
        const bool detaille = ok;
        if (!ok) { // servers without MLSD: names only
            liste.clear();
            preparer(m_chemin, true);
            curl_easy_setopt(h, CURLOPT_DIRLISTONLY, 1L);
            curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, versTampon);
            curl_easy_setopt(h, CURLOPT_WRITEDATA, &liste);
            ok = executer();
        }
        QList<EnregistrementFTP> entrees;
        if (ok) {
            for (const QByteArray& brute : liste.split('\n')) {
                QString ligne = QString::fromUtf8(brute);
                if (ligne.endsWith(QLatin1Char('\r'))) ligne.chop(1);
                EnregistrementFTP e;
                if (detaille ? !lireEntreeMlsd(ligne, e) : (e.nom = ligne).isEmpty()) continue;
                if (const qsizetype nul = e.nom.indexOf(QChar(0)); nul >= 0) e.nom.truncate(nul);
                entrees.append(e);
            }
        }
        for (qsizetype i = 0; i < entrees.size(); ++i) {
            if (firstOnly && i > 0 && (!target || !target->isEmpty())) break;
            if (!target) {
                EnregistrementFTP e = entrees[i];
                e.nom = e.nom.trimmed();
                m_records.append(e);
            } else if (passeFiltre(entrees[i].nom, filtre, includeCompressed)) {
                target->append(entrees[i].nom);
            }
        }
    }
    const int resultat = int(target ? target->size() : m_records.size());
    if (change) RemoteChDir(QStringLiteral(".."));
    return resultat;
}

bool cFTP::GetFile(const QString& remoteFile, const QString& localFile, int transferType) {
    if (!Connected() || remoteFile.isEmpty()) return false;
    // Written aside and put in place only once complete: a failed get leaves no partial file.
    platform::AtomicFile fichier(localFile);
    if (!fichier.open()) return false;
    preparer(resoudre(remoteFile), false);
    CURL* h = poignee(m_connexion);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, transferType == TransfertAscii ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, versFichier);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &fichier);
    return executer() && fichier.commit(); // not committed: the temporary file goes with the object
}

bool cFTP::isFileExist(const QString& remoteName) {
    if (!Connected() || remoteName.isEmpty()) return false;
    const QStringList chemin = resoudre(remoteName);
    preparer(chemin, false); // a file: its size is asked
    curl_easy_setopt(poignee(m_connexion), CURLOPT_NOBODY, 1L);
    if (executer()) return true;
    preparer(chemin, true); // a folder: entering it is tried
    curl_easy_setopt(poignee(m_connexion), CURLOPT_NOBODY, 1L);
    return executer();
}

bool cFTP::PutFile(const QString& localFile, const QString& remoteFile, int transferType) {
    if (!Connected() || remoteFile.isEmpty()) return false;
    QFile fichier(localFile);
    if (!fichier.open(QIODevice::ReadOnly)) return false;
    preparer(resoudre(remoteFile), false);
    CURL* h = poignee(m_connexion);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, transferType == TransfertAscii ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, depuisFichier);
    curl_easy_setopt(h, CURLOPT_READDATA, &fichier);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(fichier.size()));
    return executer();
}

bool cFTP::RenameFile(const QString& oldName, const QString& newName) {
    if (!Connected() || oldName.isEmpty() || newName.isEmpty()) return false;
    return commandes({"RNFR " + cheminAbsolu(oldName).toUtf8(), "RNTO " + cheminAbsolu(newName).toUtf8()});
}

bool cFTP::DeleteFile(const QString& remoteName) {
    if (!Connected() || remoteName.isEmpty()) return false;
    return commandes({"DELE " + cheminAbsolu(remoteName).toUtf8()});
}

bool cFTP::RemoteChDir(const QString& directory) {
    QString dossier = directory;
    dossier.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!Connected() || dossier.isEmpty()) return false;
    const QStringList cible = resoudre(dossier);
    preparer(cible, true); // the server is asked to enter each folder of the path
    curl_easy_setopt(poignee(m_connexion), CURLOPT_NOBODY, 1L);
    if (!executer()) return false;
    m_chemin = cible;
    return true;
}

QString cFTP::LastResponse() const {
    return m_suivi.derniere.isEmpty() ? QString() : m_suivi.derniere + QStringLiteral("\r\n");
}

QString cFTP::remotePath() const {
    return QLatin1Char('/') + m_chemin.join(QLatin1Char('/'));
}

bool cFTP::passeFiltre(const QString& name, const QString& filter, bool includeCompressed) {
    const qsizetype point = name.lastIndexOf(QLatin1Char('.'));
    if (point < 0) return false;
    const QString extension = name.mid(point);
    return filter == extension || filter == QLatin1String("*.*") ||
           (includeCompressed && extension == QLatin1String(".gz"));
}

// Options shared by every request: the handle is reset (its connection stays open) and set again.
void cFTP::preparer(const QStringList& chemin, bool repertoire) {
    CURL* h = poignee(m_connexion);
    curl_easy_reset(h);
    QByteArray url = adresse() + "/%2F"; // from the root, whatever the login folder
    for (qsizetype i = 0; i < chemin.size(); ++i)
        url += (i ? "/" : "") + QUrl::toPercentEncoding(chemin[i]);
    if (repertoire) url += '/';
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, m_user.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, m_password.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_FTPPORT, m_passive ? nullptr : "-");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, jeter);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, jeter);
    // No request may hang: bounded connect, reply and active-mode accept, and stalled transfers abort.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 10000L);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, 10L);
    curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, 10000L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 10L);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L); // feeds surTrace; nothing is printed
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, surTrace);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &m_suivi);
}

// Sends file commands on the control connection. They are marked "may fail" ("*") so that a refusal
// does not make libcurl drop the connection; the refusal is read from the reply instead.
bool cFTP::commandes(const QList<QByteArray>& lignes) {
    curl_slist* liste = nullptr;
    for (const QByteArray& ligne : lignes) {
        if (ligne.contains('\r') || ligne.contains('\n')) { // no second command smuggled in
            curl_slist_free_all(liste);
            return false;
        }
        liste = curl_slist_append(liste, ("*" + ligne).constData());
    }
    preparer(m_chemin, true);
    curl_easy_setopt(poignee(m_connexion), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(poignee(m_connexion), CURLOPT_QUOTE, liste);
    m_suivi.enAttente = m_suivi.commandeRefusee = false;
    const bool ok = executer() && !m_suivi.commandeRefusee;
    curl_slist_free_all(liste);
    return ok;
}

QByteArray cFTP::adresse() const {
    return "ftp://" + QUrl::toPercentEncoding(m_host, ":[]") + ':' + QByteArray::number(m_port);
}

// Runs one request on the object's own multi handle, whose cache keeps the control connection. Waits
// start short and grow: libcurl does not watch a passive data connection while it connects, and its
// own loop would sleep a full second there.
bool cFTP::executer() {
    CURLM* requetes = static_cast<CURLM*>(m_requetes);
    CURL* h = poignee(m_connexion);
    if (curl_multi_add_handle(requetes, h) != CURLM_OK) return false;
    CURLcode resultat = CURLE_RECV_ERROR;
    int actives = 1;
    int attente = 1; // ms; doubles while nothing happens, back to 1 on activity
    while (actives > 0) {
        if (curl_multi_perform(requetes, &actives) != CURLM_OK) break;
        int evenements = 0;
        if (actives > 0 && curl_multi_poll(requetes, nullptr, 0, attente, &evenements) != CURLM_OK) break;
        attente = evenements > 0 ? 1 : std::min(attente * 2, 100);
    }
    int restants = 0;
    while (CURLMsg* message = curl_multi_info_read(requetes, &restants))
        if (message->msg == CURLMSG_DONE && message->easy_handle == h) resultat = message->data.result;
    curl_multi_remove_handle(requetes, h);
    return resultat == CURLE_OK;
}

void cFTP::fermer() {
    if (m_requetes) curl_multi_cleanup(static_cast<CURLM*>(m_requetes)); // says QUIT on the connection
    if (m_connexion) curl_easy_cleanup(poignee(m_connexion));
    m_requetes = nullptr;
    m_connexion = nullptr;
}

QStringList cFTP::resoudre(const QString& path) const {
    QStringList chemin = path.startsWith(QLatin1Char('/')) ? QStringList() : m_chemin;
    for (const QString& partie : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (partie == QLatin1String(".")) continue;
        if (partie == QLatin1String("..")) {
            if (!chemin.isEmpty()) chemin.removeLast();
        } else {
            chemin.append(partie);
        }
    }
    return chemin;
}

QString cFTP::cheminAbsolu(const QString& name) const {
    return QLatin1Char('/') + resoudre(name).join(QLatin1Char('/'));
}
