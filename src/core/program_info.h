#pragma once

#include <QString>
#include <QStringList>

// What every program says of itself: its version (the project's one version, with the commit when built
// from a checkout) and the first look at its arguments for the double-dash options every program shares.
namespace program_info {

// "3.8", or "3.8 (commit 0937939abc)" when built from a git checkout.
QString version();
// "qavo-cli 3.8 (commit ...)": the line --version prints.
QString versionLine(const QString& program);

enum class Request { Run, Help, Version, UnknownOption };
struct Screened {
    Request request = Request::Run;
    QString option; // the unknown option
};

// The first of args that asks for help (--help, -h, -?) or the version (--version, -v), or is an unknown
// double-dash option; anything else (a path, a /KEY:value switch, Qt's own single-dash options) runs.
Screened screen(const QStringList& args);

// Writes text and a new line to stdout (out) or stderr; returns code.
int print(const QString& text, int code, bool out = true);

} // namespace program_info
