#pragma once

#include <QByteArray>
#include <QString>

// The component that carries every exchange with the voice server in online mode: files fetched and
// stored by bare name, and information requests. Arguments keep the component's order; the parameter
// calls are made by Passerelle before each exchange.
class Gateway {
public:
    virtual ~Gateway() = default;

    virtual void SetProxyParameters(const QString& address, const QString& port, const QString& login,
                                    const QString& password) = 0;
    virtual void SetFtpConnectionParameters(const QString& address, const QString& port,
                                            const QString& service, const QString& user,
                                            const QString& password) = 0;
    virtual void SetConnectionParameters(const QString& address, const QString& port, const QString& service,
                                         const QString& user, const QString& password) = 0;

    // 0 when the remote file was written at the local path; a reason code otherwise.
    virtual int GetFileHTTP_QAVO(const QString& remoteName, const QString& localPath) = 0;
    // 0 when the local file was stored under the remote name; a reason code otherwise.
    virtual int PutFileHTTP_QAVO(const QString& localPath, const QString& remoteName) = 0;
    // The reply to an information request; empty when the request failed.
    virtual QByteArray GetIhmInfo(QByteArray& request, qint16& length) = 0;

    // One line saying why the last call failed, fit for a message (never holds a password).
    virtual QString lastError() const = 0;
    // The reason of the last failed call as a code the caller can word in the user's language (0: none
    // known), and the technical part of lastError() that goes with it.
    virtual int lastReason() const { return 0; }
    virtual QString lastDetail() const { return lastError(); }
};
