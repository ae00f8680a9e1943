#include "sim_lines.h"

#include "platform/atomic_file.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace sim {

namespace {

QByteArray readFile(const QString& root, const QString& name, bool* ok = nullptr) {
    QFile f(QDir(root).filePath(name));
    const bool ouvert = f.open(QIODevice::ReadOnly);
    if (ok) *ok = ouvert;
    return ouvert ? f.readAll() : QByteArray();
}

bool store(const QString& root, const QString& name, const QByteArray& bytes) {
    return platform::writeFileAtomically(QDir(root).filePath(name), bytes).isEmpty();
}

// The lines of a text file ending with CR LF, CR or LF; a CR LF gives an empty line, which every reader
// skips.
QList<QByteArrayView> textLines(QByteArrayView bytes) {
    QList<QByteArrayView> rows;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        rows.append(bytes.sliced(start, i - start));
        start = i + 1;
    }
    if (start < bytes.size()) rows.append(bytes.sliced(start));
    return rows;
}

// "applications.txt": code;name;second code;fourth field, one application a line, "/" lines comments.
QList<ApplicationRecord> readApplications(const QByteArray& bytes) {
    QList<ApplicationRecord> apps;
    for (const QByteArrayView line : textLines(bytes)) {
        const QString text = platform::decodeAnsi(line.toByteArray()).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('/'))) continue;
        const QStringList fields = text.split(QLatin1Char(';'));
        apps.append({fields.value(0).trimmed(), fields.value(1), fields.value(2).trimmed(),
                     fields.value(3).trimmed()});
    }
    return apps;
}

int numericCode(const QString& code) {
    bool ok = false;
    const int n = code.trimmed().toInt(&ok);
    return ok ? n : -1;
}

// A request block that carries records is read by the codec as a reply: the page indexes it expects
// are set from the request's own fields.
QByteArray asReply(QByteArrayView request, int first, int last) {
    QByteArray block = request.toByteArray();
    writeReplyHeader(block, kStatusOk, first, last);
    return block;
}

quint32 applicationTable(const QString& root, QByteArrayView request, QByteArray& reply, QString& note) {
    bool readOk = false;
    const QList<ApplicationRecord> apps = readApplications(readFile(root, kApplicationsFile, &readOk));
    if (!readOk) return kStatusNoData;
    const auto first = qint64(readU32(request, Block::First));
    const qint64 wanted = std::min<qint64>(readU32(request, Block::Count), MaxApplicationsPerPage);
    const qint64 count = std::clamp<qint64>(apps.size() - first, 0, wanted);
    for (int k = 0; k < count; ++k)
        Wr_Application(reply, k, apps[first + k]);
    writeReplyHeader(reply, kStatusOk, int(first), int(first + count));
    note = QStringLiteral(" first=%1 count=%2").arg(first).arg(count);
    return kStatusOk;
}

// Requests 1 and 5. An unknown code answers status 0 and an empty record: the editor then shows the
// code without a name (5) or its "unknown" name (1), and a line read is not stopped by it.
quint32 oneApplication(const QString& root, quint32 code, QByteArrayView request, QByteArray& reply,
                       QString& note) {
    bool readOk = false;
    const QList<ApplicationRecord> apps = readApplications(readFile(root, kApplicationsFile, &readOk));
    if (!readOk) return kStatusNoData;
    const int wanted = int(readU32(request, Block::Param16));
    const auto it = std::find_if(apps.begin(), apps.end(), [wanted](const ApplicationRecord& a) {
        return numericCode(a.code) == wanted;
    });
    const ApplicationRecord app = it == apps.end() ? ApplicationRecord{} : *it;
    if (code == RequestCode::ApplicationName)
        writeApplicationName(reply, app.name);
    else
        Wr_Application(reply, 0, app);
    writeReplyHeader(reply, kStatusOk, 0, 1);
    note = QStringLiteral(" app=%1%2")
               .arg(wanted)
               .arg(it == apps.end() ? QStringLiteral(" unknown") : QString());
    return kStatusOk;
}

quint32 lines500(const QString& root, quint32 code, QByteArrayView request, QByteArray& reply,
                 QString& note) {
    ParVoieT2c general;
    QList<VoieT2cs> records;
    if (!readLines500(readFile(root, kLines500File), general, records)) return kStatusNoData;
    const auto first = qint64(readU32(request, Block::First));
    const auto count = qint64(readU32(request, Block::Count));
    const bool validPage = count >= 0 && count <= MaxLinesPerPage && first + count <= records.size();

    switch (code) {
    case RequestCode::ReadGeneral:
        Wr_Par_voie_T2c(reply, general);
        writeReplyHeader(reply, kStatusOk, 0, 1);
        note = QStringLiteral(" lines=%1").arg(general.lineCount());
        return kStatusOk;
    case RequestCode::ReadLines:
        if (!validPage) return kStatusParameters;
        Wr_Par_voie_T2cs(reply, records, int(first), int(count));
        writeReplyHeader(reply, kStatusOk, int(first), int(first + count));
        break;
    case RequestCode::WriteLines: {
        ReplyPage page;
        if (!validPage || Rd_Par_voie_T2cs(asReply(request, int(first), int(first + count)), records, page) !=
                              ReplyError::NoError)
            return kStatusParameters;
        if (!store(root, kLines500File, writeLines500(general, records))) return kStatusWrite;
        writeReplyHeader(reply, kStatusOk, int(first), int(first + count));
        break;
    }
    case RequestCode::WriteGeneral:
        if (Rd_Par_voie_T2c(asReply(request, 0, 1), general) != ReplyError::NoError) return kStatusParameters;
        // A new number of lines adds free records or drops the last ones.
        records.resize(general.lineCount());
        if (!store(root, kLines500File, writeLines500(general, records))) return kStatusWrite;
        writeReplyHeader(reply, kStatusOk, 0, 1);
        note = QStringLiteral(" lines=%1").arg(general.lineCount());
        return kStatusOk;
    }
    note = QStringLiteral(" first=%1 count=%2").arg(first).arg(count);
    return kStatusOk;
}

} // namespace

quint32 answerIhm(const QString& root, QByteArrayView request, QByteArray& reply, QString& note) {
    const quint32 code = readU32(request, Block::Code);
    const bool tableApps = readU32(request, Block::Param12) == 2;
    switch (code) {
    case RequestCode::ApplicationTable:
        return tableApps ? applicationTable(root, request, reply, note) : kStatusParameters;
    case RequestCode::ApplicationName:
    case RequestCode::Application:
        return tableApps ? oneApplication(root, code, request, reply, note) : kStatusParameters;
    case RequestCode::WriteGeneral:
    case RequestCode::ReadGeneral:
    case RequestCode::WriteLines:
    case RequestCode::ReadLines:
        return lines500(root, code, request, reply, note);
    case RequestCode::ReloadLines: {
        bool readOk = false;
        const QByteArray rows = readFile(root, kLines900File, &readOk);
        if (!readOk) return kStatusNoData;
        note = QStringLiteral(" lines=%1").arg(countLines900(rows));
        return kStatusOk;
    }
    default:
        return kStatusUnknownRequest;
    }
}

bool readLines500(QByteArrayView file, ParVoieT2c& general, QList<VoieT2cs>& records) {
    if (file.size() < ParVoieT2c::Size) return false;
    // The file is unpacked page by page as the codec unpacks replies.
    QByteArray block;
    Clear_Bloc_Entete(block);
    writeReplyHeader(block, kStatusOk, 0, 1);
    std::copy_n(file.data(), ParVoieT2c::Size, block.data() + Block::DataStart);
    if (Rd_Par_voie_T2c(block, general) != ReplyError::NoError) return false;

    records = QList<VoieT2cs>(general.lineCount());
    const qsizetype inFile = (file.size() - ParVoieT2c::Size) / VoieT2cs::Size;
    const int total = int(std::min<qsizetype>(records.size(), inFile));
    for (int first = 0; first < total; first += MaxLinesPerPage) {
        const int count = std::min(MaxLinesPerPage, total - first);
        Clear_Bloc_Data(block);
        writeReplyHeader(block, kStatusOk, first, first + count);
        std::copy_n(file.data() + ParVoieT2c::Size + qsizetype(first) * VoieT2cs::Size,
                    qsizetype(count) * VoieT2cs::Size, block.data() + Block::DataStart);
        ReplyPage page;
        if (Rd_Par_voie_T2cs(block, records, page) != ReplyError::NoError) return false;
    }
    return true;
}

QByteArray writeLines500(const ParVoieT2c& general, const QList<VoieT2cs>& records) {
    QByteArray file(general.bytes.data(), ParVoieT2c::Size);
    QByteArray block;
    Clear_Bloc_Entete(block);
    const int total = int(records.size());
    for (int first = 0; first < total; first += MaxLinesPerPage) {
        const int count = std::min(MaxLinesPerPage, total - first);
        Wr_Par_voie_T2cs(block, records, first, count);
        file.append(block.constData() + Block::DataStart, qsizetype(count) * VoieT2cs::Size);
    }
    return file;
}

QByteArray exampleLines500(int count) {
    ParVoieT2c general;
    general.setLineCount(count);
    QList<VoieT2cs> records(count);
    for (int k = 0; k < count; ++k) {
        if (k % 10 == 9) continue;
        VoieT2cs& v = records[k];
        const QString start = QStringLiteral("0140%1").arg(k * 10, 6, 10, QLatin1Char('0'));
        v.setFirst(start);
        // Every third line is a range of ten numbers.
        v.setLast(k % 3 == 0 ? QStringLiteral("0140%1").arg(k * 10 + 9, 6, 10, QLatin1Char('0')) : start);
        v.application = k % 10 == 7 ? 300 : (k % 2 == 0 ? 451 : 452);
    }
    return writeLines500(general, records);
}

int countLines900(QByteArrayView file) {
    int n = 0;
    for (QByteArrayView line : textLines(file)) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('/') || line.startsWith('[')) continue;
        if (line.count(';') >= 10) ++n;
    }
    return n;
}

} // namespace sim
