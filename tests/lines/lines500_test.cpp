#include "lines/lines500.h"

#include "lines/scripted_server.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Server : ScriptedServer {
    Server()
        : ScriptedServer(
              QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nVoiesDeb= Début \r\n"
                             "VoiesFin=Fin\r\nVoiesApp=Application\r\n[VOIES]\r\nSTANDARD=Standard\r\n")) {}
};

void scriptRead(Server& s, const QList<VoieT2cs>& records) {
    s.gateway->replies << lineReads(records);
}

// The rows as texts: first;last;application, and whether greyed.
QStringList text(const Lines500& v) {
    QStringList out;
    for (const LineRow500& l : v.rows())
        out << l.first + ';' + l.last + ';' + l.applicationText() + (l.greyed ? ";grey" : "");
    return out;
}

TEST(Lines500, ReadsInPagesOf96AndResolvesNamesOnce) {
    Server s;
    scriptRead(s, serverTable(200));
    Lines500 v(s.ctx);
    QList<std::pair<int, int>> progressSeen;

    ASSERT_TRUE(v.read([&](int read, int total) { progressSeen.append({read, total}); }));

    // Each page's first line and count (the simulator's test reads them from its log), then the names.
    EXPECT_EQ(s.codes(), QList<quint32>({101, 103, 103, 103, 5, 5}));
    EXPECT_EQ(QList<quint32>({s.field(2, 32), s.field(3, 36), s.field(4, 16), s.field(5, 16)}),
              QList<quint32>({96, 8, 451, 300}));
    EXPECT_EQ(progressSeen, (QList<std::pair<int, int>>{{96, 200}, {192, 200}, {200, 200}}));

    ASSERT_EQ(v.rows().size(), 200);
    EXPECT_EQ(text(v).mid(0, 5), QStringList({"0140;0149;451   Standard", "0200;0299;300   Messagerie;grey",
                                              "0300;0300;", "0400;;451   Standard", ";;"}));
}

TEST(Lines500, AFailedRequestEndsTheReadAndNothingIsWritten) {
    const QList<VoieT2cs> table = serverTable(200);
    QByteArray refusal = linesPage(table, 96, 96);
    writeReplyHeader(refusal, 1, 96, 192);
    struct Case {
        const char* name;
        QList<QByteArray> replies;
    };
    const Case tc[] = {
        {"general record refused", {generalReply(200).left(700)}},
        {"second page bad status", {generalReply(200), linesPage(table, 0, 96), refusal}},
        {"second page not answered", {generalReply(200), linesPage(table, 0, 96)}},
        {"name not answered",
         {generalReply(200), linesPage(table, 0, 96), linesPage(table, 96, 96), linesPage(table, 192, 8)}},
    };
    for (const Case& c : tc) {
        SCOPED_TRACE(c.name);
        Server s;
        s.gateway->replies = c.replies;
        Lines500 v(s.ctx);
        EXPECT_FALSE(v.ResetVoies());
        EXPECT_FALSE(v.isRead());
        EXPECT_FALSE(v.write().isEmpty());
        for (quint32 code : s.codes())
            EXPECT_TRUE(code == 101 || code == 103 || code == 5) << code;
    }
}

TEST(Lines500, EditsFollowTheRowRules) {
    Server s;
    scriptRead(s, serverTable(10));
    Lines500 v(s.ctx);
    ASSERT_TRUE(v.read());
    struct Case {
        int line, column;
        QString text;
        bool accepted;
        QString result;
    };
    const Case tc[] = {
        {0, 1, " 12A*#x ", true, "12A*#x"}, {0, 2, "0150", true, "0150"}, {0, 1, "", true, ""},
        {0, 2, "12-3", false, "0150"},      {0, 2, "1.5", false, "0150"}, {4, 1, "abcd", true, "abcd"},
        {1, 1, "0201", false, "0200"}, // greyed: application 300
        {1, 2, "", false, "0299"},
    };
    for (const Case& c : tc) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(v.setNumber(c.line, c.column, c.text), c.accepted);
        const LineRow500& l = v.rows()[c.line];
        EXPECT_EQ(c.column == 1 ? l.first : l.last, c.result);
    }

    const ApplicationItem app{"00452", "Accueil ", "", ""};
    EXPECT_EQ(QList<bool>({v.setApplication(2, &app), v.clear(1, 3), v.clear(3, 3), v.setNumber(10, 1, "1")}),
              QList<bool>({true, false, true, false}));
    EXPECT_EQ(text(v).mid(1, 3),
              QStringList({"0200;0299;300   Messagerie;grey", "0300;0300;452   Accueil", "0400;;"}));
}

TEST(Lines500, ResetVoiesWritesPagesThenTheGeneralRecord) {
    Server s;
    const QList<VoieT2cs> table = serverTable(100);
    scriptRead(s, table);
    for (int i = 0; i < 3; ++i)
        s.gateway->replies << emptyBlock();
    Lines500 v(s.ctx);

    ASSERT_TRUE(v.ResetVoies());

    EXPECT_EQ(s.codes(), QList<quint32>({101, 103, 103, 5, 5, 102, 102, 100}));
    EXPECT_EQ(s.gateway->requestsSeen[5].size(), 8705);
    EXPECT_EQ(s.gateway->requestsSeen[7].mid(512, 800), generalReply(100).mid(512, 800));

    // 451: no first number, no application; 300 unchanged; none: no first number; the rest free.
    QList<VoieT2cs> expectedRows(100);
    expectedRows[0] = record("", "0149", VoieT2cs::Unset), expectedRows[1] = table[1];
    expectedRows[2] = record("", "0300", VoieT2cs::Unset);
    EXPECT_EQ(writtenRecords(s, 100), expectedRows);
}

TEST(Lines500, CsvExportAndImport) {
    Server s;
    scriptRead(s, serverTable(8));
    Lines500 v(s.ctx);
    ASSERT_TRUE(v.read());
    EXPECT_TRUE(v.setNumber(5, 1, "0600"));

    EXPECT_EQ(v.exportCsvBytes(), QByteArray("D\xE9"
                                             "but;Fin;Application\r\n0140;0149;451\r\n0200;0299;300\r\n"
                                             "0300;0300;\r\n0400;;451\r\n;;\r\n0600;;\r\n"));

    struct Case {
        const char* name;
        QByteArray file;
        QStringList rows; // first;last;application text of the rows in use
        bool knownName;   // the server knows the one name asked
        int nameRequests;
    };
    const Case tc[] = {
        {"title line dropped",
         "Debut;Fin;App\r\n/ comment\r\n\r\n0140 ; 0149 ; 453\r\n0150;;\r\n0160;0169;451;extra\r\n",
         {"0140;0149;453   ****************", "0200;0299;300   Messagerie;grey", "0150;;"}, // not 4 fields
         false,
         1},
        {"no header",
         "0140;0149;300\r\n;0159;455\n",
         {"0140;0149;300   Messagerie;grey", "0200;0299;300   Messagerie;grey", ";0159;455   Nuit"},
         true,
         1},
        {"first field empty", ";;\r\n7;;\r\n", {"0200;0299;300   Messagerie;grey", "7;;"}, false, 0},
    };
    for (const Case& c : tc) {
        SCOPED_TRACE(c.name);
        Lines500 w(s.ctx);
        s.gateway->replies.clear();
        scriptRead(s, serverTable(8));
        ASSERT_TRUE(w.read());
        s.gateway->requestsSeen.clear();
        QByteArray name = emptyBlock();
        if (c.knownName) writeApplicationName(name, "Nuit");
        s.gateway->replies = {name};

        w.importCsvBytes(c.file);

        EXPECT_EQ(text(w).filter(QRegularExpression("[^;]")), c.rows);
        EXPECT_EQ(s.codes(), QList<quint32>(c.nameRequests, 1));
    }
}

// Any table exported then imported comes back record by record, each at its index, greyed rows
// included, without asking the server anything.
TEST(Lines500, ExportThenImportGivesBackEveryRecordAtItsIndex) {
    QRandomGenerator random(5);
    for (const int count : {5000, 7, 130, 300}) {
        SCOPED_TRACE(count);
        QList<VoieT2cs> table = serverTable(count);
        const quint16 apps[] = {451, 300, VoieT2cs::Unset};
        for (int k = 4; k < count; ++k)
            if (random.bounded(3) > 0)
                table[k] = record(random.bounded(2) ? QString::number(random.bounded(900)) : QString(),
                                  QString::number(random.bounded(90)), apps[random.bounded(3)]);
        Server s;
        scriptRead(s, table);
        Lines500 v(s.ctx);
        ASSERT_TRUE(v.read());
        const QStringList read = text(v);
        s.gateway->requestsSeen.clear();
        v.importCsvBytes(v.exportCsvBytes());
        EXPECT_FALSE(v.isModified());
        EXPECT_EQ(text(v), read);
        EXPECT_TRUE(s.codes().isEmpty());
    }
}

} // namespace
