#include "startup/command_line.h"

#include "core/app_context.h"

#include <QRegularExpression>

namespace {

const QString kSeparator = QStringLiteral(" /");

} // namespace

bool isOnlineCommandLine(const QString& commandLine) {
    return commandLine.contains(QStringLiteral("/HADDR:"));
}

QString commandLineSwitch(const QString& commandLine, const QString& key) {
    // The appended separator ends the last switch.
    const QString line = commandLine + kSeparator;
    const QString tag = QLatin1Char('/') + key + QLatin1Char(':');
    const qsizetype start = line.indexOf(tag);
    if (start < 0) return QString();
    const qsizetype valueStart = start + tag.size();
    const qsizetype end = line.indexOf(kSeparator, start); // never before valueStart: the tag has no blank
    return line.mid(valueStart, end - valueStart);
}

void parseOnlineCommandLine(AppContext& ctx, const QString& commandLine) {
    const struct {
        const char* key;
        QString AppContext::*field;
    } switches[] = {
        {"LANG", &AppContext::LANG},   {"HADDR", &AppContext::HADDR},
        {"HPORT", &AppContext::HPORT}, {"USER", &AppContext::USER},
        {"PASS", &AppContext::PASS},   {"PADDR", &AppContext::PADDR},
        {"PPORT", &AppContext::PPORT}, {"PLOGIN", &AppContext::PLOGIN},
        {"PPASS", &AppContext::PPASS}, {"FORCEVERSION", &AppContext::FORCEVERSION},
    };
    for (const auto& s : switches)
        ctx.*(s.field) = commandLineSwitch(commandLine, QString::fromLatin1(s.key));
}

bool hasSwitch(const QString& commandLine) {
    // A switch is "/" + letters + ":" at the start of the line or after a blank. Windows paths never hold a
    // "/", but Unix paths do, so a bare "/" cannot be the sign of a switch here.
    static const QRegularExpression switchPattern(QStringLiteral("(^|\\s)/[A-Za-z]+:"));
    return switchPattern.match(commandLine).hasMatch();
}

QString localFileFromCommandLine(const QString& commandLine) {
    if (commandLine.isEmpty() || hasSwitch(commandLine)) return QString();
    QString path = commandLine;
    path.remove(QLatin1Char('"'));
    return path;
}
