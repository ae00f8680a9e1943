#include "lines/line_csv.h"

#include "core/translation.h"
#include "lines/line_files.h"
#include "lines/line_text.h"
#include "platform/codepage.h"

#include <QFile>
#include <utility>

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

QByteArray csvBytes(const LineTable& table, const Translation& translation) {
    QString text = csvHeader(translation) + QLatin1String("\r\n");
    const QChar sep = QLatin1Char(';');
    for (int i = 1; i <= table.lineCount(); ++i) {
        const LineRecord& r = table.ligne(i);
        if (r.isBlank()) continue;
        text += r.cli + sep + r.ddi + sep + r.code + sep + QString::number(r.planing) + sep +
                QString::number(r.VP) + sep + QString::number(r.app) + sep + r.trfOK + sep +
                QString::number(r.appKO) + sep + r.trfKO + sep + line_text::withoutSeparator(r.libelle) +
                sep + QString::number(r.trace) + QLatin1String("\r\n");
    }
    return platform::encodeAnsi(text);
}

bool exportCsv(const LineTable& table, const QString& path, const Translation& translation, QString* error) {
    if (writeFileAtomically(path, csvBytes(table, translation))) return true;
    if (error) *error = lineFileError(translation, "ErrSave", path);
    return false;
}

void readCsv(LineTable& table, const LineNames& names, const QByteArray& bytes) {
    // Lines this window may not change are kept whatever the file says.
    std::vector<std::pair<int, LineRecord>> kept;
    for (int i = 1; i <= table.lineCount(); ++i) {
        const LineRecord& r = table.ligne(i);
        if (r.app >= 1 && !isAutoAttendantApplication(r.app)) kept.emplace_back(i, r);
    }
    table.clear();
    const QList<QByteArrayView> lines = line_text::splitLines(bytes);
    for (qsizetype n = 1; n < lines.size() && table.lineCount() < lineCapacity; ++n) {
        if (lines.at(n).isEmpty()) continue;
        const QStringList f = platform::decodeAnsi(lines.at(n).toByteArray()).split(QLatin1Char(';'));
        if (f.size() != 11) continue;
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
        table.append(r);
    }
    for (const auto& [index, record] : kept) {
        if (index > table.lineCount()) table.setLineCount(index);
        table.ligne(index) = record;
    }
}

bool importCsv(LineTable& table, const LineNames& names, const QString& path, const Translation& translation,
               QString* error) {
    QFile file(path);
    if (!file.exists()) return false;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = lineFileError(translation, "ErrFichierIllisible", path);
        return false;
    }
    readCsv(table, names, file.readAll());
    return true;
}
