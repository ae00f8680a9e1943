#include "flow/scenarios.h"

#include "core/translation.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>

namespace flow {

namespace {

constexpr int kFields = 5;

// The exits of a tree by number: transfer failed, closed, no reaction.
const char* const kExitWords[] = {"transfer-failed", "closed", "no-reaction"};

// What an expectation's word takes after it.
enum class Takes { Nothing, Maybe, Exit };
const std::pair<const char*, Takes> kWords[] = {
    {"transfer", Takes::Maybe},   {"operator", Takes::Maybe},        {"announcement", Takes::Maybe},
    {"voicebox", Takes::Maybe},   {"free-dialling", Takes::Nothing}, {"menu", Takes::Maybe},
    {"language", Takes::Nothing}, {"undefined", Takes::Nothing},     {"exit", Takes::Exit},
};

// Weekdays as written in English and as the tree file and French captions write them, Monday first.
const char* const kDays[7][4] = {
    {"mon", "monday", "lun", "lundi"},       {"tue", "tuesday", "mar", "mardi"},
    {"wed", "wednesday", "mer", "mercredi"}, {"thu", "thursday", "jeu", "jeudi"},
    {"fri", "friday", "ven", "vendredi"},    {"sat", "saturday", "sam", "samedi"},
    {"sun", "sunday", "dim", "dimanche"},
};

// A Monday: weekday moments fall in its week.
const QDate kWeekStart(2024, 1, 1);

QString label(const Translation& t, const char* key) {
    return t.getLabel(QStringLiteral("SCENARIOS"), QString::fromLatin1(key));
}

int exitNumber(const QString& word) {
    for (int n = 0; n < 3; ++n)
        if (word == QLatin1String(kExitWords[n])) return n;
    return -1;
}

std::optional<Destination> parseDestination(const QString& text) {
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 2) return std::nullopt;
    const QString word = words[0].toLower(), value = words.value(1);
    for (const auto& [name, takes] : kWords) {
        if (word != QLatin1String(name)) continue;
        if (takes == Takes::Nothing && !value.isEmpty()) return std::nullopt;
        if (takes == Takes::Exit && exitNumber(value.toLower()) < 0) return std::nullopt;
        return Destination{word, takes == Takes::Exit ? value.toLower() : value};
    }
    return std::nullopt;
}

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? platform::decodeAnsi(bytes) : text;
}

// Text beyond ASCII that reads as UTF-8.
bool isUtf8(const QByteArray& bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

// Reads one scenario line; the error message when it is none.
QString parseLine(const QStringList& f, int line, const Translation& t, Scenario& s) {
    const QString n = QString::number(line);
    if (f.size() != kFields)
        return label(t, "ScenFields").arg(n, QString::number(f.size()), QLatin1String(kScenarioHeader));
    s.line = line;
    s.name = f[0].trimmed();
    if (s.name.isEmpty()) return label(t, "ScenNoName").arg(n);
    bool ok = false;
    s.tree = f[1].trimmed().toInt(&ok);
    if (!ok || s.tree < 1 || s.tree > 5) return label(t, "ScenTree").arg(n, f[1].trimmed());
    s.momentText = f[2].trimmed();
    const auto moment = parseMoment(s.momentText);
    if (!moment) return label(t, "ScenMoment").arg(n, s.momentText);
    s.moment = *moment;
    const auto events = parseCallEvents(f[3]);
    if (!events) return label(t, "ScenKeys").arg(n, f[3].trimmed());
    s.events = *events;
    const auto expected = parseDestination(f[4]);
    if (!expected) return label(t, "ScenExpected").arg(n, f[4].trimmed());
    s.expected = *expected;
    return {};
}

} // namespace

std::optional<QDateTime> parseMoment(const QString& text) {
    for (const char* format : {"yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm", "yyyy-MM-dd HH:mm:ss"}) {
        const QDateTime at = QDateTime::fromString(text.trimmed(), QLatin1String(format));
        if (at.isValid()) return at;
    }
    const QStringList words = text.simplified().toLower().split(QLatin1Char(' '));
    const QTime time = QTime::fromString(words.value(1), QStringLiteral("H:mm"));
    if (words.size() != 2 || !time.isValid()) return std::nullopt;
    for (int d = 0; d < 7; ++d)
        for (const char* name : kDays[d])
            if (words[0] == QLatin1String(name)) return QDateTime(kWeekStart.addDays(d), time);
    return std::nullopt;
}

ScenarioFile parseScenarios(const QString& text, const Translation& t) {
    ScenarioFile file;
    bool header = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString raw = lines[i];
        if (raw.endsWith(QLatin1Char('\r'))) raw.chop(1);
        if (i == 0 && raw.startsWith(QChar(0xfeff))) raw.remove(0, 1);
        if (raw.trimmed().isEmpty() || raw.trimmed().startsWith(QLatin1Char('#'))) continue;
        const int line = i + 1;
        const QStringList fields = raw.split(QLatin1Char(';'));
        if (!header) {
            QStringList names;
            for (const QString& f : fields)
                names << f.trimmed().toLower();
            if (names.join(QLatin1Char(';')) != QLatin1String(kScenarioHeader)) {
                file.errorLine = line;
                file.error =
                    label(t, "ScenHeader").arg(QString::number(line), QLatin1String(kScenarioHeader));
                return file;
            }
            header = true;
            continue;
        }
        Scenario s;
        if (QString error = parseLine(fields, line, t, s); !error.isEmpty()) {
            file.errorLine = line;
            file.error = error;
            return file;
        }
        file.scenarios.append(s);
    }
    if (file.scenarios.isEmpty()) file.error = label(t, "ScenNone");
    return file;
}

ScenarioFile readScenarioFile(const QString& path, const Translation& t) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ScenarioFile file;
        file.error = label(t, "ScenUnreadable").arg(f.errorString());
        return file;
    }
    return parseScenarios(decode(f.readAll()), t);
}

Destination destinationOf(const QList<CallStep>& steps, QString* nodeKey) {
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        const CallStep& s = steps[i];
        if (s.kind == CallStep::Ignored) continue;
        if (nodeKey) *nodeKey = s.nodeKey;
        switch (s.kind) {
        case CallStep::Destination:
            return {s.action, s.action == QLatin1String("announcement") ? s.announcement : s.station};
        case CallStep::Waiting:
            return s.nodeKey.startsWith(QLatin1Char('M')) ? Destination{QStringLiteral("menu"), s.nodeKey}
                                                          : Destination{QStringLiteral("language"), {}};
        case CallStep::Dialling:
            return {QStringLiteral("free-dialling"), {}};
        default:
            return {QStringLiteral("undefined"), {}};
        }
    }
    return {QStringLiteral("undefined"), {}};
}

QString ScenarioResult::gotText(const Translation& t) const {
    if (exit < 0) return got.text();
    return label(t, "ScenAfterExit").arg(got.text(), QLatin1String(kExitWords[exit]));
}

ScenarioResult runScenario(const CallWalker& walker, const Scenario& scenario) {
    ScenarioResult r;
    r.scenario = scenario;
    r.steps = walker.walk(scenario.tree, scenario.moment, scenario.events);
    r.got = destinationOf(r.steps, &r.nodeKey);
    bool exitTaken = false;
    for (const CallStep& s : r.steps) {
        if (s.kind != CallStep::Exit) continue;
        r.exit = s.exit;
        exitTaken = exitTaken || QLatin1String(kExitWords[s.exit]) == scenario.expected.value;
    }
    const Destination& e = scenario.expected;
    if (e.word == QLatin1String("exit"))
        r.passed = exitTaken;
    else
        r.passed = e.word == r.got.word &&
                   (e.value.isEmpty() || e.value.compare(r.got.value, Qt::CaseInsensitive) == 0);
    return r;
}

QList<ScenarioResult> runScenarios(const CallWalker& walker, const QList<Scenario>& scenarios) {
    QList<ScenarioResult> results;
    for (const Scenario& s : scenarios)
        results.append(runScenario(walker, s));
    return results;
}

QString weekMoment(const QDateTime& moment) {
    return QLatin1String(kDays[moment.date().dayOfWeek() - 1][0]) +
           moment.time().toString(QStringLiteral(" HH:mm"));
}

QString scenarioLine(const QString& name, int tree, const QDateTime& moment, const QList<CallEvent>& events,
                     const Destination& expected) {
    // The separator and line ends have no place in a name.
    QString safe = name.simplified();
    safe.replace(QLatin1Char(';'), QLatin1Char(','));
    return QStringList{safe, QString::number(tree), weekMoment(moment), eventsText(events), expected.text()}
        .join(QLatin1Char(';'));
}

QString appendScenario(const QString& path, const QString& line) {
    QByteArray bytes;
    QFile f(path);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly)) return f.errorString();
        bytes = f.readAll();
        f.close();
    }
    // The file keeps its encoding; a new one is written as the other text files of the server are.
    const bool utf8 = isUtf8(bytes);
    const auto encode = [utf8](const QString& s) { return utf8 ? s.toUtf8() : platform::encodeAnsi(s); };
    if (bytes.trimmed().isEmpty()) bytes = QByteArray(kScenarioHeader) + "\r\n";
    if (!bytes.endsWith('\n')) bytes += "\r\n";
    bytes += encode(line) + "\r\n";
    return platform::writeFileAtomically(path, bytes);
}

QString eventsText(const QList<CallEvent>& events) {
    QStringList words;
    for (const CallEvent& e : events)
        words << (e.kind == CallEvent::Key       ? QString(e.key)
                  : e.kind == CallEvent::Silence ? QStringLiteral("silence")
                                                 : QStringLiteral("fail"));
    return words.join(QLatin1Char(','));
}

QString resultLine(const ScenarioResult& result, const Translation& t) {
    if (result.passed) return label(t, "ScenPass").arg(result.scenario.name);
    return label(t, "ScenFail").arg(result.scenario.name, result.scenario.expected.text(), result.gotText(t));
}

QString summaryLine(const QList<ScenarioResult>& results, const Translation& t) {
    const auto passed = std::count_if(results.begin(), results.end(), [](const auto& r) { return r.passed; });
    return label(t, "ScenSummary").arg(passed).arg(results.size());
}

} // namespace flow
