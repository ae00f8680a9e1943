#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString appDataEnv() {
    return QString::fromLocal8Bit(qgetenv("APPDATA"));
}

QString perUserDataDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString programDir() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
#if defined(__linux__)
    // What Qt itself reads: the link the kernel keeps to the running executable.
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!executable.isEmpty()) return QFileInfo(executable).path();
#endif
    return QDir::currentPath();
}

QString resourceDir(const QString& executableDir) {
    // The default translation file is the one every installation has.
    const QString marker = QStringLiteral("qavo_lg00.txt");
    if (QFileInfo::exists(joinPath(executableDir, marker))) return executableDir;
    const QString shared = QDir::cleanPath(joinPath(executableDir, QStringLiteral("../share/qavo")));
    return QFileInfo::exists(joinPath(shared, marker)) ? shared : executableDir;
}

QString programName() {
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("qavo");
}

bool endsWithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (endsWithSeparator(folder)) return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString nativeSeparator() {
#ifdef _WIN32
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

} // namespace platform
