#include "cli/check_command.h"

#include "model/configuration.h"
#include "model/tree_file.h"
#include "model/verification.h"
#include "platform/pacing.h"
#include "startup/app_context.h"
#include "startup/diagnostics_sink.h"
#include "startup/server_info.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

enum Exit { NoError = 0, Errors = 1, Usage = 2, Aborted = 3 };

const char* const kUsage = "usage: qavo-cli check FILE [--info FILE] [--lang N] [--translation FILE] "
                           "[--force-version TEXT]\n";

struct CheckOptions {
    QString treeFile;
    QString infoFile;
    QString lang;
    QString translationFile;
    QString forceVersion;
};

// False on an unknown option, a missing value or a missing or second file name.
bool parseOptions(const QStringList& args, CheckOptions& options) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString* target = nullptr;
        if (a == QLatin1String("--info"))
            target = &options.infoFile;
        else if (a == QLatin1String("--lang"))
            target = &options.lang;
        else if (a == QLatin1String("--translation"))
            target = &options.translationFile;
        else if (a == QLatin1String("--force-version"))
            target = &options.forceVersion;
        if (target != nullptr) {
            if (++i >= args.size()) return false;
            *target = args[i];
        } else if (a.startsWith(QLatin1String("--")) || !options.treeFile.isEmpty()) {
            return false;
        } else {
            options.treeFile = a;
        }
    }
    return !options.treeFile.isEmpty();
}

// The translation given by name, else the one of the language beside the program, else language 00.
bool loadTranslation(AppContext& ctx, const CheckOptions& options) {
    if (!options.translationFile.isEmpty()) return ctx.translation.loadFile(options.translationFile);
    const QString folder = QCoreApplication::applicationDirPath();
    QString path = translationFileFor(folder, options.lang);
    if (!QFileInfo::exists(path)) path = translationFileFor(folder, QStringLiteral("0"));
    return ctx.translation.loadFile(path);
}

QString levelName(short level) {
    switch (level) {
    case DiagnosticsSink::Warning:
        return QStringLiteral("warning");
    case DiagnosticsSink::Error:
        return QStringLiteral("error");
    case DiagnosticsSink::Ok:
        return QStringLiteral("ok");
    default:
        return QStringLiteral("info");
    }
}

// One line per finding: level, node key and message separated by tabs.
class PrintingSink : public DiagnosticsSink {
public:
    explicit PrintingSink(QTextStream& out) : m_out(out) {}
    void AjouteInfo(const QString& message, short level, const QString& tag) override {
        m_out << levelName(level) << '\t' << tag << '\t' << message << '\n';
    }

private:
    QTextStream& m_out;
};

void printFieldCodes(const SectionStore& store, QTextStream& out) {
    for (int i = 1; i <= store.size(); ++i) {
        const Section& s = store.at(i);
        if (!s.errorFields.isEmpty() || !s.warningFields.isEmpty())
            out << "fields\t" << s.name << '\t' << s.errorFields << '\t' << s.warningFields << '\n';
    }
}

} // namespace

int runCheckCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    CheckOptions options;
    if (!parseOptions(arguments, options)) {
        err << kUsage;
        return Usage;
    }
    AppContext ctx;
    if (!loadTranslation(ctx, options)) {
        err << "cannot read the translation file\n";
        return Usage;
    }
    if (options.infoFile.isEmpty()) {
        deriveGenerationFlags(ctx); // local mode: no lists, the forced version does not apply
    } else if (!loadServerInformation(ctx, options.infoFile, options.forceVersion)) {
        err << "cannot read the server information file " << options.infoFile << '\n';
        return Usage;
    }
    QFile tree(options.treeFile);
    if (!tree.open(QIODevice::ReadOnly)) {
        err << "cannot read " << options.treeFile << '\n';
        return Usage;
    }
    tree.close();

    PrintingSink sink(out);
    if (!verifVersionArbo(options.treeFile, ctx)) {
        // The editor refuses to open such a file with the same words.
        sink.AjouteInfo(QStringLiteral("ERROR - VERSION"), DiagnosticsSink::Error, QString());
        return Errors;
    }
    Configuration config;
    config.actionTypes = makeActionTypes(ctx.translation);
    ChargementArbres(config, options.treeFile, ctx);

    platform::NoPacing pacing;
    TreeVerifier verifier(ctx, sink, pacing);
    const int errors = verifier.verifArbo(config);
    printFieldCodes(config.sections, out);
    if (errors == TreeVerifier::Aborted) return Aborted;
    return errors > 0 ? Errors : NoError;
}
