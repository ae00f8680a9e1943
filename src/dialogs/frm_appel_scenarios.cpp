// The call window's scenarios: the call made kept as a line of a scenario file, and a scenario file run on
// the tree, each result replaying its call when chosen.
#include "core/app_context.h"
#include "core/prompts.h"
#include "dialogs/frm_appel.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString scenarioLabel(const AppContext& ctx, const char* key) {
    return ctx.translation.getLabel(QStringLiteral("SCENARIOS"), QString::fromLatin1(key));
}

} // namespace

QWidget* FrmAppel::makeScenarioBox() {
    auto* box = new QGroupBox(scenarioLabel(m_ctx, "ScenBox"), this);
    box->setObjectName(QStringLiteral("grpScenarios"));
    txtScenario = new QLineEdit(box);
    txtScenario->setObjectName(QStringLiteral("txtScenario"));
    txtScenario->setPlaceholderText(scenarioLabel(m_ctx, "ScenName"));
    const auto makeButton = [box](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, box);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdEnregistrerScenario = makeButton("cmdEnregistrerScenario", scenarioLabel(m_ctx, "ScenSave"));
    cmdLancerScenarios = makeButton("cmdLancerScenarios", scenarioLabel(m_ctx, "ScenRun"));
    connect(cmdEnregistrerScenario, &QPushButton::clicked, this, &FrmAppel::saveScenario);
    connect(cmdLancerScenarios, &QPushButton::clicked, this, &FrmAppel::runScenarios);
    lblResultats = new QLabel(box);
    lblResultats->setObjectName(QStringLiteral("lblResultats"));
    lblResultats->setWordWrap(true);
    lstResultats = new QListWidget(box);
    lstResultats->setObjectName(QStringLiteral("lstResultats"));
    connect(lstResultats, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { replayScenario(lstResultats->row(item)); });

    auto* save = new QHBoxLayout;
    save->addWidget(txtScenario, 1);
    save->addWidget(cmdEnregistrerScenario);
    auto* run = new QHBoxLayout;
    run->addWidget(cmdLancerScenarios);
    run->addWidget(lblResultats, 1);
    auto* column = new QVBoxLayout(box);
    column->addLayout(save);
    column->addLayout(run);
    column->addWidget(lstResultats, 1);
    return box;
}

QString FrmAppel::scenarioFolder() const {
    // The file last used is offered again: the scenarios of a tree are kept together.
    return m_scenarioFile;
}

void FrmAppel::saveScenario() {
    const QString title = cmdEnregistrerScenario->text().remove(QStringLiteral("..."));
    const QString path = m_prompts.saveFileName(title, scenarioFolder(), scenarioLabel(m_ctx, "ScenFilter"));
    if (path.isEmpty()) return;
    const QDateTime moment = dtpMoment->dateTime();
    QString name = txtScenario->text().trimmed();
    if (name.isEmpty())
        name = scenarioLabel(m_ctx, "ScenDefaultName")
                   .arg(QString::number(tree()), flow::weekMoment(moment), flow::eventsText(m_events));
    const QString line = flow::scenarioLine(name, tree(), moment, m_events, flow::destinationOf(m_steps));
    if (const QString error = flow::appendScenario(path, line); !error.isEmpty()) {
        m_prompts.critical(scenarioLabel(m_ctx, "ScenWriteFailed").arg(path, error), windowTitle());
        return;
    }
    m_scenarioFile = path;
    lblResultats->setText(scenarioLabel(m_ctx, "ScenSaved").arg(QFileInfo(path).fileName(), line));
    txtScenario->clear();
}

void FrmAppel::runScenarios() {
    const QString title = cmdLancerScenarios->text().remove(QStringLiteral("..."));
    const QString path = m_prompts.openFileName(title, scenarioFolder(), scenarioLabel(m_ctx, "ScenFilter"));
    if (path.isEmpty()) return;
    m_scenarioFile = path;
    const flow::ScenarioFile file = flow::readScenarioFile(path, m_ctx.translation);
    if (!file.ok()) {
        m_prompts.critical(QFileInfo(path).fileName() + QStringLiteral(": ") + file.error, windowTitle());
        return;
    }
    m_results = flow::runScenarios(flow::CallWalker(m_config, m_ctx), file.scenarios);
    lstResultats->clear();
    for (const flow::ScenarioResult& r : m_results) {
        auto* item = new QListWidgetItem(flow::resultLine(r, m_ctx.translation), lstResultats);
        item->setToolTip(item->text());
        item->setForeground(r.passed ? QColor(0x1b, 0x6e, 0x20) : QColor(0xc0, 0x00, 0x00));
    }
    lblResultats->setText(flow::summaryLine(m_results, m_ctx.translation));
}

// The scenario's call is made again in the window, and where it ended is shown in the tree.
void FrmAppel::replayScenario(int row) {
    if (row < 0 || row >= m_results.size()) return;
    const flow::Scenario& s = m_results[row].scenario;
    {
        const QSignalBlocker quiet(dtpMoment);
        dtpMoment->setDateTime(s.moment);
    }
    startCall(s.tree);
    m_events = s.events;
    walk();
    showSteps();
    // The step where the call ended; the events it ignored after that come below.
    int end = int(m_steps.size()) - 1;
    while (end > 0 && m_steps[end].kind == flow::CallStep::Ignored)
        --end;
    {
        const QSignalBlocker quiet(lstEtapes);
        lstEtapes->setCurrentRow(end);
    }
    lstEtapes->scrollToItem(lstEtapes->item(end));
    chooseStep(end);
}
