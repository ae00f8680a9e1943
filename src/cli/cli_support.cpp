#include "cli/cli_support.h"

#include "cli/json_report.h"
#include "cli/program.h"
#include "platform/process_heap.h"
#include "platform/raw_command_line.h"
#include "startup/command_line.h"
#include "startup/server_info.h"
#include "startup/startup.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace cli {

namespace {

struct OptionSpec {
    QLatin1String name;
    QString Options::*field;
};

const OptionSpec kOptions[] = {
    {QLatin1String("--info"), &Options::infoFile},
    {QLatin1String("--lang"), &Options::lang},
    {QLatin1String("--translation"), &Options::translationFile},
    {QLatin1String("--force-version"), &Options::forceVersion},
};

QString (*messageFilter)(const QString&) = nullptr;

// The last line said is also the report's message, until the command says how it ended.
void writeLine(FILE* stream, const QString& message) {
    const QString shown = messageFilter ? messageFilter(message) : message;
    report().msg = shown;
    const QByteArray bytes = (QStringLiteral("qavo-cli: ") + shown + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

std::optional<QString> loadTranslation(const Options& options, AppContext& ctx) {
    if (!options.translationFile.isEmpty()) {
        ctx.translationFile = options.translationFile;
        if (!ctx.translation.loadFile(ctx.translationFile))
            return QStringLiteral("cannot read translation file ") + ctx.translationFile;
    } else {
        ctx.LANG = options.lang;
        const QString wanted = translationFileFor(ctx.programDir, options.lang);
        if (!options.lang.isEmpty() && !QFileInfo::exists(wanted))
            warn(QStringLiteral("no translation file for language ") + options.lang + QStringLiteral(" (") +
                 wanted + QStringLiteral("); using language 00"));
        if (!initLanguage(ctx))
            return QStringLiteral("cannot read translation file ") +
                   translationFileFor(ctx.programDir, QStringLiteral("0"));
    }
    if (!ctx.translation.isTranslationFile())
        return QStringLiteral("not a translation file: ") + ctx.translationFile;
    return std::nullopt;
}

// What a command builds from the files it reads, kept to the process's end: about twenty times a tree
// file's size (its text, the sections, the nodes and their texts; the check's findings are written as they
// are found), plus the translation and Qt's own. A page made ready and never used costs as much as one
// faulted in, so the guess stays close to what nodes and check of the largest tree use (1.9 MB for 95 KB).
// Beyond a megabyte of files (ten times the largest tree a server runs) the rest grows page by page.
std::size_t expectedHeap(const QStringList& files) {
    constexpr qint64 kBase = 288 * 1024;
    constexpr qint64 kPerByte = 20;
    qint64 bytes = 0;
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (info.isFile()) bytes += info.size();
    }
    return std::size_t(kBase + std::min<qint64>(bytes, 1 << 20) * kPerByte);
}

QtMessageHandler g_loudHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) g_loudHandler(type, context, message);
}

} // namespace

CommandState& commandState() {
    static CommandState* const state = new CommandState;
    return *state;
}

QuietQtWarnings::QuietQtWarnings() {
    g_loudHandler = qInstallMessageHandler(quietHandler);
}

QuietQtWarnings::~QuietQtWarnings() {
    qInstallMessageHandler(g_loudHandler);
}

std::optional<QString> parseOptions(const QStringList& args, Options& out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--"))) {
            out.positional << arg;
            continue;
        }
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? arg : arg.left(eq);
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : kOptions)
            if (name == s.name) spec = &s;
        if (!spec) return QStringLiteral("unknown option ") + name;
        if (eq >= 0) {
            out.*(spec->field) = arg.mid(eq + 1);
        } else if (i + 1 < args.size()) {
            out.*(spec->field) = args.at(++i);
        } else {
            return QStringLiteral("option ") + name + QStringLiteral(" needs a value");
        }
    }
    return std::nullopt;
}

std::optional<QString> prepareContext(const Options& options, AppContext& ctx) {
    ctx.programDir = programDir();
    if (auto error = loadTranslation(options, ctx)) return error;

    if (options.infoFile.isEmpty()) {
        // Local mode: the switches, the forced version among them, are not read there.
        ctx.modeLocal = true;
        ctx.Nb_arbre = 5;
        ctx.VERSION_500 = true;
        return std::nullopt;
    }
    ctx.modeLocal = false;
    if (!QFileInfo(options.infoFile).isReadable() ||
        !loadServerInformation(ctx, options.infoFile, options.forceVersion))
        return QStringLiteral("cannot read server information file ") + options.infoFile;
    return std::nullopt;
}

std::optional<QString> startCommand(const QStringList& args, qsizetype positionalCount, const QString& words,
                                    Options& options, AppContext& ctx) {
    if (auto error = parseOptions(args, options)) return error;
    if (options.positional.size() != positionalCount)
        return QStringLiteral("usage: qavo-cli ") + words +
               QStringLiteral(" [--info FILE] [--lang N] [--translation FILE] [--force-version TEXT]");
    platform::prepareHeap(expectedHeap(options.positional));
    return prepareContext(options, ctx);
}

std::optional<QString> startTreeCommand(const QStringList& args, qsizetype positionalCount,
                                        const QString& words) {
    CommandState& state = commandState();
    if (auto error = startCommand(args, positionalCount, words, state.options, state.ctx)) return error;
    state.config = makeConfiguration(state.ctx);
    return std::nullopt;
}

OpenResult loadTree(Configuration& config, const QString& path, const AppContext& ctx) {
    return openTreeFile(config, path, ctx);
}

QString openFailure(OpenResult result, const QString& path) {
    switch (result) {
    case OpenResult::Opened:
        break;
    case OpenResult::RefusedVersion:
        return QStringLiteral("ERROR - VERSION");
    case OpenResult::TooLarge:
        return QStringLiteral("file too large (over %1 MiB): ").arg(kMaxTreeFileSize / (1024 * 1024)) + path;
    case OpenResult::NotTreeFile:
        return QStringLiteral("not a tree file (no section of one found): ") + path;
    case OpenResult::Missing:
    case OpenResult::Unreadable:
        return QStringLiteral("cannot read ") + path;
    }
    return QString();
}

QString takeSwitches(QStringList& args) {
    // "/KEY:" with letters only, so that a path such as /tmp/out.maa stays an argument.
    static const QRegularExpression switchWord(QStringLiteral("^/[A-Za-z]+:"));
    QStringList switches;
    for (qsizetype i = 0; i < args.size();) {
        if (switchWord.match(args.at(i)).hasMatch())
            switches << args.takeAt(i);
        else
            ++i;
    }
    return platform::rawCommandLine(switches);
}

std::optional<QString> takeOption(QStringList& args, QLatin1String name, QString& value) {
    const QString prefix = name + QLatin1Char('=');
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i).startsWith(prefix)) {
            value = args.takeAt(i).mid(prefix.size());
            return std::nullopt;
        }
        if (args.at(i) != name) continue;
        if (i + 1 >= args.size()) return QStringLiteral("option ") + name + QStringLiteral(" needs a value");
        value = args.at(i + 1);
        args.remove(i, 2);
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> prepareServer(const QString& switches, const Options& options, AppContext& ctx,
                                     const QString& scratchDir) {
    if (!options.infoFile.isEmpty())
        return QStringLiteral("--info is not used here: the server's information file is fetched");
    parseOnlineCommandLine(ctx, switches);
    // Passwords may come from the environment, where the process list does not show them; a switch
    // on the command line wins.
    const struct {
        QLatin1String key;
        const char* variable;
        QString AppContext::*field;
    } secrets[] = {{QLatin1String("/PASS:"), "QAVO_PASS", &AppContext::PASS},
                   {QLatin1String("/PPASS:"), "QAVO_PPASS", &AppContext::PPASS}};
    for (const auto& s : secrets)
        if (!switches.contains(s.key)) ctx.*(s.field) = qEnvironmentVariable(s.variable);
    if (ctx.HADDR.isEmpty()) return QStringLiteral("the server's address is missing (/HADDR:)");
    if (ctx.FORCEVERSION.isEmpty()) ctx.FORCEVERSION = options.forceVersion;
    ctx.usePasserelle = true;
    ctx.repTMP = scratchDir + QLatin1Char('/');
    ctx.fileServeur = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
    return std::nullopt;
}

QString say(const AppContext& ctx, const char* key, const char* english) {
    return ctx.translation.readTranslation(QStringLiteral("CLI"), QString::fromLatin1(key),
                                           QString::fromUtf8(english));
}

void printOut(const QString& text) {
    if (report().json) return; // stdout carries the JSON document alone
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int fail(const QString& message) {
    writeLine(stderr, message);
    return kFailure;
}

void warn(const QString& message) {
    writeLine(stderr, message);
}

void setMessageFilter(QString (*filter)(const QString&)) {
    messageFilter = filter;
}

} // namespace cli
