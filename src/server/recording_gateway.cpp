#include "server/recording_gateway.h"

namespace {

QString line(const char* member, const QStringList& args) {
    return QString::fromLatin1(member) + QLatin1Char('(') + args.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

} // namespace

void RecordingGateway::SetProxyParameters(const QString& address, const QString& port, const QString& login,
                                          const QString& password) {
    calls << line("SetProxyParameters", {address, port, login, password});
}

void RecordingGateway::SetFtpConnectionParameters(const QString& address, const QString& port,
                                                  const QString& service, const QString& user,
                                                  const QString& password) {
    calls << line("SetFtpConnectionParameters", {address, port, service, user, password});
}

void RecordingGateway::SetConnectionParameters(const QString& address, const QString& port,
                                               const QString& service, const QString& user,
                                               const QString& password) {
    calls << line("SetConnectionParameters", {address, port, service, user, password});
}

int RecordingGateway::GetFileHTTP_QAVO(const QString& remoteName, const QString& localPath) {
    calls << line("GetFileHTTP_QAVO", {remoteName, localPath});
    if (onGet) onGet(remoteName, localPath);
    return nextFileResult();
}

int RecordingGateway::PutFileHTTP_QAVO(const QString& localPath, const QString& remoteName) {
    calls << line("PutFileHTTP_QAVO", {localPath, remoteName});
    return nextFileResult();
}

QByteArray RecordingGateway::GetIhmInfo(QByteArray& request, qint16& length) {
    calls << line("GetIhmInfo", {QString::number(length)});
    requestsSeen << request;
    return replies.isEmpty() ? QByteArray() : replies.takeFirst();
}

int RecordingGateway::nextFileResult() {
    return fileResults.isEmpty() ? 0 : fileResults.takeFirst();
}
