#include "server/server_transfers.h"

#include "core/app_context.h"
#include "model/tree_file.h"
#include "platform/atomic_file.h"
#include "platform/pacing.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "startup/debug_log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace server_transfers {

namespace {

bool readable(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

QString inTmp(const AppContext& ctx, const char* name) {
    return QDir(ctx.repTMP).filePath(QString::fromLatin1(name));
}

bool absentOnServer(AppContext& ctx) {
    return passerelleOf(ctx).lastReason() == HttpGateway::Absent;
}

// Installed once by the program at its start, before any transfer.
TransferRecorder& recorder() {
    static TransferRecorder installed;
    return installed;
}

// fetchTree without a record: a look at the server that the caller records in its own words.
FetchResult fetchTreeOnly(AppContext& ctx, const QString& localPath, platform::Pacing& pacing);

} // namespace

QString toSendPath(const AppContext& ctx) {
    return inTmp(ctx, "arbreToTransfert.maa");
}
QString backupPath(const AppContext& ctx) {
    return inTmp(ctx, "transfertTMP.tmp");
}
QString receivedPath(const AppContext& ctx) {
    return inTmp(ctx, "arbreRecu.maa");
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString withoutPasswords(const QString& text) {
    static const QRegularExpression userInfo(QStringLiteral("(://[^/@\\s:]*):[^/@\\s]*@"));
    return QString(text).replace(userInfo, QStringLiteral("\\1:****@"));
}

bool connectServer(AppContext& ctx, bool /*reconnect*/) {
    passerelleOf(ctx).setParameters(ctx, true);
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

void setTransferRecorder(TransferRecorder r) {
    recorder() = std::move(r);
}

void recordTransfer(AppContext& ctx, const QString& what, const TransferFiles& files, bool stored) {
    if (recorder()) recorder()(ctx, stored && !ctx.historyWhat.isEmpty() ? ctx.historyWhat : what, files);
}

FetchResult fetchTree(AppContext& ctx, const QString& localPath, platform::Pacing& pacing) {
    const FetchResult result = fetchTreeOnly(ctx, localPath, pacing);
    if (result == FetchResult::Fetched)
        recordTransfer(ctx, QStringLiteral("fetch"), {{TreeFileName, fileBytes(localPath)}}, false);
    return result;
}

namespace {
FetchResult fetchTreeOnly(AppContext& ctx, const QString& localPath, platform::Pacing& pacing) {
    const QString received = receivedPath(ctx);
    QFile::remove(received);
    if (!fetchServerFile(ctx, TreeFileName, received, pacing))
        return absentOnServer(ctx) ? FetchResult::Absent : FetchResult::Failed;
    // A login portal or an error page answered with 200 is not the server's tree.
    if (!isTreeFileContent(fileBytes(received))) {
        QFile::remove(received);
        return FetchResult::NotATree;
    }
    if (received != localPath && !platform::replaceFile(received, localPath).isEmpty()) {
        QFile::remove(received);
        return FetchResult::Failed;
    }
    return FetchResult::Fetched;
}
} // namespace

bool fetchServerInfo(AppContext& ctx, platform::Pacing& pacing) {
    writeDebugLog(ctx, QStringLiteral("Recuperation des infos du serveur"));
    const QString info = QDir(ctx.repTMP).filePath(InfoFileName);
    QFile::remove(info);
    if (fetchServerFile(ctx, InfoFileName, info, pacing)) ctx.fileLecture = info;
    writeDebugLog(ctx, QStringLiteral("Fichier de lecture : ") + ctx.fileLecture);
    if (ctx.fileLecture.isEmpty()) {
        writeDebugLog(ctx, QStringLiteral("Echec : ") + lastReason(ctx));
        return false;
    }

    ctx.fileAOuvrir = QStringLiteral("$$NEW$$");
    switch (fetchTree(ctx, ctx.fileServeur, pacing)) {
    case FetchResult::Fetched:
        ctx.fileAOuvrir = ctx.fileServeur;
        break;
    case FetchResult::Absent:
        break;
    case FetchResult::Failed:
        ctx.serverTreeFailure = lastReason(ctx);
        break;
    case FetchResult::NotATree:
        ctx.serverTreeFailure = ctx.getLabel(QStringLiteral("ErrFichierPasArbre"))
                                    .replace(QStringLiteral("$FICHIER$"), TreeFileName);
        break;
    }
    if (!ctx.serverTreeFailure.isEmpty())
        writeDebugLog(ctx,
                      QStringLiteral("Arborescence du serveur non recuperee : ") + ctx.serverTreeFailure);
    return true;
}

QString writeTreeToSend(AppContext& ctx, const Configuration& config) {
    // A scratch copy read back at once by the store: the tree itself is in the editor and on the server.
    return platform::writeFileAtomically(toSendPath(ctx), treeFileBytes(config),
                                         platform::AtomicFile::Durability::Unsynced);
}

FetchResult fetchBackup(AppContext& ctx, platform::Pacing& pacing) {
    // A copy left by an earlier send must never pass for the server's tree.
    QFile::remove(backupPath(ctx));
    passerelleOf(ctx).setParameters(ctx, true);
    return fetchTree(ctx, backupPath(ctx), pacing);
}

StoreResult storeTree(AppContext& ctx, platform::Pacing& pacing, bool backupAbsent, QString* storeReason) {
    Passerelle& link = passerelleOf(ctx);
    link.setParameters(ctx, true);
    const QByteArray sent = fileBytes(toSendPath(ctx));
    if (link.gateway().PutFileHTTP_QAVO(toSendPath(ctx), TreeFileName) == 0) {
        recordTransfer(ctx, QStringLiteral("send"), {{TreeFileName, sent}}, true);
        return StoreResult::Stored;
    }
    if (storeReason) *storeReason = lastReason(ctx);
    // The reply may have been lost after the server took the tree: ask it what it holds now.
    const QString probe = receivedPath(ctx) + QStringLiteral(".verif");
    const FetchResult now = fetchTreeOnly(ctx, probe, pacing);
    const QByteArray held = fileBytes(probe);
    QFile::remove(probe);
    if (now == FetchResult::Fetched && held == sent) {
        recordTransfer(ctx, QStringLiteral("send"), {{TreeFileName, sent}}, true);
        return StoreResult::StoredReplyLost;
    }
    if (now == FetchResult::Fetched)
        recordTransfer(ctx, QStringLiteral("fetch"), {{TreeFileName, held}}, false);
    if (now == FetchResult::Fetched && !backupAbsent && held == fileBytes(backupPath(ctx)))
        return StoreResult::NotStored;
    if (now == FetchResult::Absent && backupAbsent) return StoreResult::NotStored;
    return StoreResult::Unknown;
}

StoreResult sendTree(AppContext& ctx, const Configuration& config, platform::Pacing& pacing) {
    if (!writeTreeToSend(ctx, config).isEmpty()) return StoreResult::NotStored;
    const FetchResult backup = fetchBackup(ctx, pacing);
    if (backup != FetchResult::Fetched && backup != FetchResult::Absent) return StoreResult::NotStored;
    return storeTree(ctx, pacing, backup == FetchResult::Absent, nullptr);
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
        "RaisonAbsent",
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
