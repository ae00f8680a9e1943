#include "server/passerelle.h"

#include "core/app_context.h"
#include "server/http_gateway.h"

#include <QtEndian>

namespace {

quint32 lireU32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

void ecrireU32(QByteArray& bytes, int offset, quint32 value) {
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

void Passerelle::parametres(const AppContext& ctx, bool transfertFichier) {
    Gateway& g = gateway();
    if (!ctx.PADDR.isEmpty() && !ctx.PPORT.isEmpty())
        g.SetProxyParameters(ctx.PADDR, ctx.PPORT, ctx.PLOGIN, ctx.PPASS);
    if (transfertFichier)
        g.SetFtpConnectionParameters(ctx.HADDR, ctx.HPORT, QStringLiteral("qavo"), ctx.USER, ctx.PASS);
    else
        g.SetConnectionParameters(ctx.HADDR, ctx.HPORT, QStringLiteral("acd_config"), ctx.USER, ctx.PASS);
}

int Passerelle::GetFileHTTP_QAVO(const AppContext& ctx, const QString& remoteName, const QString& localPath) {
    parametres(ctx, true);
    return gateway().GetFileHTTP_QAVO(remoteName, localPath);
}

int Passerelle::PutFileHTTP_QAVO(const AppContext& ctx, const QString& localPath, const QString& remoteName) {
    parametres(ctx, true);
    return gateway().PutFileHTTP_QAVO(localPath, remoteName);
}

qint16 Passerelle::GetIhmInfo(const AppContext& ctx, QByteArray& buffer, qint16 length, bool* replied,
                              qsizetype* replyLength) {
    // The header needs its 8 bytes even when the caller's buffer is shorter.
    if (buffer.size() < 8) buffer.resize(8, '\0');
    ecrireU32(buffer, 0, MarqueRequete);
    ecrireU32(buffer, 4, quint32(qint32(length)));

    parametres(ctx, false);
    // The request is sent as an array of length + 1 bytes, padded when the buffer is shorter.
    const qsizetype taille = qMax<qsizetype>(0, qsizetype(length) + 1);
    QByteArray requete = buffer.left(taille);
    requete.resize(taille, '\0');
    qint16 longueur = length;
    const QByteArray reponse = gateway().GetIhmInfo(requete, longueur);
    if (replied) *replied = !reponse.isEmpty();
    if (replyLength) *replyLength = reponse.size();

    const qsizetype copie = qMin(reponse.size(), buffer.size());
    std::copy_n(reponse.constData(), copie, buffer.data());
    if (reponse.size() >= 276 && lireU32(reponse, 256) == 2) return qint16(lireU32(reponse, 272));
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
