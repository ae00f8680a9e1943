#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// Folder of the shipped resources (translation files, examples).
QString resourcesDir();
// Folder of the test fixtures.
QString dataDir();

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

} // namespace testing_support
