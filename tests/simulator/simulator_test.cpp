#include "sim_faults.h"
#include "support/sim_process.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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

using testing_support::httpRequest;
using testing_support::HttpResult;
using Simulator = testing_support::SimProcess;

const QString kExample = QStringLiteral(QAVO_RESOURCES "/server-example/");

TEST(Simulator, FilesRoundTripByteForByte) {
    Simulator sim;
    ASSERT_NE(sim.port(), 0);
    EXPECT_EQ(sim.get("/qavo/files/arbre.maa").body, readFile(kExample + "arbre.maa"));
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
    EXPECT_EQ(readFile(sim.root() + "/planning table.cfg"), bytes);
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
    const QByteArray tree = readFile(kExample + "arbre.maa");
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
            EXPECT_EQ(sim.get("/qavo/files/qavo_general.txt").body, readFile(kExample + "qavo_general.txt"));
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
