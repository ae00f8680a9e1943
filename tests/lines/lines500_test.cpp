#include "lines/lines500.h"

#include "lines/scripted_server.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The scripted server and its line table, read from it first when the replies are those of `table`.
struct Server : ScriptedServer {
    Lines500 v{ctx};
    explicit Server(const QList<QByteArray>& replies) : ScriptedServer(replies) {}
    explicit Server(const QList<VoieT2cs>& table) : ScriptedServer(lineReads(table)) {
        EXPECT_TRUE(v.read());
    }
};

// The rows as texts: first;last;application, and whether greyed.
QStringList text(const Lines500& v) {
    QStringList out;
    for (const LineRow500& l : v.rows())
        out << l.first + ';' + l.last + ';' + l.applicationText() + (l.greyed ? ";grey" : "");
    return out;
}

TEST(Lines500, ReadsInPagesOf96AndResolvesNamesOnce) {
    Server s(lineReads(serverTable(200)));
    QList<std::pair<int, int>> progressSeen;
    ASSERT_TRUE(s.v.read([&](int read, int total) { progressSeen.append({read, total}); }));
    // Each page's first line and count (the simulator's test reads them from its log), then the names.
    EXPECT_EQ(s.codes(), QList<quint32>({101, 103, 103, 103, 5, 5}));
    EXPECT_EQ(QList<quint32>({s.field(2, 32), s.field(3, 36), s.field(4, 16), s.field(5, 16)}),
              QList<quint32>({96, 8, 451, 300}));
    EXPECT_EQ(progressSeen, (QList<std::pair<int, int>>{{96, 200}, {192, 200}, {200, 200}}));
    EXPECT_EQ(text(s.v).mid(0, 5) << QString::number(s.v.rows().size()),
              QStringList({"0140;0149;451   Standard", "0200;0299;300   Messagerie;grey", "0300;0300;",
                           "0400;;451   Standard", ";;", "200"}));
}

TEST(Lines500, AFailedRequestEndsTheReadAndNothingIsWritten) {
    const QList<VoieT2cs> table = serverTable(200);
    QByteArray refusal = linesPage(table, 96, 96);
    writeReplyHeader(refusal, 1, 96, 192);
    const QList<QByteArray> general{generalReply(200)}, page1 = general + QList{linesPage(table, 0, 96)};
    const std::pair<const char*, QList<QByteArray>> tc[] = {
        {"general record refused", {generalReply(200).left(700)}},
        {"second page bad status", page1 + QList{refusal}},
        {"second page not answered", page1},
        {"name not answered", page1 + QList{linesPage(table, 96, 96), linesPage(table, 192, 8)}},
    };
    for (const auto& [name, replies] : tc) {
        SCOPED_TRACE(name);
        Server s(replies);
        EXPECT_FALSE(s.v.ResetVoies() || s.v.isRead());
        EXPECT_FALSE(s.v.write().isEmpty());
        EXPECT_FALSE(s.codes().contains(RequestCode::WriteLines) ||
                     s.codes().contains(RequestCode::WriteGeneral));
    }
}

TEST(Lines500, EditsFollowTheRowRules) {
    Server s(serverTable(10));
    // The row and column, the text entered, whether it is taken, the number afterwards.
    const std::tuple<int, int, QString, bool, QString> tc[] = {
        {0, 1, " 12A*#x ", true, "12A*#x"}, {0, 2, "0150", true, "0150"}, {0, 1, "", true, ""},
        {0, 2, "12-3", false, "0150"},      {0, 2, "1.5", false, "0150"}, {4, 1, "abcd", true, "abcd"},
        {1, 1, "0201", false, "0200"}, // greyed: application 300
        {1, 2, "", false, "0299"},
    };
    for (const auto& [line, column, text, accepted, result] : tc) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(s.v.setNumber(line, column, text), accepted);
        EXPECT_EQ(column == 1 ? s.v.rows()[line].first : s.v.rows()[line].last, result);
    }
    const ApplicationItem app{"00452", "Accueil ", "", ""};
    EXPECT_EQ(QList<bool>(
                  {s.v.setApplication(2, &app), s.v.clear(1, 3), s.v.clear(3, 3), s.v.setNumber(10, 1, "1")}),
              QList<bool>({true, false, true, false}));
    EXPECT_EQ(text(s.v).mid(1, 3),
              QStringList({"0200;0299;300   Messagerie;grey", "0300;0300;452   Accueil", "0400;;"}));
}

TEST(Lines500, ResetVoiesWritesPagesThenTheGeneralRecord) {
    const QList<VoieT2cs> table = serverTable(100);
    Server s(lineReads(table) << emptyBlock() << emptyBlock() << emptyBlock());
    ASSERT_TRUE(s.v.ResetVoies());
    EXPECT_EQ(s.codes(), QList<quint32>({101, 103, 103, 5, 5, 102, 102, 100}));
    EXPECT_EQ(s.gateway->requestsSeen[5].size(), 8705);
    EXPECT_EQ(s.gateway->requestsSeen[7].mid(512, 800), generalReply(100).mid(512, 800));
    // 451: no first number, no application; 300 unchanged; none: no first number; the rest free.
    QList<VoieT2cs> expectedRows = {record("", "0149", VoieT2cs::Unset), table[1],
                                    record("", "0300", VoieT2cs::Unset)};
    expectedRows.resize(100);
    EXPECT_EQ(writtenRecords(s, 100), expectedRows);
}

TEST(Lines500, CsvExportAndImport) {
    Server s(serverTable(8));
    EXPECT_TRUE(s.v.setNumber(5, 1, "0600"));
    EXPECT_EQ(s.v.exportCsvBytes(), QByteArray("D\xE9"
                                               "but;Fin;Application\r\n0140;0149;451\r\n0200;0299;300\r\n"
                                               "0300;0300;\r\n0400;;451\r\n;;\r\n0600;;\r\n"));
    // The file; the rows in use afterwards; the name the server gives to the one application asked, if any.
    const QString fax = "|0200;0299;300   Messagerie;grey|";
    const std::tuple<QByteArray, QString, const char*> tc[] = {
        {"Debut;Fin;App\r\n/ comment\r\n\r\n0140 ; 0149 ; 453\r\n0150;;\r\n0160;0169;451;extra\r\n",
         "0140;0149;453   ****************" + fax + "0150;;", ""}, // not 4 fields
        {"0140;0149;300\r\n;0159;455\n", "0140;0149;300   Messagerie;grey" + fax + ";0159;455   Nuit",
         "Nuit"},
        {";;\r\n7;;\r\n", fax.mid(1) + "7;;", nullptr},
        // The first line deleted: the protected line stays alone in its record, the others move up.
        {"0200;0299;0300\r\n0300;0300;\r\n0400;;451\r\n", "0300;0300;" + fax + "0400;;451   Standard",
         nullptr},
    };
    for (const auto& [file, rows, name] : tc) {
        SCOPED_TRACE(file.constData());
        Server w(serverTable(8));
        w.gateway->requestsSeen.clear();
        w.gateway->replies = {emptyBlock()};
        if (name && *name) writeApplicationName(w.gateway->replies[0], name);
        w.v.importCsvBytes(file);
        EXPECT_EQ(text(w.v).filter(QRegularExpression("[^;]")).join('|'), rows);
        EXPECT_EQ(w.codes(), QList<quint32>(name ? 1 : 0, 1));
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
        Server s(table);
        const QStringList read = text(s.v);
        s.gateway->requestsSeen.clear();
        s.v.importCsvBytes(s.v.exportCsvBytes());
        EXPECT_FALSE(s.v.isModified());
        EXPECT_EQ(text(s.v), read);
        EXPECT_TRUE(s.codes().isEmpty());
    }
}

} // namespace
