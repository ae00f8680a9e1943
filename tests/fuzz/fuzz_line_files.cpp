// Any bytes as each of the server's line files and as a line-table CSV file. "rcm.cfg" is read, written and
// read again: the lines written all read back with the same numbers, and a file of plain ASCII comes back
// as it was read. "rcm.txt": every station read came from one line. "planning.cfg": names of at most 32
// characters, and the bytes past the record change nothing. The CSV file is imported over a table holding
// a line of another application, which must survive; exporting the result and importing that again gives
// the same non-blank lines.
#include "core/translation.h"
#include "lines/line_csv.h"
#include "lines/line_files.h"
#include "lines/line_text.h"

#include <cstddef>
#include <cstdint>

namespace {

const LineNames& names() {
    static const LineNames names = [] {
        LineNames n;
        QByteArray plannings(PlanningTable::kSize, '\0');
        plannings.replace(256, 4, "Jour");
        plannings.replace(256 + 128, 4, "Nuit");
        n.plannings = PlanningTable::fromBytes(plannings);
        n.applications = ApplicationDirectory({{300, "Fax", "", ""}, {451, "Accueil", "", ""}});
        return n;
    }();
    return names;
}

// What the writer makes of a label: no ";", and no trailing spaces once the line is trimmed again.
QString writtenLabel(const QString& libelle) {
    QString text = line_text::withoutSeparator(libelle);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

void lineCfg(const QByteArray& bytes) {
    LineTable table;
    readLineTable(table, names(), bytes);
    if (table.lineCount() > lineCapacity) __builtin_trap();
    LineTable back;
    readLineTable(back, names(), lineTableBytes(table));

    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    int j = 0;
    for (int i = 1; i <= table.lineCount(); ++i) {
        LineRecord r = table.line(i);
        if (r.isBlank()) continue;
        if (++j > back.lineCount()) __builtin_trap();
        const LineRecord& b = back.line(j);
        if (b.app != r.app || b.appKO != r.appKO || b.planing != r.planing || b.VP != r.VP ||
            b.trace != r.trace)
            __builtin_trap();
        r.libelle = writtenLabel(r.libelle);
        if (ascii && !(b == r)) __builtin_trap();
    }
    if (j != back.lineCount()) __builtin_trap();
}

void stations(const QByteArray& bytes) {
    const QList<StationEntry> read = stationsFromBytes(bytes);
    if (read.size() > bytes.count('=')) __builtin_trap();
    for (const StationEntry& s : read)
        if (s.number.contains(QLatin1Char('=')) || s.number.contains(QLatin1Char(';'))) __builtin_trap();
}

void plannings(const QByteArray& bytes) {
    const PlanningTable plannings = PlanningTable::fromBytes(bytes);
    const PlanningTable padded = PlanningTable::fromBytes(bytes + QByteArray(PlanningTable::kSize, 'x'));
    const bool complete = bytes.size() >= PlanningTable::kSize;
    for (int k = 0; k <= PlanningTable::kCount + 1; ++k) {
        const QString name = plannings.planningName(k);
        if (name.size() > 32 || ((k == 0 || k > PlanningTable::kCount) && !name.isEmpty())) __builtin_trap();
        if (complete && padded.planningName(k) != name) __builtin_trap();
    }
}

// The first byte places the line that must survive.
void csv(const QByteArray& bytes) {
    static const Translation labels = [] {
        Translation t;
        t.setText(QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[frmVoies900]\r\nGrille_1=Calling\r\n"));
        return t;
    }();
    const int keptAt = bytes.isEmpty() ? 1 : 1 + static_cast<unsigned char>(bytes[0]) % 40;
    LineTable table;
    table.setLineCount(keptAt);
    table.line(keptAt).cli = QStringLiteral("kept");
    table.line(keptAt).app = 300;
    table.line(keptAt).appName = names().applications.applicationName(300);
    const LineRecord kept = table.line(keptAt);

    readCsv(table, names(), bytes);
    int keptCount = 0;
    for (int i = 1; i <= table.lineCount(); ++i)
        keptCount += table.line(i) == kept;
    if (table.lineCount() > lineCapacity || keptCount < 1) __builtin_trap();

    LineTable nonBlank;
    for (int i = 1; i <= table.lineCount(); ++i)
        if (!table.line(i).isBlank()) nonBlank.append(table.line(i));
    LineTable back;
    readCsv(back, names(), csvBytes(table, labels));
    if (!(back == nonBlank)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    lineCfg(bytes);
    stations(bytes);
    plannings(bytes);
    csv(bytes);
    return 0;
}
