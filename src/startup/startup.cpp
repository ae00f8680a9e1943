#include "startup/startup.h"

#include "core/app_context.h"
#include "core/profile_file.h"
#include "core/prompts.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/system_locale.h"
#include "startup/command_line.h"
#include "startup/debug_log.h"
#include "startup/server_info.h"
#include "startup/session_folder.h"
#include "startup/settings.h"

#include "core/version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString flagWord(bool flag) {
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

void prepareFolders(AppContext& ctx) {
    const QString sep = platform::nativeSeparator();
    ctx.RepData = getAppDataDir() + QStringLiteral("A.A") + sep;
    const QString tmpRoot = ctx.RepData + QStringLiteral("TMP") + sep;
    // A folder that cannot be created shows up later as files that cannot be written; start-up goes on.
    QDir().mkpath(ctx.RepData);
    QDir().mkpath(tmpRoot);
    // Each running editor has a folder of its own under TMP/, so that two of them never share a journal;
    // what others left behind is looked at before this one exists.
    QList<LeftOverJournal> leftOvers = SessionFolder::collectLeftOvers(tmpRoot);
    ctx.session = std::make_shared<SessionFolder>(tmpRoot);
    ctx.session->leftOvers() = std::move(leftOvers);
    ctx.repTMP = ctx.session->path().isEmpty() ? tmpRoot : QDir::toNativeSeparators(ctx.session->path());
}

// The command line as the log may show it: the values of /PASS: and /PPASS: (up to the next " /") hidden.
QString withoutPasswords(const QString& commandLine) {
    static const QRegularExpression passwords(QStringLiteral("(/P?PASS:).*?(?= /|$)"),
                                              QRegularExpression::CaseInsensitiveOption);
    return QString(commandLine).replace(passwords, QStringLiteral("\\1****"));
}

void logBanner(const AppContext& ctx) {
    const QString rule(60, QLatin1Char('-'));
    writeDebugLog(ctx, rule);
    writeDebugLog(ctx, QStringLiteral("Lancement du QAVO v") + QStringLiteral(QAVO_VERSION));
    writeDebugLog(ctx, rule);
    writeDebugLog(ctx, QStringLiteral("Ligne de commande : ") + withoutPasswords(ctx.commandLine));
}

StartupResult fatal(Prompts& prompts, int number, const QString& cause, StartupResult result) {
    prompts.critical(QStringLiteral("Error n°%1 KZ - %2").arg(number).arg(cause), cause);
    return result;
}

// The connection values; no password is written to the log.
void logOnlineParameters(const AppContext& ctx) {
    writeDebugLog(ctx, QStringLiteral("PARAM:") + ctx.HADDR + QStringLiteral(", ") + ctx.HPORT +
                           QStringLiteral(", ") + ctx.PADDR + QStringLiteral(", ") + ctx.PPORT +
                           QStringLiteral(", ") + ctx.PLOGIN + QStringLiteral(", ") +
                           (ctx.PPASS.isEmpty() ? QString() : QStringLiteral("****")));
}

void closeConnecting(const AppContext& ctx, const StartupHooks& hooks) {
    if (!ctx.modeLocal && hooks.closeConnecting) hooks.closeConnecting();
}

void showConnecting(const AppContext& ctx, const StartupHooks& hooks) {
    if (!hooks.showConnecting) return;
    const QString caption = ctx.getLabel(QStringLiteral("Titre")) + QStringLiteral(" - ") + ctx.HADDR;
    QString text = ctx.getLabel(QStringLiteral("LblConnect"));
    text.replace(QStringLiteral("$IPSERVEUR$"), ctx.HADDR);
    hooks.showConnecting(caption, text + QStringLiteral("..."));
}

// Rewrites "param.txt" with the start-up values; never creates it. It sits in the program folder, or in
// the work folder when the program folder is not the user's to write (an installed package).
void writeParameterDump(const AppContext& ctx) {
    const bool ownFolder = QFileInfo(ctx.programDir).isWritable();
    const QString path =
        platform::joinPath(ownFolder ? ctx.programDir : ctx.RepData, QStringLiteral("param.txt"));
    if (!QFileInfo::exists(path)) return;
    const QString online = ctx.modeLocal ? QString() : ctx.commandLine + QStringLiteral(" /");
    const QStringList lines = {
        QStringLiteral("Ligne de commande : ") + online,
        QStringLiteral("LANG : ") + ctx.LANG,
        QStringLiteral("HADDR : ") + ctx.HADDR,
        QStringLiteral("HPORT : ") + ctx.HPORT,
        QStringLiteral("USER : ") + ctx.USER,
        QStringLiteral("PASS : ") + ctx.PASS,
        QStringLiteral("PADDR : ") + ctx.PADDR,
        QStringLiteral("PPORT : ") + ctx.PPORT,
        QStringLiteral("PLOGIN : ") + ctx.PLOGIN,
        QStringLiteral("PPASS : ") + ctx.PPASS,
        QStringLiteral("repTMP : ") + ctx.repTMP,
        QStringLiteral("RepData : ") + ctx.RepData,
        QStringLiteral("fileLecture : ") + ctx.fileLecture,
        QStringLiteral("NbAnnonces : ") + QString::number(ctx.NbAnnonces()),
        QStringLiteral("NbPostes : ") + QString::number(ctx.NbPostes()),
    };
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.write(platform::encodeAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

} // namespace

bool initLanguage(AppContext& ctx) {
    QString file = translationFileFor(ctx.programDir, ctx.LANG);
    if (!QFileInfo::exists(file)) {
        file = platform::joinPath(ctx.programDir, QStringLiteral("qavo_lg00.txt"));
        ctx.LANG = QStringLiteral("0");
        if (!QFileInfo::exists(file)) return false;
    }
    ctx.translationFile = file;
    writeDebugLog(ctx, QStringLiteral("Fichier de traduction : ") + file);
    // On a Chinese system the values are used as read, without the code page round trip.
    ctx.translation.setChineseSystem(isChineseLocale(platform::systemDefaultLocaleId()));
    return ctx.translation.loadFile(file);
}

StartupResult runStartup(AppContext& ctx, const QString& commandLine, const QString& programDir,
                         Prompts& prompts, const StartupHooks& hooks) {
    ctx.programDir = programDir;
    ctx.commandLine = commandLine;
    prepareFolders(ctx);
    ctx.fileDebugActive =
        QFileInfo::exists(platform::joinPath(ctx.RepData, QString::fromLatin1(kDebugLogName)));
    logBanner(ctx);

    ctx.fileServeur =
        ctx.repTMP + QStringLiteral("ArbreSERVEUR") + QStringLiteral(".") + QStringLiteral("maa");
    writeDebugLog(ctx, QStringLiteral("Fichier Serveur local : ") + ctx.fileServeur);

    const auto unknownLanguage = [&] {
        return fatal(prompts, 9111, QStringLiteral("Unknow Language"), StartupResult::UnknownLanguage);
    };
    if (!isOnlineCommandLine(commandLine)) {
        writeDebugLog(ctx, QStringLiteral("MODE LOCAL"));
        ctx.modeLocal = true;
        ctx.usePasserelle = false;
        ctx.fileAOuvrir = localFileFromCommandLine(commandLine);
        if (!initLanguage(ctx)) return unknownLanguage();
    } else {
        writeDebugLog(ctx, QStringLiteral("MODE ONLINE"));
        ctx.modeLocal = false;
        parseOnlineCommandLine(ctx, commandLine);
        ctx.usePasserelle = true;
        logOnlineParameters(ctx);
        if (!initLanguage(ctx)) return unknownLanguage();
        showConnecting(ctx, hooks);
        if (!hooks.fetchServerInfo || !hooks.fetchServerInfo(ctx)) {
            closeConnecting(ctx, hooks);
            return fatal(prompts, 9148, QStringLiteral("Connection Error"), StartupResult::ConnectionError);
        }
    }

    writeDebugLog(ctx, QStringLiteral("Récupèration des infos générales"));
    if (!readServerInfo(ctx)) {
        closeConnecting(ctx, hooks);
        return fatal(prompts, 9899, QStringLiteral("Settings Error"), StartupResult::SettingsError);
    }
    if (!ctx.FORCEVERSION.isEmpty()) ctx.VERSION_generel = ctx.FORCEVERSION;
    deriveGenerationFlags(ctx);
    writeDebugLog(ctx, QStringLiteral("VERSION_generel=") + ctx.VERSION_generel +
                           QStringLiteral(", VERSION_500=") + flagWord(ctx.VERSION_500) +
                           QStringLiteral(", VERSION_900=") + flagWord(ctx.VERSION_900));

    const ProfileFile info = ProfileFile::load(ctx.fileLecture);
    writeDebugLog(ctx, QStringLiteral("Récupèration des annonces"));
    loadAnnouncements(ctx, info);
    writeDebugLog(ctx, QStringLiteral("Récupèration des postes"));
    loadStations(ctx, info);

    writeParameterDump(ctx);
    // The fixed tables are built by the editor from ctx.translation; the main window comes next.
    closeConnecting(ctx, hooks);
    return StartupResult::Ok;
}
