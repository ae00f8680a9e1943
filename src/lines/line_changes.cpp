#include "lines/line_changes.h"

#include "core/translation.h"
#include "lines/line_csv.h"

#include <QHash>
#include <QList>

namespace {

constexpr int kNamedLines = 5;

QString lineKey(const LineRecord& r) {
    return r.cli + QLatin1Char(';') + r.ddi + QLatin1Char(';') + r.code;
}

QString lineName(const LineRecord& r) {
    QStringList numbers;
    for (const QString& n : {r.cli, r.ddi, r.code})
        if (!n.isEmpty()) numbers << n;
    return numbers.isEmpty() ? QStringLiteral("-") : numbers.join(QLatin1String(" / "));
}

QString named(const QStringList& lines) {
    QStringList shown = lines.mid(0, kNamedLines);
    if (lines.size() > kNamedLines) shown << QStringLiteral("...");
    return shown.join(QLatin1String(", "));
}

} // namespace

LineChanges compareLineTables(const LineTable& before, const LineTable& after) {
    // The old lines by key; each new line first takes an identical old one, then any of the same key.
    QHash<QString, QList<LineRecord>> old;
    for (int i = 1; i <= before.lineCount(); ++i)
        if (!before.line(i).isBlank()) old[lineKey(before.line(i))].append(before.line(i));
    LineChanges changes;
    QList<const LineRecord*> different;
    for (int i = 1; i <= after.lineCount(); ++i) {
        const LineRecord& r = after.line(i);
        if (r.app >= 1 && !isAutoAttendantApplication(r.app)) ++changes.otherApplications;
        if (r.isBlank()) continue;
        auto it = old.find(lineKey(r));
        if (it != old.end() && it->removeOne(r)) continue;
        different.append(&r);
    }
    QList<LineChanges::Line> added, changed;
    for (const LineRecord* r : different) {
        auto it = old.find(lineKey(*r));
        if (it != old.end() && !it->isEmpty()) {
            changed.append({lineName(*r), csvLine(it->takeFirst()), csvLine(*r)});
            changes.changed << lineName(*r);
        } else {
            added.append({lineName(*r), QString(), csvLine(*r)});
            changes.added << lineName(*r);
        }
    }
    changes.lines = added;
    for (int i = 1; i <= before.lineCount(); ++i) {
        const LineRecord& r = before.line(i);
        if (r.isBlank()) continue;
        auto it = old.find(lineKey(r));
        if (it != old.end() && it->removeOne(r)) {
            changes.removed << lineName(r);
            changes.lines.append({lineName(r), csvLine(r), QString()});
        }
    }
    changes.lines += changed;
    return changes;
}

QString lineChangesText(const LineChanges& changes, const Translation& translation) {
    const QString section = QLatin1String(kLinesSection);
    const auto part = [&](const char* key, const QStringList& lines) {
        return translation.getLabel(section, QLatin1String(key))
            .replace(QLatin1String("$NOMBRE$"), QString::number(lines.size()))
            .replace(QLatin1String("$LIGNES$"), named(lines));
    };
    QStringList text;
    if (!changes.any()) text << translation.getLabel(section, QLatin1String("ImportSansChangement"));
    if (!changes.added.isEmpty()) text << part("ImportAjoutees", changes.added);
    if (!changes.removed.isEmpty()) text << part("ImportSupprimees", changes.removed);
    if (!changes.changed.isEmpty()) text << part("ImportModifiees", changes.changed);
    if (changes.otherApplications > 0)
        text << translation.getLabel(section, QLatin1String("ImportGardees"))
                    .replace(QLatin1String("$NOMBRE$"), QString::number(changes.otherApplications));
    return text.join(QLatin1Char('\n'));
}
