#include "server/passerelle.h"

#include "core/app_context.h"
#include "server/http_gateway.h"

#include <QtEndian>

namespace {

quint32 readU32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

void writeU32(QByteArray& bytes, int offset, quint32 value) {
    qToLittleEndian<quint32>(value, bytes.data() + offset);
}

} // namespace

Passerelle::Passerelle() = default;
Passerelle::Passerelle(std::unique_ptr<Gateway> gateway) : gateway_(std::move(gateway)) {}
Passerelle::~Passerelle() = default;

Gateway& Passerelle::gateway() {
    if (!gateway_) gateway_ = std::make_unique<HttpGateway>();
    return *gateway_;
}

void Passerelle::setGateway(std::unique_ptr<Gateway> gateway) {
    gateway_ = std::move(gateway);
}

void Passerelle::setParameters(const AppContext& ctx, bool fileTransfer) {
    Gateway& g = gateway();
    if (!ctx.PADDR.isEmpty() && !ctx.PPORT.isEmpty())
        g.SetProxyParameters(ctx.PADDR, ctx.PPORT, ctx.PLOGIN, ctx.PPASS);
    if (fileTransfer)
        g.SetFtpConnectionParameters(ctx.HADDR, ctx.HPORT, QStringLiteral("qavo"), ctx.USER, ctx.PASS);
    else
        g.SetConnectionParameters(ctx.HADDR, ctx.HPORT, QStringLiteral("acd_config"), ctx.USER, ctx.PASS);
}

int Passerelle::GetFileHTTP_QAVO(const AppContext& ctx, const QString& remoteName, const QString& localPath) {
    setParameters(ctx, true);
    return gateway().GetFileHTTP_QAVO(remoteName, localPath);
}

int Passerelle::PutFileHTTP_QAVO(const AppContext& ctx, const QString& localPath, const QString& remoteName) {
    setParameters(ctx, true);
    return gateway().PutFileHTTP_QAVO(localPath, remoteName);
}

qint16 Passerelle::GetIhmInfo(const AppContext& ctx, QByteArray& buffer, qint16 length, bool* replied,
                              qsizetype* replyLength) {
    // The header needs its 8 bytes even when the caller's buffer is shorter.
    if (buffer.size() < 8) buffer.resize(8, '\0');
    writeU32(buffer, 0, RequestMark);
    writeU32(buffer, 4, quint32(qint32(length)));

    setParameters(ctx, false);
    // The request is sent as an array of length + 1 bytes, padded when the buffer is shorter.
    const qsizetype size = qMax<qsizetype>(0, qsizetype(length) + 1);
    QByteArray request = buffer.left(size);
    request.resize(size, '\0');
    qint16 sentLength = length;
    const QByteArray reply = gateway().GetIhmInfo(request, sentLength);
    if (replied) *replied = !reply.isEmpty();
    if (replyLength) *replyLength = reply.size();

    const qsizetype copy = qMin(reply.size(), buffer.size());
    std::copy_n(reply.constData(), copy, buffer.data());
    if (reply.size() >= 276 && readU32(reply, 256) == 2) return qint16(readU32(reply, 272));
    return 0;
}

QString Passerelle::lastError() const {
    return gateway_ ? gateway_->lastError() : QString();
}

int Passerelle::lastReason() const {
    return gateway_ ? gateway_->lastReason() : 0;
}

QString Passerelle::lastDetail() const {
    return gateway_ ? gateway_->lastDetail() : QString();
}

Passerelle& passerelleOf(AppContext& ctx) {
    if (!ctx.passerelle) ctx.passerelle = std::make_shared<Passerelle>();
    return *ctx.passerelle;
}
