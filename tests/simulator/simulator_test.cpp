#include "sim_faults.h"
#include "sim_log.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

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

TEST(Simulator, FilesRoundTripByteForByte) {
    Simulator sim;
    ASSERT_NE(sim.port(), 0);
    EXPECT_EQ(sim.get("/qavo/files/arbre.maa").body, readBytes(kExample + "arbre.maa"));
    EXPECT_EQ(sim.get("/qavo/files/missing.maa").status, 404);

    QByteArray bytes;
    for (int i = 0; i < 3 * 256; ++i)
        bytes.append(char(i));
    for (const QByteArray name : {"arbre.maa", "planning%20table.cfg"}) {
        EXPECT_EQ(httpRequest(sim.port(), "PUT", "/qavo/files/" + name, bytes).status, 200) << name.data();
        const HttpResult back = sim.get("/qavo/files/" + name);
        EXPECT_EQ(back.status, 200);
        EXPECT_EQ(back.body, bytes) << name.data();
    }
    EXPECT_EQ(readBytes(sim.root() + "/planning table.cfg"), bytes);

    // A store that cannot be written (here its temporary name is too long) fails and keeps the old file.
    const QString longName(250, u'n');
    const QString old = sim.root() + u'/' + longName;
    testing_support::writeBytes(old, "old");
    const qsizetype files = QDir(sim.root()).count();
    const HttpResult refused = httpRequest(sim.port(), "PUT", "/qavo/files/" + longName.toLatin1(), bytes);
    EXPECT_EQ(refused.status, 500);
    EXPECT_TRUE(refused.body.startsWith("cannot store the file: ")) << refused.body.data();
    EXPECT_EQ(readBytes(old), "old");
    EXPECT_EQ(QDir(sim.root()).count(), files);
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
        EXPECT_TRUE(r.data.startsWith(c.prefix)) << r.data.left(200).data();
        EXPECT_TRUE(r.data.endsWith(c.suffix)) << r.data.right(200).data();
        EXPECT_TRUE(r.closed);
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

TEST(Simulator, RequestsNeedCredentialsAndBareNames) {
    Simulator sim;
    const struct {
        QByteArray method, path, credentials;
        int status;
    } cases[] = {
        {"GET", "/qavo/files/qavo_general.txt", "", 401},
        {"GET", "/qavo/files/qavo_general.txt", "u:wrong", 401},
        {"POST", "/acd_config/ihm", "u:", 401},
        {"GET", "/qavo/files/qavo_general.txt", "u:p", 200},
        {"PUT", "/qavo/files/..%2Fescape.maa", "u:p", 400},
        {"PUT", "/qavo/files/sub/escape.maa", "u:p", 400},
        {"PUT", "/qavo/files/a%5Cescape.maa", "u:p", 400},
        {"PUT", "/other/files/escape.maa", "u:p", 404},
        {"GET", "/acd_config/ihm", "u:p", 405},
        {"POST", "/acd_config/ihm", "u:p", 400}, // not an information request block
    };
    for (const auto& c : cases)
        EXPECT_EQ(httpRequest(sim.port(), c.method, c.path, "x", c.credentials).status, c.status)
            << c.method.data() << ' ' << c.path.data() << ' ' << c.credentials.data();
    EXPECT_EQ(QDir(sim.root()).entryList(QDir::Files), QDir(kExample).entryList(QDir::Files));
    EXPECT_FALSE(QFile::exists(sim.scratch() + "/escape.maa"));
}

TEST(Simulator, EachFaultAppliesOnceToItsTarget) {
    Simulator sim;
    const QByteArray tree = readBytes(kExample + "arbre.maa");
    const QByteArray treePath = "/qavo/files/arbre.maa";
    const struct {
        QByteArray spec;
        bool info; // else a fetch of the tree
        std::function<void(const HttpResult&)> check;
    } cases[] = {
        // File faults also fail the editor's and qavo-cli's exchanges; this one checks the target and "once".
        {"drop@arbre.maa,once", false,
         [&](const HttpResult& r) {
             EXPECT_EQ(r.announced, tree.size());
             EXPECT_LT(r.body.size(), tree.size());
             EXPECT_TRUE(tree.startsWith(r.body));
         }},
        {"oversize@#7,once", true,
         [](const HttpResult& r) {
             EXPECT_TRUE(r.complete());
             EXPECT_GT(r.body.size(), 64 * 1024);
         }},
        {"status:9@#7,once", true, [](const HttpResult& r) { EXPECT_EQ(wordAt(r.body, 256), 9u); }},
        {"count:3@#7,once", true,
         [](const HttpResult& r) {
             EXPECT_EQ(wordAt(r.body, 256), 2u);
             EXPECT_EQ(qFromLittleEndian<quint16>(r.body.constData() + 272), 3);
         }},
    };
    // A code the simulator does not serve: an error status, the request's header sent back.
    const HttpResult normalInfo = sim.post("/acd_config/ihm", infoRequest(7));
    ASSERT_EQ(normalInfo.body.size(), 8704);
    EXPECT_EQ(normalInfo.body.left(12), infoRequest(7).left(12));
    EXPECT_EQ(wordAt(normalInfo.body, 256), 1u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec.data());
        ASSERT_EQ(sim.post("/_sim/fault", c.spec).status, 200);
        // Another target first: untouched.
        if (c.info)
            EXPECT_EQ(sim.post("/acd_config/ihm", infoRequest(6)).body.size(), normalInfo.body.size());
        else
            EXPECT_EQ(sim.get("/qavo/files/qavo_general.txt").body, readBytes(kExample + "qavo_general.txt"));
        auto send = [&] { return c.info ? sim.post("/acd_config/ihm", infoRequest(7)) : sim.get(treePath); };
        c.check(send());
        const HttpResult again = send();
        EXPECT_EQ(again.status, 200);
        EXPECT_EQ(again.body, c.info ? normalInfo.body : tree);
    }
    EXPECT_EQ(sim.post("/_sim/fault", "slow@#7").status, 400);
}

// Valid specs are exercised through the running simulator above; here, those it must refuse.
TEST(Simulator, MalformedFaultSpecsAreRefusedWithAReason) {
    for (const char* bad : {"slow", "login:3", "status:-1", "drop@a/b", "drop@..", "count:1@#x", "boom"}) {
        QString error;
        EXPECT_FALSE(sim::parseFault(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

} // namespace
