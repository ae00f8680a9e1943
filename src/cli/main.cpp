#include "cli/cli_support.h"
#include "cli/commands.h"

#include <QGuiApplication>

#include <cstring>
#include <memory>

namespace {

struct Command {
    const char* name;
    int (*run)(const QStringList& args);
};

// One line per command.
const Command kCommands[] = {
    {"nodes", cli::runNodes},
    {"normalize", cli::runNormalize},
    {"check", cli::runCheck},
    {"call", cli::runCall},
    {"diff", cli::runDiff},
    {"plan", cli::runPlan},
    // With the voice server.
    {"fetch", cli::runFetch},
    {"send", cli::runSend},
    {"lines-export", cli::runLinesExport},
    {"lines-import", cli::runLinesImport},
};

QString usage() {
    QStringList names;
    for (const Command& c : kCommands)
        names << QString::fromLatin1(c.name);
    return QStringLiteral("usage: qavo-cli ") + names.join(QLatin1Char('|')) + QStringLiteral(" ARGS...");
}

} // namespace

int main(int argc, char* argv[]) {
    // Pictures of the plan need fonts, hence a GUI application, on a screen that is never shown.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "plan") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const cli::QuietQtWarnings quiet;
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) return cli::fail(usage());
    const QString name = args.takeFirst();
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name)) return c.run(args);
    return cli::fail(QStringLiteral("unknown command ") + name + QStringLiteral("; ") + usage());
}
