#include "lines/record_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Expected blocks are built byte by byte from the field positions, not with the codec's helpers.
void put32(QByteArray& b, int offset, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xFF);
}

void putBytes(QByteArray& b, int offset, const QByteArray& bytes) {
    b.replace(offset, bytes.size(), bytes);
}

QByteArray ff(int n) {
    return QByteArray(n, char(0xFF));
}

QByteArray padded(const QByteArray& text, int n) {
    return text + QByteArray(n - text.size(), '\0');
}

// A line record as the server stores it.
QByteArray lineRecordBytes(const QByteArray& first, const QByteArray& last, quint16 app, quint16 code2,
                           quint16 code3, const QByteArray& rest) {
    QByteArray r =
        (first.isEmpty() ? ff(20) : padded(first, 20)) + (last.isEmpty() ? ff(20) : padded(last, 20));
    for (quint16 v : {app, code2, code3})
        r += char(v & 0xFF), r += char(v >> 8);
    return r + rest;
}

VoieT2cs record(const QString& first, const QString& last, quint16 app) {
    VoieT2cs v;
    v.setFirst(first);
    v.setLast(last);
    v.application = app;
    return v;
}

QByteArray packedLine(const VoieT2cs& v) {
    QByteArray block;
    Clear_Bloc_Entete(block);
    Wr_Par_voie_T2cs(block, {v}, 0, 1);
    return block.mid(Block::DataStart, VoieT2cs::Size);
}

QByteArray replyHeader(quint32 status, quint32 first, quint32 last, int size = Block::Size) {
    QByteArray b(size, '\0');
    put32(b, 256, status);
    put32(b, 264, first);
    put32(b, 268, last);
    return b;
}

TEST(RecordCodec, RequestBlocksHoldTheirFields) {
    QList<VoieT2cs> records(100);
    records[4] = record(QStringLiteral("0140"), QStringLiteral("0149"), 451);
    ParVoieT2c t2c;
    for (int i = 0; i < ParVoieT2c::Size; ++i)
        t2c.bytes[i] = char(i * 7);
    t2c.setLineCount(300);

    struct Case {
        quint32 code;
        std::function<void(QByteArray&)> build;
        std::vector<std::pair<int, quint32>> fields; // offset, value, besides the code at byte 8
        QByteArray data;                             // expected data part start
        qint16 length;
    };
    QByteArray t2cBytes(reinterpret_cast<const char*>(t2c.bytes.data()), ParVoieT2c::Size);
    t2cBytes[0] = char(300 & 0xFF), t2cBytes[1] = char(300 >> 8);
    const QByteArray line5 = ff(50) + lineRecordBytes("0140", "0149", 451, 0xFFFF, 0xFFFF, ff(4));
    const Case tc[] = {
        {0, [](auto& b) { requestApplicationTable(b, 157); }, {{12, 2}, {32, 157}, {36, 157}}, {}, 512},
        {1, [](auto& b) { requestApplicationName(b, 452); }, {{12, 2}, {16, 452}}, {}, 512},
        {5, [](auto& b) { requestApplication(b, 300); }, {{12, 2}, {16, 300}}, {}, 512},
        {100, [&](auto& b) { requestWriteGeneral(b, t2c); }, {{12, 0}, {32, 1}, {36, 16}}, t2cBytes, 8704},
        {101, [](auto& b) { requestReadGeneral(b); }, {{32, 1}}, {}, 512},
        {102,
         [&](auto& b) { requestWriteLines(b, records, 3, 2); },
         {{12, 1}, {32, 3}, {36, 2}},
         line5,
         8704},
        {103, [](auto& b) { requestReadLines(b, 192, 8); }, {{32, 192}, {36, 8}}, {}, 512},
        {105, [](auto& b) { requestReloadLines(b); }, {}, {}, 8704},
    };
    for (const Case& c : tc) {
        SCOPED_TRACE(c.code);
        // A used block: the header is prepared again, and write requests empty the data part.
        QByteArray block(Block::Size, char(0x5A));
        c.build(block);
        QByteArray expected(Block::Size, '\0');
        if (c.data.isEmpty()) expected.replace(512, 8704 - 512, QByteArray(8704 - 512, char(0x5A)));
        put32(expected, 8, c.code);
        for (const auto& [offset, value] : c.fields)
            put32(expected, offset, value);
        putBytes(expected, 512, c.data);
        EXPECT_EQ(block.size(), 8704);
        EXPECT_EQ(block, expected);
        EXPECT_EQ(requestLength(readU32(block, 8)), c.length);
    }
    // The general record reads back whole from where it is written.
    QByteArray block;
    requestWriteGeneral(block, t2c);
    ParVoieT2c readBack;
    ASSERT_EQ(Rd_Par_voie_T2c(block, readBack), ReplyError::NoError);
    EXPECT_EQ(readBack.bytes, t2c.bytes);
}

TEST(RecordCodec, RecordsUnpackFromTheirServerBytes) {
    // Line records: numbers, codes (0xFFFF = none), the rest carried.
    QByteArray reply = replyHeader(0, 2, 5);
    putBytes(reply, 512, lineRecordBytes("0140", "0149", 451, 0xFFFF, 7, "\x01\x02\x03\x04"));
    putBytes(reply, 562, ff(50));
    putBytes(reply, 612, lineRecordBytes("", "\xE9t\xE9", 0xFFFF, 12, 0xFFFF, ff(4)));
    QList<VoieT2cs> records(6);
    ReplyPage page;
    ASSERT_EQ(Rd_Par_voie_T2cs(reply, records, page), ReplyError::NoError);
    EXPECT_EQ(page.first, 2);
    EXPECT_EQ(page.count(), 3);
    const auto text = [&](int i) {
        const VoieT2cs& v = records[i];
        return QStringList({v.firstText(), v.lastText(), QString::number(v.application),
                            QString::number(v.code2), QString::number(v.code3)});
    };
    EXPECT_EQ(text(2), QStringList({"0140", "0149", "451", "65535", "7"}));
    EXPECT_EQ(text(4), QStringList({"", QStringLiteral("été"), "65535", "12", "65535"}));
    EXPECT_EQ(packedLine(records[2]), reply.mid(512, 50));
    EXPECT_TRUE(records[3].isFree() && !records[3].isInUse());
    EXPECT_TRUE(records[4].isInUse());
    EXPECT_TRUE(records[1].isFree()); // outside the page: untouched

    // Application records, 52 bytes each.
    QByteArray apps = replyHeader(0, 157, 159);
    putBytes(apps, 512,
             padded("451", 6) + padded("Accueil", 16) + QByteArray(14, 'x') + padded("A1", 6) +
                 padded("quatre", 10));
    putBytes(apps, 564, padded("300", 6) + padded("$Fax", 16) + QByteArray(14, 'x') + ff(6) + ff(10));
    QList<ApplicationRecord> read;
    ASSERT_EQ(Rd_Applications(apps, read, page), ReplyError::NoError);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(QStringList({read[0].code, read[0].name, read[0].code2, read[0].field4}),
              QStringList({"451", "Accueil", "A1", "quatre"}));
    EXPECT_EQ(QStringList({read[1].code, read[1].name, read[1].code2, read[1].field4}),
              QStringList({"300", "$Fax", "", ""}));

    // One application (request 5) and an application name (request 1).
    QByteArray oneApp = replyHeader(0, 0, 0);
    putBytes(oneApp, 512, padded("452", 6) + padded("Standard", 16));
    putBytes(oneApp, 40, padded("Nuit", 16));
    ApplicationRecord app;
    ASSERT_EQ(Rd_Application(oneApp, app), ReplyError::NoError);
    EXPECT_EQ(app.code + QLatin1Char('|') + app.name, QStringLiteral("452|Standard"));
    QString name;
    ASSERT_EQ(Rd_ApplicationName(oneApp, name), ReplyError::NoError);
    EXPECT_EQ(name, QStringLiteral("Nuit"));
}

TEST(RecordCodec, ServerCharactersAndNoneMarks) {
    const std::pair<QByteArray, QString> readCases[] = {
        {padded("0140", 20), "0140"},
        {QByteArray("12") + ff(18), "12"},
        {ff(20), ""},
        {QByteArray(20, '7'), QString(20, '7')},
        {padded("\xE9\x80", 20), QStringLiteral("é€")},
        {QByteArray("\00099", 3), ""}, // NUL, 9, 9
    };
    for (const auto& [field, text] : readCases)
        EXPECT_EQ(conv_wexa_string(field), text) << field.toHex().constData();

    const std::pair<QString, QByteArray> writtenCases[] = {
        {"", ff(6)},
        {"45", padded("45", 6)},
        {"1234567890", "123456"},
        {QStringLiteral("é€"), padded("\xE9\x80", 6)},
    };
    for (const auto& [text, expected] : writtenCases) {
        QByteArray field(8, 'z');
        conv_string_wexa(text, field.data(), 6);
        EXPECT_EQ(field, expected + "zz") << text.toStdString();
    }

    // Free takes bytes 0-45 all 0xFF; in use looks at the numbers, the application and the second code.
    struct StateCase {
        const char* name;
        std::function<void(VoieT2cs&)> change;
        bool free, inUse;
    };
    const StateCase states[] = {
        {"new record", [](VoieT2cs&) {}, true, false},
        {"rest only", [](VoieT2cs& v) { v.rest = {}; }, true, false},
        {"third code", [](VoieT2cs& v) { v.code3 = 1; }, false, false},
        {"second code", [](VoieT2cs& v) { v.code2 = 0; }, false, true},
        {"application", [](VoieT2cs& v) { v.application = 451; }, false, true},
        {"last number", [](VoieT2cs& v) { v.setLast("9"); }, false, true},
        {"byte after an empty number", [](VoieT2cs& v) { v.first[5] = 'x'; }, false, false},
    };
    for (const StateCase& e : states) {
        VoieT2cs v;
        e.change(v);
        EXPECT_EQ(v.isFree(), e.free) << e.name;
        EXPECT_EQ(v.isInUse(), e.inUse) << e.name;
    }
}

// Each bad reply is refused and nothing is read from it. The reply is held in an allocation of exactly
// its length, so that a read past its end is caught when this runs under AddressSanitizer.
TEST(RecordCodec, BadRepliesAreRefused) {
    enum Reader { Apps, Lines, General, OneApp, NameOnly };
    struct Case {
        const char* name;
        Reader reader;
        QByteArray reply;
        ReplyError error;
    };
    const auto page = replyHeader;
    std::vector<Case> tc = {
        {"header cut", Lines, page(0, 0, 0, 511), ReplyError::TooShort},
        {"header cut before status", NameOnly, QByteArray(200, '\0'), ReplyError::TooShort},
        {"status 1", Apps, page(1, 0, 1, 8704), ReplyError::Status},
        {"status 2", Lines, page(2, 0, 1, 8704), ReplyError::Status},
        {"status 2", General, page(2, 0, 0, 8704), ReplyError::Status},
        {"status 3", OneApp, page(3, 0, 0, 8704), ReplyError::Status},
        {"status 3", NameOnly, page(3, 0, 0, 8704), ReplyError::Status},
        {"last below first", Apps, page(0, 10, 9, 8704), ReplyError::IndexesReversed},
        {"last below first", Lines, page(0, 10, 9, 8704), ReplyError::IndexesReversed},
        {"158 applications", Apps, page(0, 0, 158, 8704), ReplyError::TooManyRecords},
        {"97 lines", Lines, page(0, 0, 97, 8704), ReplyError::TooManyRecords},
        {"extreme indexes", Apps, page(0, 0x80000000u, 0x7FFFFFFFu, 8704), ReplyError::TooManyRecords},
        {"last application cut", Apps, page(0, 0, 10, 512 + 10 * 52 - 1), ReplyError::PastReply},
        {"last line cut", Lines, page(0, 0, 96, 512 + 96 * 50 - 1), ReplyError::PastReply},
        {"lines without data", Lines, page(0, 0, 1, 512), ReplyError::PastReply},
        {"general record cut", General, page(0, 0, 0, 512 + 799), ReplyError::PastReply},
        {"application cut", OneApp, page(0, 0, 0, 512 + 21), ReplyError::PastReply},
        {"lines past the table", Lines, page(0, 95, 101, 8704), ReplyError::PastTable},
        {"negative first line", Lines, page(0, 0xFFFFFFFFu, 1, 8704), ReplyError::PastTable},
    };
    for (const Reader l : {Apps, Lines, General, OneApp, NameOnly})
        tc.push_back({"empty", l, {}, ReplyError::TooShort});
    for (const Case& c : tc) {
        SCOPED_TRACE(c.name);
        const std::vector<char> exact(c.reply.begin(), c.reply.end());
        const QByteArrayView reply(exact.data(), qsizetype(exact.size()));
        QList<ApplicationRecord> apps;
        QList<VoieT2cs> records(100);
        ParVoieT2c t2c;
        ApplicationRecord app{"x", "y", "z", "w"};
        QString name = QStringLiteral("avant");
        ReplyPage p{-1, -1};
        const std::function<ReplyError()> readers[] = {
            [&] { return Rd_Applications(reply, apps, p); },
            [&] { return Rd_Par_voie_T2cs(reply, records, p); }, [&] { return Rd_Par_voie_T2c(reply, t2c); },
            [&] { return Rd_Application(reply, app); }, [&] { return Rd_ApplicationName(reply, name); }};
        const ReplyError e = readers[c.reader]();
        EXPECT_EQ(e, c.error);
        EXPECT_TRUE(apps.isEmpty());
        EXPECT_TRUE(
            std::all_of(records.begin(), records.end(), [](const VoieT2cs& v) { return v.isFree(); }));
        EXPECT_EQ(t2c.lineCount(), 0);
        EXPECT_EQ(app.code + app.name, QStringLiteral("xy"));
        EXPECT_EQ(name, QStringLiteral("avant"));
        EXPECT_EQ(p.first, -1);
    }
}

} // namespace
