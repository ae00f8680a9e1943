#pragma once

#include <QByteArray>
#include <QMap>

namespace sim {

// The HTTP/1.1 subset the simulator needs: a request line, headers and a Content-Length body.
// A hand-written reader, because the faults must control the socket byte by byte (a reply cut
// after its headers), and the credentials must be checked before a body is taken in, which the Qt HTTP
// server does not allow.
struct HttpRequest {
    QByteArray method;
    QByteArray path;                      // percent-encoded, query dropped
    QMap<QByteArray, QByteArray> headers; // names in lower case; repeated fields joined by ", "
    QByteArray body;
    qint64 bodyLength = 0; // Content-Length
    bool keepAlive = true;
    // Expect: 100-continue: the client waits for a "100 Continue" before sending its body.
    bool expectsContinue() const { return headers.value("expect").toLower() == "100-continue"; }
};

enum class ParseResult { Incomplete, Complete, Bad, TooLarge };

// Bodies larger than this are refused (413) before they are read: no file of the editor is larger.
constexpr qint64 kMaxBody = 16ll * 1024 * 1024;

// Takes the head of one request (request line and headers, lines ending in CR LF or a bare LF) from the
// front of buffer when it is complete; the body stays in buffer.
ParseResult takeHead(QByteArray& buffer, HttpRequest& request);

QByteArray reasonPhrase(int status);
// Status line and headers, Content-Length given separately from the body actually sent.
QByteArray responseHead(int status, qint64 contentLength, bool keepAlive,
                        const QByteArray& extraHeaders = {});

} // namespace sim
