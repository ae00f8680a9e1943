#include "model/verification.h"

#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/text_key.h"
#include "platform/pacing.h"

#include <QHash>
#include <QSet>
#include <QStringBuilder>
#include <algorithm>
#include <exception>
#include <optional>
#include <string>

namespace {

// An action value lacks a parameter its checks read: the analysis stops.
struct AnalysisFault {};

// The reference lists as sets, built once per run so that a large tree stays linear.
struct ReferenceIndex {
    QSet<qint32> announcements;
    QSet<TextKey> stations;
    QSet<TextKey> voiceBoxes;

    explicit ReferenceIndex(const AppContext& ctx) {
        announcements.reserve(ctx.Announcements.size());
        for (const Announcement& a : ctx.Announcements)
            announcements.insert(a.number);
        stations.reserve(ctx.Stations.size());
        for (const Station& s : ctx.Stations) {
            stations.insert(TextKey{s.number});
            voiceBoxes.insert(TextKey{s.voiceBox});
        }
    }
    bool hasAnnouncement(QStringView value) const {
        if (announcements.isEmpty()) return false; // no list (local mode): nothing to convert
        const std::optional<qint64> n = toWholeNumber(value);
        return n && announcements.contains(qint32(*n));
    }
};

// Position of the first ";" from start on, or the end of the value (action values are a few characters
// long: a plain loop beats a library search).
qsizetype semicolonFrom(QStringView value, qsizetype start) {
    while (start < value.size() && value[start] != QLatin1Char(';'))
        ++start;
    return start;
}

// The fields of an action value, read on demand: reading one the value does not have is a fault. A field
// is a view into the value (the checks only compare and look them up).
class ActionFields {
public:
    explicit ActionFields(const QString& value) : m_value(value) {}
    QStringView param(int n) const {
        qsizetype start = 0;
        for (int i = 0; i < n; ++i) {
            start = semicolonFrom(m_value, start);
            if (start == m_value.size()) throw AnalysisFault{};
            ++start;
        }
        return m_value.sliced(start, semicolonFrom(m_value, start) - start);
    }

private:
    QStringView m_value;
};

// A view as a QString that shares its characters, for the lookups that take one (nothing is copied).
QString borrowed(QStringView text) {
    return QString::fromRawData(text.data(), text.size());
}

// The action codes whose parameters are checked.
enum class CheckedAction { None, Transfer, VoiceBox, Jump, Announcement };

// What an action value's code asks to check; the tree exits leave voice boxes alone.
CheckedAction checkedAction(QStringView code, bool onMenuKey) {
    // Compared character by character: this runs for every key of every menu.
    const auto is = [code](const char(&name)[4]) {
        return code.size() == 3 && code[0] == QLatin1Char(name[0]) && code[1] == QLatin1Char(name[1]) &&
               code[2] == QLatin1Char(name[2]);
    };
    if (is("trf")) return CheckedAction::Transfer;
    if (is("ann")) return CheckedAction::Announcement;
    if (is("sau")) return CheckedAction::Jump;
    if (onMenuKey && is("bvo")) return CheckedAction::VoiceBox;
    return CheckedAction::None;
}

// Value index of a section without assuming its template was applied.
const QString& valueAt(const Section& s, int index) {
    static const QString empty;
    return (index >= 1 && index <= s.values.size()) ? s.values.at(index - 1) : empty;
}

QStringView codeOf(QStringView value) {
    return value.first(semicolonFrom(value, 0));
}

// The label keys the analysis reports with (names that are the same in every language).
enum class Label {
    DebugAnalyse,
    DebugAnalyseFin,
    DebugAnalyseErr,
    DebugAnalyseWar,
    ErrAnalyse,
    DebugAnn1_Err,
    DebugAnn1_Abs,
    DebugAnn2_Err,
    DebugAnn2_Abs,
    DebugAnn3_NA,
    DebugAnn3_Err,
    DebugAnn3_Abs,
    DebugAnn4_NA,
    DebugAnn4_Err,
    DebugAnn4_Abs,
    DebugRepet,
    DebugRepetNA,
    DebugSilence,
    DebugSilenceNA,
    actTransfert,
    DebugPoste_NA,
    DebugPoste_Err,
    DebugPoste_Abs,
    actBvo,
    DebugBV_NA,
    DebugBV_Err,
    DebugBV_Abs,
    actSaut,
    DebugSaut_NA,
    DebugSaut_Abs,
    actAnn,
    Count
};

const QString& labelKey(Label label) {
    static const QString keys[] = {
        QStringLiteral("DebugAnalyse"),    QStringLiteral("DebugAnalyseFin"),
        QStringLiteral("DebugAnalyseErr"), QStringLiteral("DebugAnalyseWar"),
        QStringLiteral("ErrAnalyse"),      QStringLiteral("DebugAnn1_Err"),
        QStringLiteral("DebugAnn1_Abs"),   QStringLiteral("DebugAnn2_Err"),
        QStringLiteral("DebugAnn2_Abs"),   QStringLiteral("DebugAnn3_NA"),
        QStringLiteral("DebugAnn3_Err"),   QStringLiteral("DebugAnn3_Abs"),
        QStringLiteral("DebugAnn4_NA"),    QStringLiteral("DebugAnn4_Err"),
        QStringLiteral("DebugAnn4_Abs"),   QStringLiteral("DebugRepet"),
        QStringLiteral("DebugRepetNA"),    QStringLiteral("DebugSilence"),
        QStringLiteral("DebugSilenceNA"),  QStringLiteral("actTransfert"),
        QStringLiteral("DebugPoste_NA"),   QStringLiteral("DebugPoste_Err"),
        QStringLiteral("DebugPoste_Abs"),  QStringLiteral("actBvo"),
        QStringLiteral("DebugBV_NA"),      QStringLiteral("DebugBV_Err"),
        QStringLiteral("DebugBV_Abs"),     QStringLiteral("actSaut"),
        QStringLiteral("DebugSaut_NA"),    QStringLiteral("DebugSaut_Abs"),
        QStringLiteral("actAnn"),
    };
    static_assert(sizeof(keys) / sizeof(keys[0]) == size_t(Label::Count), "one key per label");
    return keys[size_t(label)];
}

// The "not filled in" diagnostics (their keys end with "NA"): their text ends after the diagnostic.
constexpr bool isMissingLabel(Label label) {
    switch (label) {
    case Label::DebugAnn3_NA:
    case Label::DebugAnn4_NA:
    case Label::DebugRepetNA:
    case Label::DebugSilenceNA:
    case Label::DebugPoste_NA:
    case Label::DebugBV_NA:
    case Label::DebugSaut_NA:
        return true;
    default:
        return false;
    }
}

// The three diagnostics of a destination (left empty, malformed, unknown to the server) and its action.
struct DestinationLabels {
    Label action, missing, malformed, unknown;
};
constexpr DestinationLabels kTransferLabels{Label::actTransfert, Label::DebugPoste_NA, Label::DebugPoste_Err,
                                            Label::DebugPoste_Abs};
constexpr DestinationLabels kVoiceBoxLabels{Label::actBvo, Label::DebugBV_NA, Label::DebugBV_Err,
                                            Label::DebugBV_Abs};

constexpr QStringView kDash = u" - ";
constexpr QStringView kColon = u" : ";

// One run over the store: counters, label texts looked up once each, and the checks themselves.
class Analysis {
public:
    Analysis(const AppContext& ctx, DiagnosticsSink& diagnostics, Configuration& config)
        : m_ctx(ctx), m_diagnostics(diagnostics), m_config(config), m_refs(ctx) {}

    const QString& label(Label key) {
        const size_t slot = size_t(key);
        if (!m_labelRead[slot]) {
            m_labels[slot] = m_ctx.getLabel(labelKey(key));
            m_labelRead[slot] = true;
        }
        return m_labels[slot];
    }

    // Clears the marks of section i and examines it when its node is in the tree and not greyed.
    void checkSection(int index) {
        Section& s = m_config.sections.at(index);
        s.errorFields.clear();
        s.warningFields.clear();
        const int id = m_config.nodes.find(s.name);
        if (id < 0 || m_config.nodes.node(id).colour == NodeColour::Grey) return;
        try {
            if (s.isTree())
                checkTree(s, id);
            else if (s.isMenu())
                checkMenu(s, id);
        } catch (...) {
            keepCodes(s);
            throw;
        }
        keepCodes(s);
    }

    QString summary() {
        return label(Label::DebugAnalyseFin) + QStringLiteral(" : ") + QString::number(errors) +
               QLatin1Char(' ') + label(Label::DebugAnalyseErr) + QStringLiteral(" - ") +
               QString::number(warnings) + QLatin1Char(' ') + label(Label::DebugAnalyseWar);
    }

    int errors = 0;
    int warnings = 0;

private:
    // Where a fault is: its section, the node reported on, and the field (built into a code only when
    // a fault is found).
    struct Finding {
        Section& section;
        const QString& nodeKey;
        int nodeId;
        int valueIndex;
        const char* suffix = "";
        void appendCode(std::u16string& out) const {
            if (valueIndex >= 0 && valueIndex < 100) {
                out += char16_t('0' + valueIndex / 10);
                out += char16_t('0' + valueIndex % 10);
                out += u';';
                for (const char* c = suffix; *c; ++c)
                    out += char16_t(*c);
            } else {
                const QString code = fieldCode(valueIndex, QLatin1String(suffix));
                out.append(reinterpret_cast<const char16_t*>(code.utf16()), size_t(code.size()));
            }
        }
    };

    // The codes of the section being examined gather in these lists (the section's own would grow step by
    // step); they are stored once it is done, or when the analysis stops in it.
    void keepCodes(Section& s) {
        const auto stored = [](const std::u16string& codes) {
            return QString(reinterpret_cast<const QChar*>(codes.data()), qsizetype(codes.size()));
        };
        if (!m_errorCodes.empty()) s.errorFields = stored(m_errorCodes);
        if (!m_warningCodes.empty()) s.warningFields = stored(m_warningCodes);
        m_errorCodes.clear();
        m_warningCodes.clear();
    }

    void checkTree(Section& s, int id) {
        m_config.nodes.setColour(id, NodeColour::Black);
        checkTreeAnnouncement(s, id, TreeValue::ann1, Label::DebugAnn1_Err, Label::DebugAnn1_Abs);
        checkTreeAnnouncement(s, id, TreeValue::ann2, Label::DebugAnn2_Err, Label::DebugAnn2_Abs);
        const QString& rep = valueAt(s, TreeValue::rep2);
        if (!rep.isEmpty() && !isPlainNumber(rep))
            fieldFault(DiagnosticsSink::Error, {s, s.name, id, TreeValue::rep2}, Label::DebugRepet, rep);
        for (int index = TreeValue::exit_trf; index <= TreeValue::exit_nac; ++index) {
            const QString& value = valueAt(s, index);
            if (!value.isEmpty()) checkAction({s, s.name, id, index}, value, false);
        }
    }

    void checkTreeAnnouncement(Section& s, int id, int index, Label malformed, Label unknown) {
        const QString& value = valueAt(s, index);
        if (value.isEmpty()) return;
        if (!isPlainNumber(value))
            fieldFault(DiagnosticsSink::Error, {s, s.name, id, index}, malformed, value);
        else if (!m_refs.hasAnnouncement(value))
            fieldFault(DiagnosticsSink::Warning, {s, s.name, id, index}, unknown, value);
    }

    void checkMenu(Section& s, int id) {
        m_config.nodes.setColour(id, NodeColour::Black);
        const QString& ann = valueAt(s, MenuValue::ann);
        const Finding annField{s, s.name, id, MenuValue::ann};
        if (!isPlainNumber(ann))
            fieldFault(DiagnosticsSink::Error, annField,
                       ann.isEmpty() ? Label::DebugAnn3_NA : Label::DebugAnn3_Err, ann);
        else if (!m_refs.hasAnnouncement(ann))
            fieldFault(DiagnosticsSink::Warning, annField, Label::DebugAnn3_Abs, ann);
        checkCount({s, s.name, id, MenuValue::rep}, Label::DebugRepetNA, Label::DebugRepet);
        checkCount({s, s.name, id, MenuValue::sil}, Label::DebugSilenceNA, Label::DebugSilence);

        QString keyNode = QStringLiteral("E-") + s.name + QStringLiteral("-0");
        for (int digit = 0; digit <= 9; ++digit) {
            keyNode.back() = QLatin1Char(char('0' + digit));
            const int keyId = m_config.nodes.find(keyNode);
            if (keyId < 0) continue;
            m_config.nodes.setColour(keyId, NodeColour::Black);
            const int index = MenuValue::forDigit(digit);
            checkAction({s, keyNode, keyId, index}, valueAt(s, index), true);
        }
    }

    void checkCount(const Finding& field, Label missing, Label malformed) {
        const QString& value = valueAt(field.section, field.valueIndex);
        if (!isPlainNumber(value))
            fieldFault(DiagnosticsSink::Error, field, value.isEmpty() ? missing : malformed, value);
    }

    // Checks of a key action (onMenuKey) or of a tree exit, reported on the field's node. Exits carry no
    // parameter suffix and leave voice boxes alone.
    void checkAction(const Finding& field, const QString& value, bool onMenuKey) {
        const CheckedAction action = checkedAction(codeOf(value), onMenuKey);
        if (action == CheckedAction::None) return;
        const ActionFields fields(value);
        const auto at = [&](const char* suffix) {
            return Finding{field.section, field.nodeKey, field.nodeId, field.valueIndex,
                           onMenuKey ? suffix : ""};
        };
        switch (action) {
        case CheckedAction::Transfer:
            checkDestination(field, fields.param(1), kTransferLabels, m_refs.stations);
            break;
        case CheckedAction::VoiceBox:
            checkDestination(field, fields.param(1), kVoiceBoxLabels, m_refs.voiceBoxes);
            break;
        case CheckedAction::Jump:
            if (const QStringView target = fields.param(1); !m_config.nodes.noeudExiste(borrowed(target)))
                actionFault(DiagnosticsSink::Error, field, Label::actSaut,
                            target.isEmpty() ? Label::DebugSaut_NA : Label::DebugSaut_Abs);
            break;
        case CheckedAction::Announcement:
            checkAnnouncementAction(at("1;"), at("2;"), at("3;"), fields);
            break;
        case CheckedAction::None:
            break;
        }
    }

    // Transfer destination or voice box: malformed is an error, unknown to the server a warning.
    void checkDestination(const Finding& where, QStringView p1, const DestinationLabels& labels,
                          const QSet<TextKey>& known) {
        if (!isDialledNumber(p1))
            actionFault(DiagnosticsSink::Error, where, labels.action,
                        p1.isEmpty() ? labels.missing : labels.malformed, p1);
        else if (known.isEmpty() || !known.contains(TextKey{borrowed(p1)})) // no list: nothing to hash
            actionFault(DiagnosticsSink::Warning, where, labels.action, labels.unknown, p1);
    }

    void checkAnnouncementAction(const Finding& number, const Finding& repeats, const Finding& silences,
                                 const ActionFields& fields) {
        const QStringView p1 = fields.param(1);
        if (!isPlainNumber(p1))
            actionFault(DiagnosticsSink::Error, number, Label::actAnn,
                        p1.isEmpty() ? Label::DebugAnn4_NA : Label::DebugAnn4_Err, p1);
        else if (!m_refs.hasAnnouncement(p1))
            actionFault(DiagnosticsSink::Warning, number, Label::actAnn, Label::DebugAnn4_Abs, p1);
        const QStringView p2 = fields.param(2);
        if (!isPlainNumber(p2))
            actionFault(DiagnosticsSink::Error, repeats, Label::actAnn,
                        p2.isEmpty() ? Label::DebugRepetNA : Label::DebugRepet, p2);
        const QStringView p3 = fields.param(3);
        if (!isPlainNumber(p3))
            actionFault(DiagnosticsSink::Error, silences, Label::actAnn,
                        p3.isEmpty() ? Label::DebugSilenceNA : Label::DebugSilence, p3);
    }

    // "lib - diagnostic : value"; the "not filled in" diagnostics end after the diagnostic.
    void fieldFault(short level, const Finding& where, Label diagnostic, QStringView value) {
        const QString& lib = valueAt(where.section, 1);
        if (isMissingLabel(diagnostic))
            report(level, where, diagnostic, {lib, kDash, label(diagnostic)});
        else
            report(level, where, diagnostic, {lib, kDash, label(diagnostic), kColon, value});
    }

    // "lib - action - diagnostic : parameter"; without a parameter (jumps) or for the "not filled in"
    // diagnostics, it ends after the diagnostic.
    void actionFault(short level, const Finding& where, Label action, Label diagnostic,
                     std::optional<QStringView> param = std::nullopt) {
        const QString& lib = valueAt(where.section, 1);
        if (!param || isMissingLabel(diagnostic))
            report(level, where, diagnostic, {lib, kDash, label(action), kDash, label(diagnostic)});
        else
            report(level, where, diagnostic,
                   {lib, kDash, label(action), kDash, label(diagnostic), kColon, *param});
    }

    // Reports the finding, then marks its node (red for an error, orange for a warning unless already
    // red) and its field.
    void report(short level, const Finding& where, Label diagnostic,
                std::initializer_list<QStringView> text) {
        m_diagnostics.addFindingPieces(text, level, where.nodeKey, labelKey(diagnostic));
        NodeTree& nodes = m_config.nodes;
        if (level == DiagnosticsSink::Error) {
            nodes.setColour(where.nodeId, NodeColour::Red);
            ++errors;
            where.appendCode(m_errorCodes);
        } else {
            if (nodes.node(where.nodeId).colour != NodeColour::Red)
                nodes.setColour(where.nodeId, NodeColour::Orange);
            ++warnings;
            where.appendCode(m_warningCodes);
        }
    }

    const AppContext& m_ctx;
    DiagnosticsSink& m_diagnostics;
    Configuration& m_config;
    ReferenceIndex m_refs;
    std::u16string m_errorCodes, m_warningCodes;
    QString m_labels[size_t(Label::Count)];
    bool m_labelRead[size_t(Label::Count)] = {};
};

// Keeps the running flag set for the length of a run, whatever way it ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace

TreeVerifier::TreeVerifier(const AppContext& ctx, DiagnosticsSink& diagnostics, platform::Pacing& pacing,
                           VerificationObserver* observer)
    : m_ctx(ctx), m_diagnostics(diagnostics), m_pacing(pacing), m_observer(observer) {}

int TreeVerifier::verifArbo(Configuration& config) {
    if (m_running) return Aborted;
    const RunningFlag running(m_running);
    Analysis analysis(m_ctx, m_diagnostics, config);

    if (m_observer) m_observer->verificationStarted();
    m_diagnostics.AjouteInfo(QString(80, QLatin1Char('-')), DiagnosticsSink::Info, QString());
    m_diagnostics.AjouteInfo(analysis.label(Label::DebugAnalyse), DiagnosticsSink::Info, QString());

    // Colours and codes set before the fault stay; no summary is written.
    const auto abort = [&] {
        if (m_observer) m_observer->verificationFinished();
        m_diagnostics.AjouteFinding(analysis.label(Label::ErrAnalyse), DiagnosticsSink::Error, QString(),
                                    labelKey(Label::ErrAnalyse));
        return Aborted;
    };
    try {
        const int count = config.sections.size();
        // The store is re-measured at each step: the pauses let the window run events.
        for (int i = 1; i <= count && i <= config.sections.size(); ++i) {
            analysis.checkSection(i);
            if (m_observer) m_observer->verificationProgress(i, count);
            m_pacing.pause(SectionPauseMs);
        }
    } catch (const AnalysisFault&) {
        return abort();
    } catch (const std::exception&) {
        return abort();
    }

    m_diagnostics.AjouteInfo(analysis.summary(), DiagnosticsSink::Ok, QString());
    if (m_observer) m_observer->verificationFinished();
    m_lastWarnings = analysis.warnings;
    return analysis.errors;
}
