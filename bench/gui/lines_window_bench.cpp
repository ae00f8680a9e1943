// The line window's grid filled with a full table of 5000 lines, timed until it is painted again.
#include "core/app_context.h"
#include "core/prompts.h"
#include "lines/line_files.h"
#include "lines_gui/frm_voies900.h"
#include "platform/pacing.h"
#include "server/passerelle.h"
#include "server/recording_gateway.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QByteArray fullTable() {
    QByteArray bytes = QByteArray(kLineFileHeader) + "\r\n";
    for (int i = 1; i <= lineCapacity; ++i) {
        // Every fifth line belongs to another application and is greyed.
        const QByteArray app = i % 5 == 0 ? "300" : "451";
        bytes += QByteArray::number(100000 + i) + ";" + QByteArray::number(200000 + i) + ";" +
                 QByteArray::number(i % 100) + ";" + app + ";;452;;" + QByteArray::number(i % 10) + ";" +
                 QByteArray::number(i % 8) + ";" + QByteArray::number(i % 4) + ";Line " +
                 QByteArray::number(i) + "\r\n";
    }
    return bytes;
}

struct FullWindow {
    QTemporaryDir dir;
    AppContext ctx;
    ScriptedPrompts prompts;
    platform::NoPacing noPacing;
    platform::EventLoopPacing eventPacing;
    std::unique_ptr<FrmVoies900> window;

    // realPacing: pending events run once per line while filling, as in the editor.
    explicit FullWindow(bool realPacing) {
        ctx.modeLocal = false;
        ctx.repTMP = dir.path() + QStringLiteral("/");
        // The translation files are copied beside the executables.
        ctx.translation.loadFile(QCoreApplication::applicationDirPath() + QStringLiteral("/qavo_lg01.txt"));
        auto gateway = std::make_unique<RecordingGateway>();
        const QByteArray lines = fullTable();
        gateway->onGet = [lines](const QString& remote, const QString& local) {
            QFile file(local);
            if (!file.open(QIODevice::WriteOnly)) return;
            if (remote == QLatin1String("rcm.cfg")) file.write(lines);
            if (remote == QLatin1String("planning.cfg")) file.write(QByteArray(1536, '\0'));
        };
        passerelleOf(ctx).setGateway(std::move(gateway));
        window = std::make_unique<FrmVoies900>(
            ctx, prompts, realPacing ? static_cast<platform::Pacing&>(eventPacing) : noPacing);
        window->resize(1080, 640);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        (void)QTest::qWaitFor(
            [this] { return window->findChild<QTableView*>("Grille")->model()->rowCount() > 0; });
    }
};

void BM_LineGridFilledUntilPainted(benchmark::State& state) {
    FullWindow w(state.range(0) != 0);
    if (w.window->table().lineCount() != lineCapacity) {
        state.SkipWithError("the table did not load");
        return;
    }
    for (auto _ : state) {
        w.window->fillGrid();
        QApplication::processEvents();
        w.window->repaint();
    }
}
// 0: no pause (the target: under 100 ms); 1: events processed once per line, as the editor does.
BENCHMARK(BM_LineGridFilledUntilPainted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
