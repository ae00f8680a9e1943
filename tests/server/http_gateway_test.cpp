// The gateways: the call sequence of the server link, and HTTP against a listener that answers as told.
#include "core/app_context.h"
#include "core/version.h"
#include "server/http_gateway.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

AppContext context(const QString& paddr, const QString& pport) {
    AppContext ctx;
    std::tie(ctx.HADDR, ctx.HPORT, ctx.USER, ctx.PASS, ctx.PADDR, ctx.PPORT, ctx.PLOGIN, ctx.PPASS) =
        std::tuple("10.0.0.5", "8080", "admin", "secret", paddr, pport, "plog", "ppass");
    return ctx;
}

// A server link over a gateway that records its calls, and that gateway.
struct Recorded {
    RecordingGateway* gateway = new RecordingGateway;
    Passerelle link{std::unique_ptr<Gateway>(gateway)};
};

TEST(Passerelle, EachCallFollowsItsParameterStep) {
    const QString proxy = "SetProxyParameters(proxy, 3128, plog, ppass)",
                  files = "SetFtpConnectionParameters(10.0.0.5, 8080, qavo, admin, secret)",
                  infoParams = "SetConnectionParameters(10.0.0.5, 8080, acd_config, admin, secret)",
                  get = "GetFileHTTP_QAVO(arbre.maa, /tmp/a.maa)",
                  put = "PutFileHTTP_QAVO(/tmp/a.maa, arbre.maa)", info = "GetIhmInfo(512)";
    const struct {
        const char *name, *paddr, *pport;
        char call;            // 'g'et, 'p'ut, 'i'nformation request
        QStringList expected; // for one call; two calls repeat it
    } cases[] = {
        {"fetch, no proxy", "", "", 'g', {files, get}},
        {"fetch, proxy", "proxy", "3128", 'g', {proxy, files, get}},
        {"store, proxy port only", "", "3128", 'p', {files, put}},
        {"information, proxy address only", "proxy", "", 'i', {infoParams, info}},
        {"information, proxy", "proxy", "3128", 'i', {proxy, infoParams, info}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AppContext ctx = context(QString::fromLatin1(c.paddr), QString::fromLatin1(c.pport));
        Recorded r;
        r.gateway->fileResults = {7, 0};
        QList<int> results;
        for (int i = 0; i < 2; ++i) {
            QByteArray buffer(Passerelle::BufferSize, '\0');
            results << (c.call == 'g'   ? r.link.GetFileHTTP_QAVO(ctx, "arbre.maa", "/tmp/a.maa")
                        : c.call == 'p' ? r.link.PutFileHTTP_QAVO(ctx, "/tmp/a.maa", "arbre.maa")
                                        : r.link.GetIhmInfo(ctx, buffer, 512));
        }
        EXPECT_EQ(std::pair(r.gateway->calls, results),
                  std::pair(c.expected + c.expected, c.call == 'i' ? QList<int>{0, 0} : QList<int>{7, 0}));
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

TEST(Passerelle, InformationRequestHeaderReadBackAndCount) {
    const struct {
        const char* name;
        qsizetype bufferSize;
        qint16 length;
        QByteArray reply;
        qint16 count;
    } cases[] = {
        {"status 2 gives the count", 8704, 512, reply(600, 2, 40), 40},
        {"other status gives 0", 8704, 512, reply(600, 1, 40), 0},
        {"status 2 without a count field", 8704, 512, reply(274, 2, 0), 0},
        {"reply longer than the buffer", 8704, 512, reply(9000, 2, 157), 157},
        {"request as long as the buffer", 600, 600, reply(700, 0, 0), 0},
        {"no reply", 8704, 36, QByteArray(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recorded r;
        r.gateway->replies = {c.reply};
        QByteArray buffer(c.bufferSize, '\0');
        for (qsizetype i = 0; i < buffer.size(); ++i)
            buffer[i] = char(i % 251);
        const QByteArray before = buffer;
        bool answered = false;
        qsizetype replyLength = -1;

        const qint16 count = r.link.GetIhmInfo(context({}, {}), buffer, c.length, &answered, &replyLength);
        EXPECT_EQ(std::tuple(count, answered, replyLength),
                  std::tuple(c.count, !c.reply.isEmpty(), c.reply.size()));

        // The caller's buffer gets the header, is sent as length + 1 bytes, then holds the reply.
        QByteArray marked = before;
        marked.replace(0, 8, QByteArray::fromHex("cafecafe") + QByteArray(4, '\0'));
        qToLittleEndian<quint32>(quint32(c.length), marked.data() + 4);
        EXPECT_EQ(r.gateway->requestsSeen, QList<QByteArray>{marked.leftJustified(c.length + 1, '\0', true)});
        const qsizetype copied = qMin(c.reply.size(), c.bufferSize);
        EXPECT_EQ(buffer, c.reply.left(copied) + marked.mid(copied));
    }
}

using testing_support::headerValue;

// A one-thread HTTP listener: it parses each request (headers and a Content-Length body), records it and,
// after delayMs, writes `reply` as it is and closes the connection. It runs while the gateway's own event
// loop waits.
class Listener {
public:
    QList<QByteArray> requests;
    QByteArray reply;
    int delayMs = 0;

    Listener() {
        server_->listen(QHostAddress::LocalHost);
        QObject::connect(server_.get(), &QTcpServer::pendingConnectionAvailable, server_.get(), [this] {
            while (QTcpSocket* s = server_->nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s,
                                 [this, s, pending = QByteArray()]() mutable { read(s, pending); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString port() const { return QString::number(server_->serverPort()); }

private:
    void read(QTcpSocket* s, QByteArray& pending) {
        pending += s->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) return;
        const qsizetype length = headerValue(pending, "Content-Length").toLongLong();
        if (pending.size() < end + 4 + length) return;
        const QByteArray request = pending.left(end + 4 + length);
        pending.remove(0, request.size());
        requests << request;
        QTimer::singleShot(delayMs, s, [s, bytes = reply] { // not called once s is gone
            s->write(bytes);
            s->disconnectFromHost();
        });
    }

    std::unique_ptr<QTcpServer> server_ = std::make_unique<QTcpServer>();
};

QByteArray http(const QByteArray& status, const QByteArray& body, const QByteArray& headers = {}) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

class HttpGatewayTest : public ::testing::Test {
protected:
    void SetUp() override {
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
        {"redirect", http("302 Found", {}, "Location: /elsewhere/arbre.maa\r\n"), HttpGateway::Redirect,
         "HTTP 302 Found -> http://127.0.0.1:"},
    };
    gateway.setLimits(2048, 2048);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        listener.requests.clear();
        listener.reply = c.reply;

        const int r = gateway.GetFileHTTP_QAVO("qavo_general.txt", path("qavo_general.txt"));
        const QString error = gateway.lastError();
        EXPECT_TRUE(r == c.reason && error.contains(QLatin1String(c.message)) && !error.contains("s3cret"))
            << r << ": " << qPrintable(error);
        // The whole file or nothing, and nothing else.
        EXPECT_EQ(testing_support::readBytes(path("qavo_general.txt")),
                  r == HttpGateway::Ok ? file : QByteArray());
        QFile::remove(path("qavo_general.txt"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        ASSERT_EQ(listener.requests.size(), 1);
        const QByteArray& request = listener.requests[0];
        EXPECT_EQ(
            QByteArrayList({request.left(request.indexOf("\r\n")), headerValue(request, "Authorization"),
                            headerValue(request, "User-Agent"), headerValue(request, "Accept-Encoding")}),
            QByteArrayList({"GET /qavo/files/qavo_general.txt HTTP/1.1",
                            "Basic " + QByteArray("admin:s3cret").toBase64(), "QAVO/" QAVO_VERSION,
                            "identity"}));
    }
}

TEST_F(HttpGatewayTest, StoreAndInformationRequestSendTheirBytes) {
    const QByteArray file("[Arbre1]\r\nM1=1\r\n\x01\xff", 18);
    testing_support::writeBytes(path("envoi.maa"), file);
    listener.reply = http("201 Created", {});
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(path("envoi.maa"), "arbre.maa"), HttpGateway::Ok)
        << qPrintable(gateway.lastError());
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(path("envoi.maa"), "../arbre.maa"), HttpGateway::NotConfigured);
    listener.reply = http("401 Unauthorized", {});
    EXPECT_EQ(gateway.PutFileHTTP_QAVO(path("envoi.maa"), "arbre.maa"), HttpGateway::Refused);

    gateway.SetConnectionParameters("127.0.0.1", listener.port(), "acd_config", "admin", "s3cret");
    gateway.setLimits(4096, 1024);
    QByteArray request = reply(513, 0, 0); // any bytes that tell the request from the file
    qint16 length = 512;
    const QByteArray info(1024, 'r');
    listener.reply = http("200 OK", info);
    EXPECT_EQ(gateway.GetIhmInfo(request, length), info);
    listener.reply = http("200 OK", info + 'r'); // one byte over the limit
    EXPECT_EQ(gateway.GetIhmInfo(request, length), QByteArray());
    EXPECT_EQ(gateway.lastReason(), HttpGateway::TooLarge);

    // The same request after the service changed goes to the new one.
    gateway.SetConnectionParameters("127.0.0.1", listener.port(), "other", "admin", "s3cret");
    gateway.GetIhmInfo(request, length);
    // Each request's line, type, digest, expectation (none: the body follows its headers at once) and body.
    QStringList sent;
    for (const QByteArray& r : listener.requests) {
        const QByteArray body = r.mid(r.indexOf("\r\n\r\n") + 4);
        sent << r.left(r.indexOf("\r\n")) + '|' + headerValue(r, "Content-Type") + '|' +
                    headerValue(r, "Digest") + '|' + headerValue(r, "Expect") + '|' +
                    (body == file                ? "file"
                     : body == request.left(512) ? "request"
                                                 : body.toHex());
    }
    const QString put = "PUT /qavo/files/arbre.maa HTTP/1.1|application/octet-stream|sha-256=" +
                        QCryptographicHash::hash(file, QCryptographicHash::Sha256).toBase64() + "||file",
                  post = " HTTP/1.1|application/octet-stream|||request";
    EXPECT_EQ(sent, QStringList({put, put, "POST /acd_config/ihm" + post, "POST /acd_config/ihm" + post,
                                 "POST /other/ihm" + post}));
}

TEST_F(HttpGatewayTest, SlowReplyUnderTheLimitKeepsEventsFlowingAndRefusesASecondCall) {
    listener.reply = http("200 OK", "slow");
    listener.delayMs = 300;
    int beats = 0, secondCall = -1;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++beats;
        if (secondCall < 0) secondCall = gateway.GetFileHTTP_QAVO("autre.txt", path("autre.txt"));
    });
    timer.start(20);

    EXPECT_EQ(gateway.GetFileHTTP_QAVO("slow.txt", path("slow.txt")), HttpGateway::Ok)
        << qPrintable(gateway.lastError());
    EXPECT_EQ(std::tuple(beats >= 3, secondCall, listener.requests.size()),
              std::tuple(true, int(HttpGateway::Busy), qsizetype(1)));
}

// Trust in certificates is met against nginx and, through qavo-cli, against qavo-sim.
TEST_F(HttpGatewayTest, AHandshakeThatNeverEndsCountsAsNoConnection) {
    gateway.setTimeouts(200, 5000);
    gateway.SetFtpConnectionParameters("https://127.0.0.1", listener.port(), "qavo", "admin", "s3cret");
    EXPECT_EQ(gateway.GetFileHTTP_QAVO("b.maa", path("b.maa")), HttpGateway::ConnectTimeout);
}

} // namespace
