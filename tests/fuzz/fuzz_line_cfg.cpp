// Any bytes as the server's "rcm.cfg": read, written and read again without a crash. The lines written
// must all read back with the same numbers, and a file of plain ASCII must come back as it was read.
#include "lines/line_files.h"
#include "lines/line_text.h"

#include <cstddef>
#include <cstdint>

namespace {

LineNames makeNames() {
    LineNames names;
    QByteArray plannings(PlanningTable::kSize, '\0');
    plannings.replace(256, 4, "Jour");
    names.plannings = PlanningTable::fromBytes(plannings);
    names.applications = ApplicationDirectory({{300, "Fax", "", ""}, {451, "Accueil", "", ""}});
    return names;
}

// What the writer makes of a label: no ";", and no trailing spaces once the line is trimmed again.
QString writtenLabel(const QString& libelle) {
    QString text = line_text::withoutSeparator(libelle);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const LineNames names = makeNames();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    LineTable table;
    readLineTable(table, names, bytes);
    if (table.lineCount() > lineCapacity) __builtin_trap();
    LineTable back;
    readLineTable(back, names, lineTableBytes(table));

    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    int j = 0;
    for (int i = 1; i <= table.lineCount(); ++i) {
        LineRecord r = table.ligne(i);
        if (r.isBlank()) continue;
        if (++j > back.lineCount()) __builtin_trap();
        const LineRecord& b = back.ligne(j);
        if (b.app != r.app || b.appKO != r.appKO || b.planing != r.planing || b.VP != r.VP ||
            b.trace != r.trace)
            __builtin_trap();
        r.libelle = writtenLabel(r.libelle);
        if (ascii && !(b == r)) __builtin_trap();
    }
    if (j != back.lineCount()) __builtin_trap();
    return 0;
}
