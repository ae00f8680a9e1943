#include "lines/line_rules.h"

#include "core/diagnostics_sink.h"
#include "core/translation.h"
#include "lines/line_text.h"

namespace {

// Cells of greyed lines are never changed.
LineRecord* editableLine(LineTable& table, int row) {
    if (!table.hasLine(row)) return nullptr;
    LineRecord& r = table.line(row);
    return isGreyed(r) ? nullptr : &r;
}

bool acceptsText(const QString& tag, const QString& t) {
    if (tag == QLatin1String("TEXT")) return true;
    if (tag == QLatin1String("NUM") || tag == QLatin1String("POSTE_APP"))
        return t.isEmpty() || isNumberText(t, QStringLiteral("ABCD*#x"));
    if (tag == QLatin1String("CODE"))
        return t.isEmpty() || t == QLatin1String("x") || t == QLatin1String("X") || isNumberText(t, {});
    if (tag == QLatin1String("VP")) {
        if (t.isEmpty()) return true;
        if (!isNumberText(t, {})) return false;
        bool ok = false;
        const int vp = t.toInt(&ok);
        return ok && vp >= 1 && vp <= 8;
    }
    return false;
}

} // namespace

QString columnTag(int column) {
    switch (column) {
    case 1:
    case 2:
        return QStringLiteral("NUM");
    case 3:
        return QStringLiteral("CODE");
    case 5:
        return QStringLiteral("VP");
    case 6:
    case 7:
        return QStringLiteral("POSTE_APP");
    case 8:
        return QStringLiteral("TEXT");
    default:
        return {};
    }
}

bool isListColumn(int column) {
    return column == 4 || column == 9;
}

bool isNumberText(const QString& t, const QString& extras) {
    if (t.isEmpty()) return false;
    const QString upperExtras = extras.toUpper();
    for (const QChar c : t.toUpper()) {
        if (upperExtras.contains(c)) continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

bool enterCellText(LineTable& table, const LineNames& names, int row, int column, const QString& text) {
    LineRecord* r = editableLine(table, row);
    const QString tag = columnTag(column);
    if (!r || tag.isEmpty()) return false;
    const QString t = text.trimmed();
    if (!acceptsText(tag, t)) {
        if (tag != QLatin1String("POSTE_APP")) return false;
        const ApplicationEntry* chosen = names.applications.choosableByName(t);
        if (!chosen) return false;
        if (column == 6) {
            r->trfOK.clear();
            r->app = qint16(chosen->code);
            r->appName = chosen->name;
        } else {
            r->trfKO.clear();
            r->appKO = qint16(chosen->code);
            r->appKOName = chosen->name;
        }
        return true;
    }
    switch (column) {
    case 1:
        r->cli = t;
        break;
    case 2:
        r->ddi = t;
        break;
    case 3:
        r->code = t;
        break;
    case 5:
        r->VP = t.isEmpty() ? 0 : qint16(t.toInt());
        break;
    case 6:
        r->app = 0;
        r->appName.clear();
        r->trfOK = t;
        break;
    case 7:
        r->appKO = 0;
        r->appKOName.clear();
        r->trfKO = t;
        break;
    case 8:
        r->libelle = line_text::withoutSeparator(t);
        break;
    }
    return true;
}

bool choosePlanning(LineTable& table, const LineNames& names, int row, int index) {
    LineRecord* r = editableLine(table, row);
    if (!r || index < 0 || index > PlanningTable::kCount) return false;
    r->planing = qint16(index);
    r->planningName = names.plannings.planningName(index);
    return true;
}

bool chooseTrace(LineTable& table, int row, int index) {
    LineRecord* r = editableLine(table, row);
    if (!r || index < 0 || index > 3) return false;
    r->trace = qint16(index);
    return true;
}

bool clearCell(LineTable& table, int row, int column) {
    LineRecord* r = editableLine(table, row);
    // A transfer when open greys its line; Delete on it gives the line back, unless it is another
    // application's.
    if (!r && column == 6 && table.hasLine(row) && !table.line(row).trfOK.isEmpty() &&
        (table.line(row).app == 0 || isAutoAttendantApplication(table.line(row).app))) {
        table.line(row).trfOK.clear();
        return true;
    }
    if (!r) return false;
    switch (column) {
    case 1:
        r->cli.clear();
        break;
    case 2:
        r->ddi.clear();
        break;
    case 3:
        r->code.clear();
        break;
    case 4:
        r->planing = 0;
        r->planningName.clear();
        break;
    case 5:
        r->VP = 0;
        break;
    case 6:
        r->app = 0;
        r->appName.clear();
        r->trfOK.clear();
        break;
    case 7:
        r->appKO = 0;
        r->appKOName.clear();
        r->trfKO.clear();
        break;
    case 8:
        r->libelle.clear();
        break;
    case 9:
        r->trace = 0;
        break;
    default:
        return false;
    }
    return true;
}

int addLigne(LineTable& table) {
    if (table.lineCount() >= lineCapacity) return 0;
    table.append(LineRecord{});
    return table.lineCount();
}

bool deleteLigne(LineTable& table, int row) {
    if (!editableLine(table, row)) return false;
    const int count = table.lineCount();
    table.removeAt(row);
    // The grid keeps its minimum number of lines: the last one comes back empty.
    if (count <= minimumGridLines) table.setLineCount(count);
    return true;
}

bool insertLigne(LineTable& table, int row) {
    if (table.lineCount() >= lineCapacity || !table.hasLine(row)) return false;
    table.insertEmptyAt(row);
    return true;
}

QList<LineFinding> verifDebug(const LineTable& table, const Translation& translation) {
    const QString section = QLatin1String(kLinesSection);
    const QString prefix = translation.getLabel(section, QStringLiteral("DebugLigne"));
    constexpr int kFaults = 6;
    QString faults[kFaults];
    for (int k = 0; k < kFaults; ++k)
        faults[k] = translation.getLabel(section, QStringLiteral("DebugErr%1").arg(k + 1));
    QList<LineFinding> findings;
    for (int i = 1; i <= table.lineCount(); ++i) {
        const LineRecord& r = table.line(i);
        const bool noOpen = r.trfOK.isEmpty() && r.app == 0;
        const bool noClosed = r.trfKO.isEmpty() && r.appKO == 0;
        // Values a file brought in that the server would read as none.
        const bool found[kFaults] = {(!r.cli.isEmpty() || !r.ddi.isEmpty()) && noOpen,
                                     !r.code.isEmpty() && r.VP == 0,
                                     r.planing != 0 && (noOpen || noClosed),
                                     r.VP < 0 || r.VP > 8,
                                     r.planing < 0 || r.planing > PlanningTable::kCount,
                                     r.trace < 0 || r.trace > 3};
        for (int k = 0; k < kFaults; ++k)
            if (found[k])
                findings.append({prefix + QString::number(i) + QLatin1String(" : ") + faults[k],
                                 DiagnosticsSink::Error, i});
    }
    return findings;
}
