#include "lines/line_server.h"

#include "core/app_context.h"
#include "lines/application_table.h"
#include "lines/ihm_exchange.h"
#include "lines/line_files.h"
#include "lines/record_codec.h"
#include "server/passerelle.h"
#include "server/server_transfers.h"

#include <QDir>
#include <QFile>

namespace line_server {

bool loadApplicationDirectory(AppContext& ctx, ApplicationDirectory& directory) {
    const ApplicationLoad read = loadApplications(ctx);
    directory.clear();
    for (const ApplicationItem& a : allApplications(read.records, ctx.translation))
        directory.add(ApplicationEntry{codeValue(a.code), a.name, a.code2, a.field4});
    return read.ok;
}

QString fetchLineFiles(AppContext& ctx, platform::Pacing& pacing) {
    for (const QString& name : LineFileNames) {
        const QString local = QDir(ctx.repTMP).filePath(name);
        QFile::remove(local);
        if (!server_transfers::fetchServerFile(ctx, name, local, pacing)) return name;
    }
    const QString table = QDir(ctx.repTMP).filePath(QStringLiteral("rcm.cfg"));
    server_transfers::recordTransfer(ctx, QStringLiteral("lines"),
                                     {{QStringLiteral("rcm.cfg"), server_transfers::fileBytes(table)}},
                                     false);
    return {};
}

QString loadLineData(AppContext& ctx, platform::Pacing& pacing, LineData& data) {
    loadApplicationDirectory(ctx, data.names.applications);
    data.names.traceNames = readTraceNames(ctx.translation);
    const QString missing = fetchLineFiles(ctx, pacing);
    return missing.isEmpty() ? readLineFiles(ctx.repTMP, data.names, data.stations, data.table) : missing;
}

bool saveLineTable(AppContext& ctx, const LineTable& table, QString* error) {
    const QString local = QDir(ctx.repTMP).filePath(QStringLiteral("rcm.cfg"));
    if (!saveLineFile(table, local, ctx.translation, error)) return false;
    Passerelle& link = passerelleOf(ctx);
    link.setParameters(ctx, true);
    if (link.gateway().PutFileHTTP_QAVO(local, QStringLiteral("rcm.cfg")) != 0) {
        if (error)
            *error = ctx.translation.getLabel(QStringLiteral("ErrEnvoiVoies"))
                         .replace(QStringLiteral("$RAISON$"), server_transfers::lastReason(ctx));
        return false;
    }
    server_transfers::recordTransfer(ctx, QStringLiteral("lines"),
                                     {{QStringLiteral("rcm.cfg"), server_transfers::fileBytes(local)}}, true);
    QByteArray block;
    Clear_Bloc_Entete(block);
    writeU32(block, Block::Code, RequestCode::ReloadLines);
    link.GetIhmInfo(ctx, block, qint16(Block::Size));
    return true;
}

} // namespace line_server
