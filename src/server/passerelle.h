#pragma once

#include "server/gateway.h"

#include <memory>

struct AppContext;

// The program's one gateway and the steps every exchange goes through: the parameters taken from the
// command line, then the call. The gateway is created on first use (HTTP) unless one was handed in.
class Passerelle {
public:
    // Size of the record buffer the line tables share with GetIhmInfo.
    static constexpr int BufferSize = 8704;
    static constexpr quint32 RequestMark = 0xFECAFECA;

    Passerelle();
    explicit Passerelle(std::unique_ptr<Gateway> gateway);
    ~Passerelle();

    Gateway& gateway();
    void setGateway(std::unique_ptr<Gateway> gateway);

    // The parameter step: the proxy when both its address and port are given, then the server with the
    // "qavo" service for file transfers or "acd_config" for information requests.
    void setParameters(const AppContext& ctx, bool fileTransfer);

    // Parameter step, then the call.
    int GetFileHTTP_QAVO(const AppContext& ctx, const QString& remoteName, const QString& localPath);
    int PutFileHTTP_QAVO(const AppContext& ctx, const QString& localPath, const QString& remoteName);

    // Information request: marks the first `length` bytes of `buffer` as a request, sends them and reads
    // the reply back into `buffer` up to its size. Returns the reply's record count when its status is 2,
    // else 0. `replied`, when given, tells whether the gateway answered at all; `replyLength`, when given,
    // how many bytes it answered (the bytes past it in `buffer` are not the reply's).
    qint16 GetIhmInfo(const AppContext& ctx, QByteArray& buffer, qint16 length, bool* replied = nullptr,
                      qsizetype* replyLength = nullptr);

    QString lastError() const;
    int lastReason() const;
    QString lastDetail() const;

private:
    std::unique_ptr<Gateway> gateway_;
};

// The context's Passerelle, created on first use.
Passerelle& passerelleOf(AppContext& ctx);
