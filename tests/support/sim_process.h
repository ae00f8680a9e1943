#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace testing_support {

struct HttpResult {
    int status = 0;
    qint64 announced = -1; // Content-Length
    QByteArray body;
    bool complete() const { return announced == body.size(); }
};

// What one connection got for `first`, then for `then` once the server answered something, until the
// server closed it (reading bounded by timeoutMs).
struct RawResult {
    QByteArray data;
    bool closed = false;
};
RawResult rawExchange(quint16 port, const QByteArray& first, const QByteArray& then = {},
                      int timeoutMs = 5000);
// The value of header `name` in an HTTP message, whatever its case; empty when absent.
QByteArray headerValue(const QByteArray& message, const QByteArray& name);

// One request on its own connection, read until the server closes it; bounded by 5 s.
HttpResult httpRequest(quint16 port, const QByteArray& method, const QByteArray& path,
                       const QByteArray& body = {}, const QByteArray& credentials = "u:p");

// qavo-sim as its own process on a fresh folder (a copy of initFrom when given), user "u" password "p",
// on a free loopback port. It is killed with the object.
class SimProcess {
public:
    explicit SimProcess(const QStringList& extra = {QStringLiteral("--control")},
                        const QString& initFrom = defaultServer());
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    static QString defaultServer();

    quint16 port() const { return port_; }
    QString root() const { return root_; }
    QString scratch() const { return dir_.path(); }
    HttpResult get(const QByteArray& path) const { return httpRequest(port_, "GET", path); }
    HttpResult post(const QByteArray& path, const QByteArray& body) const {
        return httpRequest(port_, "POST", path, body);
    }
    // Control requests (the simulator runs with --control): true when the fault was taken.
    bool fault(const QByteArray& spec) const;
    QByteArray log() const;
    // Ends the process; its port then refuses connections.
    void stop();

private:
    QTemporaryDir dir_;
    QString root_;
    QProcess process_;
    quint16 port_ = 0;
};

} // namespace testing_support
