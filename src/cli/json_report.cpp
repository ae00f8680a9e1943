#include "cli/json_report.h"

#include "core/app_context.h"
#include "flow/tree_diff.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

namespace cli {

Report& report() {
    static Report r;
    return r;
}

bool takeJsonFlag(QStringList& args) {
    return args.removeAll(QStringLiteral("--json")) > 0;
}

QJsonObject reportObject(const Report& r, int rc) {
    QJsonArray changes, findings;
    for (const ReportChange& c : r.changes)
        changes.append(QJsonObject{{QStringLiteral("path"), c.path},
                                   {QStringLiteral("before"), c.before},
                                   {QStringLiteral("after"), c.after}});
    for (const ReportFinding& f : r.findings)
        findings.append(QJsonObject{{QStringLiteral("code"), f.code},
                                    {QStringLiteral("level"), f.level},
                                    {QStringLiteral("text"), f.text},
                                    {QStringLiteral("node"), f.node}});
    QJsonObject o = r.extra;
    o.insert(QStringLiteral("changed"), r.changed);
    o.insert(QStringLiteral("changes"), changes);
    o.insert(QStringLiteral("findings"), findings);
    o.insert(QStringLiteral("revision"), r.revision.isEmpty() ? QJsonValue() : QJsonValue(r.revision));
    o.insert(QStringLiteral("msg"), r.msg);
    o.insert(QStringLiteral("failed"), r.failed.value_or(rc != 0 && rc != kWouldChange));
    o.insert(QStringLiteral("rc"), rc);
    return o;
}

void reportChanges(const flow::Changes& changes) {
    Report& r = report();
    r.changed = r.changed || !changes.isEmpty();
    for (const flow::Changes::Item& c : changes.items)
        r.changes.append({c.path, c.before, c.after});
}

int finishReport(int rc) {
    const Report& r = report();
    if (!r.json) return rc;
    const QByteArray bytes = QJsonDocument(reportObject(r, rc)).toJson(QJsonDocument::Indented);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
    return rc;
}

RevisionNote::~RevisionNote() {
    if (!m_ctx.lastRevision.isEmpty()) report().revision = m_ctx.lastRevision;
}

} // namespace cli
