#include "core/program_info.h"

#include "core/build_commit.h"
#include "core/version.h"

#include <cstdio>

namespace program_info {

QString version() {
    const QString commit = QStringLiteral(QAVO_COMMIT);
    const QString base = QStringLiteral(QAVO_VERSION);
    return commit.isEmpty() ? base : base + QStringLiteral(" (commit ") + commit + QLatin1Char(')');
}

QString versionLine(const QString& program) {
    return program + QLatin1Char(' ') + version();
}

Screened screen(const QStringList& args) {
    for (const QString& arg : args) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h") || arg == QLatin1String("-?"))
            return {Request::Help, {}};
        if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) return {Request::Version, {}};
        if (arg.startsWith(QLatin1String("--"))) return {Request::UnknownOption, arg};
    }
    return {};
}

int print(const QString& text, int code, bool out) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out ? stdout : stderr);
    std::fflush(out ? stdout : stderr);
    return code;
}

} // namespace program_info
