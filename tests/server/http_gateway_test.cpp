// The gateways: the call sequence of the server link, and HTTP against a listener that answers as told.
#include "core/app_context.h"
#include "core/version.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace {

AppContext context(const QString& paddr, const QString& pport) {
    AppContext ctx;
    ctx.HADDR = "10.0.0.5";
    ctx.HPORT = "8080";
    ctx.USER = "admin";
    ctx.PASS = "secret";
    ctx.PADDR = paddr;
    ctx.PPORT = pport;
    ctx.PLOGIN = "plog";
    ctx.PPASS = "ppass";
    return ctx;
}

enum class Call { Get, Put, Info };

const QString kProxy = "SetProxyParameters(proxy, 3128, plog, ppass)";
const QString kFiles = "SetFtpConnectionParameters(10.0.0.5, 8080, qavo, admin, secret)";
const QString kInfoParams = "SetConnectionParameters(10.0.0.5, 8080, acd_config, admin, secret)";
const QString kGet = "GetFileHTTP_QAVO(arbre.maa, /tmp/a.maa)";
const QString kPut = "PutFileHTTP_QAVO(/tmp/a.maa, arbre.maa)";
const QString kInfo = "GetIhmInfo(512)";

struct OrderCase {
    const char* name;
    const char* paddr;
    const char* pport;
    Call call;
    QStringList expected; // for one call; two calls repeat it
};

TEST(Passerelle, EachCallFollowsItsParameterStep) {
    const OrderCase cases[] = {
        {"fetch, no proxy", "", "", Call::Get, {kFiles, kGet}},
        {"fetch, proxy", "proxy", "3128", Call::Get, {kProxy, kFiles, kGet}},
        {"store, proxy port only", "", "3128", Call::Put, {kFiles, kPut}},
        {"information, proxy address only", "proxy", "", Call::Info, {kInfoParams, kInfo}},
        {"information, proxy", "proxy", "3128", Call::Info, {kProxy, kInfoParams, kInfo}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AppContext ctx = context(QString::fromLatin1(c.paddr), QString::fromLatin1(c.pport));
        auto owned = std::make_unique<RecordingGateway>();
        RecordingGateway& g = *owned;
        g.fileResults = {7, 0};
        Passerelle p(std::move(owned));
        QList<int> results;
        for (int i = 0; i < 2; ++i) {
            QByteArray buffer(Passerelle::BufferSize, '\0');
            if (c.call == Call::Get)
                results << p.GetFileHTTP_QAVO(ctx, "arbre.maa", "/tmp/a.maa");
            else if (c.call == Call::Put)
                results << p.PutFileHTTP_QAVO(ctx, "/tmp/a.maa", "arbre.maa");
            else
                p.GetIhmInfo(ctx, buffer, 512);
        }
        EXPECT_EQ(g.calls, c.expected + c.expected);
        if (c.call != Call::Info) {
            EXPECT_EQ(results, (QList<int>{7, 0})); // the gateway's results come back unchanged
        }
    }
}

QByteArray reply(qsizetype size, quint32 status, quint32 count) {
    QByteArray r(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        r[i] = char(0x40 + i % 31);
    if (size >= 260) qToLittleEndian<quint32>(status, r.data() + 256);
    if (size >= 276) qToLittleEndian<quint32>(count, r.data() + 272);
    return r;
}

struct InfoCase {
    const char* name;
    qsizetype bufferSize;
    qint16 length;
    QByteArray reply;
    qint16 count;
};

TEST(Passerelle, InformationRequestHeaderReadBackAndCount) {
    const InfoCase cases[] = {
        {"status 2 gives the count", 8704, 512, reply(600, 2, 40), 40},
        {"other status gives 0", 8704, 512, reply(600, 1, 40), 0},
        {"status 2 without a count field", 8704, 512, reply(274, 2, 0), 0},
        {"reply longer than the buffer", 8704, 512, reply(9000, 2, 157), 157},
        {"request as long as the buffer", 600, 600, reply(700, 0, 0), 0},
        {"no reply", 8704, 36, QByteArray(), 0},
    };
    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<RecordingGateway>();
        RecordingGateway& g = *owned;
        g.replies = {c.reply};
        Passerelle p(std::move(owned));
        QByteArray buffer(c.bufferSize, '\0');
        for (qsizetype i = 0; i < buffer.size(); ++i)
            buffer[i] = char(i % 251);
        const QByteArray before = buffer;
        bool answered = false;
        qsizetype replyLength = -1;

        EXPECT_EQ(p.GetIhmInfo(context({}, {}), buffer, c.length, &answered, &replyLength), c.count);
        EXPECT_EQ(replyLength, c.reply.size());

        // The caller's buffer gets the header, is sent as length + 1 bytes, then holds the reply.
        QByteArray marked = before;
        marked.replace(0, 8, QByteArray::fromHex("cafecafe") + QByteArray(4, '\0'));
        qToLittleEndian<quint32>(quint32(c.length), marked.data() + 4);
        QByteArray request = marked.left(c.length + 1);
        request.resize(c.length + 1, '\0');
        EXPECT_EQ(g.requestsSeen, QList<QByteArray>{request});
        EXPECT_EQ(answered, !c.reply.isEmpty());
        const qsizetype copied = qMin(c.reply.size(), c.bufferSize);
        EXPECT_EQ(buffer, c.reply.left(copied) + marked.mid(copied));
    }
}

using testing_support::headerValue;

// What the listener does with one complete request.
struct Reply {
    QByteArray bytes; // written as is, then the connection is closed
    int delayMs = 0;  // answer after this delay
};

// A one-thread HTTP listener: it parses each request (headers and a Content-Length body), records it and
// answers through `answer`. It runs while the gateway's own event loop waits.
class Listener {
public:
    QList<QByteArray> requests;
    std::function<Reply(const QByteArray& request)> answer;

    Listener() {
        server_->listen(QHostAddress::LocalHost);
        QObject::connect(server_.get(), &QTcpServer::pendingConnectionAvailable, server_.get(), [this] {
            while (QTcpSocket* s = server_->nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { read(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString port() const { return QString::number(server_->serverPort()); }

private:
    void read(QTcpSocket* s) {
        QByteArray& pending = pending_[s];
        pending += s->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) return;
        const qsizetype length = headerValue(pending, "Content-Length").toLongLong();
        if (pending.size() < end + 4 + length) return;
        const QByteArray request = pending.left(end + 4 + length);
        pending.remove(0, request.size());
        requests << request;
        const Reply r = answer(request);
        QPointer<QTcpSocket> p(s);
        QTimer::singleShot(r.delayMs, s, [p, bytes = r.bytes] {
            if (!p) return;
            p->write(bytes);
            p->disconnectFromHost();
        });
    }

    std::unique_ptr<QTcpServer> server_ = std::make_unique<QTcpServer>();
    QHash<QTcpSocket*, QByteArray> pending_;
};

QByteArray http(const QByteArray& status, const QByteArray& body, const QByteArray& headers = {}) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

QByteArray body(const QByteArray& request) {
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

class HttpGatewayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        gateway.setTimeouts(2000, 2000);
        gateway.SetFtpConnectionParameters("127.0.0.1", listener.port(), "qavo", "admin", "s3cret");
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    Listener listener;
    HttpGateway gateway;
};

TEST_F(HttpGatewayTest, FetchWritesTheWholeFileOrNothing) {
    const QByteArray file = QByteArray("[General]\r\nversion=900.1\r\n").repeated(20);
    const QByteArray other = QCryptographicHash::hash("autre", QCryptographicHash::Sha256).toBase64();
    // A refused login, a late reply and a server that is down are each met against qavo-sim's faults at
    // every step of the editor's exchanges; nginx and squid have their own tests.
    const struct {
        const char* name;
        QByteArray reply;
        int reason;
        const char* message; // in lastError()
    } cases[] = {
        {"whole file", http("200 OK", file), HttpGateway::Ok, ""},
        {"missing file", http("404 Not Found", "none"), HttpGateway::Absent, "HTTP 404 Not Found"},
        {"too large, no length", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(3000, 'x'),
         HttpGateway::TooLarge, "> 2048"},
        {"no length, ended by closing", "HTTP/1.0 200 OK\r\n\r\n" + file, HttpGateway::Incomplete,
         "no Content-Length"},
        {"cut short", "HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n" + file.left(100),
         HttpGateway::Incomplete, "100 / 900"},
        {"digest differs", http("200 OK", file, "Digest: sha-256=" + other + "\r\n"), HttpGateway::Incomplete,
         "Digest"},
        {"compressed", http("200 OK", file, "Content-Encoding: gzip\r\n"), HttpGateway::Encoding, "gzip"},
        {"redirect", http("302 Found", {}, "Location: /elsewhere/arbre.maa\r\n"), HttpGateway::Redirect,
         "HTTP 302 Found -> http://127.0.0.1:"},
    };
    gateway.setLimits(2048, 2048);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        listener.requests.clear();
        listener.answer = [&](const QByteArray&) { return Reply{c.reply}; };

        const int r = gateway.GetFileHTTP_QAVO("qavo_general.txt", path("qavo_general.txt"));

        EXPECT_EQ(r, c.reason) << qPrintable(gateway.lastError());
        EXPECT_TRUE(gateway.lastError().contains(QLatin1String(c.message)))
            << qPrintable(gateway.lastError());
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (c.reason == HttpGateway::Ok) {
            EXPECT_EQ(left, QStringList{"qavo_general.txt"});
            EXPECT_EQ(testing_support::readBytes(path("qavo_general.txt")), file);
            QFile::remove(path("qavo_general.txt"));
        } else {
            EXPECT_TRUE(left.isEmpty()) << qPrintable(left.join(' '));
            EXPECT_FALSE(gateway.lastError().contains(QLatin1String("s3cret")));
        }
        ASSERT_EQ(listener.requests.size(), 1);
        const QByteArray& request = listener.requests[0];
        EXPECT_TRUE(request.startsWith("GET /qavo/files/qavo_general.txt HTTP/1.1\r\n"));
        EXPECT_EQ(headerValue(request, "Authorization"), "Basic " + QByteArray("admin:s3cret").toBase64());
        EXPECT_EQ(headerValue(request, "User-Agent"), "QAVO/" QAVO_VERSION);
        EXPECT_EQ(headerValue(request, "Accept-Encoding"), "identity");
    }
}

TEST_F(HttpGatewayTest, StoreAndInformationRequestSendTheirBytes) {
    const QByteArray file("[Arbre1]\r\nM1=1\r\n\x01\xff", 18);
    testing_support::writeBytes(path("envoi.maa"), file);
    QByteArray reply = http("201 Created", {});
    listener.answer = [&](const QByteArray&) { return Reply{reply}; };
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(path("envoi.maa"), "arbre.maa"), HttpGateway::Ok)
        << qPrintable(gateway.lastError());
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(path("envoi.maa"), "../arbre.maa"), HttpGateway::NotConfigured);
    reply = http("401 Unauthorized", {});
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(path("envoi.maa"), "arbre.maa"), HttpGateway::Refused);

    gateway.SetConnectionParameters("127.0.0.1", listener.port(), "acd_config", "admin", "s3cret");
    gateway.setLimits(4096, 1024);
    QByteArray request(513, '\0');
    for (int i = 0; i < request.size(); ++i)
        request[i] = char(i);
    qint16 length = 512;
    const QByteArray info(1024, 'r');
    reply = http("200 OK", info);
    EXPECT_EQ(gateway.GetIhmInfo(request, length), info);
    reply = http("200 OK", info + 'r'); // one byte over the limit
    EXPECT_EQ(gateway.GetIhmInfo(request, length), QByteArray());
    EXPECT_EQ(gateway.lastReason(), HttpGateway::TooLarge);

    ASSERT_EQ(listener.requests.size(), 4);
    EXPECT_TRUE(listener.requests[0].startsWith("PUT /qavo/files/arbre.maa HTTP/1.1\r\n"));
    EXPECT_EQ(body(listener.requests[0]), file);
    EXPECT_EQ(headerValue(listener.requests[0], "Digest"),
              "sha-256=" + QCryptographicHash::hash(file, QCryptographicHash::Sha256).toBase64());
    EXPECT_EQ(headerValue(listener.requests[0], "Content-Type"), "application/octet-stream");
    // The body follows its headers at once.
    EXPECT_EQ(headerValue(listener.requests[0], "Expect"), "");
    EXPECT_TRUE(listener.requests[2].startsWith("POST /acd_config/ihm HTTP/1.1\r\n"));
    EXPECT_EQ(body(listener.requests[2]), request.left(512));
    // The same request after the service changed goes to the new one.
    gateway.SetConnectionParameters(QStringLiteral("127.0.0.1"), listener.port(), QStringLiteral("other"),
                                    QStringLiteral("admin"), QStringLiteral("s3cret"));
    gateway.GetIhmInfo(request, length);
    ASSERT_EQ(listener.requests.size(), 5);
    EXPECT_TRUE(listener.requests[4].startsWith("POST /other/ihm HTTP/1.1\r\n"));
}

TEST_F(HttpGatewayTest, SlowReplyUnderTheLimitKeepsEventsFlowingAndRefusesASecondCall) {
    listener.answer = [](const QByteArray&) { return Reply{http("200 OK", "slow"), 300}; };
    int beats = 0;
    int secondCall = -1;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++beats;
        if (secondCall < 0) secondCall = gateway.GetFileHTTP_QAVO("autre.txt", path("autre.txt"));
    });
    timer.start(20);

    EXPECT_EQ(gateway.GetFileHTTP_QAVO("slow.txt", path("slow.txt")), HttpGateway::Ok)
        << qPrintable(gateway.lastError());
    EXPECT_GE(beats, 3);
    EXPECT_EQ(secondCall, HttpGateway::Busy);
    EXPECT_EQ(listener.requests.size(), 1);
}

// Trust in certificates is met against nginx and, through qavo-cli, against qavo-sim.
TEST_F(HttpGatewayTest, AHandshakeThatNeverEndsCountsAsNoConnection) {
    gateway.setTimeouts(200, 5000);
    gateway.SetFtpConnectionParameters("https://127.0.0.1", listener.port(), "qavo", "admin", "s3cret");
    EXPECT_EQ(gateway.GetFileHTTP_QAVO("b.maa", path("b.maa")), HttpGateway::ConnectTimeout);
}

} // namespace
