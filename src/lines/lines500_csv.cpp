#include "lines/lines500_csv.h"

#include "lines/application_table.h"
#include "lines/line_text.h"
#include "platform/codepage.h"

#include <QSet>

#include <utility>
#include <vector>

namespace {

struct CsvRow {
    int number; // in the file, 1-based
    QStringList fields;
};

// The data lines of 3 fields; the others are counted as skipped. Refused when none has 3 fields, unless
// the file is a header alone (the export of an empty table).
std::vector<CsvRow> csvLines(const QByteArray& content, CsvReport& report) {
    std::vector<CsvRow> rows;
    const QList<QByteArrayView> raw = line_text::splitLines(content);
    int header = 0, headerFields = 0;
    bool firstLine = true;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const int number = int(n + 1);
        const QString line = platform::decodeAnsi(raw[n].toByteArray()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('/'))) continue;
        QStringList fields = line.split(QLatin1Char(';'));
        for (QString& c : fields)
            c = c.trimmed();
        if (std::exchange(firstLine, false) && !fields.first().isEmpty() &&
            !fields.first().front().isDigit()) {
            header = number;
            headerFields = int(fields.size());
            continue;
        }
        if (fields.size() == kCsvFields500) {
            rows.push_back({number, fields});
            continue;
        }
        if (report.badLine == 0) {
            report.badLine = number;
            report.badFields = int(fields.size());
        }
        report.skip(number);
    }
    if (rows.empty() && (report.badLine != 0 || headerFields != kCsvFields500)) {
        report.refused = true;
        if (report.badLine == 0) {
            report.badLine = qMax(header, 1);
            report.badFields = headerFields;
        }
    }
    return rows;
}

QString lineLabel(const VoieT2cs& v) {
    QStringList numbers;
    for (const QString& n : {v.firstText(), v.lastText(), code3(v.application)})
        if (!n.isEmpty()) numbers << n;
    return numbers.isEmpty() ? QStringLiteral("-") : numbers.join(QLatin1String(" / "));
}

// A record as its CSV line, "" for a free one.
QString csvLine(const VoieT2cs& v) {
    return v.isInUse()
               ? v.firstText() + QLatin1Char(';') + v.lastText() + QLatin1Char(';') + code3(v.application)
               : QString();
}

LineChanges comparer(const QList<VoieT2cs>& before, const QList<VoieT2cs>& after,
                     const QList<bool>& protectedRecords) {
    LineChanges c;
    QList<LineChanges::Line> kinds[3]; // added, removed, changed
    for (qsizetype k = 0; k < before.size() && k < after.size(); ++k) {
        if (protectedRecords.value(k)) {
            ++c.otherApplications;
            continue;
        }
        const bool was = before[k].isInUse(), now = after[k].isInUse();
        const int kind = now && !was ? 0 : was && !now ? 1 : now && before[k] != after[k] ? 2 : -1;
        if (kind < 0) continue;
        const QString label = lineLabel(kind == 1 ? before[k] : after[k]);
        (kind == 0 ? c.added : kind == 1 ? c.removed : c.changed) << label;
        kinds[kind].append({label, csvLine(before[k]), csvLine(after[k])});
    }
    for (const QList<LineChanges::Line>& lines : kinds)
        c.lines += lines;
    return c;
}

} // namespace

QString code3(quint16 application) {
    return application == VoieT2cs::Unset ? QString()
                                          : QStringLiteral("%1").arg(application, 3, 10, QLatin1Char('0'));
}

quint16 codeFromText(const QString& code) {
    if (code.isEmpty()) return VoieT2cs::Unset;
    const int n = codeValue(code);
    return n >= VoieT2cs::Unset ? VoieT2cs::Unset : quint16(n);
}

Import500 readCsv500(const QByteArray& content, const QList<VoieT2cs>& before,
                     const QList<bool>& protectedRecords) {
    Import500 import;
    const std::vector<CsvRow> rows = csvLines(content, import.report);
    if (import.report.refused) return import;
    QList<VoieT2cs> records = before;
    // The file's copy of a protected record is that record's own line, wherever the file has it: it keeps
    // its record, and never lands in another one when a line above it was deleted or moved.
    QSet<QString> protectedLines;
    for (qsizetype p = 0; p < records.size(); ++p)
        if (protectedRecords.value(p)) protectedLines.insert(csvLine(records[p]));
    qsizetype k = 0;
    for (const CsvRow& l : rows) {
        const QString line = l.fields[0] + QLatin1Char(';') + l.fields[1] + QLatin1Char(';') +
                             code3(codeFromText(l.fields[2]));
        if (protectedLines.contains(line)) continue;
        while (k < records.size() && protectedRecords.value(k))
            ++k;
        if (k >= records.size()) {
            import.report.skip(l.number); // the server has no record left for it
            continue;
        }
        VoieT2cs& v = records[k++];
        v.setFirst(l.fields[0]);
        v.setLast(l.fields[1]);
        v.application = codeFromText(l.fields[2]);
        v.code2 = VoieT2cs::Unset;
    }
    // Records past the file's last line are freed, so the file is the whole table.
    for (; k < records.size(); ++k) {
        if (protectedRecords.value(k)) continue;
        const std::array<char, 4> rest = records[k].rest;
        records[k] = VoieT2cs();
        records[k].rest = rest;
    }
    import.changes = comparer(before, records, protectedRecords);
    import.records = std::move(records);
    return import;
}
