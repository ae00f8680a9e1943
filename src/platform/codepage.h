#pragma once

#include <QByteArray>
#include <QString>

// Text files of the voice server are in the workstation's ANSI code page. Off Windows there is no such
// thing, so the code page is Windows-1252 unless QAVO_CODEPAGE names another one (a number such as 1251
// or a codec name such as "windows-1250").
namespace platform {

// Number of the system ANSI code page (1252 unless configured).
int ansiCodePage();

// Codec name Qt understands for a Windows code page number ("windows-1252", "Shift_JIS", ...).
QByteArray codecNameForCodePage(int codePage);

QString decodeAnsi(const QByteArray& bytes);
QByteArray encodeAnsi(const QString& text);

QString decodeCodePage(int codePage, const QByteArray& bytes);
// Characters the code page cannot hold become '?', as the Windows converter does.
QByteArray encodeCodePage(int codePage, const QString& text);

// ANSI code page of a Windows locale identifier (1036 -> 1252, 1049 -> 1251, 1041 -> 932 ...); 0 when the
// locale has no ANSI code page of its own (Unicode-only locales) or is unknown.
int codePageForLocale(int localeId);

} // namespace platform
