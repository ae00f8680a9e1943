// Any bytes as a line-table CSV file: imported over a table holding a line of another application, which
// must survive; exporting the result and importing that again gives the same non-blank lines.
#include "core/translation.h"
#include "lines/line_csv.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Setup {
    Translation labels;
    LineNames names;
    Setup() {
        labels.setText(QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[frmVoies900]\r\nGrille_1=Calling\r\n"));
        QByteArray plannings(PlanningTable::kSize, '\0');
        plannings.replace(256 + 128, 4, "Nuit");
        names.plannings = PlanningTable::fromBytes(plannings);
        names.applications = ApplicationDirectory({{300, "Fax", "", ""}, {451, "Accueil", "", ""}});
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Setup setup;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The first byte places the line that must survive.
    const int keptAt = size > 0 ? 1 + data[0] % 40 : 1;
    LineTable table;
    table.setLineCount(keptAt);
    table.line(keptAt).cli = QStringLiteral("kept");
    table.line(keptAt).app = 300;
    table.line(keptAt).appName = setup.names.applications.applicationName(300);
    const LineRecord kept = table.line(keptAt);

    readCsv(table, setup.names, bytes);
    int keptCount = 0;
    for (int i = 1; i <= table.lineCount(); ++i)
        keptCount += table.line(i) == kept;
    if (table.lineCount() > lineCapacity || keptCount < 1) __builtin_trap();

    LineTable nonBlank;
    for (int i = 1; i <= table.lineCount(); ++i)
        if (!table.line(i).isBlank()) nonBlank.append(table.line(i));
    LineTable back;
    readCsv(back, setup.names, csvBytes(table, setup.labels));
    if (!(back == nonBlank)) __builtin_trap();
    return 0;
}
