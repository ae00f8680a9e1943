#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// Text rules shared by the line files and the CSV file.
namespace line_text {

// The lines of a file: split at CR LF, CR or LF; empty pieces are kept (callers skip them).
QList<QByteArrayView> splitLines(QByteArrayView bytes);
// Leading and trailing spaces removed (only spaces, as the server's tools trim).
QByteArrayView trimSpaces(QByteArrayView line);
// UTF-8 when the bytes are valid UTF-8, else the ANSI code page: files this program wrote (ANSI) read back
// with their accented letters, and the server's own UTF-8 lines too.
QString decodeLine(QByteArrayView line);
// A 16-bit number (spaces around it allowed), else 0.
qint16 numberOrZero(QStringView text);
// The text without any ";" (a field may not carry the separator).
QString withoutSeparator(QString text);

} // namespace line_text
