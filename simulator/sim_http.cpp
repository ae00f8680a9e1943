#include "sim_http.h"

#include <QList>

namespace sim {

namespace {

constexpr qsizetype kMaxHead = 64 * 1024;

// Where the head ends: just past its first empty line. -1 while it has not arrived.
qsizetype headEnd(const QByteArray& buffer) {
    for (qsizetype i = buffer.indexOf('\n'); i >= 0 && i + 1 < buffer.size();
         i = buffer.indexOf('\n', i + 1)) {
        if (buffer[i + 1] == '\n') return i + 2;
        if (buffer[i + 1] == '\r' && i + 2 < buffer.size() && buffer[i + 2] == '\n') return i + 3;
    }
    return -1;
}

// Empty lines before a request line are skipped, as clients may send one after a body.
void skipLeadingEmptyLines(QByteArray& buffer) {
    qsizetype n = 0;
    while (n < buffer.size() &&
           (buffer[n] == '\n' || (buffer[n] == '\r' && n + 1 < buffer.size() && buffer[n + 1] == '\n')))
        n += buffer[n] == '\n' ? 1 : 2;
    buffer.remove(0, n);
}

} // namespace

ParseResult takeHead(QByteArray& buffer, HttpRequest& request) {
    skipLeadingEmptyLines(buffer);
    const qsizetype end = headEnd(buffer);
    if (end < 0) return buffer.size() > kMaxHead ? ParseResult::TooLarge : ParseResult::Incomplete;
    if (end > kMaxHead) return ParseResult::TooLarge;
    const QList<QByteArray> lines = buffer.left(end).trimmed().split('\n');
    buffer.remove(0, end);
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || first[0].isEmpty() || !first[2].startsWith("HTTP/1.")) return ParseResult::Bad;
    HttpRequest r;
    r.method = first[0];
    r.path = first[1].split('?').value(0);
    r.keepAlive = first[2] != "HTTP/1.0";
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0) return ParseResult::Bad;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        const auto it = r.headers.find(name);
        if (it == r.headers.end())
            r.headers.insert(name, value);
        else
            *it += ", " + value;
    }
    if (r.headers.contains("transfer-encoding")) return ParseResult::Bad;
    const QByteArray connection = r.headers.value("connection").toLower();
    if (connection == "close")
        r.keepAlive = false;
    else if (connection == "keep-alive")
        r.keepAlive = true;
    bool ok = true;
    r.bodyLength = r.headers.value("content-length", "0").toLongLong(&ok);
    if (!ok || r.bodyLength < 0) return ParseResult::Bad;
    request = std::move(r);
    return ParseResult::Complete;
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 100:
        return "Continue";
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
    case 408:
        return "Request Timeout";
    case 413:
        return "Content Too Large";
    case 417:
        return "Expectation Failed";
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
