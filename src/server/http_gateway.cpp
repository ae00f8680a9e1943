#include "server/http_gateway.h"

#include "core/version.h"
#include "platform/atomic_file.h"
#include "server/curl_event_loop.h"
#include "server/http_reply.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtGlobal>

#include <curl/curl.h>

namespace {

bool nomNu(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String("..") && name != QLatin1String(".");
}

// libcurl's global start-up, once per process.
bool curlDemarre() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using Headers = std::unique_ptr<curl_slist, ListDeleter>;

QString infoTexte(CURL* h, CURLINFO info) {
    char* texte = nullptr;
    curl_easy_getinfo(h, info, &texte);
    return texte ? QString::fromUtf8(texte) : QString();
}

long infoNombre(CURL* h, CURLINFO info) {
    long n = 0;
    curl_easy_getinfo(h, info, &n);
    return n;
}

curl_off_t infoDuree(CURL* h, CURLINFO info) {
    curl_off_t n = 0;
    curl_easy_getinfo(h, info, &n);
    return n;
}

// "host:port", an IPv6 address in brackets.
QString hotePort(const QString& hote, int port) {
    return (hote.contains(QLatin1Char(':')) ? u'[' + hote + u']' : hote) + u':' + QString::number(port);
}

} // namespace

// One request's target: what libcurl is given, and the words a message uses for it.
struct HttpGateway::Cible {
    QByteArray verb;
    QString hote;
    int port = 0;
    bool tls = false;
    QByteArray url;
    QString texte; // "GET http://host:port/qavo/files/arbre.maa via proxy p:3128"
};

HttpGateway::HttpGateway() = default;

HttpGateway::~HttpGateway() {
    if (easy_) curl_easy_cleanup(easy_);
}

void HttpGateway::SetProxyParameters(const QString& address, const QString& port, const QString& login,
                                     const QString& password) {
    proxyAddress_ = address.trimmed();
    proxyPort_ = port.trimmed();
    proxyLogin_ = login;
    proxyPassword_ = password;
}

void HttpGateway::SetFtpConnectionParameters(const QString& address, const QString& port,
                                             const QString& service, const QString& user,
                                             const QString& password) {
    SetConnectionParameters(address, port, service, user, password);
}

void HttpGateway::SetConnectionParameters(const QString& address, const QString& port, const QString& service,
                                          const QString& user, const QString& password) {
    address_ = address.trimmed();
    port_ = port.trimmed();
    service_ = service;
    user_ = user;
    password_ = password;
}

void HttpGateway::setTimeouts(int connectMs, int replyMs) {
    connectTimeoutMs_ = connectMs;
    replyTimeoutMs_ = replyMs;
}

void HttpGateway::setLimits(qint64 maxFile, qint64 maxInfo) {
    maxFile_ = maxFile;
    maxInfo_ = maxInfo;
}

QString HttpGateway::reasonText(int raison) {
    static const char* const textes[] = {
        "",
        "the server address or file name cannot be used",
        "another exchange with the server is running",
        "the server cannot be reached",
        "no connection within the time limit",
        "no complete reply within the time limit",
        "the server refused the login",
        "the proxy refused the login",
        "the server refused the request",
        "the reply was cut short",
        "the reply is over the size limit",
        "a local file cannot be read or written",
        "the server's certificate is not trusted",
        "the proxy cannot be reached",
        "the server redirects the request elsewhere",
        "the server does not speak TLS on that port",
        "the certificate file QAVO_CA_FILE is missing or holds no certificate",
        "the reply is compressed",
        "the server has no such file",
    };
    return raison > 0 && raison < int(std::size(textes)) ? QString::fromLatin1(textes[raison]) : QString();
}

int HttpGateway::echec(int raison, const QString& detail) {
    lastReason_ = raison;
    lastDetail_ = detail;
    lastError_ =
        detail.isEmpty() ? reasonText(raison) : reasonText(raison) + QStringLiteral(" (") + detail + u')';
    return raison;
}

int HttpGateway::GetFileHTTP_QAVO(const QString& remoteName, const QString& localPath) {
    if (!nomNu(remoteName)) return echec(NonConfigure, remoteName);
    // Written beside the target and renamed over it only once the whole body is in. Not synced: the server
    // keeps the original, and a machine that stops meanwhile fetches it again.
    platform::AtomicFile sortie(localPath, platform::AtomicFile::Durability::Unsynced);
    if (!sortie.open()) return echec(FichierLocal, localPath + QStringLiteral(": ") + sortie.errorString());
    const int r = executer("GET", QStringLiteral("files/") + remoteName, {}, maxFile_, &sortie, nullptr);
    if (r != Ok) {
        sortie.discard();
        return r;
    }
    if (!sortie.commit()) return echec(FichierLocal, localPath + QStringLiteral(": ") + sortie.errorString());
    return Ok;
}

int HttpGateway::PutFileHTTP_QAVO(const QString& localPath, const QString& remoteName) {
    if (!nomNu(remoteName)) return echec(NonConfigure, remoteName);
    QFile f(localPath);
    if (!f.open(QIODevice::ReadOnly))
        return echec(FichierLocal, localPath + QStringLiteral(": ") + f.errorString());
    if (f.size() > maxFile_)
        return echec(TropGrand, QStringLiteral("%1: %2 > %3").arg(localPath).arg(f.size()).arg(maxFile_));
    // The reply to a store is a short status text: a larger one is not the server's.
    return executer("PUT", QStringLiteral("files/") + remoteName, f.readAll(), maxInfo_, nullptr, nullptr);
}

QByteArray HttpGateway::GetIhmInfo(QByteArray& request, qint16& length) {
    const QByteArray corpsRequete = request.left(qMax<qsizetype>(0, length));
    QByteArray reponse;
    if (executer("POST", QStringLiteral("ihm"), corpsRequete, maxInfo_, nullptr, &reponse) != Ok) return {};
    return reponse;
}

bool HttpGateway::cible(const QByteArray& verb, const QString& path, Cible& c) const {
    // "https://" before the address asks for TLS, so the credentials never cross in clear text.
    QString hote = address_;
    c.tls = hote.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (c.tls)
        hote = hote.mid(8);
    else if (hote.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        hote = hote.mid(7);
    while (hote.endsWith(QLatin1Char('/')))
        hote.chop(1);
    QUrl url;
    url.setScheme(c.tls ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(hote);
    url.setPort(port_.isEmpty() ? (c.tls ? 443 : 80) : port_.toInt());
    url.setPath(QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(service_)) + QLatin1Char('/') +
                    QString::fromLatin1(QUrl::toPercentEncoding(path, "/")),
                QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) return false;
    c.verb = verb;
    c.hote = url.host();
    c.port = url.port();
    c.url = url.toEncoded();
    c.texte = QString::fromLatin1(verb) + QLatin1Char(' ') + url.toDisplayString();
    if (!proxyAddress_.isEmpty())
        c.texte += QStringLiteral(" via proxy ") + hotePort(proxyAddress_, proxyPort_.toInt());
    return true;
}

int HttpGateway::executer(const QByteArray& verb, const QString& path, const QByteArray& body, qint64 limite,
                          platform::AtomicFile* sortie, QByteArray* corps) {
    if (busy_) return echec(Occupe, {});
    if (address_.isEmpty()) return echec(NonConfigure, QStringLiteral("HADDR"));
    lastReason_ = Ok;
    lastError_.clear();
    lastDetail_.clear();
    Cible c;
    if (!cible(verb, path, c)) return echec(NonConfigure, address_);
    const QString fichierCa = qEnvironmentVariable("QAVO_CA_FILE");
    if (c.tls && !fichierCa.isEmpty() && !QFileInfo(fichierCa).isFile())
        return echec(FichierCa,
                     QStringLiteral("QAVO_CA_FILE=") + fichierCa + QStringLiteral(": no such file"));
    // One handle for every request: its buffers and its name cache stay warm; the options start afresh.
    if (easy_)
        curl_easy_reset(easy_);
    else if (curlDemarre())
        easy_ = curl_easy_init();
    CURL* const h = easy_;
    if (!h) return echec(Connexion, c.texte + QStringLiteral(": libcurl"));
    if (!boucle_) boucle_ = std::make_unique<CurlEventLoop>();

    preparer(h, c);
    Headers entetes(curl_slist_append(nullptr, "Accept-Encoding: identity"));
    // The body follows its headers at once; but a proxy that asks for its login answers before reading
    // a body, which then spoils the connection's next request: through one, the body waits for a 100.
    curl_slist_append(entetes.get(),
                      proxyAddress_.isEmpty() || body.isEmpty() ? "Expect:" : "Expect: 100-continue");
    if (verb != "GET") {
        curl_slist_append(entetes.get(), "Content-Type: application/octet-stream");
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        if (verb != "POST") curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, verb.constData());
    }
    // A stored file carries its digest, so a server can refuse one cut on the way.
    const QByteArray digest =
        verb == "PUT"
            ? "Digest: sha-256=" + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toBase64()
            : QByteArray();
    if (!digest.isEmpty()) curl_slist_append(entetes.get(), digest.constData());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, entetes.get());
    HttpReply reponse(limite, sortie, corps);
    reponse.attach(h);
    char erreur[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, erreur);

    busy_ = true;
    const CURLcode code = boucle_->run(h);
    busy_ = false;
    const int resultat = conclure(code, h, reponse, c, erreur);
    // Nothing of this request's (its buffer, its headers, its reply) is left pointed at.
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    return resultat;
}

// What every request of the gateway shares: the target, the credentials, the proxy, the trust, the limits.
void HttpGateway::preparer(void* easy, const Cible& c) const {
    CURL* h = easy;
    curl_easy_setopt(h, CURLOPT_URL, c.url.constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_TCP_NODELAY, 1L); // headers and body leave at once
    curl_easy_setopt(h, CURLOPT_USERAGENT, "QAVO/" QAVO_VERSION);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(connectTimeoutMs_));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(replyTimeoutMs_));
    if (!user_.isEmpty() || !password_.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_BASIC); // sent at once, without a challenge
        curl_easy_setopt(h, CURLOPT_USERNAME, user_.toUtf8().constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password_.toUtf8().constData());
    }
    // Only the proxy given on the command line; "" also keeps libcurl off the environment's proxies.
    const QByteArray proxy = proxyAddress_.isEmpty()
                                 ? QByteArray()
                                 : "http://" + hotePort(proxyAddress_, proxyPort_.toInt()).toUtf8();
    curl_easy_setopt(h, CURLOPT_PROXY, proxy.constData());
    // A tunnel's "200 Connection established" is the proxy's, not the server's reply.
    curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!proxy.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_ANY); // Basic, NTLM, Negotiate: as the proxy asks
        curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, proxyLogin_.toUtf8().constData());
        curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, proxyPassword_.toUtf8().constData());
    }
    // The system's authorities, plus those of QAVO_CA_FILE (a private server's own certificate, or its
    // private authority). A chain that reaches any certificate of the file is trusted: libcurl leaves
    // OpenSSL's partial-chain check on unless told otherwise.
    const QByteArray fichierCa = QFile::encodeName(qEnvironmentVariable("QAVO_CA_FILE"));
    if (c.tls && !fichierCa.isEmpty()) curl_easy_setopt(h, CURLOPT_CAINFO, fichierCa.constData());
}

int HttpGateway::conclure(int code, void* easy, const HttpReply& reponse, const Cible& c,
                          const char* erreur) {
    CURL* h = easy;
    if (reponse.refusal != Ok)
        return echec(reponse.refusal, c.texte + QStringLiteral(": ") + reponse.refusalDetail);
    if (code == CURLE_OK) return conclureHttp(reponse, c);
    // The proxy's answer to a tunnel request (https through the proxy).
    const long tunnel = infoNombre(h, CURLINFO_HTTP_CONNECTCODE);
    if (tunnel == 407) return echec(RefusProxy, c.texte + QStringLiteral(": HTTP 407"));
    if (tunnel >= 300)
        return echec(Connexion, c.texte + QStringLiteral(": the proxy answered %1 to CONNECT").arg(tunnel));
    if (code == CURLE_PARTIAL_FILE)
        return echec(Incomplet,
                     c.texte + QStringLiteral(": %1 / %2").arg(reponse.received).arg(reponse.announced));
    if (reponse.status != 0 && code != CURLE_OPERATION_TIMEDOUT)
        return echec(Incomplet, c.texte + QStringLiteral(": %1 / ?, ").arg(reponse.received) +
                                    QString::fromUtf8(erreur));
    return echecTransport(code, h, c, QString::fromUtf8(erreur));
}

// A complete HTTP reply: its status, then whether its body is the whole of what was sent.
int HttpGateway::conclureHttp(const HttpReply& r, const Cible& c) {
    const QString statut = c.texte + QStringLiteral(": ") + r.statusLine();
    if (r.status == 401) return echec(Refus, statut);
    if (r.status == 407) return echec(RefusProxy, statut);
    if (r.status >= 300 && r.status <= 399) {
        // Where it points, made absolute, without any credentials.
        const QUrl vers = QUrl::fromEncoded(c.url).resolved(QUrl::fromEncoded(r.location));
        return echec(Redirection,
                     statut + QStringLiteral(" -> ") + vers.toDisplayString(QUrl::RemoveUserInfo));
    }
    if (r.status == 404) return echec(Absent, statut);
    if (!r.success()) return echec(StatutHttp, statut);
    if (r.announced >= 0 && r.announced != r.received)
        return echec(Incomplet, c.texte + QStringLiteral(": %1 / %2").arg(r.received).arg(r.announced));
    // A fetched file must have a known end: a reply ended by closing the connection may have been cut.
    if (c.verb == "GET" && r.announced < 0 && !r.chunked && r.digest.isEmpty())
        return echec(Incomplet, c.texte + QStringLiteral(": %1 / ?, no Content-Length").arg(r.received));
    // A whole-looking reply that is shorter than the file it announces (a server cut off while reading).
    if (!r.digestMatches())
        return echec(Incomplet, c.texte + QStringLiteral(": %1 / ?, Digest").arg(r.received));
    return Ok;
}

// No HTTP reply at all: the proxy, the name, the connection, the time or the TLS handshake failed.
int HttpGateway::echecTransport(int code, void* easy, const Cible& c, const QString& erreur) {
    CURL* h = easy;
    const bool viaProxy = !proxyAddress_.isEmpty();
    const int errno_ = int(infoNombre(h, CURLINFO_OS_ERRNO));
    const QString cause = errno_ != 0 ? qt_error_string(errno_) : erreur;
    const QString ip = infoTexte(h, CURLINFO_PRIMARY_IP);
    const QString adresse = ip.isEmpty() || ip == proxyAddress_ ? QString() : QStringLiteral(" [%1]").arg(ip);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
        return echec(Proxy, c.texte + QStringLiteral(": ") + erreur);
    case CURLE_COULDNT_CONNECT:
        return echec(viaProxy ? Proxy : Connexion, c.texte + adresse + QStringLiteral(": ") + cause);
    case CURLE_OPERATION_TIMEDOUT:
        if (viaProxy && infoDuree(h, CURLINFO_CONNECT_TIME_T) == 0)
            return echec(Proxy, c.texte + adresse +
                                    QStringLiteral(": no connection within %1 ms").arg(connectTimeoutMs_));
        if (infoDuree(h, CURLINFO_PRETRANSFER_TIME_T) == 0)
            return echec(DelaiConnexion, c.texte + QStringLiteral(": %1 ms").arg(connectTimeoutMs_));
        return echec(DelaiReponse, c.texte + QStringLiteral(": %1 ms").arg(replyTimeoutMs_));
    case CURLE_PEER_FAILED_VERIFICATION:
        return echec(Tls, c.texte + QStringLiteral(": ") + erreur);
    case CURLE_SSL_CACERT_BADFILE:
        return echec(FichierCa, QStringLiteral("QAVO_CA_FILE=") + qEnvironmentVariable("QAVO_CA_FILE") +
                                    QStringLiteral(": ") + erreur);
    case CURLE_SSL_CONNECT_ERROR:
        if (c.tls && repondEnClair(c))
            return echec(PasTls, c.texte + QStringLiteral(": the port answers plain HTTP (") + erreur + u')');
        return echec(Tls, c.texte + QStringLiteral(": ") + erreur);
    case CURLE_URL_MALFORMAT:
        return echec(NonConfigure, c.texte);
    default:
        return echec(Connexion,
                     c.texte + adresse + QStringLiteral(": ") + (erreur.isEmpty() ? cause : erreur));
    }
}

// After a failed TLS handshake: does the port answer plain HTTP? Then the address should not say https.
bool HttpGateway::repondEnClair(const Cible& c) {
    Easy h(curl_easy_init());
    if (!h) return false;
    Cible clair = c;
    clair.tls = false;
    clair.url = "http://" + hotePort(c.hote, c.port).toUtf8() + '/';
    preparer(h.get(), clair);
    curl_easy_setopt(h.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h.get(), CURLOPT_USERNAME, nullptr); // no credentials in clear text
    curl_easy_setopt(h.get(), CURLOPT_PASSWORD, nullptr);
    curl_easy_setopt(h.get(), CURLOPT_TIMEOUT_MS, long(connectTimeoutMs_));
    HttpReply reponse(HttpGateway::TailleMaxInfo, nullptr, nullptr);
    reponse.attach(h.get());
    busy_ = true;
    boucle_->run(h.get());
    busy_ = false;
    return reponse.status > 0;
}
