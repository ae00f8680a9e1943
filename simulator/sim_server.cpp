#include "sim_server.h"

#include "sim_lines.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>

#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

namespace sim {

namespace {

constexpr qint64 kOversizeFile = 16ll * 1024 * 1024 + 1;
constexpr qint64 kOversizeInfo = 64ll * 1024 + 1;

// RFC 3230 instance digest: lets either side tell a whole file from an honest but short one.
QByteArray sha256Digest(const QByteArray& bytes) {
    return "sha-256=" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toBase64();
}

bool bareName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.contains(QLatin1String("..")) && !name.contains(QChar(0));
}

SimServer::Reply textReply(int status, const QByteArray& text) {
    SimServer::Reply r;
    r.status = status;
    r.body = text + '\n';
    return r;
}

} // namespace

SimServer::SimServer(ServerOptions options, QObject* parent) : QObject(parent), options_(std::move(options)) {
    if (options_.tlsCert.isEmpty() || options_.tlsKey.isEmpty())
        server_ = std::make_unique<QTcpServer>();
    else
        server_ = std::make_unique<QSslServer>();
    // A TLS connection is handed over once its handshake is done.
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, &SimServer::accept);
}

bool SimServer::listen(quint16 port) {
    if (auto* tls = qobject_cast<QSslServer*>(server_.get())) {
        QFile cert(options_.tlsCert);
        QFile key(options_.tlsKey);
        if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
            error_ = QStringLiteral("cannot read the TLS certificate or key");
            return false;
        }
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificate(QSslCertificate(&cert, QSsl::Pem));
        config.setPrivateKey(QSslKey(&key, QSsl::Rsa, QSsl::Pem));
        if (config.localCertificate().isNull() || config.privateKey().isNull()) {
            error_ = QStringLiteral("the TLS certificate or key is not PEM");
            return false;
        }
        tls->setSslConfiguration(config);
    }
    return server_->listen(QHostAddress::LocalHost, port);
}

void SimServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        connections_[socket] = {};
        // Head and body go out as separate writes: without this, delayed acknowledgements hold every
        // small reply back by tens of milliseconds.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { connections_.erase(socket); });
    }
}

void SimServer::readFrom(QTcpSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    c.buffer += socket->readAll();
    while (!c.busy && socket->state() == QAbstractSocket::ConnectedState) {
        HttpRequest request;
        const ParseResult parsed = takeRequest(c.buffer, request);
        if (parsed == ParseResult::Incomplete) return;
        if (parsed != ParseResult::Complete) {
            const int status = parsed == ParseResult::TooLarge ? 413 : 400;
            log_.append(QStringLiteral("? ? %1").arg(status));
            send(socket, textReply(status, reasonPhrase(status)), false);
            return;
        }
        QString logLine;
        const Reply reply = handle(request, logLine);
        if (!logLine.isEmpty()) log_.append(logLine);
        if (reply.delayMs <= 0) {
            send(socket, reply, request.keepAlive);
            continue;
        }
        c.busy = true;
        QTimer::singleShot(reply.delayMs, socket, [this, socket, reply, keepAlive = request.keepAlive] {
            send(socket, reply, keepAlive);
            auto again = connections_.find(socket);
            if (again == connections_.end()) return;
            again->second.busy = false;
            readFrom(socket);
        });
        return;
    }
}

void SimServer::send(QTcpSocket* socket, const Reply& reply, bool keepAlive) {
    QByteArray extra = reply.extraHeaders;
    if (reply.status == 401) extra += "WWW-Authenticate: Basic realm=\"qavo\"\r\n";
    if (reply.drop) {
        // The announced length is the whole body; the connection ends in the middle of it.
        socket->write(responseHead(reply.status, reply.body.size(), true, extra));
        socket->write(reply.body.left(reply.body.size() / 2));
        socket->disconnectFromHost();
        return;
    }
    socket->write(responseHead(reply.status, reply.body.size(), keepAlive, extra));
    socket->write(reply.body);
    if (!keepAlive) socket->disconnectFromHost();
}

bool SimServer::authorized(const HttpRequest& request) const {
    const QByteArray header = request.headers.value("authorization");
    QByteArray credentials;
    if (header.startsWith("Basic "))
        credentials = QByteArray::fromBase64(header.mid(6).trimmed());
    else if (!header.isEmpty())
        return false;
    return credentials == ":" || credentials.isEmpty()
               ? options_.user.isEmpty() && options_.password.isEmpty()
               : credentials == (options_.user + u':' + options_.password).toUtf8();
}

bool SimServer::handleControl(const HttpRequest& request, Reply& reply) {
    if (!options_.control || !request.path.startsWith("/_sim/")) return false;
    if (request.method == "GET" && request.path == "/_sim/log") {
        reply.body = log_.isEmpty() ? QByteArray() : (log_.join(u'\n') + u'\n').toUtf8();
        reply.extraHeaders = "Content-Type: text/plain; charset=utf-8\r\n";
    } else if (request.method == "POST" && request.path == "/_sim/fault") {
        const QString spec = QString::fromUtf8(request.body).trimmed();
        if (spec.isEmpty() || spec == QLatin1String("clear")) {
            faults_.clear();
            return true;
        }
        QString error;
        if (const auto fault = parseFault(spec, &error))
            faults_.add(*fault);
        else
            reply = textReply(400, error.toUtf8());
    } else {
        reply = textReply(404, "unknown control request");
    }
    return true;
}

SimServer::Reply SimServer::handle(const HttpRequest& request, QString& logLine) {
    Reply reply;
    if (handleControl(request, reply)) return reply;
    logLine = QString::fromLatin1(request.method + ' ' + request.path);

    static const QByteArray filesPrefix = "/qavo/files/";
    const bool isFile = request.path.startsWith(filesPrefix);
    const bool isInfo = request.path == "/acd_config/ihm";
    QString name;
    std::optional<quint32> code;
    if (isFile)
        name = QString::fromUtf8(QByteArray::fromPercentEncoding(request.path.mid(filesPrefix.size())));
    if (isInfo && request.body.size() >= 12) code = qFromLittleEndian<quint32>(request.body.constData() + 8);
    if (code) logLine += QStringLiteral(" #%1").arg(*code);

    std::optional<Fault> fault;
    if (!isFile && !isInfo)
        reply = textReply(404, "unknown service or request");
    else if (!authorized(request))
        reply = textReply(401, "bad credentials");
    else if ((fault = faults_.take(name, code)) && fault->kind == FaultKind::Login)
        reply = textReply(401, "login refused");
    else if (isFile)
        reply = fileRequest(request, name);
    else
        reply = infoRequest(request);

    if (fault && fault->kind != FaultKind::Login && reply.status == 200) {
        const bool info = isInfo;
        switch (fault->kind) {
        case FaultKind::Drop:
            reply.drop = true;
            break;
        case FaultKind::Truncate:
            reply.body.truncate(reply.body.size() / 2);
            break;
        case FaultKind::Oversize:
            reply.body.append(QByteArray((info ? kOversizeInfo : kOversizeFile) - reply.body.size(), '\0'));
            break;
        case FaultKind::Slow:
            reply.delayMs = fault->value;
            break;
        case FaultKind::Status:
        case FaultKind::Count:
            if (info) {
                const bool count = fault->kind == FaultKind::Count;
                qToLittleEndian<quint32>(count ? 2 : quint32(fault->value), reply.body.data() + 256);
                qToLittleEndian<quint32>(count ? quint32(fault->value) : 0, reply.body.data() + 272);
            }
            break;
        case FaultKind::Login:
            break;
        }
    }
    logLine += QStringLiteral(" %1").arg(reply.drop ? 0 : reply.status);
    if (fault) logLine += QStringLiteral(" fault=%1").arg(faultKindName(fault->kind));
    logLine += reply.logNote;
    return reply;
}

SimServer::Reply SimServer::fileRequest(const HttpRequest& request, const QString& name) {
    if (!bareName(name)) return textReply(400, "not a bare file name");
    const QString path = QDir(options_.root).filePath(name);
    if (request.method == "GET") {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return textReply(404, "no such file");
        Reply r;
        r.body = file.readAll();
        r.extraHeaders = "Digest: " + sha256Digest(r.body) + "\r\n";
        return r;
    }
    if (request.method == "PUT") {
        const QByteArray digest = request.headers.value("digest");
        if (!digest.isEmpty() && digest != sha256Digest(request.body))
            return textReply(400, "the body does not match its digest");
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(request.body) != request.body.size() ||
            !file.commit())
            return textReply(500, "cannot store the file");
        return textReply(200, "stored");
    }
    return textReply(405, "GET or PUT");
}

SimServer::Reply SimServer::infoRequest(const HttpRequest& request) {
    if (request.method != "POST") return textReply(405, "POST");
    if (request.body.size() < 12 || qFromLittleEndian<quint32>(request.body.constData()) != kInfoMagic)
        return textReply(400, "not an information request");
    // The reply keeps the request's header part; the line files of the root answer it.
    Reply r;
    r.body = QByteArray(kInfoBlockSize, '\0');
    const QByteArray head = request.body.left(256);
    std::copy(head.begin(), head.end(), r.body.begin());
    const quint32 status = repondreIhm(options_.root, request.body, r.body, r.logNote);
    qToLittleEndian<quint32>(status, r.body.data() + 256);
    return r;
}

} // namespace sim
