// A node click and a typed character on the largest configuration: five trees of 111 menus each.
#include "editor/node_panels.h"
#include "editor/panel_host.h"
#include "model/example_tree.h"

#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {

// The journal and the title are not what is measured.
class QuietHost : public PanelHost {
public:
    void setBoolSave(bool) override {}
    void addCancel(const QString&, bool) override {}
    void selectNode(const QString&) override {}
    void openAnnouncementPicker(const QString&, QLineEdit*) override {}
    void openStationPicker(const QString&, const QString&, QLineEdit*) override {}
};

struct Largest {
    AppContext ctx;
    Configuration config;
    QuietHost host;
    std::unique_ptr<NodePanels> panels;
    Largest() {
        example::setUpContext(ctx, 5);
        example::maximalTrees(config, ctx);
        panels = std::make_unique<NodePanels>(config, ctx, host);
        panels->resize(520, 700);
        panels->show();
    }
};

void BM_NodeClickFillsPanel(benchmark::State& state) {
    Largest l;
    // A key, a menu and a tree node of the last tree, in turn.
    const QStringList keys = {"E-M555-1", "M555", "A5", "E-M555-2"};
    int i = 0;
    for (auto _ : state)
        l.panels->treeV_NodeClick(keys[i++ % keys.size()]);
    state.counters["nodes"] = l.config.nodes.count();
}
BENCHMARK(BM_NodeClickFillsPanel)->Unit(benchmark::kMicrosecond);

void BM_TypedCharacterInDetailField(benchmark::State& state) {
    Largest l;
    l.panels->treeV_NodeClick("E-M555-0"); // trf;201
    QLineEdit* detail = l.panels->findChild<QLineEdit*>(QStringLiteral("txtDetail_0"));
    QString text = detail->text();
    for (auto _ : state) {
        text += QLatin1Char('1');
        if (text.size() > 12) text.truncate(3);
        detail->setText(text);
    }
}
BENCHMARK(BM_TypedCharacterInDetailField)->Unit(benchmark::kMicrosecond);

} // namespace
