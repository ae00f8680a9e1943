#include "support/sim_process.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace testing_support {

RawResult rawExchange(quint16 port, const QByteArray& first, const QByteArray& then, int timeoutMs) {
    RawResult r;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(3000)) return r;
    socket.write(first);
    const QDeadlineTimer deadline(timeoutMs);
    bool sentThen = then.isEmpty();
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        r.data += socket.readAll();
        if (!sentThen && !r.data.isEmpty()) sentThen = socket.write(then) == then.size();
    }
    r.data += socket.readAll();
    r.closed = socket.state() == QAbstractSocket::UnconnectedState;
    return r;
}

QByteArray headerValue(const QByteArray& message, const QByteArray& name) {
    for (const QByteArray& line : message.left(message.indexOf("\r\n\r\n")).split('\n'))
        if (line.toLower().startsWith(name.toLower() + ':')) return line.mid(name.size() + 1).trimmed();
    return {};
}

HttpResult httpRequest(quint16 port, const QByteArray& method, const QByteArray& path, const QByteArray& body,
                       const QByteArray& credentials) {
    QByteArray head = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!credentials.isEmpty()) head += "Authorization: Basic " + credentials.toBase64() + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    const QByteArray data = rawExchange(port, head + body).data;
    HttpResult result;
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0) return result;
    result.status = data.left(data.indexOf('\n')).split(' ').value(1).toInt();
    const QByteArray length = headerValue(data, "Content-Length");
    if (!length.isEmpty()) result.announced = length.toLongLong();
    result.body = data.mid(headEnd + 4);
    return result;
}

QString SimProcess::defaultServer() {
    return QStringLiteral(QAVO_RESOURCES "/server-example");
}

SimProcess::SimProcess(const QStringList& extra, const QString& initFrom) {
    root_ = dir_.filePath(QStringLiteral("root"));
    QStringList args{"--root", root_, "--port", "0", "--user", "u", "--password", "p"};
    if (!initFrom.isEmpty()) args << QStringLiteral("--init-from") << initFrom;
    process_.start(QStringLiteral(QAVO_SIM), args + extra);
    QByteArray out;
    const QDeadlineTimer deadline(5000);
    while (!out.contains('\n') && !deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
        process_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        out += process_.readAllStandardOutput();
    }
    if (out.startsWith("port ")) port_ = quint16(out.mid(5).trimmed().toUInt());
}

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::fault(const QByteArray& spec) const {
    return httpRequest(port_, "POST", "/_sim/fault", spec, {}).status == 200;
}

QByteArray SimProcess::log() const {
    return httpRequest(port_, "GET", "/_sim/log", {}, {}).body;
}

void SimProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(3000);
}

} // namespace testing_support
