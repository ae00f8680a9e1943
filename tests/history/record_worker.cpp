// Records COUNT events into the history at ROOT, each a new content of the server's file; exits with the
// number of events that failed. Run by the concurrency test as two processes at once.
#include "history/history.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) return 100;
    const QString root = args.at(1), server = args.at(2);
    const int count = args.at(3).toInt();
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        QString revision;
        const QByteArray bytes = "[A1]\r\nlib=" + QByteArray::number(i) + "\r\n";
        const QString error =
            history::recordAt(root, server, QStringLiteral("send"), {{"arbre.maa", bytes}}, {},
                              QStringLiteral("worker"), QStringLiteral("u@") + server, &revision);
        if (error.isEmpty() && !revision.isEmpty()) continue;
        std::fprintf(stderr, "event %d: %s\n", i, qPrintable(error));
        ++failures;
    }
    return failures;
}
