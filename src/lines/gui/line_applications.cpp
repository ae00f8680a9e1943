#include "lines/gui/line_applications.h"

#include "core/app_context.h"
#include "core/translation.h"
#include "platform/codepage.h"
#include "server/passerelle.h"

#include <QtEndian>

namespace line_applications {

namespace {

// Request fields and reply fields of the block, 32-bit little-endian.
constexpr int kCode = 8;
constexpr int kKind = 12;
constexpr int kFirst = 32;
constexpr int kCount = 36;
constexpr int kStatus = 256;
constexpr int kReplyFirst = 264;
constexpr int kReplyLast = 268;
constexpr quint32 kApplicationTable = 2;
constexpr int kRequestLength = 512;

quint32 u32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// A field in the server's characters: one byte each in the ANSI code page, ending at NUL or 0xFF.
QString field(const QByteArray& bytes, qsizetype offset, int length) {
    QByteArray raw = bytes.mid(offset, length);
    const qsizetype end = raw.indexOf('\0');
    if (end >= 0) raw.truncate(end);
    const qsizetype none = raw.indexOf('\xFF');
    if (none >= 0) raw.truncate(none);
    return platform::decodeAnsi(raw);
}

} // namespace

QByteArray pageRequest(int first) {
    QByteArray block(Passerelle::TailleBuffer, '\0');
    qToLittleEndian<quint32>(0, block.data() + kCode);
    qToLittleEndian<quint32>(kApplicationTable, block.data() + kKind);
    qToLittleEndian<quint32>(quint32(first), block.data() + kFirst);
    qToLittleEndian<quint32>(kRecordsPerPage, block.data() + kCount);
    return block;
}

int readPage(const QByteArray& reply, qsizetype replyLength, const Translation& translation,
             ApplicationDirectory& all) {
    const qsizetype length = qMin(replyLength, reply.size());
    if (length < kRecordsStart || u32(reply, kStatus) != 0) return -1;
    const qint64 first = qint32(u32(reply, kReplyFirst));
    const qint64 count = qint64(qint32(u32(reply, kReplyLast))) - first;
    if (count < 0 || count > kRecordsPerPage || kRecordsStart + count * kRecordSize > length) return -1;
    for (qint64 k = 0; k < count; ++k) {
        const qsizetype at = kRecordsStart + k * kRecordSize;
        const QString code = field(reply, at, 6);
        if (code.trimmed().toInt() >= 490) continue;
        const QString name = field(reply, at + 6, 16);
        const QString shown = name.startsWith(QLatin1Char('$'))
                                  ? translation.getLabel(QStringLiteral("VOIES"), name.mid(1, 15).trimmed())
                                  : name.trimmed();
        all.add({code.trimmed().toInt(), shown, field(reply, at + 36, 6), field(reply, at + 42, 10)});
    }
    return int(count);
}

bool loadApplications(AppContext& ctx, ApplicationDirectory& all) {
    all.clear();
    Passerelle& passerelle = passerelleOf(ctx);
    int first = 0;
    for (;;) {
        QByteArray block = pageRequest(first);
        bool replied = false;
        passerelle.GetIhmInfo(ctx, block, kRequestLength, &replied);
        if (!replied) return false;
        const int count = readPage(block, block.size(), ctx.translation, all);
        if (count < 0) return false;
        if (count < kRecordsPerPage) return true;
        const int next = int(u32(block, kReplyLast));
        // A server that does not move on would be asked forever.
        if (next <= first) return true;
        first = next;
    }
}

} // namespace line_applications
