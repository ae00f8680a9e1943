// The line requests of qavo-sim, through the editor's own client code (HttpGateway, codec, line tables).
#include "core/app_context.h"
#include "lines/application_table.h"
#include "lines/ihm_exchange.h"
#include "lines/lines500.h"
#include "lines/record_codec.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using testing_support::SimProcess;

const QString kExample900 = QStringLiteral(QAVO_RESOURCES "/server-example");
const QString kExample500 = QStringLiteral(QAVO_RESOURCES "/server-example-500");

// A simulator on a copy of `seed` and an editor context connected to it.
struct Online {
    SimProcess sim;
    AppContext ctx;

    explicit Online(const QString& seed) : sim({QStringLiteral("--control")}, seed) {
        ctx.modeLocal = false;
        ctx.HADDR = QStringLiteral("127.0.0.1");
        ctx.HPORT = QString::number(sim.port());
        ctx.USER = QStringLiteral("u");
        ctx.PASS = QStringLiteral("p");
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
        passerelleOf(ctx).setGateway(std::make_unique<HttpGateway>());
    }

    // The log lines of information requests of one code.
    QStringList logOf(quint32 code) const {
        QStringList lines;
        const QString tag = QStringLiteral(" #%1 ").arg(code);
        for (const QString& line : QString::fromUtf8(sim.log()).split(u'\n'))
            if (line.contains(tag)) lines << line.mid(line.indexOf(tag) + 1);
        return lines;
    }

    // Sends a request built by the codec; the reply's status, or -1 without a reply.
    qint64 status(QByteArray& block) {
        const std::optional<QByteArrayView> reply = sendIhmRequest(ctx, block);
        return reply ? qint64(readU32(*reply, Block::Status)) : -1;
    }
};

QByteArray applications(int count) {
    QByteArray text = "/code;name;second code;fourth field\r\n";
    for (int i = 1; i <= count; ++i)
        text +=
            QByteArray::number(i) + ";App " + QByteArray::number(i) + ";" + QByteArray::number(i) + ";X\r\n";
    return text;
}

TEST(SimLines, ApplicationTableIsPagedAsTheEditorReadsIt) {
    const struct {
        int count;
        QStringList pages; // log of the requests 0
    } cases[] = {
        {156, {"#0 200 first=0 count=156"}},
        {157, {"#0 200 first=0 count=157", "#0 200 first=157 count=0"}},
        {160, {"#0 200 first=0 count=157", "#0 200 first=157 count=3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        QTemporaryDir seed;
        testing_support::writeBytes(seed.filePath(QStringLiteral("applications.txt")), applications(c.count));
        Online o(seed.path());
        const ApplicationLoad table = loadApplications(o.ctx);
        EXPECT_TRUE(table.ok);
        ASSERT_EQ(table.records.size(), c.count);
        EXPECT_EQ(table.records.last().code, QString::number(c.count));
        EXPECT_EQ(table.records.last().name, QStringLiteral("App %1").arg(c.count));
        EXPECT_EQ(o.logOf(0), c.pages);
    }
}

TEST(SimLines, OneApplicationByCodeKnownOrNot) {
    Online o(kExample900);
    const struct {
        int code;
        QString nom5;    // request 5, raw name ("" for an unknown code)
        QString nomAff1; // request 1 as the import shows it
    } cases[] = {
        {451, "$ARBRE1", "$ARBRE1"},
        {310, QStringLiteral("Télécopie"), QStringLiteral("Télécopie")},
        {999, "", UnknownApplicationName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::optional<ApplicationRecord> app = readApplication(o.ctx, c.code);
        ASSERT_TRUE(app.has_value()); // an unknown code does not stop a line read
        EXPECT_EQ(app->name, c.nom5);
        EXPECT_EQ(app->code, c.nom5.isEmpty() ? QString() : QString::number(c.code));
        EXPECT_EQ(readApplicationName(o.ctx, c.code), c.nomAff1);
    }
    EXPECT_EQ(o.logOf(5).last(), QStringLiteral("#5 200 app=999 unknown"));
}

TEST(SimLines, WrittenRecordsAreReadBack) {
    Online o(kExample500);
    Lines500 records(o.ctx);
    ASSERT_TRUE(records.read());
    ASSERT_EQ(records.lineCount(), 200);
    // Its pages, rows and names are checked in the line window's test on this same example.
    EXPECT_EQ(records.rows().at(1).applicationText(), QStringLiteral("452   Auto-attendant - tree 2"));

    const ApplicationItem arbre3{QStringLiteral("453"), QStringLiteral("tree 3"), {}, {}};
    ASSERT_TRUE(records.setNumber(0, 1, QStringLiteral("0145550000")));
    ASSERT_TRUE(records.setApplication(150, &arbre3));
    ASSERT_TRUE(records.setApplication(1, nullptr));
    ASSERT_EQ(records.write(), QString());
    EXPECT_EQ(o.logOf(102).size(), 3);
    EXPECT_EQ(o.logOf(100), QStringList{"#100 200 lines=200"});
    EXPECT_EQ(QFile(o.sim.root() + QStringLiteral("/voies500.bin")).size(), 800 + 200 * 50);
    Lines500 relu(o.ctx);
    ASSERT_TRUE(relu.read());
    const struct {
        int row;
        QString first, code;
    } rows[] = {{0, "0145550000", "451"},
                {1, "0140000010", ""},
                {7, "0140000070", "300"},
                {150, "0140001500", "453"}};
    for (const auto& r : rows) {
        EXPECT_EQ(relu.rows()[r.row].first, r.first) << r.row;
        EXPECT_EQ(relu.rows()[r.row].code, r.code) << r.row;
    }
}

// Statuses of the line requests, in order on one 500 server: each may depend on the ones before.
TEST(SimLines, LineRequestsAnswerTheirStatus) {
    Online o(kExample500);
    ParVoieT2c moins;
    moins.setLineCount(150);
    const struct {
        const char* what;
        std::function<void(QByteArray&)> build;
        qint64 status;
    } cases[] = {
        {"page at the end", [](QByteArray& b) { requestReadLines(b, 192, 8); }, 0},
        {"page past the end", [](QByteArray& b) { requestReadLines(b, 192, 9); }, 3},
        {"page too long", [](QByteArray& b) { requestReadLines(b, 0, 97); }, 3},
        {"fewer lines", [&](QByteArray& b) { requestWriteGeneral(b, moins); }, 0},
        {"page now past the end", [](QByteArray& b) { requestReadLines(b, 144, 8); }, 3},
        {"write past the end", [&](QByteArray& b) { requestWriteLines(b, {}, 150, 1); }, 3},
        {"no line file of generation 900", [](QByteArray& b) { requestReloadLines(b); }, 4},
        {"unknown request",
         [](QByteArray& b) {
             requestReadGeneral(b);
             writeU32(b, Block::Code, 42);
         },
         1},
        {"table of another kind",
         [](QByteArray& b) {
             requestApplicationTable(b, 0);
             writeU32(b, Block::Param12, 1);
         },
         3},
    };
    for (const auto& c : cases) {
        QByteArray block;
        c.build(block);
        EXPECT_EQ(o.status(block), c.status) << c.what;
    }
    Lines500 records(o.ctx);
    ASSERT_TRUE(records.read());
    EXPECT_EQ(records.lineCount(), 150);
}

TEST(SimLines, ReloadCountsTheLinesTaken) {
    Online o(kExample900);
    QByteArray block;
    requestReloadLines(block);
    EXPECT_EQ(o.status(block), 0);
    const QByteArray rows = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                            ";01;;451;;;;;;0;a\r;02;;451;;;;;;0;b;c\n[x]\r\n;03;;451;;;;;0;too short\r\n"
                            "  ;04;;451;;;;;;0;d  \r\n";
    ASSERT_EQ(testing_support::httpRequest(o.sim.port(), "PUT", "/qavo/files/rcm.cfg", rows).status, 200);
    requestReloadLines(block);
    EXPECT_EQ(o.status(block), 0);
    EXPECT_EQ(o.logOf(105), (QStringList{"#105 200 lines=40", "#105 200 lines=3"}));
}

TEST(SimLines, FaultsOnLineRequestsStopTheReadOnce) {
    Online o(kExample500);
    for (const char* spec :
         {"truncate@#103,once", "status:7@#5,once", "drop@#101,once", "count:3@#103,once"}) {
        SCOPED_TRACE(spec);
        ASSERT_TRUE(o.sim.fault(spec));
        Lines500 records(o.ctx);
        EXPECT_FALSE(records.read());
        EXPECT_TRUE(records.read());
    }
}

} // namespace
