#include "cli/help_table.h"

#include "core/program_info.h"

namespace cli {

namespace {

// The options every tree command reads (nodes, normalize, check, call, diff, plan, test, send).
const char kTreeOptions[] = R"(
  --info FILE            server information file: the announcements, stations, trees and version of
                         a server (online rules); without it, a local-mode check
  --lang N               translation qavo_lgNN.txt of the program's files (default 00, French)
  --translation FILE     this translation file instead
  --force-version TEXT   the server version to use instead of the one --info gives)";

// The switches of the commands that talk to a server.
const char kSwitches[] = R"(
Switches, read as the editor reads them (/HADDR: required):
  /HADDR:server /HPORT:port /USER:name /PASS:password /PADDR:proxy /PPORT:port /PLOGIN:name /PPASS:password
The passwords may come from the environment instead: QAVO_PASS, QAVO_PPASS (a switch wins).)";

const CommandHelp kCommands[] = {
    {"nodes", "FILE [OPTIONS]", "one line per node: depth, key, text, image, colour",
     "Prints the tree as the editor shows it, one tab-separated line per node."},
    {"normalize", "IN OUT [OPTIONS]", "load IN as the editor does and write OUT with its writer",
     "Writes OUT as the editor saves IN (sections, order, code page and CR LF line ends)."},
    {"check", "FILE [OPTIONS] [--json]", "verify a tree; one line per finding, then the field codes",
     "Exit 0 no error (warnings allowed), 1 errors, 3 analysis stopped, 2 bad usage or a file that\n"
     "does not open.\n"
     "  --json                 one JSON document on stdout (findings, msg, rc)"},
    {"call", "FILE [--tree N] [--at \"yyyy-MM-dd HH:mm\"] [--keys K,...] [--json]",
     "walk a call through a tree as the server answers it",
     "Each key the caller presses (0-9, silence, fail) is one step; one step per line.\n"
     "  --tree N               the tree called (default 1)\n"
     "  --at \"yyyy-MM-dd HH:mm\" the moment of the call: its schedule is open or closed then\n"
     "  --keys K,...           the keys, a silence (silence) or a failed transfer (fail)\n"
     "  --json                 the steps as JSON, each with a stable \"action\" word"},
    {"diff", "OLD NEW [OPTIONS] [--json]", "what a caller meets differently in NEW",
     "One line per key that now leads elsewhere; exit 0 when both behave alike, 1 otherwise.\n"
     "  --json                 one JSON document on stdout (changes, changed, msg, rc)"},
    {"plan", "FILE OUT [--tree N] [OPTIONS]", "draw the call flow into OUT",
     "OUT's extension picks the format: .svg, .pdf, .png, .mmd (Mermaid) or .dot (Graphviz).\n"
     "  --tree N               one tree only (default: every active tree)"},
    {"test", "TREE SCENARIOS [--info FILE] [--json]", "run the call scenarios of a file against a tree",
     "Each line of SCENARIOS is a call (tree, moment, keys) and where it must end; pass or fail per\n"
     "scenario, with the steps of each failing one. Exit 0 all pass, 1 otherwise, 2 an unreadable\n"
     "scenario file (a bad line is said with its number).\n"
     "  --json                 one JSON document on stdout (scenarios, failed, msg, rc)"},
    {"fetch", "OUT [--remote NAME] [--json] /HADDR:...", "the server's tree (or file NAME) into OUT",
     "OUT is replaced only by a whole file; a tree or the information file only by one.\n"
     "  --remote NAME          a bare file name of the server instead of its tree\n"
     "  --json                 one JSON document on stdout"},
    {"send", "FILE [--check] [--force] [--scenarios FILE] [--backup PATH] [--json] /HADDR:...",
     "check FILE against the server and store it as the editor does",
     "With no error the server's tree is backed up, FILE stored, fetched back and compared. A FILE\n"
     "equal byte for byte to the server's tree is not stored again (exit 0, unchanged).\n"
     "  --check                say what a send would change and store nothing (exit 5 when it would)\n"
     "  --force                store even an unchanged tree\n"
     "  --scenarios FILE       run these call scenarios first; one failing: exit 6, nothing sent\n"
     "  --backup PATH          where the server's previous tree goes\n"
     "  --json                 one JSON document on stdout (changed, changes, findings, revision, msg)"},
    {"lines-export", "CSV [--json] /HADDR:...", "the server's line table into CSV",
     "CSV: ';' between fields, the system ANSI code page; written whole or not at all.\n"
     "  --json                 one JSON document on stdout"},
    {"lines-import", "CSV [--check] [--force] [--json] /HADDR:...", "CSV becomes the server's line table",
     "Lines of other applications stay as the server has them. An unchanged table is not stored.\n"
     "  --check                print the lines the import would add, remove or change; store nothing\n"
     "                         (exit 5 when it would change the table)\n"
     "  --force                store even an unchanged table\n"
     "  --json                 one JSON document on stdout"},
    {"history", "[list|show|diff|prune] ... [--server HOST[:PORT]] [--json]",
     "the revisions of every tree and line table a server held",
     "  history [list] [--server HOST[:PORT]] [--json]   the revisions, newest first\n"
     "  history show REV OUT                          the tree of revision REV into OUT\n"
     "  history diff REV1 REV2                        what a caller meets differently\n"
     "  history prune --keep N                        keep the N newest revisions\n"
     "REV: an abbreviated commit id or SERVER@{N}. The history lives in <work folder>/history\n"
     "(QAVO_HISTORY_DIR overrides)."},
};

const char kExitCodes[] = R"(
Exit status:
  0  done (send, lines-import: stored, or unchanged)
  1  the tree has verification errors (nothing sent); diff: the trees differ; test: a scenario failed
  2  bad usage, an unreadable or refused file, a local failure
  3  the check stopped
  4  the server unreachable or refusing, or a program of the installation missing
  5  --check: a send or import would change the server's file
  6  scenarios failed, nothing sent)";

const CommandHelp* find(const QString& name) {
    for (const CommandHelp& c : kCommands)
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

bool isServerCommand(const CommandHelp& c) {
    return QByteArray(c.arguments).contains("/HADDR:");
}
bool readsTrees(const CommandHelp& c) {
    return QByteArray(c.arguments).contains("OPTIONS");
}

QString commandText(const CommandHelp& c) {
    QString text = QStringLiteral("Usage: qavo-cli ") + QLatin1String(c.name) + QLatin1Char(' ') +
                   QLatin1String(c.arguments) + QStringLiteral("\n\n") + QLatin1String(c.summary) +
                   QStringLiteral(".\n") + QLatin1String(c.details);
    if (readsTrees(c)) text += QStringLiteral("\nOPTIONS:") + QLatin1String(kTreeOptions);
    if (isServerCommand(c)) text += QLatin1Char('\n') + QLatin1String(kSwitches);
    return text;
}

QString generalText() {
    QString text = QStringLiteral("Usage: qavo-cli [--help] [--version] COMMAND [ARGS...]\n\n"
                                  "Headless tools of the QAVO editor: tree files, call flows and the voice "
                                  "server.\n\nCommands:\n");
    for (const CommandHelp& c : kCommands)
        text += QStringLiteral("  %1 %2\n").arg(QLatin1String(c.name), -14).arg(QLatin1String(c.summary));
    text += QStringLiteral("\nOptions:\n  -h, --help     Displays help on commandline options.\n"
                           "  -v, --version  Displays version information.\n\n"
                           "'qavo-cli help COMMAND' or 'qavo-cli COMMAND --help' shows a command's help.\n");
    return text + QLatin1String(kExitCodes) + QStringLiteral("\n\nSee qavo-cli(1).");
}

int refuse(const QString& message) {
    program_info::print(QStringLiteral("qavo-cli: ") + message, 2, false);
    return program_info::print(usageLine(), 2, false);
}

} // namespace

std::span<const CommandHelp> commandHelp() {
    return kCommands;
}

QStringList commandNames() {
    QStringList names;
    for (const CommandHelp& c : kCommands)
        names << QLatin1String(c.name);
    return names;
}

QString usageLine() {
    return QStringLiteral("usage: qavo-cli ") + commandNames().join(QLatin1Char('|')) +
           QStringLiteral(" ARGS...");
}

std::optional<int> answerHelp(const QStringList& args) {
    if (args.isEmpty()) return std::nullopt;
    const QString& first = args.first();
    if (first == QLatin1String("help")) {
        if (args.size() < 2) return program_info::print(generalText(), 0);
        const CommandHelp* c = find(args.at(1));
        return c ? program_info::print(commandText(*c), 0)
                 : refuse(QStringLiteral("unknown command ") + args.at(1));
    }
    if (const CommandHelp* c = find(first)) {
        const bool asked = args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
        return asked ? std::optional<int>(program_info::print(commandText(*c), 0)) : std::nullopt;
    }
    const program_info::Screened s = program_info::screen({first});
    switch (s.request) {
    case program_info::Request::Help:
        return program_info::print(generalText(), 0);
    case program_info::Request::Version:
        return program_info::print(program_info::versionLine(QStringLiteral("qavo-cli")), 0);
    case program_info::Request::UnknownOption:
        return refuse(QStringLiteral("unknown option ") + first);
    case program_info::Request::Run:
        break;
    }
    if (first.startsWith(QLatin1Char('-'))) return refuse(QStringLiteral("unknown option ") + first);
    return std::nullopt;
}

} // namespace cli
