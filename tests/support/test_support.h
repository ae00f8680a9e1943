#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

// Folder of the shipped resources (translation files, examples).
QString resourcesDir();
// Folder of the test fixtures.
QString dataDir();

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// A folder as an editor that died leaves it, its lock not held: the owner record (none when null) and
// the journal's steps 0001.can, 0002.can...
void leaveJournal(const QString& folder, const QByteArray& owner, const QList<QByteArray>& steps);

} // namespace testing_support
