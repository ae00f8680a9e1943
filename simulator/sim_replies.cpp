// What the simulator answers to one whole request: files, information requests, control requests, faults.
#include "sim_lines.h"
#include "sim_server.h"

#include "platform/atomic_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtEndian>

namespace sim {

namespace {

constexpr qint64 kOversizeFile = 16ll * 1024 * 1024 + 1;
constexpr qint64 kOversizeInfo = 64ll * 1024 + 1;
const QByteArray kFilesPrefix = "/qavo/files/";
const QByteArray kInfoPath = "/acd_config/ihm";

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The SHA-256 value of an RFC 3230 Digest header, read as the editor reads it: one of several
// comma-separated values, its algorithm name in any case. Empty when the header carries none.
QByteArray sha256Of(const QByteArray& header) {
    for (const QByteArray& part : header.split(',')) {
        const QByteArray t = part.trimmed();
        if (t.size() > 8 && t.first(8).toLower() == "sha-256=") return QByteArray::fromBase64(t.mid(8));
    }
    return {};
}

bool bareName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.contains(QLatin1String("..")) && !name.contains(QChar(0));
}

SimServer::Reply notAllowed(const QByteArray& allowed) {
    SimServer::Reply r = textReply(405, allowed);
    r.extraHeaders = "Allow: " + allowed + "\r\n";
    return r;
}

void applyFault(SimServer::Reply& reply, const Fault& fault, bool info) {
    switch (fault.kind) {
    case FaultKind::Drop:
        reply.drop = true;
        break;
    case FaultKind::Truncate:
        reply.body.truncate(reply.body.size() / 2);
        break;
    case FaultKind::Oversize:
        reply.body.append(QByteArray((info ? kOversizeInfo : kOversizeFile) - reply.body.size(), '\0'));
        break;
    case FaultKind::Slow:
        reply.delayMs = fault.value;
        break;
    case FaultKind::Status:
    case FaultKind::Count:
        if (info) {
            const bool count = fault.kind == FaultKind::Count;
            qToLittleEndian<quint32>(count ? 2 : quint32(fault.value), reply.body.data() + 256);
            qToLittleEndian<quint32>(count ? quint32(fault.value) : 0, reply.body.data() + 272);
        }
        break;
    case FaultKind::Login:
        break;
    }
}

} // namespace

SimServer::Reply textReply(int status, const QByteArray& text) {
    SimServer::Reply r;
    r.status = status;
    r.body = text + '\n';
    return r;
}

// What can be refused from the head alone, before any body is read.
std::optional<SimServer::Reply> SimServer::refusal(const HttpRequest& head) const {
    const bool control = options_.control && head.path.startsWith("/_sim/");
    if (!control && !head.path.startsWith(kFilesPrefix) && head.path != kInfoPath)
        return textReply(404, "unknown service or request");
    if (!control && !authorized(head)) return textReply(401, "bad credentials");
    if (head.bodyLength > kMaxBody) return textReply(413, "the body is larger than any file");
    if (head.headers.contains("expect") && !head.expectsContinue())
        return textReply(417, "only Expect: 100-continue");
    return std::nullopt;
}

bool SimServer::authorized(const HttpRequest& request) const {
    const QByteArray header = request.headers.value("authorization");
    QByteArray credentials;
    if (header.startsWith("Basic "))
        credentials = QByteArray::fromBase64(header.mid(6).trimmed());
    else if (!header.isEmpty())
        return false;
    return credentials == ":" || credentials.isEmpty()
               ? options_.user.isEmpty() && options_.password.isEmpty()
               : credentials == (options_.user + u':' + options_.password).toUtf8();
}

bool SimServer::handleControl(const HttpRequest& request, Reply& reply) {
    if (!options_.control || !request.path.startsWith("/_sim/")) return false;
    if (request.path == "/_sim/log") {
        if (request.method != "GET" && request.method != "HEAD")
            return (reply = notAllowed("GET, HEAD"), true);
        reply.body = log_.text();
        reply.extraHeaders = "Content-Type: text/plain; charset=utf-8\r\n";
    } else if (request.path == "/_sim/fault") {
        if (request.method != "POST") return (reply = notAllowed("POST"), true);
        const QString spec = QString::fromUtf8(request.body).trimmed();
        if (spec.isEmpty() || spec == QLatin1String("clear")) {
            faults_.clear();
            return true;
        }
        QString error;
        if (const auto fault = parseFault(spec, &error))
            faults_.add(*fault);
        else
            reply = textReply(400, error.toUtf8());
    } else {
        reply = textReply(404, "unknown control request");
    }
    return true;
}

SimServer::Reply SimServer::handle(const HttpRequest& request, QString& logLine) {
    Reply reply;
    const std::optional<Reply> refused = refusal(request);
    if (!refused && handleControl(request, reply)) {
        reply.headOnly = request.method == "HEAD";
        return reply;
    }
    const bool isFile = request.path.startsWith(kFilesPrefix);
    const bool isInfo = request.path == kInfoPath;
    QString name;
    std::optional<quint32> code;
    if (isFile)
        name = QString::fromUtf8(QByteArray::fromPercentEncoding(request.path.mid(kFilesPrefix.size())));
    if (isInfo && request.body.size() >= 12) code = qFromLittleEndian<quint32>(request.body.constData() + 8);
    logLine = QString::fromLatin1(request.method + ' ' + request.path);
    if (code) logLine += QStringLiteral(" #%1").arg(*code);

    std::optional<Fault> fault;
    if (refused)
        reply = *refused;
    else if ((fault = faults_.take(name, code)) && fault->kind == FaultKind::Login)
        reply = textReply(401, "login refused");
    else
        reply = isFile ? fileRequest(request, name) : infoRequest(request);
    if (fault && reply.status == 200) applyFault(reply, *fault, isInfo);
    reply.headOnly = request.method == "HEAD";

    logLine += QStringLiteral(" %1").arg(reply.drop ? 0 : reply.status);
    if (fault) logLine += QStringLiteral(" fault=%1").arg(faultKindName(fault->kind));
    logLine += reply.logNote;
    return reply;
}

SimServer::Reply SimServer::fileRequest(const HttpRequest& request, const QString& name) {
    if (!bareName(name)) return textReply(400, "not a bare file name");
    const QString path = QDir(options_.root).filePath(name);
    if (request.method == "GET" || request.method == "HEAD") {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return textReply(404, "no such file");
        Reply r;
        r.body = file.readAll();
        r.extraHeaders = "Digest: sha-256=" + sha256(r.body).toBase64() + "\r\n";
        return r;
    }
    if (request.method == "PUT") {
        const QByteArray digest = sha256Of(request.headers.value("digest"));
        if (!digest.isEmpty() && digest != sha256(request.body))
            return textReply(400, "the body does not match its digest");
        const QString error = platform::writeFileAtomically(path, request.body);
        if (!error.isEmpty()) return textReply(500, "cannot store the file: " + error.toUtf8());
        return textReply(200, "stored");
    }
    return notAllowed("GET, HEAD, PUT");
}

SimServer::Reply SimServer::infoRequest(const HttpRequest& request) {
    if (request.method != "POST") return notAllowed("POST");
    if (request.body.size() < 12 || qFromLittleEndian<quint32>(request.body.constData()) != kInfoMagic)
        return textReply(400, "not an information request");
    // The reply keeps the request's header part; the line files of the root answer it.
    Reply r;
    r.body = QByteArray(kInfoBlockSize, '\0');
    const QByteArray head = request.body.left(256);
    std::copy(head.begin(), head.end(), r.body.begin());
    const quint32 status = answerIhm(options_.root, request.body, r.body, r.logNote);
    qToLittleEndian<quint32>(status, r.body.data() + 256);
    return r;
}

} // namespace sim
