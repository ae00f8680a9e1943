#include "server/http_gateway.h"

#include "platform/atomic_file.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

namespace {

bool nomNu(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String("..") && name != QLatin1String(".");
}

// The SHA-256 value of an RFC 3230 Digest header ("sha-256=BASE64", among others), empty when absent.
QByteArray sha256Of(const QByteArray& header) {
    for (const QByteArray& part : header.split(',')) {
        const QByteArray t = part.trimmed();
        if (t.size() > 8 && t.first(8).toLower() == "sha-256=") return QByteArray::fromBase64(t.mid(8));
    }
    return {};
}

} // namespace

HttpGateway::HttpGateway() = default;
HttpGateway::~HttpGateway() = default;

void HttpGateway::SetProxyParameters(const QString& address, const QString& port, const QString& login,
                                     const QString& password) {
    proxy_ = QNetworkProxy(QNetworkProxy::HttpProxy, address, quint16(port.toUShort()), login, password);
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
    // Written beside the target and renamed over it only once the whole body is in.
    platform::AtomicFile sortie(localPath);
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

int HttpGateway::executer(const QByteArray& verb, const QString& path, const QByteArray& body, qint64 limite,
                          platform::AtomicFile* sortie, QByteArray* corps) {
    if (busy_) return echec(Occupe, {});
    if (address_.isEmpty()) return echec(NonConfigure, QStringLiteral("HADDR"));
    lastReason_ = Ok;
    lastError_.clear();
    lastDetail_.clear();

    // "https://" before the address asks for TLS, so the credentials never cross in clear text.
    QString hote = address_;
    const bool tls = hote.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (tls)
        hote = hote.mid(8);
    else if (hote.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        hote = hote.mid(7);
    while (hote.endsWith(QLatin1Char('/')))
        hote.chop(1);
    QUrl url;
    url.setScheme(tls ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(hote);
    url.setPort(port_.isEmpty() ? (tls ? 443 : 80) : port_.toInt());
    url.setPath(QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(service_)) + QLatin1Char('/') +
                    QString::fromLatin1(QUrl::toPercentEncoding(path, "/")),
                QUrl::TolerantMode);
    const QString cible = QString::fromLatin1(verb) + QLatin1Char(' ') + url.toDisplayString();
    if (!url.isValid() || url.host().isEmpty()) return echec(NonConfigure, address_);

    if (!nam_) nam_ = std::make_unique<QNetworkAccessManager>();
    nam_->setProxy(proxy_);

    QNetworkRequest req(url);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Bodies as sent, so their length can be checked against Content-Length.
    req.setRawHeader("Accept-Encoding", "identity");
    if (!user_.isEmpty() || !password_.isEmpty())
        req.setRawHeader("Authorization",
                         "Basic " + (user_ + QLatin1Char(':') + password_).toUtf8().toBase64());
    if (tls) {
        // The system's authorities, plus those of QAVO_CA_FILE (a private server's own certificate).
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        const QString fichierCa = qEnvironmentVariable("QAVO_CA_FILE");
        if (!fichierCa.isEmpty()) {
            const QList<QSslCertificate> certificats = QSslCertificate::fromPath(fichierCa);
            if (certificats.isEmpty()) return echec(Tls, QStringLiteral("QAVO_CA_FILE=") + fichierCa);
            conf.setCaCertificates(QSslConfiguration::systemCaCertificates() + certificats);
        }
        req.setSslConfiguration(conf);
        // Connections kept from an earlier call hold the trust they were made with.
        if (fichierCa != caUtilise_) {
            nam_->clearConnectionCache();
            caUtilise_ = fichierCa;
        }
    }
    if (verb != "GET")
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    // A stored file carries its digest, so a server can refuse one cut on the way.
    if (verb == "PUT")
        req.setRawHeader("Digest",
                         "sha-256=" + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toBase64());

    busy_ = true;
    QNetworkReply* reply = verb == "GET" ? nam_->get(req) : nam_->sendCustomRequest(req, verb, body);
    std::unique_ptr<QNetworkReply> owner(reply);

    int raison = Ok;
    QString texte;
    qint64 recus = 0;
    QCryptographicHash empreinte(QCryptographicHash::Sha256);
    bool connecte = false;
    QEventLoop loop;
    QTimer delaiConnexion, delaiReponse;
    delaiConnexion.setSingleShot(true);
    delaiReponse.setSingleShot(true);
    auto arreter = [&](int r, const QString& t) {
        if (raison != Ok) return;
        raison = r;
        texte = t;
        reply->abort();
    };
    auto marquerConnecte = [&] {
        connecte = true;
        delaiConnexion.stop();
    };
    QObject::connect(&delaiConnexion, &QTimer::timeout, &loop, [&] {
        if (!connecte) arreter(DelaiConnexion, QStringLiteral("%1 ms").arg(connectTimeoutMs_));
    });
    QObject::connect(&delaiReponse, &QTimer::timeout, &loop,
                     [&] { arreter(DelaiReponse, QStringLiteral("%1 ms").arg(replyTimeoutMs_)); });
    QObject::connect(reply, &QNetworkReply::requestSent, &loop, marquerConnecte);
    QObject::connect(reply, &QNetworkReply::uploadProgress, &loop, marquerConnecte);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        marquerConnecte();
        const QVariant longueur = reply->header(QNetworkRequest::ContentLengthHeader);
        if (limite > 0 && longueur.isValid() && longueur.toLongLong() > limite)
            arreter(TropGrand, QStringLiteral("%1 > %2").arg(longueur.toLongLong()).arg(limite));
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        marquerConnecte();
        const QByteArray morceau = reply->readAll();
        recus += morceau.size();
        if (limite > 0 && recus > limite) {
            arreter(TropGrand, QStringLiteral("> %1").arg(limite));
            return;
        }
        // Only a successful reply's body is kept; an error page is not the file.
        const int statut = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (statut < 200 || statut > 299) return;
        empreinte.addData(morceau);
        if (sortie && !sortie->write(morceau))
            arreter(FichierLocal, sortie->targetPath() + QStringLiteral(": ") + sortie->errorString());
        else if (corps)
            corps->append(morceau);
    });
    QString erreursTls;
    QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& erreurs) {
        QStringList textes;
        for (const QSslError& e : erreurs)
            textes << e.errorString();
        erreursTls = textes.join(QStringLiteral("; "));
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    delaiConnexion.start(connectTimeoutMs_);
    delaiReponse.start(replyTimeoutMs_);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    busy_ = false;

    if (raison != Ok) return echec(raison, cible + QStringLiteral(": ") + texte);

    const int statut = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QString http = QStringLiteral("HTTP %1 %2").arg(statut).arg(phrase).trimmed();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::AuthenticationRequiredError:
        return echec(Refus, cible + QStringLiteral(": ") + http);
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return echec(RefusProxy, cible + QStringLiteral(": HTTP 407"));
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyConnectionClosedError:
        return echec(Connexion, cible + QStringLiteral(": ") + reply->errorString());
    case QNetworkReply::SslHandshakeFailedError:
        return echec(Tls, cible + QStringLiteral(": ") +
                              (erreursTls.isEmpty() ? reply->errorString() : erreursTls));
    case QNetworkReply::RemoteHostClosedError:
        if (statut == 0) return echec(Connexion, cible + QStringLiteral(": ") + reply->errorString());
        return echec(Incomplet, cible + QStringLiteral(": %1 / ?").arg(recus));
    default:
        if (statut == 404) return echec(Absent, cible + QStringLiteral(": ") + http);
        if (statut != 0) return echec(StatutHttp, cible + QStringLiteral(": ") + http);
        return echec(Incomplet, cible + QStringLiteral(": ") + reply->errorString());
    }
    if (statut == 404) return echec(Absent, cible + QStringLiteral(": ") + http);
    if (statut < 200 || statut > 299) return echec(StatutHttp, cible + QStringLiteral(": ") + http);
    const QVariant longueur = reply->header(QNetworkRequest::ContentLengthHeader);
    if (longueur.isValid() && longueur.toLongLong() != recus)
        return echec(Incomplet, cible + QStringLiteral(": %1 / %2").arg(recus).arg(longueur.toLongLong()));
    // A whole-looking reply that is shorter than the file it announces (a server cut off while reading).
    const QByteArray attendu = sha256Of(reply->rawHeader("Digest"));
    if (!attendu.isEmpty() && attendu != empreinte.result())
        return echec(Incomplet, cible + QStringLiteral(": %1 / ?, Digest").arg(recus));
    return Ok;
}
