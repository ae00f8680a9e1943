#include "editor/plan_view.h"

#include "core/app_context.h"
#include "flow/render/plan_paint.h"
#include "flow/render/plan_picture.h"
#include "model/configuration.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace plan_view {

namespace {

// The picture's sizes, with every text measured once: an edit lays the whole tree out again, and shaping
// its hundreds of unchanged texts anew would cost most of the redraw.
flow::PlanMetrics cachedMetrics() {
    flow::PlanMetrics m = flow::pictureMetrics();
    auto known = std::make_shared<std::array<QHash<QString, double>, 2>>();
    m.measure = [measure = m.measure, known](const QString& text, bool bold) {
        QHash<QString, double>& widths = (*known)[bold ? 1 : 0];
        if (const auto it = widths.constFind(text); it != widths.cend()) return *it;
        if (widths.size() > 50000) widths.clear(); // texts typed and gone since
        const double width = measure(text, bold);
        widths.insert(text, width);
        return width;
    };
    return m;
}

bool legible(const QPainter& p) {
    return flow::textLegibleAt(QStyleOptionGraphicsItem::levelOfDetailFromTransform(p.worldTransform()));
}

constexpr double MinZoom = 0.05;
constexpr double MaxZoom = 4.0;
constexpr double FitMaxZoom = 1.25;   // a small tree fitted stays at a readable size
constexpr double SelectionMargin = 4; // the selection ring outside the box

} // namespace

class BoxItem final : public QGraphicsItem {
public:
    explicit BoxItem(const flow::PlanMetrics& metrics) : m_metrics(metrics) {
        setCursor(Qt::PointingHandCursor);
        setZValue(2);
    }

    const flow::PlanBox& box() const { return m_box; }
    void setBox(const flow::PlanBox& box) {
        if (box.width != m_box.width || box.height != m_box.height) prepareGeometryChange();
        m_box = box;
        setPos(box.x, box.y);
        update();
    }
    void setSelectedBox(bool selected) {
        if (selected == m_selected) return;
        m_selected = selected;
        update();
    }

    QRectF boundingRect() const override {
        return QRectF(0, 0, m_box.width, m_box.height)
            .adjusted(-SelectionMargin - 1, -SelectionMargin - 1, SelectionMargin + 1, SelectionMargin + 1);
    }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
        if (m_selected) {
            const double radius =
                m_box.kind == flow::BoxKind::Menu || m_box.kind == flow::BoxKind::Tree ? 9 : 6;
            p->setRenderHint(QPainter::Antialiasing, true);
            p->setPen(QPen(QColor(0x1e, 0x6b, 0xb8, 150), 3));
            p->setBrush(Qt::NoBrush);
            p->drawRoundedRect(QRectF(0, 0, m_box.width, m_box.height)
                                   .adjusted(-SelectionMargin + 1, -SelectionMargin + 1, SelectionMargin - 1,
                                             SelectionMargin - 1),
                               radius, radius);
        }
        flow::paintBox(*p, m_box, m_metrics, QPointF(0, 0), legible(*p));
    }

private:
    flow::PlanBox m_box;
    const flow::PlanMetrics& m_metrics;
    bool m_selected = false;
};

// One arrow with its head and label, drawn as the exported pictures draw it: tree edges under the boxes,
// jumps over them.
class ArrowItem final : public QGraphicsItem {
public:
    void setArrow(const flow::PlanArrow& a) {
        setZValue(a.jump ? 3 : 1);
        if (a == m_arrow) return;
        prepareGeometryChange();
        m_arrow = a;
        m_bounds = flow::arrowBounds(a);
        update();
    }

    QRectF boundingRect() const override { return m_bounds; }
    const flow::PlanArrow& arrow() const { return m_arrow; }
    // The jumps of the selected box stand out.
    void setEmphasised(bool emphasised) {
        if (emphasised == m_emphasised) return;
        m_emphasised = emphasised;
        update();
    }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
        flow::paintArrow(*p, m_arrow, m_emphasised, legible(*p));
    }

private:
    flow::PlanArrow m_arrow;
    QRectF m_bounds;
    bool m_emphasised = false;
};

// The view itself: a press on a box selects its node, the background drags the plan, Ctrl+wheel zooms.
class Canvas final : public QGraphicsView {
public:
    Canvas(QGraphicsScene* scene, PlanView& owner) : QGraphicsView(scene, &owner), m_owner(owner) {
        setObjectName(QStringLiteral("picPlan"));
        setDragMode(QGraphicsView::ScrollHandDrag);
        setRenderHint(QPainter::Antialiasing, true);
        setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
        // The box in the middle stays there when the dock is resized.
        setResizeAnchor(QGraphicsView::AnchorViewCenter);
        setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
        setBackgroundBrush(QColor(0xfb, 0xfc, 0xfd));
        setFrameShape(QFrame::StyledPanel);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            for (QGraphicsItem* item : items(event->position().toPoint()))
                if (auto* box = dynamic_cast<BoxItem*>(item)) {
                    m_owner.m_autoPlaced = false;
                    m_owner.boxClicked(box->box().id);
                    event->accept();
                    return;
                }
        QGraphicsView::mousePressEvent(event);
    }

    void resizeEvent(QResizeEvent* event) override {
        QGraphicsView::resizeEvent(event);
        m_owner.placeAgain();
    }

    void wheelEvent(QWheelEvent* event) override {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            QGraphicsView::wheelEvent(event);
            return;
        }
        m_owner.m_autoPlaced = false;
        const double steps = event->angleDelta().y() / 120.0;
        m_owner.setZoom(m_owner.zoom() * std::pow(1.15, steps));
        event->accept();
    }

private:
    PlanView& m_owner;
};

} // namespace plan_view

using plan_view::ArrowItem;
using plan_view::BoxItem;

PlanView::PlanView(const Configuration& config, const AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_config(config), m_ctx(ctx), m_plan(plan_view::cachedMetrics()) {
    setObjectName(QStringLiteral("PlanView"));
    m_scene = new QGraphicsScene(this);
    // A tree shown or restored moves most items at once; an index would be rebuilt for each of them, and a
    // plan of a few hundred boxes is searched quickly enough without one.
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    m_view = new plan_view::Canvas(m_scene, *this);

    const auto label = [&ctx](const char* key) {
        return ctx.translation.getLabel(QStringLiteral("PLAN"), QString::fromLatin1(key));
    };
    m_fit = new QToolButton(this);
    m_fit->setObjectName(QStringLiteral("cmdPlanAjuster"));
    m_fit->setText(label("PlanAjuster"));
    m_fit->setToolTip(label("PlanAideZoom"));
    m_actualSize = new QToolButton(this);
    m_actualSize->setObjectName(QStringLiteral("cmdPlanTaille"));
    m_actualSize->setText(label("PlanTailleReelle"));
    m_actualSize->setToolTip(label("PlanAideZoom"));
    connect(m_fit, &QToolButton::clicked, this, &PlanView::fit);
    connect(m_actualSize, &QToolButton::clicked, this, [this] {
        m_autoPlaced = false;
        setZoom(1.0);
    });

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    buttons->addWidget(m_fit);
    buttons->addWidget(m_actualSize);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addLayout(buttons);
    column->addWidget(m_view, 1);
    // A small window keeps its room for the tree and the panels: the plan gives way first.
    m_view->setMinimumSize(1, 1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    // Edits come in bursts (a typed word, a menu added with its ten keys): one layout for the burst,
    // once typing pauses. 80 ms is below what the eye notices, and keeps a keystroke from waiting on a
    // layout of the whole tree (a few ms on the largest one).
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(80);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PlanView::refresh);
}

PlanView::~PlanView() = default;

QGraphicsView* PlanView::canvas() const {
    return m_view;
}

int PlanView::treeOfNode(const Configuration& config, const QString& key) {
    int id = config.nodes.find(key);
    if (id < 0) return 0;
    while (config.nodes.node(id).parent >= 0)
        id = config.nodes.node(id).parent;
    const QString top = config.nodes.node(id).key;
    if (!top.startsWith(QLatin1Char('A'))) return 0;
    const int tree = top.mid(1).toInt();
    return tree >= 1 && tree <= 5 ? tree : 0;
}

void PlanView::showTree(int tree) {
    m_refreshTimer.stop();
    m_stale = false;
    if (BoxItem* old = m_boxes.value(m_selected)) old->setSelectedBox(false);
    m_selected.clear();
    if (tree < 1 || tree > 5) {
        m_scene->clear();
        m_boxes.clear();
        m_arrows.clear();
        m_lastRedrawn.clear();
        m_plan = flow::FlowLayout(m_plan.metrics());
        m_scene->setSceneRect(QRectF());
        return;
    }
    // The items of the plan shown are kept where they still fit: a tree opened again, restored or fetched
    // back mostly looks as it did, and only what differs is drawn anew.
    apply(m_plan.relayout(m_config, m_ctx, tree));
    emphasiseJumps();
    m_autoPlaced = true;
    placeAgain();
}

void PlanView::planChanged() {
    if (m_plan.tree() == 0) return;
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    m_refreshTimer.start();
}

void PlanView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale) refresh();
    placeAgain();
}

void PlanView::refresh() {
    m_refreshTimer.stop();
    m_stale = false;
    if (m_plan.tree() == 0) return;
    apply(m_plan.relayout(m_config, m_ctx));
    if (!m_boxes.contains(m_selected)) m_selected.clear();
}

void PlanView::apply(const flow::PlanChange& change) {
    m_lastRedrawn.clear();
    if (change.isEmpty()) return;
    // Items of boxes gone serve the boxes that came.
    std::vector<BoxItem*> spare;
    for (const QString& id : change.removed)
        spare.push_back(m_boxes.take(id));
    bool moved = !change.removed.isEmpty();
    for (const int i : change.changed) {
        const flow::PlanBox& b = m_plan.boxes()[size_t(i)];
        m_lastRedrawn << b.id;
        BoxItem* item = m_boxes.value(b.id);
        if (item) {
            const flow::PlanBox& old = item->box();
            moved = moved || old.x != b.x || old.y != b.y || old.width != b.width || old.height != b.height;
        } else {
            moved = true;
            if (spare.empty()) {
                item = new BoxItem(m_plan.metrics());
                m_scene->addItem(item);
            } else {
                item = spare.back();
                spare.pop_back();
            }
            item->setSelectedBox(b.id == m_selected);
            m_boxes.insert(b.id, item);
        }
        item->setBox(b);
    }
    qDeleteAll(spare);
    if (moved || change.arrowsChanged) rebuildArrows();
    if (change.sizeChanged) m_scene->setSceneRect(0, 0, m_plan.width(), m_plan.height());
}

void PlanView::rebuildArrows() {
    const std::vector<flow::PlanArrow>& arrows = m_plan.arrows();
    while (m_arrows.size() > arrows.size()) {
        delete m_arrows.back();
        m_arrows.pop_back();
    }
    while (m_arrows.size() < arrows.size()) {
        m_arrows.push_back(new ArrowItem);
        m_scene->addItem(m_arrows.back());
    }
    for (size_t i = 0; i < arrows.size(); ++i)
        m_arrows[i]->setArrow(arrows[i]);
    emphasiseJumps();
}

void PlanView::emphasiseJumps() {
    const int selected = m_plan.indexOf(m_selected);
    for (ArrowItem* item : m_arrows) {
        const flow::PlanArrow& a = item->arrow();
        item->setEmphasised(a.jump && selected >= 0 && (a.from == selected || a.to == selected));
    }
}

const flow::PlanBox* PlanView::drawnBox(const QString& id) const {
    const BoxItem* item = m_boxes.value(id);
    return item ? &item->box() : nullptr;
}

void PlanView::boxClicked(const QString& id) {
    const BoxItem* item = m_boxes.value(id);
    if (!item) return;
    m_clickedBox = id;
    selectBox(id, false);
    emit nodeWanted(item->box().nodeKey);
    m_clickedBox.clear();
}

void PlanView::showNode(const QString& key) {
    // An exit box stands for its tree's node: a click on it keeps it selected rather than the tree's box.
    if (!m_clickedBox.isEmpty()) {
        if (const BoxItem* clicked = m_boxes.value(m_clickedBox); clicked && clicked->box().nodeKey == key)
            return;
    }
    const int tree = treeOfNode(m_config, key);
    if (tree == 0) return;
    if (tree != m_plan.tree())
        showTree(tree);
    else if (m_refreshTimer.isActive() || m_stale)
        refresh();
    const int box = m_plan.boxOfNode(key);
    if (box >= 0) selectBox(m_plan.boxes()[size_t(box)].id, m_clickedBox.isEmpty());
}

void PlanView::selectBox(const QString& id, bool centre) {
    if (BoxItem* old = m_boxes.value(m_selected)) old->setSelectedBox(false);
    m_selected = id;
    emphasiseJumps();
    BoxItem* item = m_boxes.value(id);
    if (!item) return;
    item->setSelectedBox(true);
    if (centre) m_view->centerOn(item->sceneBoundingRect().center());
}

void PlanView::placeAgain() {
    if (!m_autoPlaced || m_plan.tree() == 0) return;
    // A tree opens whole in the view, never enlarged past its own size.
    const QSize port = m_view->viewport()->size();
    const double fits = std::min(port.width() / std::max(m_plan.width(), 1.0),
                                 port.height() / std::max(m_plan.height(), 1.0));
    setZoom(std::min(fits * 0.98, 1.0));
    m_view->centerOn(m_plan.width() / 2, m_plan.height() / 2);
}

void PlanView::showBox(const QString& id) {
    if (m_boxes.contains(id)) selectBox(id, true);
}

double PlanView::zoom() const {
    return m_view->transform().m11();
}

void PlanView::setZoom(double factor) {
    factor = std::clamp(factor, plan_view::MinZoom, plan_view::MaxZoom);
    const double current = zoom();
    if (current <= 0 || std::abs(factor - current) < 1e-9) return;
    m_view->scale(factor / current, factor / current);
}

void PlanView::fit() {
    m_autoPlaced = false;
    const QRectF scene = m_scene->sceneRect();
    if (scene.isEmpty()) return;
    const QSize port = m_view->viewport()->size();
    const double factor = std::min(port.width() / scene.width(), port.height() / scene.height());
    m_view->setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    setZoom(std::min(factor * 0.98, plan_view::FitMaxZoom));
    m_view->centerOn(scene.center());
    m_view->setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
}
