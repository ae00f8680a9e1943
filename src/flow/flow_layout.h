#pragma once

// The call-flow picture of one tree, model side: boxes with their text lines and places, and the arrows
// between them. Renderers (pictures, the editor's plan view, text exports) only draw what is here.

#include <QHash>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct AppContext;
struct Configuration;

namespace flow {

enum class BoxKind {
    Tree,   // the tree: welcome and language-choice announcements
    Menu,   // a menu: announcement, schedule, repetitions and silences
    Action, // where a key sends the call
    Exit,   // where a tree exit sends the call
};

// The colour of a box after the last verification, as the tree view shows its node.
enum class BoxState { Normal, Warning, Error, Inactive };

struct PlanBox {
    QString id;      // unique in the plan and stable across edits: node key, or tree + ":" + exit key
    QString nodeKey; // node of the tree view the box stands for (an exit box: its tree)
    BoxKind kind = BoxKind::Action;
    BoxState state = BoxState::Normal;
    QString title;
    QStringList lines; // below the title
    int depth = 0;     // column, from the left
    int parent = -1;   // box whose arrow leads here in the tidy tree, -1 for the tree box
    double x = 0, y = 0, width = 0, height = 0;

    bool sameLook(const PlanBox& o) const {
        return title == o.title && lines == o.lines && state == o.state && x == o.x && y == o.y &&
               width == o.width && height == o.height;
    }
};

struct PlanArrow {
    int from = -1; // box indexes
    int to = -1;
    QString label;       // the key digit, or the exit's name
    bool dashed = false; // the tree's exits
    bool jump = false;   // from a key's box to a menu placed elsewhere in the plan, drawn over the boxes
    // Where it runs, from the edge of its source to the tip of its head: straight segments that cross no
    // box, a jump on lanes of its own. labelAt is the baseline start of the label.
    std::vector<QPointF> points;
    QPointF labelAt;

    bool operator==(const PlanArrow&) const = default;
};

// Sizes of the picture. measure gives the width of a text line (bold for titles); without it an
// average character width is assumed, which the renderers' fonts stay within.
struct PlanMetrics {
    double lineHeight = 15;
    double padding = 7;
    double minWidth = 90;
    double maxWidth = 320;
    double columnGap = 46; // besides the widest arrow label entering a column
    double rowGap = 10;
    double margin = 20;
    double laneGap = 5; // between the lanes of jumps beside a column
    double charWidth = 6.8;
    std::function<double(const QString& text, bool bold)> measure;

    double textWidth(const QString& text, bool bold) const {
        return measure ? measure(text, bold) : text.size() * charWidth * (bold ? 1.08 : 1.0);
    }
};

// What an update changed, so that a view redraws only that.
struct PlanChange {
    std::vector<int> changed; // indexes of boxes that are new or look different (text, colour, place)
    QStringList removed;      // ids of boxes that are gone
    bool arrowsChanged = false;
    bool sizeChanged = false;

    bool isEmpty() const { return changed.empty() && removed.isEmpty() && !arrowsChanged && !sizeChanged; }
};

class FlowLayout {
public:
    explicit FlowLayout(PlanMetrics metrics = {}) : m_metrics(std::move(metrics)) {}

    // Builds and places the plan of tree number `tree` (1 to 5). ctx gives the captions and, when the
    // server information is known, the names of announcements and stations.
    void build(const Configuration& config, const AppContext& ctx, int tree);
    // Builds the plan of `tree` again from the edited configuration and tells what differs from the
    // plan held before (boxes are matched by id, so another tree changes everything).
    PlanChange relayout(const Configuration& config, const AppContext& ctx, int tree);
    PlanChange relayout(const Configuration& config, const AppContext& ctx) {
        return relayout(config, ctx, m_tree);
    }

    int tree() const { return m_tree; }
    const std::vector<PlanBox>& boxes() const { return m_boxes; }
    const std::vector<PlanArrow>& arrows() const { return m_arrows; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    const PlanMetrics& metrics() const { return m_metrics; }
    // Index of the box with this id, -1 when none.
    int indexOf(const QString& id) const { return m_byId.value(id, -1); }
    // The box standing for a node of the tree view: its own box, else (a key opening a sub-menu, an
    // exit) the nearest box of that node. -1 when the plan does not show it.
    int boxOfNode(const QString& nodeKey) const;

private:
    void place();

    PlanMetrics m_metrics;
    int m_tree = 0;
    std::vector<PlanBox> m_boxes;
    std::vector<PlanArrow> m_arrows;
    QHash<QString, int> m_byId;
    double m_width = 0;
    double m_height = 0;
};

// Id of the box of a tree's exit: exit 0 transfer fails, 1 closed, 2 no reaction.
QString exitBoxId(int tree, int exit);

// The plans of the trees to export: the one asked for (1 to 5), or every active tree when tree is 0.
std::vector<FlowLayout> layoutTrees(const Configuration& config, const AppContext& ctx, int tree,
                                    const PlanMetrics& metrics = {});

} // namespace flow
