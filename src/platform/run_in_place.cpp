#include "platform/run_in_place.h"

#include <QFile>

#ifdef _WIN32
#include <QCoreApplication>
#include <QProcess>
#else
#include <unistd.h>
#endif

namespace platform {

QString executableName(const QString& baseName) {
#ifdef _WIN32
    return baseName + QStringLiteral(".exe");
#else
    return baseName;
#endif
}

int runInPlace(const QString& program, char* argv[]) {
#ifdef _WIN32
    (void)argv;
    // Windows has no exec that keeps the console waiting: the program runs as a child on our streams.
    const int code = QProcess::execute(program, QCoreApplication::arguments().mid(1));
    if (code == -2) return -1;
    return code == -1 ? 3 : code; // -1: it crashed
#else
    // The arguments go on as the bytes they came as: a file name need not be valid text.
    QByteArray path = QFile::encodeName(program);
    argv[0] = path.data();
    ::execv(argv[0], argv);
    return -1;
#endif
}

} // namespace platform
