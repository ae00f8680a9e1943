#pragma once

#include "sim_faults.h"
#include "sim_http.h"
#include "sim_log.h"

#include <QObject>
#include <QTcpServer>
#include <map>
#include <memory>
#include <optional>

class QTcpSocket;
class QTimer;

namespace sim {

struct ServerOptions {
    QString root;
    QString user;
    QString password;
    bool control = false; // GET /_sim/log and POST /_sim/fault, and the log kept for them
    QString tlsCert;      // PEM certificate and key: HTTPS instead of HTTP when both are given
    QString tlsKey;
    int requestTimeoutMs = 10000; // a connection that sends nothing for this long is closed
};

// The voice server as the editor sees it: files in one folder, information requests, and faults.
class SimServer : public QObject {
public:
    explicit SimServer(ServerOptions options, QObject* parent = nullptr);

    // False when the port is taken or the TLS certificate or key cannot be read.
    bool listen(quint16 port);
    quint16 port() const { return server_->serverPort(); }
    QString errorString() const { return error_.isEmpty() ? server_->errorString() : error_; }
    FaultList& faults() { return faults_; }

    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray extraHeaders;
        bool drop = false;
        bool headOnly = false; // HEAD: the headers of the GET reply, without its body
        qint64 delayMs = 0;
        QString logNote; // what an information request served, for the log
    };

private:
    struct Connection {
        QByteArray buffer;
        std::optional<HttpRequest> pending; // its head is read, its body is arriving
        qint64 discard = -1; // refused before its body: body bytes still to throw away before closing
        bool busy = false;   // a slow reply is pending; later requests wait for it
        QTimer* stall = nullptr;
    };

    // Connections (sim_server.cpp).
    void accept();
    void readFrom(QTcpSocket* socket);
    std::optional<HttpRequest> takeRequest(QTcpSocket* socket, Connection& c);
    void refuse(QTcpSocket* socket, Connection& c, const HttpRequest& head, const Reply& reply);
    void stalled(QTcpSocket* socket);
    void write(QTcpSocket* socket, const Reply& reply, bool keepAlive);
    void send(QTcpSocket* socket, const Reply& reply, bool keepAlive);
    void log(const QString& line);

    // Replies (sim_replies.cpp).
    std::optional<Reply> refusal(const HttpRequest& head) const;
    bool authorized(const HttpRequest& request) const;
    Reply handle(const HttpRequest& request, QString& logLine);
    bool handleControl(const HttpRequest& request, Reply& reply);
    Reply fileRequest(const HttpRequest& request, const QString& name);
    Reply infoRequest(const HttpRequest& request);

    ServerOptions options_;
    std::unique_ptr<QTcpServer> server_;
    QString error_;
    FaultList faults_;
    RequestLog log_;
    std::map<QTcpSocket*, Connection> connections_;
};

// Sizes of information requests and replies.
constexpr qsizetype kInfoBlockSize = 8704;
constexpr quint32 kInfoMagic = 0xFECAFECA;

// A short text reply; its body ends with a line feed.
SimServer::Reply textReply(int status, const QByteArray& text);

} // namespace sim
