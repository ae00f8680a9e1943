#include "cli/program.h"

#include "cli/cli_support.h"
#include "cli/json_report.h"
#include "platform/paths.h"
#include "platform/run_in_place.h"
#include "startup/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cli {

namespace {

// Where qavo-cli tells the programs it runs that it lives.
constexpr char kProgramDirVariable[] = "QAVO_CLI_DIR";

QStringList g_arguments; // of a program that makes no application object

// The sentence for a missing program, in the language the arguments ask for (English when none reads).
QString missingText(const QString& program, const QStringList& places) {
    QStringList args = arguments();
    AppContext ctx;
    ctx.programDir = programDir();
    QString file;
    takeOption(args, QLatin1String("--lang"), ctx.LANG);
    takeOption(args, QLatin1String("--translation"), file);
    // Without a translation the sentence is said in English.
    (void)(file.isEmpty() ? initLanguage(ctx) : ctx.translation.loadFile(file));
    return say(ctx, "CliMissingProgram",
               "cannot run %1: it is neither in %2 nor in %3 (incomplete installation)")
        .arg(program, places.at(0), places.at(1));
}

} // namespace

void keepArguments(int argc, char* argv[]) {
    g_arguments.clear();
    for (int i = 0; i < argc; ++i)
        g_arguments << QString::fromLocal8Bit(argv[i]); // as QCoreApplication decodes them
}

QStringList arguments() {
    return QCoreApplication::instance() ? QCoreApplication::arguments() : g_arguments;
}

int runCommand(std::span<const Command> commands, const QStringList& usageNames) {
    QStringList args = arguments();
    args.removeFirst();
    QStringList names = usageNames;
    if (names.isEmpty())
        for (const Command& c : commands)
            names << QString::fromLatin1(c.name);
    const QString usage =
        QStringLiteral("usage: qavo-cli ") + names.join(QLatin1Char('|')) + QStringLiteral(" ARGS...");
    if (args.isEmpty()) return fail(usage);
    const QString name = args.takeFirst();
    for (const Command& c : commands) {
        if (name != QLatin1String(c.name)) continue;
        if (!c.json) return c.run(args);
        report().json = takeJsonFlag(args);
        return finishReport(c.run(args));
    }
    return fail(QStringLiteral("unknown command ") + name + QStringLiteral("; ") + usage);
}

QString programDir() {
    const QByteArray dir = qgetenv(kProgramDirVariable);
    return platform::resourceDir(dir.isEmpty() ? platform::programDir() : QFile::decodeName(dir));
}

int runProgram(const QString& baseName, char* argv[]) {
    const QString name = platform::executableName(baseName);
    const QDir here(platform::programDir());
    const QStringList places{here.path(), QDir::cleanPath(here.filePath(QStringLiteral("../lib/qavo")))};
    for (const QString& place : places) {
        const QString path = QDir(place).filePath(name);
        if (!QFileInfo(path).isExecutable()) continue;
        qputenv(kProgramDirVariable, QFile::encodeName(programDir()));
        if (const int code = platform::runInPlace(path, argv); code >= 0) return code;
    }
    warn(missingText(name, places));
    report().json = arguments().contains(QStringLiteral("--json"));
    return finishReport(kMissingProgram);
}

} // namespace cli
