// The main window's plan: the dock beside the panels that follows the document, and its export.
#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/plan_view.h"
#include "editor/tree_document.h"
#include "flow/render/plan_picture.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>

namespace {

constexpr int PlanDockWidth = 640;

QString planLabel(const AppContext& ctx, const char* key) {
    return ctx.translation.getLabel(QStringLiteral("PLAN"), QString::fromLatin1(key));
}

// A main window keeps its dock at the width it has and gives the rest to the tree and the panels. Here
// the tree and the panels keep the room they need and the plan takes what is left: a narrowed window
// narrows the plan first, and the window opens wide enough for both when the screen allows.
class PlanDockSizer final : public QObject {
public:
    PlanDockSizer(QMainWindow& window, QDockWidget& dock) : QObject(&window), m_window(window), m_dock(dock) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_window || m_dock.isFloating()) return false;
        if (event->type() == QEvent::Show && std::exchange(m_firstShow, false)) {
            const QScreen* screen = m_window.screen();
            const int room = screen ? screen->availableGeometry().width() : m_window.width();
            const int wanted = std::min(room, TreeAndPanelsWidth + PlanDockWidth);
            if (m_window.width() < wanted) m_window.resize(wanted, m_window.height());
            m_window.resizeDocks({&m_dock}, {std::clamp(wanted - TreeAndPanelsWidth, 1, PlanDockWidth)},
                                 Qt::Horizontal);
        } else if (event->type() == QEvent::Resize) {
            const int left = std::max(1, m_window.width() - TreeAndPanelsWidth);
            if (m_dock.width() > left) m_window.resizeDocks({&m_dock}, {left}, Qt::Horizontal);
        }
        return false;
    }

private:
    static constexpr int TreeAndPanelsWidth = 860; // the panels show every field without scrolling
    QMainWindow& m_window;
    QDockWidget& m_dock;
    bool m_firstShow = true;
};

} // namespace

void frmMain::buildPlanView() {
    m_plan = new PlanView(m_document.config(), m_ctx, this);
    dockPlan = new QDockWidget(planLabel(m_ctx, "PlanVue"), this);
    dockPlan->setObjectName(QStringLiteral("dockPlan"));
    dockPlan->setWidget(m_plan);
    dockPlan->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                          QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::RightDockWidgetArea, dockPlan);
    new PlanDockSizer(*this, *dockPlan); // owned by the window
    // A closed dock comes back from the Options menu.
    QAction* toggle = dockPlan->toggleViewAction();
    toggle->setObjectName(QStringLiteral("mnuPlan"));
    ui->mnuOptions->addSeparator();
    ui->mnuOptions->addAction(toggle);

    connect(ui->mnuExportPlan, &QAction::triggered, this, &frmMain::mnuExportPlan_Click);
    connect(m_plan, &PlanView::nodeWanted, this, &frmMain::treeV_NodeClick);
    connect(this, &frmMain::nodeClicked, m_plan, &PlanView::showNode);
    connect(&m_document, &TreeDocument::edited, m_plan, &PlanView::planChanged);
    // The colours of a check are those of its end.
    connect(&m_document, &TreeDocument::checkFinished, m_plan, &PlanView::planChanged);
    connect(&m_document, &TreeDocument::treeReplaced, m_plan, [this] {
        if (!m_document.isOpen()) {
            m_plan->showTree(0);
            return;
        }
        const int tree = PlanView::treeOfNode(m_document.config(), m_document.currentNode());
        m_plan->showTree(tree ? tree : 1);
    });
}

void frmMain::mnuExportPlan_Click() {
    if (!m_document.isOpen() || m_document.isVerifying()) return;
    const QString title = ui->mnuExportPlan->text().remove(QStringLiteral("...")).remove(QLatin1Char('&'));
    QString path = m_prompts.saveFileName(title, m_repCourant, planLabel(m_ctx, "PlanFiltres"));
    if (path.isEmpty()) return;
    // The dialog's first filter is the picture format a name without extension gets.
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".svg");
    if (flow::planFormatOf(path) == flow::PlanFormat::Unknown) {
        m_prompts.critical(planLabel(m_ctx, "PlanErrFormat"), title);
        return;
    }
    if (QFileInfo::exists(path) && m_prompts.question(label("MsgExiste"), title) != Prompts::Answer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString fileName = m_document.fileName();
    const flow::PlanWriting written =
        flow::writePlan(path, flow::layoutTrees(m_document.config(), m_ctx, 0, flow::pictureMetrics()),
                        fileName.isEmpty() ? label("Titre") : QFileInfo(fileName).fileName());
    QApplication::restoreOverrideCursor();
    QStringList names;
    for (const QString& file : written.files)
        names << QFileInfo(file).fileName();
    if (written.outcome == flow::PlanOutcome::TextTooSmall)
        m_prompts.critical(planLabel(m_ctx, "PlanErrPngPetit"), title);
    else if (written.outcome != flow::PlanOutcome::Written)
        m_prompts.critical(planLabel(m_ctx, "PlanErrExport")
                               .replace(QStringLiteral("$FICHIER$"), QFileInfo(path).fileName()),
                           title);
    else if (written.overMermaidLimit)
        m_prompts.information(planLabel(m_ctx, "PlanMermaidLong").arg(names.join(QStringLiteral(", "))),
                              title);
    else if (names.size() > 1)
        m_prompts.information(planLabel(m_ctx, "PlanParArbre").arg(names.join(QStringLiteral(", "))), title);
}
