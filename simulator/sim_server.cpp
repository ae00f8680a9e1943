#include "sim_server.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

namespace sim {

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
        Connection& c = connections_[socket];
        // Head and body go out as separate writes: without this, delayed acknowledgements hold every
        // small reply back by tens of milliseconds.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // Restarted by every arrival: a client that stops sending (half a head, a short body, an idle
        // connection) does not hold its connection for ever.
        c.stall = new QTimer(socket);
        c.stall->setInterval(options_.requestTimeoutMs);
        c.stall->start();
        connect(c.stall, &QTimer::timeout, this, [this, socket] { stalled(socket); });
        // A long reply that a client takes in slowly is progress too (a stopped timer waits for a slow
        // fault).
        connect(socket, &QTcpSocket::bytesWritten, c.stall, [timer = c.stall] {
            if (timer->isActive()) timer->start();
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { connections_.erase(socket); });
    }
}

void SimServer::readFrom(QTcpSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    const QByteArray data = socket->readAll();
    if (socket->state() != QAbstractSocket::ConnectedState) return;
    if (!c.busy) c.stall->start();
    if (c.discard >= 0) {
        c.discard -= data.size();
        if (c.discard <= 0) socket->disconnectFromHost();
        return;
    }
    c.buffer += data;
    while (!c.busy && socket->state() == QAbstractSocket::ConnectedState) {
        const std::optional<HttpRequest> request = takeRequest(socket, c);
        if (!request) return;
        QString logLine;
        const Reply reply = handle(*request, logLine);
        log(logLine);
        if (reply.delayMs <= 0) {
            send(socket, reply, request->keepAlive);
            continue;
        }
        c.busy = true;
        c.stall->stop();
        QTimer::singleShot(reply.delayMs, socket, [this, socket, reply, keepAlive = request->keepAlive] {
            send(socket, reply, keepAlive);
            auto again = connections_.find(socket);
            if (again == connections_.end()) return;
            again->second.busy = false;
            readFrom(socket);
        });
        return;
    }
}

std::optional<HttpRequest> SimServer::takeRequest(QTcpSocket* socket, Connection& c) {
    if (!c.pending) {
        HttpRequest head;
        const ParseResult parsed = takeHead(c.buffer, head);
        if (parsed == ParseResult::Incomplete) return std::nullopt;
        if (parsed != ParseResult::Complete) {
            const int status = parsed == ParseResult::TooLarge ? 413 : 400;
            log(QStringLiteral("? ? %1").arg(status));
            send(socket, textReply(status, reasonPhrase(status)), false);
            return std::nullopt;
        }
        const bool bodyToCome = c.buffer.size() < head.bodyLength;
        if (bodyToCome) {
            if (const auto refused = refusal(head)) {
                refuse(socket, c, head, *refused);
                return std::nullopt;
            }
            if (head.expectsContinue()) socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        }
        c.pending = std::move(head);
    }
    if (c.buffer.size() < c.pending->bodyLength) return std::nullopt;
    HttpRequest request = std::move(*c.pending);
    c.pending.reset();
    request.body = c.buffer.left(request.bodyLength);
    c.buffer.remove(0, request.bodyLength);
    return request;
}

// Answered from its head alone, the body is never taken in. The connection ends once the body the client
// may still send is thrown away: closing with unread bytes would reset it and could lose the reply.
void SimServer::refuse(QTcpSocket* socket, Connection& c, const HttpRequest& head, const Reply& reply) {
    log(QString::fromLatin1(head.method + ' ' + head.path) + QStringLiteral(" %1").arg(reply.status));
    Reply r = reply;
    r.headOnly = head.method == "HEAD";
    write(socket, r, false);
    c.discard = head.bodyLength - c.buffer.size();
    c.buffer.clear();
}

void SimServer::stalled(QTcpSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end() || it->second.busy) return;
    Connection& c = it->second;
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->abort(); // a client that does not even take the closing reply
        return;
    }
    if (c.discard >= 0 || (!c.pending && c.buffer.isEmpty())) {
        socket->disconnectFromHost();
        return;
    }
    const QString what =
        c.pending ? QString::fromLatin1(c.pending->method + ' ' + c.pending->path) : QStringLiteral("? ?");
    log(what + QStringLiteral(" 408"));
    send(socket, textReply(408, "the request stopped arriving"), false);
}

void SimServer::write(QTcpSocket* socket, const Reply& reply, bool keepAlive) {
    QByteArray extra = reply.extraHeaders;
    if (reply.status == 401) extra += "WWW-Authenticate: Basic realm=\"qavo\"\r\n";
    // A drop announces a connection that stays, then ends it in the middle of the body.
    socket->write(responseHead(reply.status, reply.body.size(), keepAlive || reply.drop, extra));
    if (reply.headOnly) return;
    socket->write(reply.drop ? reply.body.left(reply.body.size() / 2) : reply.body);
}

void SimServer::send(QTcpSocket* socket, const Reply& reply, bool keepAlive) {
    write(socket, reply, keepAlive);
    if (!keepAlive || reply.drop) socket->disconnectFromHost();
}

void SimServer::log(const QString& line) {
    if (options_.control && !line.isEmpty()) log_.append(line);
}

} // namespace sim
