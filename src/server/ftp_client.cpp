#include "server/ftp_client.h"

#include "platform/atomic_file.h"

#include <QByteArray>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <curl/curl.h>

namespace {

const char* const kConnectedText = "You cannot change this property while connected to an FTP server";

// libcurl's global start-up runs once per process; a static makes it thread-safe.
bool curlStarted() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

CURL* handle(void* p) {
    return static_cast<CURL*>(p);
}

size_t toBuffer(char* data, size_t size, size_t n, void* buffer) {
    static_cast<QByteArray*>(buffer)->append(data, qsizetype(size * n));
    return size * n;
}

size_t toFile(char* data, size_t size, size_t n, void* file) {
    const auto bytes = qint64(size * n);
    return static_cast<platform::AtomicFile*>(file)->write(data, bytes) ? size * n : 0;
}

size_t fromFile(char* data, size_t size, size_t n, void* file) {
    const qint64 bytesRead = static_cast<QFile*>(file)->read(data, qint64(size * n));
    return bytesRead < 0 ? size_t(CURL_READFUNC_ABORT) : size_t(bytesRead);
}

// Keeps the last reply line of the server, the only detail a failed operation leaves for a message,
// and notes whether a rename or delete command was refused.
int onTrace(CURL*, curl_infotype type, char* data, size_t size, void* replyLog) {
    auto* s = static_cast<FtpReplyLog*>(replyLog);
    const QByteArray text(data, qsizetype(size));
    if (type == CURLINFO_HEADER_OUT) {
        s->awaitingReply = text.startsWith("RNFR ") || text.startsWith("RNTO ") || text.startsWith("DELE ");
    } else if (type == CURLINFO_HEADER_IN) {
        const QString line = QString::fromUtf8(text).trimmed();
        if (line.isEmpty()) return 0;
        s->lastLine = line;
        if (s->awaitingReply && line.size() >= 4 && line[3] == QLatin1Char(' ')) { // final line of the reply
            s->awaitingReply = false;
            if (line[0] >= QLatin1Char('4')) s->commandRefused = true;
        }
    }
    return 0;
}

// What a request without a destination of its own receives (header lines of a size query).
size_t dropData(char*, size_t size, size_t n, void*) {
    return size * n;
}

// One listing entry of an MLSD reply: "type=file;size=12;modify=20260101120000; name".
bool readMlsdEntry(const QString& line, FtpEntry& e) {
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    if (space < 0) return false;
    e.name = line.mid(space + 1);
    for (const QString& fact : line.left(space).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString key = fact.section(QLatin1Char('='), 0, 0).toLower();
        const QString value = fact.section(QLatin1Char('='), 1);
        if (key == QLatin1String("type")) {
            const QString t = value.toLower();
            if (t == QLatin1String("cdir") || t == QLatin1String("pdir")) return false;
            e.isDirectory = t == QLatin1String("dir");
        } else if (key == QLatin1String("size")) {
            e.size = value.toLongLong();
        } else if (key == QLatin1String("modify")) {
            e.modification = value.left(14);
        }
    }
    return !e.name.isEmpty();
}

} // namespace

FtpError::FtpError(std::uint32_t number_, QString source_, QString description_)
    : std::runtime_error(description_.toStdString()), number(number_), source(std::move(source_)),
      description(std::move(description_)) {}

cFTP::cFTP() {
    if (!curlStarted())
        throw FtpError(ErrInitialization, QStringLiteral("QXFTP::Class_Initialise"),
                       QStringLiteral("Cannot get Connection to WinInet.dll !"));
}

cFTP::~cFTP() {
    closeConnection();
}

void cFTP::setHost(const QString& host) {
    if (Connected()) throw FtpError(ErrConnected, QStringLiteral("ZRBFTP:Host_Let"), kConnectedText);
    m_host = host;
}

void cFTP::setUser(const QString& user) {
    if (Connected()) throw FtpError(ErrConnected, QStringLiteral("QXFTP::User_Let"), kConnectedText);
    m_user = user;
}

void cFTP::setPassword(const QString& password) {
    if (Connected()) throw FtpError(ErrConnected, QStringLiteral("QXFTP::Password_Let"), kConnectedText);
    m_password = password;
}

void cFTP::setDirectory(const QString& directory) {
    if (!Connected())
        throw FtpError(ErrNotConnected, QStringLiteral("QXFTP::Directory_Let"),
                       QStringLiteral("Not Connected to FTP Site"));
    // The value is kept whether or not the server accepted the change.
    m_directory = directory;
    try {
        RemoteChDir(directory);
    } catch (const std::exception& e) {
        throw FtpError(ErrDirectory, QStringLiteral("QXFTP::Directory[Let]"),
                       QString::fromLocal8Bit(e.what()));
    }
}

bool cFTP::Connect(const QString& host, const QString& user, const QString& password, bool passive, int port,
                   bool reconnect) {
    if (Connected()) {
        if (!reconnect) return true;
        closeConnection();
    }
    if (!host.isEmpty()) m_host = host;
    if (!user.isEmpty()) m_user = user;
    if (!password.isEmpty()) m_password = password;
    if (m_host.isEmpty())
        throw FtpError(ErrConnected, QStringLiteral("QXFTP::Connect"),
                       QStringLiteral("No Host Address Specified!"));
    if (port < 1 || port > 65535) return false; // any TCP port
    m_passive = passive;
    m_port = port;
    m_connection = curl_easy_init();
    m_requests = curl_multi_init();
    if (!m_connection || !m_requests) {
        closeConnection();
        return false;
    }

    // The login happens here; the handle then keeps the control connection for what follows.
    m_path.clear();
    prepare({}, true);
    curl_easy_setopt(handle(m_connection), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(handle(m_connection), CURLOPT_URL, (urlOf() + '/').constData()); // the login folder
    if (!execute()) {
        closeConnection();
        return false;
    }
    // Paths are kept absolute, starting from the folder the server put us in at login.
    char* entry = nullptr;
    curl_easy_getinfo(handle(m_connection), CURLINFO_FTP_ENTRY_PATH, &entry);
    m_path = resolve(QLatin1Char('/') + QString::fromUtf8(entry ? entry : ""));
    return true;
}

bool cFTP::Disconnect() {
    if (!Connected()) return false;
    closeConnection();
    m_host.clear();
    m_user.clear();
    m_password.clear();
    m_directory.clear();
    m_path.clear();
    return true;
}

int cFTP::GetDirectoryList(const QString& directory, const QString& filter, QStringList* target,
                           bool includeCompressed, bool append, bool firstOnly) {
    bool change = false;
    if (Connected()) {
        if (!directory.isEmpty()) change = RemoteChDir(directory);
        const QString pattern = filter.isEmpty() ? QStringLiteral("*.*") : filter;
        if (target && !append) target->clear();

        QByteArray listing;
        prepare(m_path, true);
        CURL* h = handle(m_connection);
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "MLSD");
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, toBuffer);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &listing);
        bool ok = execute();
        const bool detailed = ok;
        if (!ok) { // servers without MLSD: names only
            listing.clear();
            prepare(m_path, true);
            curl_easy_setopt(h, CURLOPT_DIRLISTONLY, 1L);
            curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, toBuffer);
            curl_easy_setopt(h, CURLOPT_WRITEDATA, &listing);
            ok = execute();
        }
        QList<FtpEntry> entries;
        if (ok) {
            for (const QByteArray& raw : listing.split('\n')) {
                QString line = QString::fromUtf8(raw);
                if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
                FtpEntry e;
                if (detailed ? !readMlsdEntry(line, e) : (e.name = line).isEmpty()) continue;
                if (const qsizetype nul = e.name.indexOf(QChar(0)); nul >= 0) e.name.truncate(nul);
                entries.append(e);
            }
        }
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (firstOnly && i > 0 && (!target || !target->isEmpty())) break;
            if (!target) {
                FtpEntry e = entries[i];
                e.name = e.name.trimmed();
                m_records.append(e);
            } else if (passesFilter(entries[i].name, pattern, includeCompressed)) {
                target->append(entries[i].name);
            }
        }
    }
    const int result = int(target ? target->size() : m_records.size());
    if (change) RemoteChDir(QStringLiteral(".."));
    return result;
}

bool cFTP::GetFile(const QString& remoteFile, const QString& localFile, int transferType) {
    if (!Connected() || remoteFile.isEmpty()) return false;
    // Written aside and put in place only once complete: a failed get leaves no partial file.
    platform::AtomicFile file(localFile);
    if (!file.open()) return false;
    prepare(resolve(remoteFile), false);
    CURL* h = handle(m_connection);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, transferType == TransferAscii ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, toFile);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &file);
    return execute() && file.commit(); // not committed: the temporary file goes with the object
}

bool cFTP::isFileExist(const QString& remoteName) {
    if (!Connected() || remoteName.isEmpty()) return false;
    const QStringList remoteDirs = resolve(remoteName);
    prepare(remoteDirs, false); // a file: its size is asked
    curl_easy_setopt(handle(m_connection), CURLOPT_NOBODY, 1L);
    if (execute()) return true;
    prepare(remoteDirs, true); // a folder: entering it is tried
    curl_easy_setopt(handle(m_connection), CURLOPT_NOBODY, 1L);
    return execute();
}

bool cFTP::PutFile(const QString& localFile, const QString& remoteFile, int transferType) {
    if (!Connected() || remoteFile.isEmpty()) return false;
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) return false;
    prepare(resolve(remoteFile), false);
    CURL* h = handle(m_connection);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, transferType == TransferAscii ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, fromFile);
    curl_easy_setopt(h, CURLOPT_READDATA, &file);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    return execute();
}

bool cFTP::RenameFile(const QString& oldName, const QString& newName) {
    if (!Connected() || oldName.isEmpty() || newName.isEmpty()) return false;
    return sendCommands({"RNFR " + absolutePath(oldName).toUtf8(), "RNTO " + absolutePath(newName).toUtf8()});
}

bool cFTP::DeleteFile(const QString& remoteName) {
    if (!Connected() || remoteName.isEmpty()) return false;
    return sendCommands({"DELE " + absolutePath(remoteName).toUtf8()});
}

bool cFTP::RemoteChDir(const QString& directory) {
    QString folder = directory;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!Connected() || folder.isEmpty()) return false;
    const QStringList resolveTarget = resolve(folder);
    prepare(resolveTarget, true); // the server is asked to enter each folder of the path
    curl_easy_setopt(handle(m_connection), CURLOPT_NOBODY, 1L);
    if (!execute()) return false;
    m_path = resolveTarget;
    return true;
}

QString cFTP::LastResponse() const {
    return m_replyLog.lastLine.isEmpty() ? QString() : m_replyLog.lastLine + QStringLiteral("\r\n");
}

QString cFTP::remotePath() const {
    return QLatin1Char('/') + m_path.join(QLatin1Char('/'));
}

bool cFTP::passesFilter(const QString& name, const QString& filter, bool includeCompressed) {
    const qsizetype point = name.lastIndexOf(QLatin1Char('.'));
    if (point < 0) return false;
    const QString extension = name.mid(point);
    return filter == extension || filter == QLatin1String("*.*") ||
           (includeCompressed && extension == QLatin1String(".gz"));
}

// Options shared by every request: the handle is reset (its connection stays open) and set again.
void cFTP::prepare(const QStringList& remoteDirs, bool isDirectory) {
    CURL* h = handle(m_connection);
    curl_easy_reset(h);
    QByteArray url = urlOf() + "/%2F"; // from the root, whatever the login folder
    for (qsizetype i = 0; i < remoteDirs.size(); ++i)
        url += (i ? "/" : "") + QUrl::toPercentEncoding(remoteDirs[i]);
    if (isDirectory) url += '/';
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, m_user.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, m_password.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_FTPPORT, m_passive ? nullptr : "-");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, dropData);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, dropData);
    // No request may hang: bounded connect, reply and active-mode accept, and stalled transfers abort.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, 10000L);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, 10L);
    curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, 10000L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 10L);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L); // feeds onTrace; nothing is printed
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, onTrace);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &m_replyLog);
}

// Sends file commands on the control connection. They are marked "may fail" ("*") so that a refusal
// does not make libcurl drop the connection; the refusal is read from the reply instead.
bool cFTP::sendCommands(const QList<QByteArray>& lines) {
    curl_slist* listing = nullptr;
    for (const QByteArray& line : lines) {
        if (line.contains('\r') || line.contains('\n')) { // no second command smuggled in
            curl_slist_free_all(listing);
            return false;
        }
        listing = curl_slist_append(listing, ("*" + line).constData());
    }
    prepare(m_path, true);
    curl_easy_setopt(handle(m_connection), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(handle(m_connection), CURLOPT_QUOTE, listing);
    m_replyLog.awaitingReply = m_replyLog.commandRefused = false;
    const bool ok = execute() && !m_replyLog.commandRefused;
    curl_slist_free_all(listing);
    return ok;
}

QByteArray cFTP::urlOf() const {
    return "ftp://" + QUrl::toPercentEncoding(m_host, ":[]") + ':' + QByteArray::number(m_port);
}

// Runs one request on the object's own multi handle, whose cache keeps the control connection. Waits
// start short and grow: libcurl does not watch a passive data connection while it connects, and its
// own loop would sleep a full second there.
bool cFTP::execute() {
    CURLM* multi = static_cast<CURLM*>(m_requests);
    CURL* h = handle(m_connection);
    if (curl_multi_add_handle(multi, h) != CURLM_OK) return false;
    CURLcode result = CURLE_RECV_ERROR;
    int running = 1;
    int waitMs = 1; // ms; doubles while nothing happens, back to 1 on activity
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        int events = 0;
        if (running > 0 && curl_multi_poll(multi, nullptr, 0, waitMs, &events) != CURLM_OK) break;
        waitMs = events > 0 ? 1 : std::min(waitMs * 2, 100);
    }
    int remaining = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &remaining))
        if (message->msg == CURLMSG_DONE && message->easy_handle == h) result = message->data.result;
    curl_multi_remove_handle(multi, h);
    return result == CURLE_OK;
}

void cFTP::closeConnection() {
    if (m_requests) curl_multi_cleanup(static_cast<CURLM*>(m_requests)); // says QUIT on the connection
    if (m_connection) curl_easy_cleanup(handle(m_connection));
    m_requests = nullptr;
    m_connection = nullptr;
}

QStringList cFTP::resolve(const QString& path) const {
    QStringList remoteDirs = path.startsWith(QLatin1Char('/')) ? QStringList() : m_path;
    for (const QString& piece : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (piece == QLatin1String(".")) continue;
        if (piece == QLatin1String("..")) {
            if (!remoteDirs.isEmpty()) remoteDirs.removeLast();
        } else {
            remoteDirs.append(piece);
        }
    }
    return remoteDirs;
}

QString cFTP::absolutePath(const QString& name) const {
    return QLatin1Char('/') + resolve(name).join(QLatin1Char('/'));
}
