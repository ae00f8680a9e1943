// qavo-sim as its own process: HTTP, faults, and the line requests through the editor's own client code
// (HttpGateway, codec, line tables).
#include "core/app_context.h"
#include "lines/application_table.h"
#include "lines/ihm_exchange.h"
#include "lines/lines500.h"
#include "lines/record_codec.h"
#include "sim_log.h"
#include "support/online_context.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray infoRequest(quint32 code) {
    QByteArray request(512, '\0');
    qToLittleEndian<quint32>(0xFECAFECA, request.data());
    qToLittleEndian<quint32>(512, request.data() + 4);
    qToLittleEndian<quint32>(code, request.data() + 8);
    return request;
}

quint32 wordAt(const QByteArray& bytes, qsizetype offset) {
    return bytes.size() >= offset + 4 ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0xFFFFFFFF;
}

QByteArray digestOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toBase64();
}

using testing_support::httpRequest;
using testing_support::HttpResult;
using testing_support::readBytes;
using Simulator = testing_support::SimProcess;

const QString kExample = QStringLiteral(QAVO_RESOURCES "/server-example/");

// Requests in turn on one simulator: files go and come back byte for byte, credentials are checked first,
// names are bare, and a store that cannot be written (its temporary name too long) keeps the old file.
TEST(Simulator, FilesRoundTripUnderCredentialsAndBareNames) {
    Simulator sim;
    QByteArray bytes;
    for (int i = 0; i < 3 * 256; ++i)
        bytes.append(char(i));
    const QByteArray files = "/qavo/files/", longName(250, 'n');
    testing_support::writeBytes(sim.root() + '/' + longName, "old");
    const struct {
        QByteArray method, path, body, credentials;
        int status;
        QByteArray reply = {}; // its body, or its start when `prefix`
        bool prefix = false;
    } cases[] = {
        {"GET", files + "arbre.maa", "", "u:p", 200, readBytes(kExample + "arbre.maa")},
        {"GET", files + "missing.maa", "", "u:p", 404},
        {"PUT", files + "arbre.maa", bytes, "u:p", 200},
        {"GET", files + "arbre.maa", "", "u:p", 200, bytes},
        {"PUT", files + "planning%20table.cfg", bytes, "u:p", 200},
        {"GET", files + "planning%20table.cfg", "", "u:p", 200, bytes},
        {"PUT", files + longName, bytes, "u:p", 500, "cannot store the file: ", true},
        {"GET", files + "qavo_general.txt", "x", "", 401},
        {"GET", files + "qavo_general.txt", "x", "u:wrong", 401},
        {"POST", "/acd_config/ihm", "x", "u:", 401},
        {"PUT", files + "..%2Fescape.maa", "x", "u:p", 400},
        {"PUT", files + "sub/escape.maa", "x", "u:p", 400},
        {"PUT", files + "a%5Cescape.maa", "x", "u:p", 400},
        {"PUT", "/other/files/escape.maa", "x", "u:p", 404},
        {"GET", "/acd_config/ihm", "x", "u:p", 405},
        {"POST", "/acd_config/ihm", "x", "u:p", 400}, // not an information request block
    };
    for (const auto& c : cases) {
        const HttpResult r = httpRequest(sim.port(), c.method, c.path, c.body, c.credentials);
        const QByteArray body = c.prefix ? r.body.left(c.reply.size()) : r.body;
        EXPECT_TRUE(r.status == c.status && (c.reply.isEmpty() || body == c.reply))
            << c.method.data() << ' ' << c.path.left(40).data() << ' ' << c.credentials.data() << ": "
            << r.status;
    }
    EXPECT_EQ(readBytes(sim.root() + "/planning table.cfg"), bytes);
    EXPECT_EQ(readBytes(sim.root() + '/' + longName), "old");
    QStringList expected = QDir(kExample).entryList(QDir::Files) << "planning table.cfg" << longName;
    expected.sort();
    EXPECT_EQ(QDir(sim.root()).entryList(QDir::Files), expected);
    EXPECT_FALSE(QFile::exists(sim.scratch() + "/escape.maa"));
}

// Raw connections: requests that stall, HEAD, Expect: 100-continue, Digest headers, and credentials
// refused before a body is read.
TEST(Simulator, StaysAWellBehavedHttpServer) {
    Simulator sim({QStringLiteral("--control"), QStringLiteral("--request-timeout"), QStringLiteral("200")});
    const QByteArray tree = readBytes(kExample + "arbre.maa");
    const QByteArray good = "Authorization: Basic " + QByteArray("u:p").toBase64() + "\r\n";
    const QByteArray wrong = "Authorization: Basic " + QByteArray("u:x").toBase64() + "\r\n";
    const QByteArray get = "GET /qavo/files/arbre.maa HTTP/1.1\r\n";
    const QByteArray head = "HEAD /qavo/files/arbre.maa HTTP/1.1\r\nConnection: close\r\n" + good + "\r\n";
    const QByteArray put = "PUT /qavo/files/new.cfg HTTP/1.1\r\nConnection: close\r\n";
    const QByteArray fresh = "Content-Length: 5\r\n\r\nfresh";
    const struct {
        const char* what;
        QByteArray send, then;
        QByteArray prefix, suffix;
    } cases[] = {
        {"half a head", get + "Host: a\r\n", "", "HTTP/1.1 408 ", ""},
        {"short body", put + good + "Content-Length: 10\r\n\r\nabc", "", "HTTP/1.1 408 ", ""},
        {"bare LF lines", get.chopped(2) + "\n" + good.chopped(2) + "\nConnection: close\n\n", "",
         "HTTP/1.1 200 ", tree},
        {"HEAD", head, "", "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(tree.size()) + "\r\n",
         "Digest: sha-256=" + digestOf(tree) + "\r\n\r\n"},
        {"HEAD of a POST-only service", QByteArray(head).replace("/qavo/files/arbre.maa", "/acd_config/ihm"),
         "", "HTTP/1.1 405 ", "Allow: POST\r\n\r\n"},
        {"100-continue", put + good + "Expect: 100-Continue\r\n" + fresh.chopped(5), "fresh",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 ", "stored\n"},
        {"wrong credentials, large body", put + wrong + "Content-Length: 50000000\r\n\r\n", "",
         "HTTP/1.1 401 ", ""},
        {"wrong credentials, 100-continue", put + wrong + "Expect: 100-continue\r\n" + fresh.chopped(5),
         "fresh", "HTTP/1.1 401 ", ""},
        {"body larger than any file", put + good + "Content-Length: 16777217\r\n\r\n", "", "HTTP/1.1 413 ",
         ""},
        {"digest among others, any case",
         put + good + "Digest: md5=x, SHA-256=" + digestOf("fresh") + "\r\n" + fresh, "", "HTTP/1.1 200 ",
         "stored\n"},
        {"digest of other bytes", put + good + "Digest: Sha-256=" + digestOf("other") + ",md5=x\r\n" + fresh,
         "", "HTTP/1.1 400 ", "does not match its digest\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto r = testing_support::rawExchange(sim.port(), c.send, c.then, 3000);
        EXPECT_TRUE(r.closed && r.data.startsWith(c.prefix) && r.data.endsWith(c.suffix))
            << r.data.left(200).data() << "\n...\n"
            << r.data.right(200).data();
    }
    EXPECT_EQ(readBytes(sim.root() + "/new.cfg"), "fresh");
    EXPECT_EQ(readBytes(sim.root() + "/arbre.maa"), tree);
    EXPECT_TRUE(sim.log().contains("? ? 408\nPUT /qavo/files/new.cfg 408\n"));
}

TEST(Simulator, LogKeepsOnlyItsLastLines) {
    sim::RequestLog log(2);
    for (const char* line : {"GET /a 200", "GET /b 404", "PUT /c 200"})
        log.append(QString::fromLatin1(line));
    EXPECT_EQ(log.text(), "GET /b 404\nPUT /c 200\n");
}

TEST(Simulator, EachFaultAppliesOnceToItsTarget) {
    Simulator sim;
    const QByteArray tree = readBytes(kExample + "arbre.maa");
    const QByteArray treePath = "/qavo/files/arbre.maa";
    const struct {
        QByteArray spec;
        bool info; // else a fetch of the tree
        std::function<bool(const HttpResult&)> hit;
    } cases[] = {
        // File faults also fail the editor's and qavo-cli's exchanges; this one checks the target and "once".
        {"drop@arbre.maa,once", false,
         [&](const HttpResult& r) {
             return r.announced == tree.size() && r.body.size() < tree.size() && tree.startsWith(r.body);
         }},
        {"oversize@#7,once", true, [](const HttpResult& r) { return r.complete() && r.body.size() > 65536; }},
        {"status:9@#7,once", true, [](const HttpResult& r) { return wordAt(r.body, 256) == 9; }},
        {"count:3@#7,once", true,
         [](const HttpResult& r) {
             return wordAt(r.body, 256) == 2 && qFromLittleEndian<quint16>(r.body.constData() + 272) == 3;
         }},
    };
    // A code the simulator does not serve: an error status, the request's header sent back.
    const HttpResult normalInfo = sim.post("/acd_config/ihm", infoRequest(7));
    EXPECT_EQ(std::tuple(normalInfo.body.size(), normalInfo.body.left(12), wordAt(normalInfo.body, 256)),
              std::tuple(8704, infoRequest(7).left(12), 1u));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec.data());
        ASSERT_EQ(sim.post("/_sim/fault", c.spec).status, 200);
        // Another target first: untouched.
        if (c.info)
            EXPECT_EQ(sim.post("/acd_config/ihm", infoRequest(6)).body.size(), normalInfo.body.size());
        else
            EXPECT_EQ(sim.get("/qavo/files/qavo_general.txt").body, readBytes(kExample + "qavo_general.txt"));
        auto send = [&] { return c.info ? sim.post("/acd_config/ihm", infoRequest(7)) : sim.get(treePath); };
        EXPECT_TRUE(c.hit(send()));
        const HttpResult again = send();
        EXPECT_EQ(std::pair(again.status, again.body), std::pair(200, c.info ? normalInfo.body : tree));
    }
    // A fault it cannot parse is refused with its reason.
    for (const char* bad : {"slow", "drop@..", "count:1@#x", "boom"}) {
        const HttpResult refused = sim.post("/_sim/fault", bad);
        EXPECT_TRUE(refused.status == 400 && !refused.body.trimmed().isEmpty()) << bad;
    }
}

const QString kExample500 = QStringLiteral(QAVO_RESOURCES "/server-example-500");

// A simulator on a copy of `seed` and an editor context connected to it.
struct Online {
    Simulator sim;
    AppContext ctx;

    explicit Online(const QString& seed) : sim({QStringLiteral("--control")}, seed) {
        testing_support::goOnline(ctx, sim.port());
        ctx.translation.loadFile(QStringLiteral(QAVO_RESOURCES "/qavo_lg01.txt"));
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
        {157, {"#0 200 first=0 count=157", "#0 200 first=157 count=0"}},
        {160, {"#0 200 first=0 count=157", "#0 200 first=157 count=3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        QTemporaryDir seed;
        testing_support::writeBytes(seed.filePath(QStringLiteral("applications.txt")), applications(c.count));
        Online o(seed.path());
        const ApplicationLoad table = loadApplications(o.ctx);
        ASSERT_TRUE(table.ok && table.records.size() == c.count);
        EXPECT_EQ(table.records.last().code + '|' + table.records.last().name,
                  QStringLiteral("%1|App %1").arg(c.count));
        EXPECT_EQ(o.logOf(0), c.pages);
    }
}

TEST(SimLines, OneApplicationByCodeKnownOrNotAndTheLinesReloaded) {
    Online o(kExample);
    const struct {
        int code;
        QStringList read; // request 5's code and raw name, request 1's name as the import shows it
    } cases[] = {
        {451, {"451", "$ARBRE1", "$ARBRE1"}},
        {310, {"310", QStringLiteral("Télécopie"), QStringLiteral("Télécopie")}},
        {999, {"", "", UnknownApplicationName}},
    };
    for (const auto& c : cases) {
        const std::optional<ApplicationRecord> app = readApplication(o.ctx, c.code);
        ASSERT_TRUE(app.has_value()) << c.code; // an unknown code does not stop a line read
        EXPECT_EQ(QStringList({app->code, app->name, readApplicationName(o.ctx, c.code)}), c.read);
    }
    EXPECT_EQ(o.logOf(5).last(), QStringLiteral("#5 200 app=999 unknown"));
    // A reload counts the lines it takes.
    QByteArray block;
    requestReloadLines(block);
    EXPECT_EQ(o.status(block), 0);
    const QByteArray lines = "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
                             ";01;;451;;;;;;0;a\r;02;;451;;;;;;0;b;c\n[x]\r\n;03;;451;;;;;0;too short\r\n"
                             "  ;04;;451;;;;;;0;d  \r\n";
    ASSERT_EQ(testing_support::httpRequest(o.sim.port(), "PUT", "/qavo/files/rcm.cfg", lines).status, 200);
    requestReloadLines(block);
    EXPECT_EQ(o.status(block), 0);
    EXPECT_EQ(o.logOf(105), (QStringList{"#105 200 lines=40", "#105 200 lines=3"}));
}

TEST(SimLines, WrittenRecordsAreReadBack) {
    Online o(kExample500);
    Lines500 records(o.ctx);
    // Its pages, rows and names are checked in the line window's test on this same example.
    const ApplicationItem tree3{QStringLiteral("453"), QStringLiteral("tree 3"), {}, {}};
    ASSERT_TRUE(records.read() && records.setNumber(0, 1, QStringLiteral("0145550000")) &&
                records.setApplication(150, &tree3) && records.setApplication(1, nullptr));
    ASSERT_EQ(records.write(), QString());
    EXPECT_EQ(std::pair(o.logOf(102).size(), o.logOf(100)),
              std::pair(qsizetype(3), QStringList{"#100 200 lines=200"}));
    EXPECT_EQ(QFile(o.sim.root() + QStringLiteral("/voies500.bin")).size(), 800 + 200 * 50);
    Lines500 reread(o.ctx);
    ASSERT_TRUE(reread.read());
    QStringList rows; // "first|code" of rows 0, 1, 7 and 150
    for (const int row : {0, 1, 7, 150})
        rows << reread.rows()[row].first + '|' + reread.rows()[row].code;
    EXPECT_EQ(rows, QStringList({"0145550000|451", "0140000010|", "0140000070|300", "0140001500|453"}));
}

// Statuses of the line requests, in order on one 500 server: each may depend on the ones before.
TEST(SimLines, LineRequestsAnswerTheirStatus) {
    Online o(kExample500);
    ParVoieT2c fewer;
    fewer.setLineCount(150);
    const struct {
        const char* what;
        std::function<void(QByteArray&)> build;
        qint64 status;
        int patchAt = 0; // a word of the built request changed to patch
        quint32 patch = 0;
    } cases[] = {
        {"page at the end", [](QByteArray& b) { requestReadLines(b, 192, 8); }, 0},
        {"page past the end", [](QByteArray& b) { requestReadLines(b, 192, 9); }, 3},
        {"page too long", [](QByteArray& b) { requestReadLines(b, 0, 97); }, 3},
        {"fewer lines", [&](QByteArray& b) { requestWriteGeneral(b, fewer); }, 0},
        {"page now past the end", [](QByteArray& b) { requestReadLines(b, 144, 8); }, 3},
        {"write past the end", [&](QByteArray& b) { requestWriteLines(b, {}, 150, 1); }, 3},
        {"no line file of generation 900", [](QByteArray& b) { requestReloadLines(b); }, 4},
        {"unknown request", [](QByteArray& b) { requestReadGeneral(b); }, 1, Block::Code, 42},
        {"table of another kind", [](QByteArray& b) { requestApplicationTable(b, 0); }, 3, Block::Param12, 1},
    };
    for (const auto& c : cases) {
        QByteArray block;
        c.build(block);
        if (c.patchAt) writeU32(block, c.patchAt, c.patch);
        EXPECT_EQ(o.status(block), c.status) << c.what;
    }
    Lines500 records(o.ctx);
    ASSERT_TRUE(records.read());
    EXPECT_EQ(records.lineCount(), 150);
}

} // namespace
