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

bool isBareName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String("..") && name != QLatin1String(".");
}

// libcurl's global start-up, once per process.
bool curlStarted() {
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

QString infoText(CURL* h, CURLINFO info) {
    char* text = nullptr;
    curl_easy_getinfo(h, info, &text);
    return text ? QString::fromUtf8(text) : QString();
}

long infoNumber(CURL* h, CURLINFO info) {
    long n = 0;
    curl_easy_getinfo(h, info, &n);
    return n;
}

curl_off_t infoDuration(CURL* h, CURLINFO info) {
    curl_off_t n = 0;
    curl_easy_getinfo(h, info, &n);
    return n;
}

// "host:port", an IPv6 address in brackets.
QString hostPort(const QString& hostName, int port) {
    return (hostName.contains(QLatin1Char(':')) ? u'[' + hostName + u']' : hostName) + u':' +
           QString::number(port);
}

} // namespace

// One request's target: what libcurl is given, and the words a message uses for it.
struct HttpGateway::Target {
    QByteArray verb;
    QString hostName;
    int port = 0;
    bool tls = false;
    QByteArray url;
    QString text; // "GET http://host:port/qavo/files/arbre.maa via proxy p:3128"
};

HttpGateway::HttpGateway() = default;

HttpGateway::~HttpGateway() {
    if (easy_) curl_easy_cleanup(easy_);
}

void HttpGateway::SetProxyParameters(const QString& address, const QString& port, const QString& login,
                                     const QString& password) {
    if (address.trimmed() != proxyAddress_ || port.trimmed() != proxyPort_) lastTarget_.reset();
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
    // Set again before every request: the target is made anew only when it changes.
    if (address.trimmed() != address_ || port.trimmed() != port_ || service != service_) lastTarget_.reset();
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

QString HttpGateway::reasonText(int reason) {
    static const char* const texts[] = {
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
    return reason > 0 && reason < int(std::size(texts)) ? QString::fromLatin1(texts[reason]) : QString();
}

int HttpGateway::fail(int reason, const QString& detail) {
    lastReason_ = reason;
    lastDetail_ = detail;
    lastError_ =
        detail.isEmpty() ? reasonText(reason) : reasonText(reason) + QStringLiteral(" (") + detail + u')';
    return reason;
}

int HttpGateway::GetFileHTTP_QAVO(const QString& remoteName, const QString& localPath) {
    if (!isBareName(remoteName)) return fail(NotConfigured, remoteName);
    // Written beside the target and renamed over it only once the whole body is in. Not synced: the server
    // keeps the original, and a machine that stops meanwhile fetches it again.
    platform::AtomicFile output(localPath, platform::AtomicFile::Durability::Unsynced);
    if (!output.open()) return fail(LocalFile, localPath + QStringLiteral(": ") + output.errorString());
    const int r = execute("GET", QStringLiteral("files/") + remoteName, {}, maxFile_, &output, nullptr);
    if (r != Ok) {
        output.discard();
        return r;
    }
    if (!output.commit()) return fail(LocalFile, localPath + QStringLiteral(": ") + output.errorString());
    return Ok;
}

int HttpGateway::PutFileHTTP_QAVO(const QString& localPath, const QString& remoteName) {
    if (!isBareName(remoteName)) return fail(NotConfigured, remoteName);
    QFile f(localPath);
    if (!f.open(QIODevice::ReadOnly))
        return fail(LocalFile, localPath + QStringLiteral(": ") + f.errorString());
    if (f.size() > maxFile_)
        return fail(TooLarge, QStringLiteral("%1: %2 > %3").arg(localPath).arg(f.size()).arg(maxFile_));
    // The reply to a store is a short status text: a larger one is not the server's.
    return execute("PUT", QStringLiteral("files/") + remoteName, f.readAll(), maxInfo_, nullptr, nullptr);
}

QByteArray HttpGateway::GetIhmInfo(QByteArray& request, qint16& length) {
    const QByteArray requestBody = request.left(qMax<qsizetype>(0, length));
    QByteArray reply;
    if (execute("POST", QStringLiteral("ihm"), requestBody, maxInfo_, nullptr, &reply) != Ok) return {};
    return reply;
}

bool HttpGateway::resolveTarget(const QByteArray& verb, const QString& path, Target& c) const {
    // "https://" before the address asks for TLS, so the credentials never cross in clear text.
    QString hostName = address_;
    c.tls = hostName.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (c.tls)
        hostName = hostName.mid(8);
    else if (hostName.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        hostName = hostName.mid(7);
    while (hostName.endsWith(QLatin1Char('/')))
        hostName.chop(1);
    QUrl url;
    url.setScheme(c.tls ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(hostName);
    url.setPort(port_.isEmpty() ? (c.tls ? 443 : 80) : port_.toInt());
    url.setPath(QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(service_)) + QLatin1Char('/') +
                    QString::fromLatin1(QUrl::toPercentEncoding(path, "/")),
                QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) return false;
    c.verb = verb;
    c.hostName = url.host();
    c.port = url.port();
    c.url = url.toEncoded();
    c.text = QString::fromLatin1(verb) + QLatin1Char(' ') + url.toDisplayString();
    if (!proxyAddress_.isEmpty())
        c.text += QStringLiteral(" via proxy ") + hostPort(proxyAddress_, proxyPort_.toInt());
    return true;
}

int HttpGateway::execute(const QByteArray& verb, const QString& path, const QByteArray& body, qint64 maxBytes,
                         platform::AtomicFile* output, QByteArray* replyBody) {
    if (busy_) return fail(Busy, {});
    if (address_.isEmpty()) return fail(NotConfigured, QStringLiteral("HADDR"));
    lastReason_ = Ok;
    lastError_.clear();
    lastDetail_.clear();
    // The line tables ask the same thing thousands of times: the target of the last request serves again
    // while the address and the path stay the same.
    if (!lastTarget_ || lastTarget_->verb != verb || lastPath_ != path) {
        auto target = std::make_unique<Target>();
        if (!resolveTarget(verb, path, *target)) return fail(NotConfigured, address_);
        lastTarget_ = std::move(target);
        lastPath_ = path;
    }
    const Target& c = *lastTarget_;
    const QString caFile = qEnvironmentVariable("QAVO_CA_FILE");
    if (c.tls && !caFile.isEmpty() && !QFileInfo(caFile).isFile())
        return fail(CaFile, QStringLiteral("QAVO_CA_FILE=") + caFile + QStringLiteral(": no such file"));
    // One handle for every request: its buffers and its name cache stay warm; the options start afresh.
    if (easy_)
        curl_easy_reset(easy_);
    else if (curlStarted())
        easy_ = curl_easy_init();
    CURL* const h = easy_;
    if (!h) return fail(Connection, c.text + QStringLiteral(": libcurl"));
    if (!eventLoop_) eventLoop_ = std::make_unique<CurlEventLoop>();

    prepare(h, c);
    Headers requestHeaders(curl_slist_append(nullptr, "Accept-Encoding: identity"));
    // The body follows its headers at once; but a proxy that asks for its login answers before reading
    // a body, which then spoils the connection's next request: through one, the body waits for a 100.
    curl_slist_append(requestHeaders.get(),
                      proxyAddress_.isEmpty() || body.isEmpty() ? "Expect:" : "Expect: 100-continue");
    if (verb != "GET") {
        curl_slist_append(requestHeaders.get(), "Content-Type: application/octet-stream");
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        if (verb != "POST") curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, verb.constData());
    }
    // A stored file carries its digest, so a server can refuse one cut on the way.
    const QByteArray digest =
        verb == "PUT"
            ? "Digest: sha-256=" + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toBase64()
            : QByteArray();
    if (!digest.isEmpty()) curl_slist_append(requestHeaders.get(), digest.constData());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, requestHeaders.get());
    HttpReply reply(maxBytes, output, replyBody);
    reply.attach(h);
    char curlError[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, curlError);

    busy_ = true;
    const CURLcode code = eventLoop_->run(h);
    busy_ = false;
    const int result = finish(code, h, reply, c, curlError);
    // Nothing of this request's (its buffer, its headers, its reply) is left pointed at.
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    return result;
}

// What every request of the gateway shares: the target, the credentials, the proxy, the trust, the limits.
void HttpGateway::prepare(void* easy, const Target& c) const {
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
                                 : "http://" + hostPort(proxyAddress_, proxyPort_.toInt()).toUtf8();
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
    const QByteArray caFile = QFile::encodeName(qEnvironmentVariable("QAVO_CA_FILE"));
    if (c.tls && !caFile.isEmpty()) curl_easy_setopt(h, CURLOPT_CAINFO, caFile.constData());
}

int HttpGateway::finish(int code, void* easy, const HttpReply& reply, const Target& c,
                        const char* curlError) {
    CURL* h = easy;
    if (reply.refusal != Ok) return fail(reply.refusal, c.text + QStringLiteral(": ") + reply.refusalDetail);
    if (code == CURLE_OK) return finishHttp(reply, c);
    // The proxy's answer to a tunnel request (https through the proxy).
    const long tunnel = infoNumber(h, CURLINFO_HTTP_CONNECTCODE);
    if (tunnel == 407) return fail(ProxyRefused, c.text + QStringLiteral(": HTTP 407"));
    if (tunnel >= 300)
        return fail(Connection, c.text + QStringLiteral(": the proxy answered %1 to CONNECT").arg(tunnel));
    if (code == CURLE_PARTIAL_FILE)
        return fail(Incomplete,
                    c.text + QStringLiteral(": %1 / %2").arg(reply.received).arg(reply.announced));
    if (reply.status != 0 && code != CURLE_OPERATION_TIMEDOUT)
        return fail(Incomplete,
                    c.text + QStringLiteral(": %1 / ?, ").arg(reply.received) + QString::fromUtf8(curlError));
    return transportFailure(code, h, c, QString::fromUtf8(curlError));
}

// A complete HTTP reply: its status, then whether its body is the whole of what was sent.
int HttpGateway::finishHttp(const HttpReply& r, const Target& c) {
    // The common case first: a whole reply of the length it announced.
    if (r.success() && r.announced == r.received && r.digestMatches()) return Ok;
    const QString statusText = c.text + QStringLiteral(": ") + r.statusLine();
    if (r.status == 401) return fail(Refused, statusText);
    if (r.status == 407) return fail(ProxyRefused, statusText);
    if (r.status >= 300 && r.status <= 399) {
        // Where it points, made absolute, without any credentials.
        const QUrl redirectUrl = QUrl::fromEncoded(c.url).resolved(QUrl::fromEncoded(r.location));
        return fail(Redirect,
                    statusText + QStringLiteral(" -> ") + redirectUrl.toDisplayString(QUrl::RemoveUserInfo));
    }
    if (r.status == 404) return fail(Absent, statusText);
    if (!r.success()) return fail(HttpStatus, statusText);
    if (r.announced >= 0 && r.announced != r.received)
        return fail(Incomplete, c.text + QStringLiteral(": %1 / %2").arg(r.received).arg(r.announced));
    // A fetched file must have a known end: a reply ended by closing the connection may have been cut.
    if (c.verb == "GET" && r.announced < 0 && !r.chunked && r.digest.isEmpty())
        return fail(Incomplete, c.text + QStringLiteral(": %1 / ?, no Content-Length").arg(r.received));
    // A whole-looking reply that is shorter than the file it announces (a server cut off while reading).
    if (!r.digestMatches())
        return fail(Incomplete, c.text + QStringLiteral(": %1 / ?, Digest").arg(r.received));
    return Ok;
}

// No HTTP reply at all: the proxy, the name, the connection, the time or the TLS handshake failed.
int HttpGateway::transportFailure(int code, void* easy, const Target& c, const QString& curlError) {
    CURL* h = easy;
    const bool viaProxy = !proxyAddress_.isEmpty();
    const int errno_ = int(infoNumber(h, CURLINFO_OS_ERRNO));
    const QString cause = errno_ != 0 ? qt_error_string(errno_) : curlError;
    const QString ip = infoText(h, CURLINFO_PRIMARY_IP);
    const QString urlOf = ip.isEmpty() || ip == proxyAddress_ ? QString() : QStringLiteral(" [%1]").arg(ip);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
        return fail(Proxy, c.text + QStringLiteral(": ") + curlError);
    case CURLE_COULDNT_CONNECT:
        return fail(viaProxy ? Proxy : Connection, c.text + urlOf + QStringLiteral(": ") + cause);
    case CURLE_OPERATION_TIMEDOUT:
        if (viaProxy && infoDuration(h, CURLINFO_CONNECT_TIME_T) == 0)
            return fail(Proxy, c.text + urlOf +
                                   QStringLiteral(": no connection within %1 ms").arg(connectTimeoutMs_));
        if (infoDuration(h, CURLINFO_PRETRANSFER_TIME_T) == 0)
            return fail(ConnectTimeout, c.text + QStringLiteral(": %1 ms").arg(connectTimeoutMs_));
        return fail(ReplyTimeout, c.text + QStringLiteral(": %1 ms").arg(replyTimeoutMs_));
    case CURLE_PEER_FAILED_VERIFICATION:
        return fail(Tls, c.text + QStringLiteral(": ") + curlError);
    case CURLE_SSL_CACERT_BADFILE:
        return fail(CaFile, QStringLiteral("QAVO_CA_FILE=") + qEnvironmentVariable("QAVO_CA_FILE") +
                                QStringLiteral(": ") + curlError);
    case CURLE_SSL_CONNECT_ERROR:
        if (c.tls && answersPlainHttp(c))
            return fail(NotTls,
                        c.text + QStringLiteral(": the port answers plain HTTP (") + curlError + u')');
        return fail(Tls, c.text + QStringLiteral(": ") + curlError);
    case CURLE_URL_MALFORMAT:
        return fail(NotConfigured, c.text);
    default:
        return fail(Connection,
                    c.text + urlOf + QStringLiteral(": ") + (curlError.isEmpty() ? cause : curlError));
    }
}

// After a failed TLS handshake: does the port answer plain HTTP? Then the address should not say https.
bool HttpGateway::answersPlainHttp(const Target& c) {
    Easy h(curl_easy_init());
    if (!h) return false;
    Target plain = c;
    plain.tls = false;
    plain.url = "http://" + hostPort(c.hostName, c.port).toUtf8() + '/';
    prepare(h.get(), plain);
    curl_easy_setopt(h.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h.get(), CURLOPT_USERNAME, nullptr); // no credentials in clear text
    curl_easy_setopt(h.get(), CURLOPT_PASSWORD, nullptr);
    curl_easy_setopt(h.get(), CURLOPT_TIMEOUT_MS, long(connectTimeoutMs_));
    HttpReply reply(HttpGateway::MaxInfoSize, nullptr, nullptr);
    reply.attach(h.get());
    busy_ = true;
    eventLoop_->run(h.get());
    busy_ = false;
    return reply.status > 0;
}
