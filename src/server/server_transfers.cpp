#include "server/server_transfers.h"

#include "core/app_context.h"
#include "model/tree_file.h"
#include "platform/pacing.h"
#include "server/passerelle.h"
#include "startup/debug_log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace server_transfers {

namespace {

bool readable(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

bool connectServer(AppContext& ctx, bool /*reconnect*/) {
    passerelleOf(ctx).parametres(ctx, true);
    return true;
}

bool fetchServerFile(AppContext& ctx, const QString& remoteName, const QString& localPath,
                     platform::Pacing& pacing, int boundMs) {
    if (!connectServer(ctx, false)) return false;
    if (passerelleOf(ctx).gateway().GetFileHTTP_QAVO(remoteName, localPath) != 0) return false;
    // The gateway may hand the file over a moment after it answers.
    QElapsedTimer waited;
    waited.start();
    while (!readable(localPath)) {
        if (waited.elapsed() >= boundMs) return false;
        pacing.pause(FileWaitPauseMs);
    }
    return true;
}

bool fetchServerInfo(AppContext& ctx, platform::Pacing& pacing) {
    writeDebugLog(ctx, QStringLiteral("Recuperation des infos du serveur"));
    const QString info = QDir(ctx.repTMP).filePath(InfoFileName);
    QFile::remove(info);
    fetchServerFile(ctx, InfoFileName, info, pacing);
    if (QFile::exists(info)) ctx.fileLecture = info;
    writeDebugLog(ctx, QStringLiteral("Fichier de lecture : ") + ctx.fileLecture);
    if (ctx.fileLecture.isEmpty()) return false;

    QFile::remove(ctx.fileServeur);
    fetchServerFile(ctx, TreeFileName, ctx.fileServeur, pacing);
    ctx.fileAOuvrir = QFile::exists(ctx.fileServeur) ? ctx.fileServeur : QStringLiteral("$$NEW$$");
    return true;
}

bool fetchServerTree(AppContext& ctx, platform::Pacing& pacing) {
    QFile::remove(ctx.fileServeur);
    return fetchServerFile(ctx, TreeFileName, ctx.fileServeur, pacing) && QFile::exists(ctx.fileServeur);
}

SendResult sendTree(AppContext& ctx, const Configuration& config, platform::Pacing& pacing) {
    const QString toSend = QDir(ctx.repTMP).filePath(QStringLiteral("arbreToTransfert.maa"));
    QFile::remove(toSend);
    if (!SaveArbre(config, toSend, true, ctx)) return SendResult::WriteFailed;
    Passerelle& link = passerelleOf(ctx);
    link.parametres(ctx, true);
    // The server's tree as it was, in case the one sent must be undone by hand.
    fetchServerFile(ctx, TreeFileName, QDir(ctx.repTMP).filePath(QStringLiteral("transfertTMP.tmp")), pacing);
    if (link.gateway().PutFileHTTP_QAVO(toSend, TreeFileName) != 0) return SendResult::StoreFailed;
    return SendResult::Sent;
}

QString lastReason(AppContext& ctx) {
    // Labels of the gateway's reason codes, in code order.
    static const char* const keys[] = {
        "",
        "RaisonAdresse",
        "RaisonOccupe",
        "RaisonInjoignable",
        "RaisonDelaiConnexion",
        "RaisonDelaiReponse",
        "RaisonRefus",
        "RaisonRefusProxy",
        "RaisonStatut",
        "RaisonIncomplet",
        "RaisonTropGrand",
        "RaisonFichierLocal",
        "RaisonCertificat",
        "RaisonProxy",
        "RaisonRedirection",
        "RaisonPasTls",
        "RaisonFichierCa",
        "RaisonEncodage",
    };
    const Passerelle& link = passerelleOf(ctx);
    const int code = link.lastReason();
    if (code <= 0 || code >= int(std::size(keys))) return link.lastError();
    const QString label = ctx.translation.getLabel(QString::fromLatin1(keys[code]));
    if (label == QLatin1String("*")) return link.lastError();
    const QString detail = link.lastDetail();
    return detail.isEmpty() ? label : label + QStringLiteral(" (") + detail + u')';
}

} // namespace server_transfers
