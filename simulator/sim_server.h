#pragma once

#include "sim_faults.h"
#include "sim_http.h"

#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <map>
#include <memory>

class QTcpSocket;

namespace sim {

struct ServerOptions {
    QString root;
    QString user;
    QString password;
    bool control = false; // GET /_sim/log and POST /_sim/fault
    QString tlsCert;      // PEM certificate and key: HTTPS instead of HTTP when both are given
    QString tlsKey;
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
        qint64 delayMs = 0;
        QString logNote; // what an information request served, for the log
    };

private:
    struct Connection {
        QByteArray buffer;
        bool busy = false; // a slow reply is pending; later requests wait for it
    };

    void accept();
    void readFrom(QTcpSocket* socket);
    Reply handle(const HttpRequest& request, QString& logLine);
    bool handleControl(const HttpRequest& request, Reply& reply);
    bool authorized(const HttpRequest& request) const;
    Reply fileRequest(const HttpRequest& request, const QString& name);
    Reply infoRequest(const HttpRequest& request);
    void send(QTcpSocket* socket, const Reply& reply, bool keepAlive);

    ServerOptions options_;
    std::unique_ptr<QTcpServer> server_;
    QString error_;
    FaultList faults_;
    QStringList log_;
    std::map<QTcpSocket*, Connection> connections_;
};

// Sizes of information requests and replies.
constexpr qsizetype kInfoBlockSize = 8704;
constexpr quint32 kInfoMagic = 0xFECAFECA;

} // namespace sim
