#pragma once

#include "flow/flow_layout.h"

#include <QHash>
#include <QTimer>
#include <QWidget>
#include <vector>

class QGraphicsScene;
class QGraphicsView;
class QToolButton;
struct AppContext;
struct Configuration;

namespace plan_view {
class BoxItem;
class ArrowItem;
class Canvas;
} // namespace plan_view

// The call-flow plan of the tree being edited, drawn with QGraphicsView: one item per box and per
// arrow, so that an edit repaints only the boxes it changed. Clicking a box asks for its node;
// showing a node selects its box and brings it to the middle of the view.
class PlanView final : public QWidget {
    Q_OBJECT
public:
    PlanView(const Configuration& config, const AppContext& ctx, QWidget* parent = nullptr);
    ~PlanView() override;

    // Draws tree 1 to 5 afresh; 0 empties the view (no tree open).
    void showTree(int tree);
    // The configuration changed: the plan follows once the current event is handled, however many
    // changes it brings.
    void planChanged();
    // Lays the plan out again now and repaints what changed.
    void refresh();
    // Shows the tree holding the node and selects the node's box, centred unless it came from a click
    // in the plan.
    void showNode(const QString& key);
    // Selects a box of the tree shown and brings it to the middle of the view (an exit the call takes).
    void showBox(const QString& id);
    // Zoom factor, 1 for the picture's own size.
    double zoom() const;
    void setZoom(double factor);
    // The whole plan in the view (never enlarged past readable size).
    void fit();

    int tree() const { return m_plan.tree(); }
    const flow::FlowLayout& plan() const { return m_plan; }
    QGraphicsView* canvas() const;
    // The box as it is drawn now, nullptr when not drawn.
    const flow::PlanBox* drawnBox(const QString& id) const;
    QString selectedBox() const { return m_selected; }
    // Ids of the boxes the last refresh repainted.
    const QStringList& lastRedrawn() const { return m_lastRedrawn; }

    // The tree (1 to 5) holding a node of the tree view, 0 when none.
    static int treeOfNode(const Configuration& config, const QString& key);

signals:
    // A box was clicked: the node it stands for.
    void nodeWanted(const QString& nodeKey);

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class plan_view::Canvas;
    void boxClicked(const QString& id);
    // Brings the items in line with the plan just laid out.
    void apply(const flow::PlanChange& change);
    void rebuildArrows();
    void emphasiseJumps();
    void selectBox(const QString& id, bool centre);
    // The whole tree in the view, for a tree just shown and again while the user has not moved it.
    void placeAgain();

    const Configuration& m_config;
    const AppContext& m_ctx;
    flow::FlowLayout m_plan;
    QGraphicsScene* m_scene = nullptr;   // a child of this widget
    plan_view::Canvas* m_view = nullptr; // a child of this widget
    QToolButton* m_fit = nullptr;
    QToolButton* m_actualSize = nullptr;
    QHash<QString, plan_view::BoxItem*> m_boxes; // owned by the scene
    std::vector<plan_view::ArrowItem*> m_arrows; // owned by the scene
    QTimer m_refreshTimer;
    QString m_selected;        // id of the selected box
    QString m_clickedBox;      // the box clicked last, while its node is being shown
    bool m_stale = false;      // changes came while hidden
    bool m_autoPlaced = false; // zoom and scroll are still those a tree opens with
    QStringList m_lastRedrawn;
};
