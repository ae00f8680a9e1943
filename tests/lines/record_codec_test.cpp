#include "lines/record_codec.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Expected blocks are built byte by byte from the field positions, not with the codec's helpers.
void put32(QByteArray& b, int offset, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xFF);
}

// The block with `parts` written one after the other from offset.
QByteArray with(QByteArray b, int offset, const QList<QByteArray>& parts) {
    for (const QByteArray& part : parts) {
        b.replace(offset, part.size(), part);
        offset += int(part.size());
    }
    return b;
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

QByteArray replyHeader(quint32 status, quint32 first, quint32 last, int size = Block::Size) {
    QByteArray b(size, '\0');
    put32(b, 256, status);
    put32(b, 264, first);
    put32(b, 268, last);
    return b;
}

TEST(RecordCodec, RequestBlocksHoldTheirFields) {
    QList<VoieT2cs> table(100);
    table[4].setFirst(QStringLiteral("0140"));
    table[4].setLast(QStringLiteral("0149"));
    table[4].application = 451;
    ParVoieT2c t2c;
    for (int i = 0; i < ParVoieT2c::Size; ++i)
        t2c.bytes[i] = char(i * 7);
    t2c.setLineCount(300);

    QByteArray t2cBytes(reinterpret_cast<const char*>(t2c.bytes.data()), ParVoieT2c::Size);
    t2cBytes[0] = char(300 & 0xFF), t2cBytes[1] = char(300 >> 8);
    const QByteArray line5 = ff(50) + lineRecordBytes("0140", "0149", 451, 0xFFFF, 0xFFFF, ff(4));
    // The code, the request, its fields (offset, value) besides the code at byte 8, the start of its data
    // part, its length.
    using Fields = std::vector<std::pair<int, quint32>>;
    const std::tuple<quint32, std::function<void(QByteArray&)>, Fields, QByteArray, qint16> tc[] = {
        {0, [](auto& b) { requestApplicationTable(b, 157); }, {{12, 2}, {32, 157}, {36, 157}}, {}, 512},
        {1, [](auto& b) { requestApplicationName(b, 452); }, {{12, 2}, {16, 452}}, {}, 512},
        {5, [](auto& b) { requestApplication(b, 300); }, {{12, 2}, {16, 300}}, {}, 512},
        {100, [&](auto& b) { requestWriteGeneral(b, t2c); }, {{12, 0}, {32, 1}, {36, 16}}, t2cBytes, 8704},
        {101, [](auto& b) { requestReadGeneral(b); }, {{32, 1}}, {}, 512},
        {102, [&](auto& b) { requestWriteLines(b, table, 3, 2); }, {{12, 1}, {32, 3}, {36, 2}}, line5, 8704},
        {103, [](auto& b) { requestReadLines(b, 192, 8); }, {{32, 192}, {36, 8}}, {}, 512},
        {105, [](auto& b) { requestReloadLines(b); }, {}, {}, 8704},
    };
    for (const auto& [code, build, fields, data, length] : tc) {
        SCOPED_TRACE(code);
        // A used block: the header is prepared again, and write requests empty the data part.
        QByteArray block(Block::Size, char(0x5A));
        build(block);
        QByteArray expected(Block::Size, '\0');
        if (data.isEmpty()) expected.replace(512, 8704 - 512, QByteArray(8704 - 512, char(0x5A)));
        put32(expected, 8, code);
        for (const auto& [offset, value] : fields)
            put32(expected, offset, value);
        EXPECT_EQ(block, with(expected, 512, {data}));
        EXPECT_EQ(requestLength(readU32(block, 8)), length);
    }
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
    const std::tuple<const char*, std::function<void(VoieT2cs&)>, bool, bool> states[] = {
        {"new record", [](VoieT2cs&) {}, true, false},
        {"rest only", [](VoieT2cs& v) { v.rest = {}; }, true, false},
        {"third code", [](VoieT2cs& v) { v.code3 = 1; }, false, false},
        {"second code", [](VoieT2cs& v) { v.code2 = 0; }, false, true},
        {"application", [](VoieT2cs& v) { v.application = 451; }, false, true},
        {"last number", [](VoieT2cs& v) { v.setLast("9"); }, false, true},
        {"byte after an empty number", [](VoieT2cs& v) { v.first[5] = 'x'; }, false, false},
    };
    for (const auto& [name, change, free, inUse] : states) {
        VoieT2cs v;
        change(v);
        EXPECT_EQ(std::pair(v.isFree(), v.isInUse()), std::pair(free, inUse)) << name;
    }
}

enum Reader { Apps, Lines, General, OneApp, NameOnly };

// What a reader takes from a reply: its error, then the page and every record it filled, as text. The
// reply is held in an allocation of exactly its length, so that a read past its end is caught when this
// runs under AddressSanitizer.
std::pair<ReplyError, QStringList> readOut(Reader reader, const QByteArray& bytes) {
    const std::vector<char> exact(bytes.begin(), bytes.end());
    const QByteArrayView reply(exact.data(), qsizetype(exact.size()));
    QList<ApplicationRecord> apps;
    QList<VoieT2cs> records(100);
    ParVoieT2c t2c;
    ApplicationRecord app{"x", "y", "z", "w"};
    QString name = QStringLiteral("avant");
    ReplyPage p{-1, -1};
    const std::function<ReplyError()> readers[] = {
        [&] { return Rd_Applications(reply, apps, p); }, [&] { return Rd_Par_voie_T2cs(reply, records, p); },
        [&] { return Rd_Par_voie_T2c(reply, t2c); }, [&] { return Rd_Application(reply, app); },
        [&] { return Rd_ApplicationName(reply, name); }};
    const ReplyError error = readers[reader]();
    QStringList out;
    if (p.first != -1) out << QStringLiteral("page %1+%2").arg(p.first).arg(p.count());
    for (const ApplicationRecord& a : apps)
        out << QStringList({a.code, a.name, a.code2, a.field4}).join('|');
    for (int i = 0; i < records.size(); ++i) {
        const VoieT2cs& v = records[i];
        const auto n = [](quint16 code) { return QString::number(code); };
        if (!v.isFree())
            out << QStringList({n(i), v.firstText(), v.lastText(), n(v.application), n(v.code2), n(v.code3),
                                QByteArray(v.rest.data(), 4).toHex()})
                       .join('|');
    }
    if (t2c.lineCount() != 0) out << QStringLiteral("lines %1").arg(t2c.lineCount());
    if (app.code != "x" || app.name != "y") out << app.code + '|' + app.name;
    if (name != "avant") out << name;
    return {error, out};
}

// Each reader takes its records from their server bytes; each bad reply is refused and nothing is read.
TEST(RecordCodec, EachReplyIsReadWholeOrRefusedWithNothingRead) {
    const auto page = replyHeader;
    const QByteArray lines = with(replyHeader(0, 2, 5), 512,
                                  {lineRecordBytes("0140", "0149", 451, 0xFFFF, 7, "\x01\x02\x03\x04"),
                                   ff(50), lineRecordBytes("", "\xE9t\xE9", 0xFFFF, 12, 0xFFFF, ff(4))});
    const QByteArray apps =
        with(replyHeader(0, 157, 159), 512,
             {padded("451", 6) + padded("Accueil", 16) + QByteArray(14, 'x') + padded("A1", 6) +
                  padded("quatre", 10),
              padded("300", 6) + padded("$Fax", 16) + QByteArray(14, 'x') + ff(6) + ff(10)});
    const QByteArray oneApp = with(with(replyHeader(0, 0, 0), 40, {padded("Nuit", 16)}), 512,
                                   {padded("452", 6) + padded("Standard", 16)});
    const auto read = [](const QStringList& records) { return std::pair(ReplyError::NoError, records); };
    EXPECT_EQ(readOut(Lines, lines), read({"page 2+3", "2|0140|0149|451|65535|7|01020304",
                                           QStringLiteral("4||été|65535|12|65535|ffffffff")}));
    EXPECT_EQ(readOut(Apps, apps), read({"page 157+2", "451|Accueil|A1|quatre", "300|$Fax||"}));
    EXPECT_EQ(readOut(OneApp, oneApp), read({"452|Standard"}));
    EXPECT_EQ(readOut(NameOnly, oneApp), read({"Nuit"}));
    std::vector<std::tuple<const char*, Reader, QByteArray, ReplyError>> tc = {
        {"header cut", Lines, page(0, 0, 0, 511), ReplyError::TooShort},
        {"header cut before status", NameOnly, QByteArray(200, '\0'), ReplyError::TooShort},
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
    for (const Reader l : {Apps, Lines, General, OneApp, NameOnly}) { // any status but 0: 1, 2 or 3
        tc.push_back({"empty", l, {}, ReplyError::TooShort});
        tc.push_back({"status", l, page(1 + l % 3, 0, 1, 8704), ReplyError::Status});
    }
    for (const auto& [name, reader, reply, error] : tc)
        EXPECT_EQ(readOut(reader, reply), std::pair(error, QStringList())) << name;
}

} // namespace
