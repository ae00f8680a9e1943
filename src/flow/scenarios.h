#pragma once

#include "flow/call_walk.h"

#include <QDateTime>
#include <QList>
#include <QString>

class Translation;

// Call scenarios: calls written down with where each must end, run on a tree before it goes live. A
// scenario file is a ';'-separated text, one scenario a line after the header line
// "name;tree;moment;keys;expected"; lines starting with '#' and blank lines are skipped.
namespace flow {

// Where a call ends, in the words of the walk's actions: "transfer 210", "operator 200",
// "announcement 12", "voicebox 202", "voicebox", "free-dialling", "menu M2", "language", "undefined".
// As an expectation, "exit closed" (or "no-reaction", "transfer-failed") asks that the call went through
// that exit of its tree; a word without its value accepts any value.
struct Destination {
    QString word;
    QString value;
    QString text() const { return value.isEmpty() ? word : word + QLatin1Char(' ') + value; }
};

struct Scenario {
    int line = 0; // in its file, from 1
    QString name;
    int tree = 1; // 1..5
    QDateTime moment;
    QString momentText; // as written
    QList<CallEvent> events;
    Destination expected;
};

struct ScenarioFile {
    QList<Scenario> scenarios;
    int errorLine = 0; // the first line that could not be read; 0 when the whole file was read
    QString error;     // why, with its line; "" when the file was read
    bool ok() const { return error.isEmpty(); }
};

inline constexpr char kScenarioHeader[] = "name;tree;moment;keys;expected";

// Reads a scenario file (UTF-8, or else the ANSI code page); messages in the translation's language.
ScenarioFile readScenarioFile(const QString& path, const Translation& t);
ScenarioFile parseScenarios(const QString& text, const Translation& t);

// "yyyy-MM-dd HH:mm", or a weekday and a time ("mon 10:00", "lundi 10:00"): that day of a fixed week,
// as the schedules only know the days of the week.
std::optional<QDateTime> parseMoment(const QString& text);

struct ScenarioResult {
    Scenario scenario;
    bool passed = false;
    Destination got;
    int exit = -1;   // the last exit of its tree the call went through, -1 when none
    QString nodeKey; // the node where the call ended
    QList<CallStep> steps;
    QString gotText(const Translation& t) const; // the destination, and the exit taken
};

// Where a walk ends and the node that shows it.
Destination destinationOf(const QList<CallStep>& steps, QString* nodeKey = nullptr);

ScenarioResult runScenario(const CallWalker& walker, const Scenario& scenario);
QList<ScenarioResult> runScenarios(const CallWalker& walker, const QList<Scenario>& scenarios);

// "mon 10:15": a moment as a scenario keeps it, its day of the week and its time.
QString weekMoment(const QDateTime& moment);

// A line of a scenario file for a call that was made, expecting where it ended; the moment as a weekday
// and a time.
QString scenarioLine(const QString& name, int tree, const QDateTime& moment, const QList<CallEvent>& events,
                     const Destination& expected);
// Adds the line to the file (made with its header when missing) as a whole new file. "" on success,
// else why not.
QString appendScenario(const QString& path, const QString& line);

// "1,3,silence,fail": the events as a scenario or `call --keys` writes them.
QString eventsText(const QList<CallEvent>& events);

// "pass  name" or "FAIL  name: expected ..., got ...", and the count of those passed.
QString resultLine(const ScenarioResult& result, const Translation& t);
QString summaryLine(const QList<ScenarioResult>& results, const Translation& t);

} // namespace flow
