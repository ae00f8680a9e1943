#pragma once

#include "server/gateway.h"

#include <QByteArray>

#include <memory>

class CurlEventLoop;
class HttpReply;
namespace platform {
class AtomicFile;
}

// The gateway over HTTP (see simulator/PROTOCOL.md), on libcurl: files under /{service}/files/{name},
// information requests posted to /{service}/ihm, Basic credentials, an optional HTTP proxy (Basic, NTLM
// or Negotiate). Each call waits for its reply in a local event loop that keeps windows painted but
// takes no user input, so no second command can start meanwhile.
class HttpGateway : public Gateway {
public:
    // Reason codes of the file calls (0 is success).
    enum Reason : int {
        Ok = 0,
        NotConfigured = 1, // no server address, or a remote name that is not a bare file name
        Busy = 2,          // another exchange is running
        Connection = 3,    // server or proxy unreachable
        ConnectTimeout = 4,
        ReplyTimeout = 5,
        Refused = 6,      // login refused by the server
        ProxyRefused = 7, // login refused by the proxy
        HttpStatus = 8,   // any other HTTP failure status
        Incomplete = 9,   // the body ended before its announced length
        TooLarge = 10,    // over the size limit
        LocalFile = 11,
        Tls = 12,
        Proxy = 13,    // the proxy cannot be reached: its name, its address and why
        Redirect = 14, // the server points elsewhere (not followed)
        NotTls = 15,   // https:// to a port that answers plain HTTP
        CaFile = 16,   // QAVO_CA_FILE missing or holding no certificate
        Encoding = 17, // a compressed body, which was not asked for
        Absent = 18,   // no such file on the server (HTTP 404): not a fault of the link
    };

    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
    static constexpr qint64 MaxInfoSize = 64 * 1024;

    HttpGateway();
    ~HttpGateway() override;

    void SetProxyParameters(const QString& address, const QString& port, const QString& login,
                            const QString& password) override;
    void SetFtpConnectionParameters(const QString& address, const QString& port, const QString& service,
                                    const QString& user, const QString& password) override;
    void SetConnectionParameters(const QString& address, const QString& port, const QString& service,
                                 const QString& user, const QString& password) override;
    int GetFileHTTP_QAVO(const QString& remoteName, const QString& localPath) override;
    int PutFileHTTP_QAVO(const QString& localPath, const QString& remoteName) override;
    QByteArray GetIhmInfo(QByteArray& request, qint16& length) override;
    QString lastError() const override { return lastError_; }
    // Reason code of the last call (GetIhmInfo included), and its technical part: the request and what
    // the network or the server said.
    int lastReason() const override { return lastReason_; }
    QString lastDetail() const override { return lastDetail_; }
    // The reason in English, for logs.
    static QString reasonText(int reason);
    void setTimeouts(int connectMs, int replyMs);
    void setLimits(qint64 maxFile, qint64 maxInfo);

private:
    struct Target;
    int execute(const QByteArray& verb, const QString& path, const QByteArray& body, qint64 maxBytes,
                platform::AtomicFile* output, QByteArray* replyBody);
    bool resolveTarget(const QByteArray& verb, const QString& path, Target& c) const;
    void prepare(void* easy, const Target& c) const;
    int finish(int code, void* easy, const HttpReply& reply, const Target& c, const char* curlError);
    int finishHttp(const HttpReply& reply, const Target& c);
    int transportFailure(int code, void* easy, const Target& c, const QString& curlError);
    bool answersPlainHttp(const Target& c);
    int fail(int reason, const QString& detail);

    std::unique_ptr<CurlEventLoop> eventLoop_;
    void* easy_ = nullptr;               // libcurl's handle, kept from one request to the next
    std::unique_ptr<Target> lastTarget_; // the last request's target, and its path
    QString lastPath_;
    QString address_, port_, service_, user_, password_;
    QString proxyAddress_, proxyPort_, proxyLogin_, proxyPassword_;
    int connectTimeoutMs_ = 5000;
    int replyTimeoutMs_ = 30000;
    qint64 maxFile_ = MaxFileSize;
    qint64 maxInfo_ = MaxInfoSize;
    bool busy_ = false;
    int lastReason_ = Ok;
    QString lastError_;
    QString lastDetail_;
};
