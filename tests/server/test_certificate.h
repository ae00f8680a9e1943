#pragma once

#include <QProcess>
#include <QString>

namespace testing_support {

// Writes a throwaway self-signed certificate for 127.0.0.1 and its key; false when openssl cannot.
inline bool makeCertificate(const QString& cert, const QString& key) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days",
                   "1", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
    return openssl.waitForFinished(20000) && openssl.exitCode() == 0;
}

} // namespace testing_support
