// qavo-sim: a stand-in for the voice server, for tests and demonstrations.
#include "sim_lines.h"
#include "sim_server.h"

#include "core/program_info.h"
#include "platform/atomic_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

const char* kDescription =
    R"(Voice-server simulator: serves and stores files in --root and answers information requests.

  GET|HEAD|PUT /qavo/files/NAME    a bare file name of the root folder
  POST /acd_config/ihm        an information request (8704-byte reply, status at byte 256)
  GET /_sim/log               with --control: one line per request
  POST /_sim/fault            with --control: body SPEC adds a fault, "clear" or empty removes all

Fault SPEC = KIND[:VALUE][@TARGET][,once]
  KIND    login | drop | truncate | oversize | slow:MS | status:N | count:N
  TARGET  a file name, or #N for the information request of code N (default: every request)
  ,once   the fault applies to the next matching request only (default: always)
Example: --fault drop@arbre.maa,once --fault slow:2000@#5

qavo-sim --make-500 FILE COUNT writes a demonstration line table of generation 500 ("voies500.bin")
of COUNT lines and exits.)";

// An empty root is filled from the seed folder so that each run starts from known files.
bool seedRoot(const QString& root, const QString& seed) {
    QDir dir(root);
    if (!dir.mkpath(QStringLiteral("."))) return false;
    if (seed.isEmpty() || !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) return true;
    const QDir from(seed);
    if (!from.exists()) return false;
    for (const QString& name : from.entryList(QDir::Files)) {
        QFile file(from.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) return false;
        if (!platform::writeFileAtomically(dir.filePath(name), file.readAll()).isEmpty()) return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qavo-sim"));
    QCoreApplication::setApplicationVersion(program_info::version());
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("root"), QStringLiteral("Folder of the server's files."), QStringLiteral("DIR")},
        {QStringLiteral("init-from"), QStringLiteral("Copy this folder's files into an empty root."),
         QStringLiteral("DIR")},
        {QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1; 0 picks a free one."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("user"), QStringLiteral("User name expected in HTTP Basic credentials."),
         QStringLiteral("NAME")},
        {QStringLiteral("password"), QStringLiteral("Password expected in HTTP Basic credentials."),
         QStringLiteral("TEXT")},
        {QStringLiteral("control"), QStringLiteral("Enable the /_sim/ log and fault requests.")},
        {QStringLiteral("fault"), QStringLiteral("Add a fault (repeatable); see SPEC above."),
         QStringLiteral("SPEC")},
        {QStringLiteral("tls-cert"), QStringLiteral("PEM certificate: serve HTTPS (with --tls-key)."),
         QStringLiteral("FILE")},
        {QStringLiteral("tls-key"), QStringLiteral("PEM private key (RSA) of --tls-cert."),
         QStringLiteral("FILE")},
        {QStringLiteral("request-timeout"),
         QStringLiteral("Close a connection that sends nothing for MS milliseconds (a stalled request "
                        "gets 408 first)."),
         QStringLiteral("MS"), QStringLiteral("10000")},
        {QStringLiteral("make-500"), QStringLiteral("Write a demonstration voies500.bin of COUNT lines."),
         QStringLiteral("FILE")},
    });
    parser.addPositionalArgument(QStringLiteral("COUNT"), QStringLiteral("Lines of --make-500."));
    auto usage = [](const QString& text) {
        std::fprintf(stderr, "qavo-sim: %s\n", qPrintable(text));
        return 2;
    };
    // Qt's own answer to a bad option exits 1; a usage error here is 2, with the usage line.
    if (!parser.parse(QCoreApplication::arguments())) {
        usage(parser.errorText());
        return usage(
            QStringLiteral("usage: qavo-sim [options] --root DIR, or --make-500 FILE COUNT; see --help"));
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    if (parser.isSet(QStringLiteral("make-500"))) {
        bool countOk = false;
        const int count = parser.positionalArguments().value(0).toInt(&countOk);
        if (!countOk || count < 0 || count > 0xFFFF || parser.positionalArguments().size() != 1)
            return usage(QStringLiteral("--make-500 FILE COUNT: COUNT from 0 to 65535"));
        const QString file = parser.value(QStringLiteral("make-500"));
        const QString error = platform::writeFileAtomically(file, sim::exampleLines500(count));
        if (!error.isEmpty()) return usage(QStringLiteral("cannot write %1: %2").arg(file, error));
        return 0;
    }
    sim::ServerOptions options;
    options.root = parser.value(QStringLiteral("root"));
    options.user = parser.value(QStringLiteral("user"));
    options.password = parser.value(QStringLiteral("password"));
    options.control = parser.isSet(QStringLiteral("control"));
    options.tlsCert = parser.value(QStringLiteral("tls-cert"));
    options.tlsKey = parser.value(QStringLiteral("tls-key"));
    if (options.tlsCert.isEmpty() != options.tlsKey.isEmpty())
        return usage(QStringLiteral("--tls-cert and --tls-key go together"));
    if (options.root.isEmpty()) return usage(QStringLiteral("--root DIR is required"));
    bool portOk = false;
    const uint port = parser.value(QStringLiteral("port")).toUInt(&portOk);
    if (!portOk || port > 65535) return usage(QStringLiteral("bad --port"));
    bool timeoutOk = false;
    options.requestTimeoutMs = parser.value(QStringLiteral("request-timeout")).toInt(&timeoutOk);
    if (!timeoutOk || options.requestTimeoutMs <= 0) return usage(QStringLiteral("bad --request-timeout"));
    if (!seedRoot(options.root, parser.value(QStringLiteral("init-from"))))
        return usage(QStringLiteral("cannot prepare the root folder from --init-from"));

    sim::SimServer server(options);
    for (const QString& spec : parser.values(QStringLiteral("fault"))) {
        QString error;
        const auto fault = sim::parseFault(spec, &error);
        if (!fault) return usage(error);
        server.faults().add(*fault);
    }
    if (!server.listen(quint16(port))) {
        std::fprintf(stderr, "qavo-sim: cannot listen: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    std::printf("port %u\n", unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
