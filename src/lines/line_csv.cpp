#include "lines/line_csv.h"

#include "core/translation.h"
#include "lines/line_files.h"
#include "lines/line_text.h"
#include "platform/codepage.h"

#include <QFile>
#include <algorithm>
#include <utility>
#include <vector>

QString csvHeader(const Translation& translation) {
    const QString section = QLatin1String(kLinesSection);
    const auto label = [&](const char* key) { return translation.getLabel(section, QLatin1String(key)); };
    const std::array<QString, 9> titles = gridTitles(translation);
    QStringList pieces;
    for (int c = 1; c <= 9; ++c) {
        if (c == 6)
            pieces << label("AppSiOuvert") << label("TelSiOuvert");
        else if (c == 7)
            pieces << label("AppSiFerme") << label("TelSiFerme");
        else
            pieces << titles[std::size_t(c - 1)].trimmed();
    }
    return pieces.join(QLatin1Char(';'));
}

QString csvLine(const LineRecord& r) {
    const QChar sep = QLatin1Char(';');
    return r.cli + sep + r.ddi + sep + r.code + sep + QString::number(r.planing) + sep +
           QString::number(r.VP) + sep + QString::number(r.app) + sep + r.trfOK + sep +
           QString::number(r.appKO) + sep + r.trfKO + sep + line_text::withoutSeparator(r.libelle) + sep +
           QString::number(r.trace);
}

QByteArray csvBytes(const LineTable& table, const Translation& translation) {
    QString text = csvHeader(translation) + QLatin1String("\r\n");
    for (int i = 1; i <= table.lineCount(); ++i) {
        const LineRecord& r = table.line(i);
        if (!r.isBlank()) text += csvLine(r) + QLatin1String("\r\n");
    }
    return platform::encodeAnsi(text);
}

bool exportCsv(const LineTable& table, const QString& path, const Translation& translation, QString* error) {
    const QString failure = writeLineFile(path, csvBytes(table, translation), translation);
    if (error) *error = failure;
    return failure.isEmpty();
}

namespace {

constexpr int kSkippedShown = 5;

// Lines of another application: this table may not change them, whatever a file says.
bool isProtected(const LineRecord& r) {
    return r.app >= 1 && !isAutoAttendantApplication(r.app);
}

LineRecord csvRecord(const QStringList& f, const LineNames& names) {
    LineRecord r;
    r.cli = f.at(0).trimmed();
    r.ddi = f.at(1).trimmed();
    r.code = f.at(2).trimmed();
    r.planing = line_text::numberOrZero(f.at(3));
    r.planningName = names.plannings.planningName(r.planing);
    r.VP = line_text::numberOrZero(f.at(4));
    r.app = line_text::numberOrZero(f.at(5));
    r.appName = names.applications.applicationName(r.app);
    r.trfOK = f.at(6).trimmed();
    r.appKO = line_text::numberOrZero(f.at(7));
    r.appKOName = names.applications.applicationName(r.appKO);
    r.trfKO = f.at(8).trimmed();
    r.libelle = f.at(9).trimmed();
    r.trace = line_text::numberOrZero(f.at(10));
    return r;
}

struct CsvLine {
    int number; // in the file
    LineRecord record;
};

// The file's lines of 11 fields; the others are counted as skipped. Refused when none has 11 fields.
std::vector<CsvLine> parseCsv(const QByteArray& bytes, const LineNames& names, CsvReport& report) {
    std::vector<CsvLine> lines;
    const QList<QByteArrayView> raw = line_text::splitLines(bytes);
    bool headerFits = false;
    for (qsizetype n = 0; n < raw.size(); ++n) {
        const QStringList f = platform::decodeAnsi(raw.at(n).toByteArray()).split(QLatin1Char(';'));
        if (n == 0) {
            headerFits = f.size() == kCsvFields;
            continue;
        }
        if (raw.at(n).isEmpty()) continue;
        if (f.size() == kCsvFields) {
            lines.push_back({int(n + 1), csvRecord(f, names)});
            continue;
        }
        if (report.badLine == 0) {
            report.badLine = int(n + 1);
            report.badFields = int(f.size());
        }
        report.skip(int(n + 1));
    }
    // A header alone is the export of an empty table; data lines none of which fits are another file.
    if (lines.empty() && (report.badLine != 0 || !headerFits)) {
        report.refused = true;
        if (report.badLine == 0) {
            report.badLine = 1;
            report.badFields = raw.isEmpty() || raw.first().isEmpty() ? 0 : int(raw.first().count(';')) + 1;
        }
    }
    return lines;
}

} // namespace

void CsvReport::skip(int line) {
    ++skipped;
    if (skippedLines.size() < kSkippedShown) skippedLines.append(line);
}

CsvReport readCsv(LineTable& table, const LineNames& names, const QByteArray& bytes) {
    CsvReport report;
    std::vector<CsvLine> lines = parseCsv(bytes, names, report);
    if (report.refused) return report;

    // Lines of other applications the file holds keep their place in the file and their own content.
    struct Kept {
        int index;
        LineRecord record;
        bool placed = false;
    };
    std::vector<Kept> kept;
    for (int i = 1; i <= table.lineCount(); ++i)
        if (isProtected(table.line(i))) kept.push_back({i, table.line(i)});
    for (CsvLine& line : lines) {
        const LineRecord& r = line.record;
        if (!isProtected(r)) continue;
        for (Kept& k : kept) {
            const LineRecord& o = k.record;
            if (k.placed || o.isBlank() || o.cli != r.cli || o.ddi != r.ddi || o.code != r.code ||
                o.app != r.app)
                continue;
            k.placed = true;
            line.record = o;
            break;
        }
    }
    std::erase_if(kept, [](const Kept& k) { return k.placed; });

    // The lines the file lacks go back in, so they take room first.
    const std::size_t room = std::size_t(lineCapacity) - std::min<std::size_t>(kept.size(), lineCapacity);
    for (std::size_t n = room; n < lines.size(); ++n)
        report.skip(lines[n].number);
    if (lines.size() > room) lines.resize(room);

    table.clear();
    std::vector<LineRecord> records;
    records.reserve(lines.size() + kept.size());
    for (CsvLine& line : lines)
        records.push_back(std::move(line.record));
    // In the order of their indexes, each insert leaves the earlier ones where they were.
    for (Kept& k : kept) {
        const std::size_t at = std::size_t(k.index - 1);
        if (at > records.size()) records.resize(at);
        records.insert(records.begin() + std::ptrdiff_t(at), std::move(k.record));
    }
    for (LineRecord& r : records)
        table.append(r);
    return report;
}

QString csvRefusalText(const CsvReport& report, const QString& path, const Translation& translation,
                       int fields) {
    if (!report.refused) return {};
    const QString section = QLatin1String(kLinesSection);
    const QString why =
        translation.getLabel(section, QLatin1String(report.badFields == 1 ? "CsvChamp" : "CsvChamps"))
            .replace(QLatin1String("$LIGNE$"), QString::number(report.badLine))
            .replace(QLatin1String("$NOMBRE$"), QString::number(report.badFields))
            .replace(QLatin1String("$ATTENDUS$"), QString::number(fields));
    return lineFileError(translation, "ErrCsvVoies", path).replace(QLatin1String("$RAISON$"), why);
}

QString csvSkippedText(const CsvReport& report, const Translation& translation, int fields, int capacity) {
    if (report.skipped == 0) return {};
    QStringList numbers;
    for (int line : report.skippedLines)
        numbers << QString::number(line);
    if (report.skipped > report.skippedLines.size()) numbers << QStringLiteral("...");
    return translation.getLabel(QLatin1String(kLinesSection), QLatin1String("CsvIgnorees"))
        .replace(QLatin1String("$NOMBRE$"), QString::number(report.skipped))
        .replace(QLatin1String("$LIGNES$"), numbers.join(QLatin1String(", ")))
        .replace(QLatin1String("$ATTENDUS$"), QString::number(fields))
        .replace(QLatin1String("$MAX$"), QString::number(capacity));
}

bool importCsv(LineTable& table, const LineNames& names, const QString& path, const Translation& translation,
               QString* error, CsvReport* report) {
    QFile file(path);
    if (!file.exists()) return false;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = lineFileError(translation, "ErrFichierIllisible", path) + QLatin1Char('\n') +
                     file.errorString();
        return false;
    }
    const CsvReport found = readCsv(table, names, file.readAll());
    if (report) *report = found;
    if (found.refused && error) *error = csvRefusalText(found, path, translation);
    return !found.refused;
}
