#include "server/http_reply.h"

#include "platform/atomic_file.h"
#include "server/http_gateway.h"

namespace {

// The SHA-256 value of an RFC 3230 Digest header ("sha-256=BASE64", among others), empty when absent.
QByteArray sha256Of(const QByteArray& header) {
    for (const QByteArray& part : header.split(',')) {
        const QByteArray t = part.trimmed();
        if (t.size() > 8 && t.first(8).toLower() == "sha-256=") return QByteArray::fromBase64(t.mid(8));
    }
    return {};
}

} // namespace

HttpReply::HttpReply(qint64 limit, platform::AtomicFile* file, QByteArray* body)
    : limit_(limit), file_(file), body_(body) {}

void HttpReply::attach(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpReply::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpReply::onWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
}

QString HttpReply::statusLine() const {
    return QStringLiteral("HTTP %1 %2").arg(status).arg(QString::fromLatin1(phrase)).trimmed();
}

bool HttpReply::digestMatches() const {
    const QByteArray expected = sha256Of(digest);
    return expected.isEmpty() || expected == hash_.result();
}

size_t HttpReply::onHeader(char* data, size_t size, size_t count, void* self) {
    auto* r = static_cast<HttpReply*>(self);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    if (line.isEmpty()) return r->headersDone() ? size * count : 0;
    r->header(line);
    return size * count;
}

size_t HttpReply::onWrite(char* data, size_t size, size_t count, void* self) {
    return static_cast<HttpReply*>(self)->body(data, qint64(size * count)) ? size * count : 0;
}

void HttpReply::header(const QByteArray& line) {
    if (line.startsWith("HTTP/")) { // a new reply: what came before was an interim one
        const QList<QByteArray> parts = line.split(' ');
        status = parts.size() > 1 ? parts[1].toInt() : 0;
        phrase = parts.size() > 2 ? line.mid(parts[0].size() + parts[1].size() + 2) : QByteArray();
        announced = -1;
        chunked = false;
        encoding.clear();
        digest.clear();
        location.clear();
        received = 0;
        hashing_ = false;
        hash_.reset();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) return;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "content-length")
        announced = value.toLongLong();
    else if (name == "transfer-encoding")
        chunked = value.toLower().contains("chunked");
    else if (name == "content-encoding")
        encoding = value;
    else if (name == "digest")
        digest = value;
    else if (name == "location")
        location = value;
}

bool HttpReply::headersDone() {
    if (limit_ > 0 && announced > limit_)
        return refuse(HttpGateway::TooLarge, QStringLiteral("%1 > %2").arg(announced).arg(limit_));
    // Bodies are asked for as they are stored: a compressed one is not the file.
    if (success() && !encoding.isEmpty() && encoding.toLower() != "identity")
        return refuse(HttpGateway::Encoding,
                      QStringLiteral("Content-Encoding: ") + QString::fromLatin1(encoding));
    hashing_ = success() && !sha256Of(digest).isEmpty();
    return true;
}

bool HttpReply::body(const char* data, qint64 size) {
    received += size;
    if (limit_ > 0 && received > limit_)
        return refuse(HttpGateway::TooLarge, QStringLiteral("> %1").arg(limit_));
    // Only a successful reply's body is kept; an error page is not the file.
    if (!success()) return true;
    if (hashing_) hash_.addData(QByteArrayView(data, size));
    if (file_ && !file_->write(data, size))
        return refuse(HttpGateway::LocalFile,
                      file_->targetPath() + QStringLiteral(": ") + file_->errorString());
    if (body_) body_->append(data, size);
    return true;
}

bool HttpReply::refuse(int reason, const QString& detail) {
    refusal = reason;
    refusalDetail = detail;
    return false;
}
