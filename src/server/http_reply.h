#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <curl/curl.h>

namespace platform {
class AtomicFile;
}

// One reply as libcurl hands it over: the final status line, the headers the gateway judges, and the
// body of a 2xx reply, counted, hashed when it announces a digest, and passed on to a file or a buffer.
// Interim replies (100 Continue, a proxy's 407 before its credentials are sent) are forgotten when the next
// one starts.
class HttpReply {
public:
    HttpReply(qint64 limit, platform::AtomicFile* file, QByteArray* body);
    void attach(CURL* easy);

    bool success() const { return status >= 200 && status <= 299; }
    // "HTTP 404 Not Found".
    QString statusLine() const;
    // The body's SHA-256 against the one its Digest header announces: false only when both are known
    // and differ.
    bool digestMatches() const;

    int status = 0;
    QByteArray phrase;
    qint64 announced = -1; // Content-Length, -1 when absent
    bool chunked = false;
    QByteArray encoding, digest, location;
    qint64 received = 0;
    // A reason code of HttpGateway when the reply was refused while it arrived, and its detail.
    int refusal = 0;
    QString refusalDetail;

private:
    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onWrite(char* data, size_t size, size_t count, void* self);
    void header(const QByteArray& line);
    bool headersDone();
    bool body(const char* data, qint64 size);
    bool refuse(int reason, const QString& detail);

    qint64 limit_;
    platform::AtomicFile* file_;
    QByteArray* body_;
    QCryptographicHash hash_{QCryptographicHash::Sha256};
    bool hashing_ = false; // only a body whose Digest header gives something to compare with
};
