#pragma once

#include "core/app_context.h"
#include "lines/record_codec.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <memory>

// A server's French labels; "FAX" is also in a section where no application name is looked up.
inline const QString kServerLabels = QStringLiteral(
    "\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nVoiesDeb= Début \r\nVoiesFin=Fin\r\nVoiesApp=Application\r\n"
    "ErrLectureVoies=Lecture impossible\r\nFAX=wrong section\r\n"
    "[VOIES]\r\nFAX=Fax server\r\nSTANDARD=Standard\r\nNUIT=Nuit\r\n");

// A context whose gateway plays scripted replies and keeps the requests it got.
struct ScriptedServer {
    AppContext ctx;
    RecordingGateway* gateway = nullptr;

    explicit ScriptedServer(const QList<QByteArray>& replies = {}) {
        auto owned = std::make_unique<RecordingGateway>();
        gateway = owned.get();
        gateway->replies = replies;
        ctx.passerelle = std::make_shared<Passerelle>(std::move(owned));
        ctx.translation.setText(kServerLabels);
    }

    quint32 field(int request, int offset) const {
        return qFromLittleEndian<quint32>(gateway->requestsSeen.at(request).constData() + offset);
    }
    QList<quint32> codes() const {
        QList<quint32> c;
        for (int i = 0; i < gateway->requestsSeen.size(); ++i)
            c << field(i, 8);
        return c;
    }
};

inline QByteArray emptyBlock() {
    return QByteArray(Block::Size, '\0');
}

inline VoieT2cs record(const QString& first, const QString& last, quint16 application) {
    VoieT2cs v;
    v.setFirst(first);
    v.setLast(last);
    v.application = application;
    return v;
}

// A server table of `count` lines: 451, 300, no application, 451 again, then free records.
inline QList<VoieT2cs> serverTable(int count) {
    QList<VoieT2cs> records(count);
    records[0] = record("0140", "0149", 451);
    records[1] = record("0200", "0299", 300);
    records[2] = record("0300", "0300", VoieT2cs::Unset);
    records[3] = record("0400", "", 451);
    return records;
}

// The general record of a table of `count` lines, its other bytes marked.
inline QByteArray generalReply(int count) {
    QByteArray block = emptyBlock();
    ParVoieT2c t2c;
    t2c.bytes.fill(char(0x33));
    t2c.setLineCount(count);
    Wr_Par_voie_T2c(block, t2c);
    return block;
}

inline QByteArray linesPage(const QList<VoieT2cs>& records, int first, int count) {
    QByteArray block = emptyBlock();
    writeReplyHeader(block, 0, first, first + count);
    Wr_Par_voie_T2cs(block, records, first, count);
    return block;
}

// The replies of a whole read of `records`: general record, pages, the names of 451 and 300, then when
// the window loads them the server's applications 451, 300 and 452.
inline QList<QByteArray> lineReads(const QList<VoieT2cs>& records, bool applicationTable = false) {
    QList<QByteArray> r{generalReply(int(records.size()))};
    for (int p = 0; p < records.size(); p += MaxLinesPerPage)
        r << linesPage(records, p, qMin(MaxLinesPerPage, int(records.size()) - p));
    const ApplicationRecord apps[] = {
        {"451", "$STANDARD", {}, {}}, {"300", "Messagerie", {}, {}}, {"452", "$ATTENTE", {}, {}}};
    for (int i = 0; i < 2; ++i)
        Wr_Application(r.emplace_back(emptyBlock()), 0, apps[i]);
    if (applicationTable) writeReplyHeader(r.emplace_back(emptyBlock()), 0, 0, 3);
    for (int i = 0; applicationTable && i < 3; ++i)
        Wr_Application(r.last(), i, apps[i]);
    return r;
}

// The records of every request 102 seen, unpacked with the codec into a table of `count` lines.
inline QList<VoieT2cs> writtenRecords(const ScriptedServer& s, int count) {
    QList<VoieT2cs> records(count);
    for (int i = 0; i < s.gateway->requestsSeen.size(); ++i) {
        if (s.field(i, Block::Code) != RequestCode::WriteLines) continue;
        QByteArray block = s.gateway->requestsSeen[i].left(Block::Size);
        const int first = int(s.field(i, Block::First));
        writeReplyHeader(block, 0, first, first + int(s.field(i, Block::Count)));
        ReplyPage page;
        EXPECT_EQ(Rd_Par_voie_T2cs(block, records, page), ReplyError::NoError);
    }
    return records;
}
