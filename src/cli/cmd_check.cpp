#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_output.h"
#include "cli/json_report.h"

#include "core/diagnostics_sink.h"
#include "model/verification.h"
#include "platform/pacing.h"

namespace cli {

namespace {

enum Exit { NoError = 0, Errors = 1, Aborted = 3 };

QLatin1StringView levelName(short level) {
    switch (level) {
    case DiagnosticsSink::Warning:
        return QLatin1StringView("warning");
    case DiagnosticsSink::Error:
        return QLatin1StringView("error");
    case DiagnosticsSink::Ok:
        return QLatin1StringView("ok");
    default:
        return QLatin1StringView("info");
    }
}

// One line per finding, printed as it comes: level, node key and message separated by tabs, without the
// time stamp. With --json the errors and warnings go to the report instead. The closing line becomes the
// report's message.
class PrintingSink : public DiagnosticsSink {
public:
    explicit PrintingSink(ConsoleOutput& out) : m_out(out), m_json(report().json) {}
    void AjouteInfo(const QString& message, short level, const QString& tag) override {
        addFindingPieces({message}, level, tag, QString());
    }
    void AjouteFinding(const QString& message, short level, const QString& tag, const QString& key) override {
        addFindingPieces({message}, level, tag, key);
    }
    void addFindingPieces(std::initializer_list<QStringView> pieces, short level, const QString& tag,
                          const QString& key) override {
        if (m_json) {
            if (level == Warning || level == Error) report().findings.add(key, levelName(level), tag, pieces);
        } else {
            m_out << levelName(level) << QLatin1Char('\t') << tag << QLatin1Char('\t');
            for (const QStringView piece : pieces)
                m_out << piece;
            m_out << QLatin1Char('\n');
        }
        if (level == Ok || key == QLatin1String("ErrAnalyse")) report().msg = joined(pieces);
    }

private:
    static QString joined(std::initializer_list<QStringView> pieces) {
        QString text;
        for (const QStringView piece : pieces)
            text += piece;
        return text;
    }

    ConsoleOutput& m_out;
    const bool m_json; // stdout carries the JSON document alone
};

// What the file itself is warned about when it is opened (a UTF-8 mark); the notice that a file was
// opened is the editor's, not a finding.
class FileWarnings : public DiagnosticsSink {
public:
    explicit FileWarnings(DiagnosticsSink& out) : m_out(out) {}
    void AjouteInfo(const QString& message, short level, const QString& tag) override {
        if (level != Info) m_out.AjouteFinding(message, level, tag, QStringLiteral("TreeFile"));
    }

private:
    DiagnosticsSink& m_out;
};

void printFieldCodes(const SectionStore& store, ConsoleOutput& out) {
    if (report().json) return; // stdout carries the JSON document alone
    for (int i = 1; i <= store.size(); ++i) {
        const Section& s = store.at(i);
        if (!s.errorFields.isEmpty() || !s.warningFields.isEmpty())
            out << QLatin1StringView("fields\t") << s.name << QLatin1Char('\t') << s.errorFields
                << QLatin1Char('\t') << s.warningFields << QLatin1Char('\n');
    }
}

} // namespace

// Verifies a tree as the editor's check command does, without pauses, and prints the findings and the
// field codes. Exit 0 without errors, 1 with errors, 3 when the analysis stopped, 2 for bad usage or a
// file that does not open (refused by the server's version among them).
int runCheck(const QStringList& args) {
    if (auto error = startTreeCommand(args, 1, QStringLiteral("check FILE [--json]"))) return fail(*error);
    CommandState& state = commandState();
    const Options& options = state.options;
    AppContext& ctx = state.ctx;
    Configuration& config = state.config;
    const QString& path = options.positional.first();
    ConsoleOutput out;
    PrintingSink sink(out);
    FileWarnings fileWarnings(sink);
    TreeFileHooks hooks;
    hooks.diagnostics = &fileWarnings;
    if (const OpenResult result = openTreeFile(config, path, ctx, hooks); result != OpenResult::Opened)
        return fail(openFailure(result, path));

    platform::NoPacing pacing;
    TreeVerifier verifier(ctx, sink, pacing);
    const int errors = verifier.verifArbo(config);
    printFieldCodes(config.sections, out);
    if (errors == TreeVerifier::Aborted) return Aborted;
    return errors > 0 ? Errors : NoError;
}

} // namespace cli
