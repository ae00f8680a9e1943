#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

struct AppContext;
namespace flow {
struct Changes;
}

// What a command did, as the one JSON document --json prints on stdout, with the key names of Ansible's
// common return values so that a module passes them through: changed, changes, findings, revision, msg,
// failed, rc, and the command's own keys.
namespace cli {

// Exit code of a --check that found the server's file would change.
constexpr int kWouldChange = 5;

struct ReportChange {
    QString path; // where: "M1/2" (menu M1, key 2), "A1/ann1", "general/code_retour", a line's numbers
    QString before, after;
};

struct ReportFinding {
    QString code;  // the diagnostic's label key, the same in every language
    QString level; // "error" or "warning"
    QString text;
    QString node;
};

struct Report {
    bool json = false; // --json was given: stdout carries the document alone
    bool changed = false;
    std::optional<bool> failed; // by default: any exit code but 0 and kWouldChange
    QList<ReportChange> changes;
    QList<ReportFinding> findings;
    QString revision; // "" prints as null
    QString msg;
    QJsonObject extra;
};

// The one report of this process (one command runs per process).
Report& report();

// Takes "--json" out of args; true when it was there (the report then prints on finishing).
bool takeJsonFlag(QStringList& args);

// The document as it prints, for rc.
QJsonObject reportObject(const Report& r, int rc);

// The change lines of a tree comparison into the report; changed when there is one.
void reportChanges(const flow::Changes& changes);

// Prints the document when --json was given; returns rc.
int finishReport(int rc);

// Copies the revision the run recorded into the report when it ends (whatever path the command takes).
class RevisionNote {
public:
    explicit RevisionNote(const AppContext& ctx) : m_ctx(ctx) {}
    ~RevisionNote();
    RevisionNote(const RevisionNote&) = delete;
    RevisionNote& operator=(const RevisionNote&) = delete;

private:
    const AppContext& m_ctx;
};

} // namespace cli
