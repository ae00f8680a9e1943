#include "sim_faults.h"

#include <array>
#include <utility>

namespace sim {

namespace {

struct KindName {
    FaultKind kind;
    const char* name;
    bool needsValue;
};

constexpr std::array<KindName, 7> kKinds{{
    {FaultKind::Login, "login", false},
    {FaultKind::Drop, "drop", false},
    {FaultKind::Truncate, "truncate", false},
    {FaultKind::Oversize, "oversize", false},
    {FaultKind::Slow, "slow", true},
    {FaultKind::Status, "status", true},
    {FaultKind::Count, "count", true},
}};

std::optional<Fault> fail(QString* error, const QString& text) {
    if (error) *error = text;
    return std::nullopt;
}

} // namespace

QString faultKindName(FaultKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return QString::fromLatin1(k.name);
    return {};
}

std::optional<Fault> parseFault(const QString& spec, QString* error) {
    QString rest = spec.trimmed();
    Fault fault;
    if (rest.endsWith(QLatin1String(",once"))) {
        fault.once = true;
        rest.chop(5);
    } else if (rest.endsWith(QLatin1String(",always"))) {
        rest.chop(7);
    }
    const qsizetype at = rest.indexOf(u'@');
    if (at >= 0) {
        const QString target = rest.mid(at + 1);
        rest.truncate(at);
        if (target.startsWith(u'#')) {
            bool ok = false;
            const uint code = target.mid(1).toUInt(&ok);
            if (!ok) return fail(error, QStringLiteral("bad request code in '%1'").arg(spec));
            fault.code = code;
        } else if (target.isEmpty() || target.contains(u'/') || target.contains(u'\\') ||
                   target.contains(QLatin1String(".."))) {
            return fail(error, QStringLiteral("bad file name in '%1'").arg(spec));
        } else {
            fault.fileName = target;
        }
    }
    const qsizetype colon = rest.indexOf(u':');
    const QString kindText = colon >= 0 ? rest.left(colon) : rest;
    for (const auto& k : kKinds) {
        if (kindText != QLatin1String(k.name)) continue;
        fault.kind = k.kind;
        if (k.needsValue != (colon >= 0))
            return fail(error,
                        QStringLiteral("'%1' %2 a value").arg(kindText, k.needsValue ? "needs" : "takes no"));
        if (colon >= 0) {
            bool ok = false;
            fault.value = rest.mid(colon + 1).toLongLong(&ok);
            if (!ok || fault.value < 0) return fail(error, QStringLiteral("bad value in '%1'").arg(spec));
        }
        return fault;
    }
    return fail(error, QStringLiteral("unknown fault '%1'").arg(kindText));
}

std::optional<Fault> FaultList::take(const QString& fileName, std::optional<quint32> code) {
    for (qsizetype i = 0; i < faults_.size(); ++i) {
        const Fault& f = faults_[i];
        const bool matches = f.code ? code == f.code : (f.fileName.isEmpty() || f.fileName == fileName);
        if (!matches) continue;
        Fault found = f;
        if (found.once) faults_.removeAt(i);
        return found;
    }
    return std::nullopt;
}

} // namespace sim
