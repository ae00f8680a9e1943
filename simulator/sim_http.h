#pragma once

#include <QByteArray>
#include <QMap>

namespace sim {

// The HTTP/1.1 subset the simulator needs: a request line, headers and a Content-Length body.
// A hand-written reader, because the faults must control the socket byte by byte (a reply cut
// after its headers), which the Qt HTTP server does not allow.
struct HttpRequest {
    QByteArray method;
    QByteArray path;                      // percent-encoded, query dropped
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    bool keepAlive = true;
};

enum class ParseResult { Incomplete, Complete, Bad, TooLarge };

// Takes one request from the front of buffer when it is complete.
ParseResult takeRequest(QByteArray& buffer, HttpRequest& request);

QByteArray reasonPhrase(int status);
// Status line and headers, Content-Length given separately from the body actually sent.
QByteArray responseHead(int status, qint64 contentLength, bool keepAlive,
                        const QByteArray& extraHeaders = {});

} // namespace sim
