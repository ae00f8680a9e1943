#pragma once

#include "server/gateway.h"

#include <QList>
#include <QStringList>

#include <functional>

// A gateway that logs every call with its arguments and plays scripted results, for tests of the
// callers. Results not scripted are 0 (files) and an empty reply (information requests).
class RecordingGateway : public Gateway {
public:
    QStringList calls;              // one line per call: "Member(arg1, arg2, ...)"
    QList<int> fileResults;         // consumed in order by GetFileHTTP_QAVO and PutFileHTTP_QAVO
    QList<QByteArray> replies;      // consumed in order by GetIhmInfo
    QList<QByteArray> requestsSeen; // the requests GetIhmInfo received
    QString error;                  // returned by lastError()
    // Runs on each fetch before its result is returned, e.g. to write the local file.
    std::function<void(const QString& remoteName, const QString& localPath)> onGet;

    void SetProxyParameters(const QString& address, const QString& port, const QString& login,
                            const QString& password) override;
    void SetFtpConnectionParameters(const QString& address, const QString& port, const QString& service,
                                    const QString& user, const QString& password) override;
    void SetConnectionParameters(const QString& address, const QString& port, const QString& service,
                                 const QString& user, const QString& password) override;
    int GetFileHTTP_QAVO(const QString& remoteName, const QString& localPath) override;
    int PutFileHTTP_QAVO(const QString& localPath, const QString& remoteName) override;
    QByteArray GetIhmInfo(QByteArray& request, qint16& length) override;
    QString lastError() const override { return error; }

private:
    int nextFileResult();
};
