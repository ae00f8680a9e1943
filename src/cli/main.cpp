#include "cli/check_command.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("check")) return runCheckCommand(args.mid(1), out, err);
    err << "usage: qavo-cli COMMAND ...\n";
    return 2;
}
