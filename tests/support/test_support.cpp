#include "support/test_support.h"

#include <QFile>

namespace testing_support {

QString resourcesDir() {
    return QStringLiteral(QAVO_RESOURCES);
}

QString dataDir() {
    return QStringLiteral(QAVO_TEST_DATA);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

} // namespace testing_support
