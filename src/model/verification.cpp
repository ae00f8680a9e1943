#include "model/verification.h"

#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/text_key.h"
#include "platform/pacing.h"

#include <QHash>
#include <QSet>
#include <QStringBuilder>
#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

namespace {

const QString kTransferAllowed = QStringLiteral("ABCD*#+");

// An action value lacks a parameter its checks read: the analysis stops.
struct AnalysisFault {};

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The rest of a number field as the server's tools convert it: blanks around, an optional sign, digits;
// nothing beyond the 32-bit range.
std::optional<qint64> toWholeNumber(QStringView text) {
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    bool negative = false;
    if (b < e && (text[b] == QLatin1Char('+') || text[b] == QLatin1Char('-'))) {
        negative = text[b] == QLatin1Char('-');
        ++b;
    }
    if (b == e) return std::nullopt;
    qint64 n = 0;
    for (qsizetype i = b; i < e; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
        if (n > 2147483648LL) return std::nullopt;
    }
    if (negative) n = -n;
    if (n > 2147483647LL) return std::nullopt;
    return n;
}

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
    bool hasAnnouncement(const QString& value) const {
        const std::optional<qint64> n = toWholeNumber(value);
        return n && announcements.contains(qint32(*n));
    }
};

// The fields of an action value, read on demand: reading one the value does not have is a fault. Only
// the fields read are copied out (a check reads one or three of them).
class ActionFields {
public:
    explicit ActionFields(const QString& value) : m_value(value) {}
    QString param(int n) const {
        qsizetype start = 0;
        for (int i = 0; i < n; ++i) {
            start = m_value.indexOf(QLatin1Char(';'), start);
            if (start < 0) throw AnalysisFault{};
            ++start;
        }
        const qsizetype end = m_value.indexOf(QLatin1Char(';'), start);
        return m_value.mid(start, end < 0 ? -1 : end - start);
    }

private:
    const QString& m_value;
};

// Codes whose parameters are checked; the tree exits leave voice boxes alone.
bool isCheckedCode(QStringView code, bool onMenuKey) {
    return code == QLatin1String("trf") || code == QLatin1String("ann") || code == QLatin1String("sau") ||
           (onMenuKey && code == QLatin1String("bvo"));
}

// Value index of a section without assuming its template was applied.
const QString& valueAt(const Section& s, int index) {
    static const QString empty;
    return (index >= 1 && index <= s.values.size()) ? s.values.at(index - 1) : empty;
}

QStringView codeOf(const QString& value) {
    const qsizetype semi = value.indexOf(QLatin1Char(';'));
    return semi < 0 ? QStringView(value) : QStringView(value).left(semi);
}

// One run over the store: counters, label texts looked up once each, and the checks themselves.
class Analysis {
public:
    Analysis(const AppContext& ctx, DiagnosticsSink& diagnostics, Configuration& config)
        : m_ctx(ctx), m_diagnostics(diagnostics), m_config(config), m_refs(ctx) {}

    const QString& label(const QString& key) {
        auto it = m_labels.constFind(TextKey{key});
        if (it == m_labels.constEnd()) it = m_labels.insert(TextKey{key}, m_ctx.getLabel(key));
        return *it;
    }

    // Clears the marks of section i and examines it when its node is in the tree and not greyed.
    void checkSection(int index) {
        Section& s = m_config.sections.at(index);
        s.errorFields.clear();
        s.warningFields.clear();
        const TreeNode* node = m_config.nodes.nodeByKey(s.name);
        if (node == nullptr || node->colour == NodeColour::Grey) return;
        if (s.isTree())
            checkTree(s);
        else if (s.isMenu())
            checkMenu(s);
    }

    QString summary() {
        return label(QStringLiteral("DebugAnalyseFin")) + QStringLiteral(" : ") + QString::number(errors) +
               QLatin1Char(' ') + label(QStringLiteral("DebugAnalyseErr")) + QStringLiteral(" - ") +
               QString::number(warnings) + QLatin1Char(' ') + label(QStringLiteral("DebugAnalyseWar"));
    }

    int errors = 0;
    int warnings = 0;

private:
    // Where a fault is: its section, the node reported on, and the field (built into a code only when
    // a fault is found).
    struct Finding {
        Section& section;
        const QString& nodeKey;
        int valueIndex;
        const char* suffix = "";
        void appendCode(QString& out) const {
            if (valueIndex >= 0 && valueIndex < 100 && std::strlen(suffix) <= 4) {
                // One append: the field lists grow by thousands of codes on a large tree.
                QChar code[7] = {QLatin1Char(char('0' + valueIndex / 10)),
                                 QLatin1Char(char('0' + valueIndex % 10)), QLatin1Char(';')};
                qsizetype size = 3;
                for (const char* c = suffix; *c; ++c)
                    code[size++] = QLatin1Char(*c);
                out.append(code, size);
            } else {
                out += fieldCode(valueIndex, QLatin1String(suffix));
            }
        }
    };

    void checkTree(Section& s) {
        m_config.nodes.setColour(s.name, NodeColour::Black);
        checkTreeAnnouncement(s, TreeValue::ann1, QStringLiteral("DebugAnn1_Err"),
                              QStringLiteral("DebugAnn1_Abs"));
        checkTreeAnnouncement(s, TreeValue::ann2, QStringLiteral("DebugAnn2_Err"),
                              QStringLiteral("DebugAnn2_Abs"));
        const QString& rep = valueAt(s, TreeValue::rep2);
        if (!rep.isEmpty() && !isNumberField(rep, QString()))
            error({s, s.name, TreeValue::rep2}, fieldMessage(s, QStringLiteral("DebugRepet"), rep));
        for (int index = TreeValue::exit_trf; index <= TreeValue::exit_nac; ++index) {
            const QString& value = valueAt(s, index);
            if (!value.isEmpty()) checkAction(s, s.name, index, value, false);
        }
    }

    void checkTreeAnnouncement(Section& s, int index, const QString& errKey, const QString& absKey) {
        const QString& value = valueAt(s, index);
        if (value.isEmpty()) return;
        if (!isNumberField(value, QString()))
            error({s, s.name, index}, fieldMessage(s, errKey, value));
        else if (!m_refs.hasAnnouncement(value))
            warning({s, s.name, index}, fieldMessage(s, absKey, value));
    }

    void checkMenu(Section& s) {
        m_config.nodes.setColour(s.name, NodeColour::Black);
        const QString& ann = valueAt(s, MenuValue::ann);
        if (!isNumberField(ann, QString())) {
            const QString key =
                ann.isEmpty() ? QStringLiteral("DebugAnn3_NA") : QStringLiteral("DebugAnn3_Err");
            error({s, s.name, MenuValue::ann}, fieldMessage(s, key, ann));
        } else if (!m_refs.hasAnnouncement(ann)) {
            warning({s, s.name, MenuValue::ann}, fieldMessage(s, QStringLiteral("DebugAnn3_Abs"), ann));
        }
        checkCount(s, MenuValue::rep, QStringLiteral("DebugRepetNA"), QStringLiteral("DebugRepet"));
        checkCount(s, MenuValue::sil, QStringLiteral("DebugSilenceNA"), QStringLiteral("DebugSilence"));

        QString keyNode = QStringLiteral("E-") + s.name + QStringLiteral("-0");
        for (int digit = 0; digit <= 9; ++digit) {
            keyNode.back() = QLatin1Char(char('0' + digit));
            const int id = m_config.nodes.find(keyNode);
            if (id < 0) continue;
            m_config.nodes.setColour(id, NodeColour::Black);
            const int index = MenuValue::forDigit(digit);
            checkAction(s, keyNode, index, valueAt(s, index), true);
        }
    }

    void checkCount(Section& s, int index, const QString& naKey, const QString& errKey) {
        const QString& value = valueAt(s, index);
        if (!isNumberField(value, QString()))
            error({s, s.name, index}, fieldMessage(s, value.isEmpty() ? naKey : errKey, value));
    }

    // Checks of a key action (onMenuKey) or of a tree exit, reported on nodeKey. Exits carry no
    // parameter suffix and leave voice boxes alone.
    void checkAction(Section& s, const QString& nodeKey, int index, const QString& value, bool onMenuKey) {
        const QStringView code = codeOf(value);
        if (!isCheckedCode(code, onMenuKey)) return;
        const ActionFields fields(value);
        const auto at = [&](const char* suffix) {
            return Finding{s, nodeKey, index, onMenuKey ? suffix : ""};
        };
        if (code == QLatin1String("trf")) {
            checkDestination(s, at(""), QStringLiteral("actTransfert"), fields.param(1),
                             {QStringLiteral("DebugPoste_NA"), QStringLiteral("DebugPoste_Err"),
                              QStringLiteral("DebugPoste_Abs")},
                             m_refs.stations);
        } else if (code == QLatin1String("bvo")) {
            checkDestination(
                s, at(""), QStringLiteral("actBvo"), fields.param(1),
                {QStringLiteral("DebugBV_NA"), QStringLiteral("DebugBV_Err"), QStringLiteral("DebugBV_Abs")},
                m_refs.voiceBoxes);
        } else if (code == QLatin1String("sau")) {
            const QString& target = fields.param(1);
            if (!m_config.nodes.noeudExiste(target)) {
                const QString key =
                    target.isEmpty() ? QStringLiteral("DebugSaut_NA") : QStringLiteral("DebugSaut_Abs");
                error(at(""), actionMessage(s, QStringLiteral("actSaut"), key, QString(), false));
            }
        } else {
            checkAnnouncementAction(s, at("1;"), at("2;"), at("3;"), fields);
        }
    }

    // Label keys of a destination left empty, malformed, and unknown to the server.
    struct DestinationKeys {
        QString missing, malformed, unknown;
    };

    // Transfer destination or voice box: malformed is an error, unknown to the server a warning.
    void checkDestination(Section& s, const Finding& where, const QString& actionKey, const QString& p1,
                          const DestinationKeys& keys, const QSet<TextKey>& known) {
        if (!isNumberField(p1, kTransferAllowed)) {
            error(where, actionMessage(s, actionKey, p1.isEmpty() ? keys.missing : keys.malformed, p1, true));
        } else if (!known.contains(TextKey{p1})) {
            warning(where, actionMessage(s, actionKey, keys.unknown, p1, true));
        }
    }

    void checkAnnouncementAction(Section& s, const Finding& number, const Finding& repeats,
                                 const Finding& silences, const ActionFields& fields) {
        const QString actAnn = QStringLiteral("actAnn");
        const QString& p1 = fields.param(1);
        if (!isNumberField(p1, QString())) {
            const QString key =
                p1.isEmpty() ? QStringLiteral("DebugAnn4_NA") : QStringLiteral("DebugAnn4_Err");
            error(number, actionMessage(s, actAnn, key, p1, true));
        } else if (!m_refs.hasAnnouncement(p1)) {
            warning(number, actionMessage(s, actAnn, QStringLiteral("DebugAnn4_Abs"), p1, true));
        }
        const QString& p2 = fields.param(2);
        if (!isNumberField(p2, QString())) {
            const QString key = p2.isEmpty() ? QStringLiteral("DebugRepetNA") : QStringLiteral("DebugRepet");
            error(repeats, actionMessage(s, actAnn, key, p2, true));
        }
        const QString& p3 = fields.param(3);
        if (!isNumberField(p3, QString())) {
            const QString key =
                p3.isEmpty() ? QStringLiteral("DebugSilenceNA") : QStringLiteral("DebugSilence");
            error(silences, actionMessage(s, actAnn, key, p3, true));
        }
    }

    // A finding's text and the label key it was built from (what scripts tell findings apart by).
    struct Message {
        QString text;
        QString key;
    };

    // lib - diagnostic : value; the "not filled in" keys end after the diagnostic.
    Message fieldMessage(const Section& s, const QString& diagKey, const QString& value) {
        if (diagKey.endsWith(QLatin1String("NA")))
            return {s.value(1) % QLatin1String(" - ") % label(diagKey), diagKey};
        return {s.value(1) % QLatin1String(" - ") % label(diagKey) % QLatin1String(" : ") % value, diagKey};
    }

    // lib - action - diagnostic : parameter; without the parameter for "not filled in" keys and jumps.
    Message actionMessage(const Section& s, const QString& actionKey, const QString& diagKey,
                          const QString& param, bool withParam) {
        const QString& lib = valueAt(s, 1);
        if (!withParam || diagKey.endsWith(QLatin1String("NA")))
            return {lib % QLatin1String(" - ") % label(actionKey) % QLatin1String(" - ") % label(diagKey),
                    diagKey};
        return {lib % QLatin1String(" - ") % label(actionKey) % QLatin1String(" - ") % label(diagKey) %
                    QLatin1String(" : ") % param,
                diagKey};
    }

    void error(const Finding& where, const Message& message) {
        m_diagnostics.AjouteFinding(message.text, DiagnosticsSink::Error, where.nodeKey, message.key);
        m_config.nodes.setColour(where.nodeKey, NodeColour::Red);
        ++errors;
        where.appendCode(where.section.errorFields);
    }

    void warning(const Finding& where, const Message& message) {
        m_diagnostics.AjouteFinding(message.text, DiagnosticsSink::Warning, where.nodeKey, message.key);
        const int id = m_config.nodes.find(where.nodeKey);
        if (id >= 0 && m_config.nodes.node(id).colour != NodeColour::Red)
            m_config.nodes.setColour(id, NodeColour::Orange);
        ++warnings;
        where.appendCode(where.section.warningFields);
    }

    const AppContext& m_ctx;
    DiagnosticsSink& m_diagnostics;
    Configuration& m_config;
    ReferenceIndex m_refs;
    QHash<TextKey, QString> m_labels;
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

bool isNumberField(const QString& value, const QString& allowedCharacters) {
    if (value.isEmpty()) return false;
    // The common case, a short run of digits, needs no conversion (when no digit is an allowed character).
    if (value.size() <= 9 &&
        std::all_of(value.begin(), value.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }) &&
        std::none_of(allowedCharacters.begin(), allowedCharacters.end(), [](QChar c) { return c.isDigit(); }))
        return true;
    QString rest = value.toUpper();
    for (const QChar c : allowedCharacters)
        rest.remove(c.toUpper());
    if (rest.isEmpty()) return true;
    const std::optional<qint64> n = toWholeNumber(rest);
    // Signs are the only characters besides digits and blanks that convert; a negative number fails.
    return n.has_value() && *n >= 0;
}

bool announcementExists(const QList<Announcement>& announcements, qint32 number, int languageIndex) {
    for (const Announcement& a : announcements) {
        if (a.number != number) continue;
        if (languageIndex < 1 || languageIndex > 4 || a.flags[languageIndex - 1] != 0) return true;
    }
    return false;
}

bool stationExists(const QList<Station>& stations, const QString& number) {
    for (const Station& s : stations)
        if (s.number == number) return true;
    return false;
}

bool voiceBoxExists(const QList<Station>& stations, const QString& voiceBox) {
    for (const Station& s : stations)
        if (s.voiceBox == voiceBox) return true;
    return false;
}

QString fieldCode(int valueIndex, const QString& parameterSuffix) {
    return QString::number(valueIndex).rightJustified(2, QLatin1Char('0')) % QLatin1Char(';') %
           parameterSuffix;
}

int fieldStateColour(const SectionStore& store, int sectionIndex, int valueIndex,
                     const QString& parameterSuffix) {
    if (sectionIndex < 1 || sectionIndex > store.size()) return NodeColour::Black;
    const Section& s = store.at(sectionIndex);
    const QString code = fieldCode(valueIndex, parameterSuffix);
    if (s.errorFields.contains(code)) return NodeColour::Red;
    if (s.warningFields.contains(code)) return NodeColour::Orange;
    return NodeColour::Black;
}

TreeVerifier::TreeVerifier(const AppContext& ctx, DiagnosticsSink& diagnostics, platform::Pacing& pacing,
                           VerificationObserver* observer)
    : m_ctx(ctx), m_diagnostics(diagnostics), m_pacing(pacing), m_observer(observer) {}

int TreeVerifier::verifArbo(Configuration& config) {
    if (m_running) return Aborted;
    const RunningFlag running(m_running);
    Analysis analysis(m_ctx, m_diagnostics, config);

    if (m_observer) m_observer->verificationStarted();
    m_diagnostics.AjouteInfo(QString(80, QLatin1Char('-')), DiagnosticsSink::Info, QString());
    m_diagnostics.AjouteInfo(analysis.label(QStringLiteral("DebugAnalyse")), DiagnosticsSink::Info,
                             QString());

    // Colours and codes set before the fault stay; no summary is written.
    const auto abort = [&] {
        if (m_observer) m_observer->verificationFinished();
        const QString key = QStringLiteral("ErrAnalyse");
        m_diagnostics.AjouteFinding(analysis.label(key), DiagnosticsSink::Error, QString(), key);
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
