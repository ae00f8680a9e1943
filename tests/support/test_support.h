#pragma once

// What every test shares: fixture folders, files in and out, readable Qt values in failures.
#include "support/qt_print.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testing_support {

// Folder of the shipped resources (translation files, examples).
QString resourcesDir();
// Folder of the test fixtures.
QString dataDir();
inline QString resource(const QString& name) {
    return resourcesDir() + QLatin1Char('/') + name;
}
inline QString dataFile(const QString& name) {
    return dataDir() + QLatin1Char('/') + name;
}

// Inline, so that test programs without this folder's sources use them too.
inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}
// A folder as an editor that died leaves it, its lock not held: the owner record (none when null) and
// the journal's steps 0001.can, 0002.can...
void leaveJournal(const QString& folder, const QByteArray& owner, const QList<QByteArray>& steps);

} // namespace testing_support
