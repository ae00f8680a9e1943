#include "sim_http.h"

#include <QList>

namespace sim {

namespace {
constexpr qsizetype kMaxHead = 64 * 1024;
constexpr qint64 kMaxBody = 64ll * 1024 * 1024;
} // namespace

ParseResult takeRequest(QByteArray& buffer, HttpRequest& request) {
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) return buffer.size() > kMaxHead ? ParseResult::TooLarge : ParseResult::Incomplete;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first[2].startsWith("HTTP/1.")) return ParseResult::Bad;
    HttpRequest r;
    r.method = first[0];
    r.path = first[1].split('?').value(0);
    r.keepAlive = first[2] != "HTTP/1.0";
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0) return ParseResult::Bad;
        r.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    if (r.headers.contains("transfer-encoding")) return ParseResult::Bad;
    const QByteArray connection = r.headers.value("connection").toLower();
    if (connection == "close")
        r.keepAlive = false;
    else if (connection == "keep-alive")
        r.keepAlive = true;
    bool ok = true;
    const QByteArray lengthText = r.headers.value("content-length", "0");
    const qint64 length = lengthText.toLongLong(&ok);
    if (!ok || length < 0) return ParseResult::Bad;
    if (length > kMaxBody) return ParseResult::TooLarge;
    if (buffer.size() - headEnd - 4 < length) return ParseResult::Incomplete;
    r.body = buffer.mid(headEnd + 4, length);
    buffer.remove(0, headEnd + 4 + length);
    request = std::move(r);
    return ParseResult::Complete;
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    default:
        return "Internal Server Error";
    }
}

QByteArray responseHead(int status, qint64 contentLength, bool keepAlive, const QByteArray& extraHeaders) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    head += extraHeaders;
    head += "\r\n";
    return head;
}

} // namespace sim
