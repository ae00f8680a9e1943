#include "lines/line_files.h"

#include "core/translation.h"
#include "lines/line_text.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>

namespace {

// The decoded lines of a server text file that carry data.
template <typename F> void forEachDataLine(const QByteArray& bytes, F&& f) {
    // A UTF-8 file may open with a byte-order mark, which would hide a first comment line.
    const QByteArrayView text = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : bytes;
    for (QByteArrayView raw : line_text::splitLines(text)) {
        const QByteArrayView line = line_text::trimSpaces(raw);
        if (line.isEmpty() || line.front() == '/' || line.front() == '[') continue;
        if (!f(line_text::decodeLine(line))) return;
    }
}

// Digits "0" to maxDigit give the digit plus one; anything else is none.
qint16 digitPlusOne(QStringView field, char maxDigit) {
    const QStringView t = field.trimmed();
    if (t.size() != 1 || t.front() < QLatin1Char('0') || t.front() > QLatin1Char(maxDigit)) return 0;
    return qint16(t.front().unicode() - u'0' + 1);
}

QString numberOrEmpty(int value) {
    return value == 0 ? QString() : QString::number(value);
}

bool readWholeFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    bytes = file.readAll();
    return true;
}

} // namespace

QList<StationEntry> stationsFromBytes(const QByteArray& bytes) {
    QList<StationEntry> stations;
    forEachDataLine(bytes, [&](const QString& line) {
        if (line.count(QLatin1Char('=')) != 1) return true;
        const QStringList f = line.mid(line.indexOf(QLatin1Char('=')) + 1).split(QLatin1Char(';'));
        if (f.size() < 4) return true;
        StationEntry s;
        s.number = f.first();
        s.name = f.mid(1, f.size() - 3).join(QLatin1Char(';'));
        s.group = line_text::numberOrZero(f.at(f.size() - 2));
        bool ok = false;
        const qint32 kind = f.last().trimmed().toInt(&ok);
        s.kind = ok ? kind : 0;
        stations.append(s);
        return true;
    });
    return stations;
}

void readLineTable(LineTable& table, const LineNames& names, const QByteArray& bytes) {
    table.clear();
    forEachDataLine(bytes, [&](const QString& line) {
        const QStringList f = line.split(QLatin1Char(';'));
        if (f.size() < 11) return true;
        LineRecord r;
        r.cli = f.at(0);
        r.ddi = f.at(1);
        r.code = f.at(2);
        r.app = line_text::numberOrZero(f.at(3));
        r.trfOK = f.at(4);
        r.appKO = line_text::numberOrZero(f.at(5));
        r.trfKO = f.at(6);
        r.planing = digitPlusOne(f.at(7), '9');
        r.VP = digitPlusOne(f.at(8), '7');
        r.trace = line_text::numberOrZero(f.at(9));
        // The label may itself hold ";": every field from the eleventh on.
        r.libelle = f.size() == 11 ? f.at(10) : f.mid(10).join(QLatin1Char(';'));
        r.appName = names.applications.applicationName(r.app);
        r.appKOName = names.applications.applicationName(r.appKO);
        r.planningName = names.plannings.planningName(r.planing);
        return table.append(r);
    });
}

QByteArray lineTableBytes(const LineTable& table) {
    QString text = QLatin1String(kLineFileHeader) + QLatin1String("\r\n");
    const QChar sep = QLatin1Char(';');
    for (int i = 1; i <= table.lineCount(); ++i) {
        const LineRecord& r = table.line(i);
        if (r.isBlank()) continue;
        text += r.cli + sep + r.ddi + sep + r.code + sep + numberOrEmpty(r.app) + sep + r.trfOK + sep +
                numberOrEmpty(r.appKO) + sep + r.trfKO + sep +
                (r.planing == 0 ? QString() : QString::number(r.planing - 1)) + sep +
                (r.VP == 0 ? QString() : QString::number(r.VP - 1)) + sep + QString::number(r.trace) + sep +
                line_text::withoutSeparator(r.libelle) + QLatin1String("\r\n");
    }
    return platform::encodeAnsi(text);
}

bool loadPlanningFile(PlanningTable& plannings, const QString& path) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes)) return false;
    plannings = PlanningTable::fromBytes(bytes);
    return true;
}

bool loadStationFile(QList<StationEntry>& stations, const QString& path) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes)) return false;
    stations = stationsFromBytes(bytes);
    return true;
}

bool loadLineFile(LineTable& table, const LineNames& names, const QString& path) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes)) return false;
    readLineTable(table, names, bytes);
    return true;
}

QString readLineFiles(const QString& folder, LineNames& names, QList<StationEntry>& stations,
                      LineTable& table) {
    table.clear();
    const QDir dir(folder);
    if (!loadPlanningFile(names.plannings, dir.filePath(QStringLiteral("planning.cfg"))))
        return QStringLiteral("planning.cfg");
    if (!loadStationFile(stations, dir.filePath(QStringLiteral("rcm.txt")))) return QStringLiteral("rcm.txt");
    if (!loadLineFile(table, names, dir.filePath(QStringLiteral("rcm.cfg"))))
        return QStringLiteral("rcm.cfg");
    return {};
}

QString lineFileError(const Translation& translation, const char* key, const QString& path) {
    return translation.getLabel(QLatin1String(key))
        .replace(QLatin1String("$FICHIER$"), QDir::toNativeSeparators(path));
}

QString writeLineFile(const QString& path, const QByteArray& bytes, const Translation& translation) {
    const QString cause = platform::writeFileAtomically(path, bytes);
    if (cause.isEmpty()) return {};
    return lineFileError(translation, "ErrSave", path) + QLatin1Char('\n') + cause;
}

bool saveLineFile(const LineTable& table, const QString& path, const Translation& translation,
                  QString* error) {
    const QString failure = writeLineFile(path, lineTableBytes(table), translation);
    if (error) *error = failure;
    return failure.isEmpty();
}
