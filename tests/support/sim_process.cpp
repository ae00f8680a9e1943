#include "support/sim_process.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>

namespace testing_support {

HttpResult httpRequest(quint16 port, const QByteArray& method, const QByteArray& path, const QByteArray& body,
                       const QByteArray& credentials) {
    HttpResult result;
    QElapsedTimer clock;
    clock.start();
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(3000)) return result;
    QByteArray head = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!credentials.isEmpty()) head += "Authorization: Basic " + credentials.toBase64() + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    socket.write(head + body);
    QByteArray data;
    const QDeadlineTimer deadline(5000);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        data += socket.readAll();
    }
    data += socket.readAll();
    result.elapsedMs = clock.elapsed();
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0) return result;
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    result.status = lines.value(0).split(' ').value(1).toInt();
    for (const QByteArray& line : lines)
        if (line.toLower().startsWith("content-length:"))
            result.announced = line.mid(15).trimmed().toLongLong();
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
