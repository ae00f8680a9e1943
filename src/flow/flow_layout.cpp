#include "flow/flow_layout.h"

#include "core/app_context.h"
#include "flow/plan_routes.h"
#include "model/action_value.h"
#include "model/configuration.h"
#include "model/verification.h"

#include <QSet>
#include <algorithm>

namespace flow {

namespace {

// Captions of the plan, looked up once per build.
struct Texts {
    explicit Texts(const AppContext& ctx) : ctx(ctx) {}
    QString get(const char* key) const { return ctx.translation.getLabel(QStringLiteral("PLAN"), key); }

    const AppContext& ctx;
    QString tree = get("PlanArbre");
    QString welcome = get("PlanAccueil");
    QString languageChoice = get("PlanChoixLangue");
    QString languages = get("PlanLangues");
    QString repetitions = get("PlanRepetitions");
    QString announcement = get("PlanAnnonce");
    QString schedule = get("PlanHoraire");
    QString noSchedule = get("PlanSansHoraire");
    QString repSil = get("PlanRepSil");
    QString transfer = get("PlanTransfert");
    QString operatorText = get("PlanStandard");
    QString freeDialling = get("PlanNumLibre");
    QString voiceBox = get("PlanBoiteVoc");
    QString voiceBoxOf = get("PlanBoiteVocPoste");
    QString jump = get("PlanSaut");
    QString subMenu = get("PlanSousMenu");
    QString missing = get("PlanAbsent");
    QString noAction = get("PlanAucune");
    QString inactive = get("PlanInactif");
    QString unknown = get("PlanInconnue");
    QString exits[3] = {get("PlanExitTrf"), get("PlanExitFer"), get("PlanExitNac")};
};

BoxState stateOfColour(int colour) {
    switch (colour) {
    case NodeColour::Red:
        return BoxState::Error;
    case NodeColour::Orange:
        return BoxState::Warning;
    case NodeColour::Grey:
        return BoxState::Inactive;
    default:
        return BoxState::Normal;
    }
}

QString withName(const QString& number, const QString& name) {
    return name.isEmpty() ? number : number + QStringLiteral(" (") + name + QLatin1Char(')');
}

class Builder {
public:
    Builder(const Configuration& c, const AppContext& ctx, std::vector<PlanBox>& boxes,
            std::vector<PlanArrow>& arrows, QHash<QString, int>& byId)
        : c(c), ctx(ctx), t(ctx), boxes(boxes), arrows(arrows), byId(byId) {}

    void buildTree(int tree) {
        const QString key = QLatin1Char('A') + QString::number(tree);
        const int treeId = c.nodes.find(key);
        const BoxState treeState =
            treeId < 0 ? BoxState::Inactive : stateOfColour(c.nodes.node(treeId).colour);
        const QString lib = c.sections.value(key, TreeValue::lib);
        const QString title = t.tree.arg(tree) + (lib.isEmpty() ? QString() : QStringLiteral(" – ") + lib);
        if (treeState == BoxState::Inactive || tree > ctx.Nb_arbre) {
            addBox(BoxKind::Tree, key, key, title, {t.inactive}, -1, BoxState::Inactive);
            return;
        }
        collect(treeId);
        QStringList lines;
        const QString ann1 = c.sections.value(key, TreeValue::ann1);
        const QString ann2 = c.sections.value(key, TreeValue::ann2);
        if (!ann1.isEmpty()) lines << t.welcome.arg(announcementText(ann1));
        if (!ann2.isEmpty()) lines << t.languageChoice.arg(announcementText(ann2));
        QStringList names;
        for (const QString& n :
             c.sections.value(key, TreeValue::langue).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            names << ctx.getLabel(QStringLiteral("LblLangue") + n.trimmed());
        if (!names.isEmpty()) lines << t.languages.arg(names.join(QStringLiteral(", ")));
        const QString rep = c.sections.value(key, TreeValue::rep2);
        if (!rep.isEmpty()) lines << t.repetitions.arg(rep);
        const int treeBox = addBox(BoxKind::Tree, key, key, title, lines, -1, treeState);

        const QString root = c.sections.value(key, TreeValue::menu);
        const TreeNode* rootNode = c.nodes.nodeByKey(root);
        if (rootNode && rootNode->parent == treeId)
            addMenu(root, treeBox, QString());
        else if (!root.isEmpty())
            link(addBox(BoxKind::Action, key + QStringLiteral(":menu"), key, t.missing.arg(root), {}, treeBox,
                        BoxState::Error),
                 treeBox, QString(), false);

        const Section* section = c.sections.find(key);
        for (int j = 0; j < 3; ++j) {
            const int index = TreeValue::exit_trf + j;
            const QString value = c.sections.value(key, index);
            BoxState state = BoxState::Normal;
            const QString field = fieldCode(index);
            if (section && section->errorFields.contains(field))
                state = BoxState::Error;
            else if (section && section->warningFields.contains(field))
                state = BoxState::Warning;
            QStringList lines;
            const QString title = value.isEmpty() ? t.noAction : describe(value, lines);
            const int box = addBox(BoxKind::Exit, exitBoxId(tree, j), key, title, lines, treeBox, state);
            link(box, treeBox, t.exits[j], true);
            jumpFrom(box, value, t.exits[j]);
        }

        for (const Pending& p : jumps)
            if (const int to = byId.value(p.target, -1); to >= 0)
                arrows.push_back({p.from, to, p.label, false, true, {}, {}});
    }

private:
    struct Pending {
        int from;
        QString target;
        QString label;
    };

    // A key or exit that leads to a menu drawn elsewhere in this tree: its box says where, and an arrow
    // from that box reaches the menu once every box is known.
    void jumpFrom(int box, const QString& value, const QString& label) {
        const QString code = action::code(value);
        const QString target = action::param(value, 1);
        if ((code == action::Sau || code == action::Men) && inTree.contains(target))
            jumps.push_back({box, target, label});
    }

    // Node keys of the tree and of its menus: jumps to them are arrows, jumps elsewhere are boxes.
    void collect(int id) {
        const TreeNode& n = c.nodes.node(id);
        if (!n.key.startsWith(QLatin1Char('A')) && !n.key.startsWith(QLatin1Char('M'))) return;
        inTree.insert(n.key);
        for (int child : c.nodes.childrenOf(id))
            collect(child);
    }

    int addBox(BoxKind kind, const QString& id, const QString& nodeKey, const QString& title,
               const QStringList& lines, int parent, BoxState state) {
        PlanBox b;
        b.id = id;
        b.nodeKey = nodeKey;
        b.kind = kind;
        b.state = state;
        b.title = title;
        b.lines = lines;
        b.parent = parent;
        b.depth = parent < 0 ? 0 : boxes[size_t(parent)].depth + 1;
        boxes.push_back(std::move(b));
        byId.insert(id, int(boxes.size()) - 1);
        return int(boxes.size()) - 1;
    }

    void link(int to, int from, const QString& label, bool dashed) {
        arrows.push_back({from, to, label, dashed, false, {}, {}});
    }

    BoxState nodeState(const QString& key) const {
        const TreeNode* n = c.nodes.nodeByKey(key);
        return n ? stateOfColour(n->colour) : BoxState::Normal;
    }

    QString announcementText(const QString& number) const {
        bool ok = false;
        const qint32 n = number.toInt(&ok);
        QString name;
        if (ok)
            for (const Announcement& a : ctx.Announcements)
                if (a.number == n) {
                    name = a.name;
                    break;
                }
        return t.announcement.arg(withName(number, name));
    }

    QString stationText(const QString& number) const {
        for (const Station& s : ctx.Stations)
            if (s.number == number) return withName(number, s.name);
        return number;
    }

    QString sectionTitle(const QString& name) const {
        const QString lib = c.sections.value(name, MenuValue::lib);
        const QString head = name.startsWith(QLatin1Char('A')) ? t.tree.arg(name.mid(1)) : name;
        return lib.isEmpty() ? head : head + QStringLiteral(" – ") + lib;
    }

    // Where an action sends the call, in words; lines gets what follows (an announcement's repetitions).
    QString describe(const QString& value, QStringList& lines) const {
        const QString code = action::code(value);
        const QString p1 = action::param(value, 1);
        if (code == action::Trf) return t.transfer.arg(stationText(p1));
        if (code == action::Ann) {
            const QString rep = action::param(value, 2);
            const QString sil = action::param(value, 3);
            if (!rep.isEmpty() || !sil.isEmpty()) lines << t.repSil.arg(rep, sil);
            return announcementText(p1);
        }
        if (code == action::Std)
            return ctx.numStandard.isEmpty() ? t.operatorText : withName(t.operatorText, ctx.numStandard);
        if (code == action::Num) return t.freeDialling;
        if (code == action::Bvn) return t.voiceBox;
        if (code == action::Bvo) return t.voiceBoxOf.arg(stationText(p1));
        if (code == action::Sau) {
            if (c.sections.find(p1) && c.nodes.noeudExiste(p1)) return t.jump.arg(sectionTitle(p1));
            return t.jump.arg(t.missing.arg(p1));
        }
        if (code == action::Men)
            return t.subMenu.arg(c.sections.find(p1) && c.nodes.noeudExiste(p1) ? sectionTitle(p1)
                                                                                : t.missing.arg(p1));
        return t.unknown.arg(value);
    }

    void addMenu(const QString& menu, int parentBox, const QString& label) {
        placed.insert(menu);
        const int menuId = c.nodes.find(menu);
        QStringList lines;
        lines << announcementText(c.sections.value(menu, MenuValue::ann));
        const QString hor = c.sections.value(menu, MenuValue::hor);
        lines << (hor.isEmpty() ? t.noSchedule : t.schedule.arg(hor));
        lines << t.repSil.arg(c.sections.value(menu, MenuValue::rep), c.sections.value(menu, MenuValue::sil));
        const int box =
            addBox(BoxKind::Menu, menu, menu, sectionTitle(menu), lines, parentBox, nodeState(menu));
        link(box, parentBox, label, false);

        for (int d = 0; d <= 9; ++d) {
            const QString value = c.sections.value(menu, MenuValue::forDigit(d));
            if (value.isEmpty()) continue;
            const QString code = action::code(value);
            const QString digit = QString::number(d);
            const QString target = action::param(value, 1);
            if (code == action::Men) {
                const TreeNode* sub = c.nodes.nodeByKey(target);
                if (sub && sub->parent == menuId && !placed.contains(target)) {
                    addMenu(target, box, digit);
                    continue;
                }
            }
            // A menu reached from two keys is drawn once: the other key's box points at it.
            const QString key = action::keyNodeKey(menu, d);
            QStringList more;
            const QString title = describe(value, more);
            const int action = addBox(BoxKind::Action, key, c.nodes.noeudExiste(key) ? key : menu, title,
                                      more, box, nodeState(key));
            link(action, box, digit, false);
            jumpFrom(action, value, digit);
        }
    }

    const Configuration& c;
    const AppContext& ctx;
    Texts t;
    std::vector<PlanBox>& boxes;
    std::vector<PlanArrow>& arrows;
    QHash<QString, int>& byId;
    QSet<QString> inTree;
    QSet<QString> placed;
    std::vector<Pending> jumps;
};

struct Contour {
    std::vector<std::pair<double, double>> rows; // top and bottom per column, from the subtree's root
};

} // namespace

void FlowLayout::build(const Configuration& config, const AppContext& ctx, int tree) {
    m_tree = tree;
    m_boxes.clear();
    m_arrows.clear();
    m_byId.clear();
    Builder(config, ctx, m_boxes, m_arrows, m_byId).buildTree(tree);
    place();
}

PlanChange FlowLayout::relayout(const Configuration& config, const AppContext& ctx, int tree) {
    std::vector<PlanBox> oldBoxes = std::move(m_boxes);
    std::vector<PlanArrow> oldArrows = std::move(m_arrows);
    QHash<QString, int> oldIds = std::move(m_byId);
    const double oldWidth = m_width, oldHeight = m_height;
    build(config, ctx, tree);

    PlanChange change;
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const int old = oldIds.value(m_boxes[size_t(i)].id, -1);
        if (old < 0 || !m_boxes[size_t(i)].sameLook(oldBoxes[size_t(old)])) change.changed.push_back(i);
    }
    for (const PlanBox& b : oldBoxes)
        if (!m_byId.contains(b.id)) change.removed << b.id;
    // Arrows are compared by the ids of their ends: an arrow whose ends only moved is redrawn with them.
    change.arrowsChanged = oldArrows.size() != m_arrows.size();
    for (size_t i = 0; !change.arrowsChanged && i < m_arrows.size(); ++i) {
        const PlanArrow& a = m_arrows[i];
        const PlanArrow& o = oldArrows[i];
        change.arrowsChanged = a.label != o.label || a.dashed != o.dashed || a.jump != o.jump ||
                               m_boxes[size_t(a.from)].id != oldBoxes[size_t(o.from)].id ||
                               m_boxes[size_t(a.to)].id != oldBoxes[size_t(o.to)].id;
    }
    change.sizeChanged = oldWidth != m_width || oldHeight != m_height;
    return change;
}

int FlowLayout::boxOfNode(const QString& nodeKey) const {
    if (const int i = indexOf(nodeKey); i >= 0) return i;
    for (int i = 0; i < int(m_boxes.size()); ++i)
        if (m_boxes[size_t(i)].nodeKey == nodeKey) return i;
    return -1;
}

// A tidy tree, left to right: each subtree keeps the outline of its columns, the next sibling moves up
// against it as far as no box of any column overlaps, and a parent sits in the middle of its children.
void FlowLayout::place() {
    const PlanMetrics& m = m_metrics;
    const int n = int(m_boxes.size());
    const size_t count = m_boxes.size();
    int columns = 0;
    for (PlanBox& b : m_boxes) {
        double w = m.textWidth(b.title, true);
        for (const QString& line : b.lines)
            w = std::max(w, m.textWidth(line, false));
        b.width = std::clamp(std::ceil(w + 2 * m.padding), m.minWidth, m.maxWidth);
        b.height = 2 * m.padding + m.lineHeight * double(1 + b.lines.size());
        columns = std::max(columns, b.depth + 1);
    }

    std::vector<std::vector<int>> children(count);
    for (int i = 0; i < n; ++i)
        if (m_boxes[size_t(i)].parent >= 0) children[size_t(m_boxes[size_t(i)].parent)].push_back(i);

    // Children come after their parent, so a backward pass sees every subtree before its root.
    std::vector<Contour> contours(count);
    std::vector<double> localY(count, 0), offset(count, 0);
    for (int i = n - 1; i >= 0; --i) {
        const PlanBox& b = m_boxes[size_t(i)];
        Contour& out = contours[size_t(i)];
        if (children[size_t(i)].empty()) {
            out.rows = {{0.0, b.height}};
            continue;
        }
        std::vector<std::pair<double, double>> acc;
        for (int child : children[size_t(i)]) {
            const auto& rows = contours[size_t(child)].rows;
            double shift = 0;
            if (!acc.empty()) {
                shift = -1e300;
                for (size_t r = 0; r < std::min(acc.size(), rows.size()); ++r) {
                    // Boxes of one parent sit closer together than those of cousins.
                    const double gap = r == 0 ? m.rowGap : 2 * m.rowGap;
                    shift = std::max(shift, acc[r].second + gap - rows[r].first);
                }
            }
            offset[size_t(child)] = shift;
            for (size_t r = 0; r < rows.size(); ++r) {
                const std::pair<double, double> row{rows[r].first + shift, rows[r].second + shift};
                if (r < acc.size())
                    acc[r] = {std::min(acc[r].first, row.first), std::max(acc[r].second, row.second)};
                else
                    acc.push_back(row);
            }
            contours[size_t(child)].rows.clear();
            contours[size_t(child)].rows.shrink_to_fit();
        }
        const auto centre = [&](int child) {
            return offset[size_t(child)] + localY[size_t(child)] + m_boxes[size_t(child)].height / 2;
        };
        const double middle = (centre(children[size_t(i)].front()) + centre(children[size_t(i)].back())) / 2;
        localY[size_t(i)] = middle - b.height / 2;
        out.rows.reserve(acc.size() + 1);
        out.rows.push_back({localY[size_t(i)], localY[size_t(i)] + b.height});
        out.rows.insert(out.rows.end(), acc.begin(), acc.end());
    }

    // Columns: as wide as their widest box, apart by the widest label of the arrows entering them and
    // by the lanes of the jumps that leave or reach a column.
    std::vector<double> columnWidth(size_t(columns), 0), gapBefore(size_t(columns), m.columnGap);
    // A lane beside a column per menu that jumps from there or to there lead to: the jumps to one menu
    // run together, as they all end there.
    std::vector<std::vector<int>> lanes(size_t(columns), std::vector<int>{});
    for (const PlanBox& b : m_boxes)
        columnWidth[size_t(b.depth)] = std::max(columnWidth[size_t(b.depth)], b.width);
    for (const PlanArrow& a : m_arrows) {
        const size_t d = size_t(m_boxes[size_t(a.to)].depth);
        if (!a.jump) {
            gapBefore[d] = std::max(gapBefore[d], m.columnGap + m.textWidth(a.label, false));
            continue;
        }
        for (const size_t column : {size_t(m_boxes[size_t(a.from)].depth), d})
            if (std::find(lanes[column].begin(), lanes[column].end(), a.to) == lanes[column].end())
                lanes[column].push_back(a.to);
    }
    std::vector<double> columnX(size_t(columns), m.margin), columnRight(size_t(columns), 0);
    for (int d = 1; d < columns; ++d)
        columnX[size_t(d)] = columnX[size_t(d - 1)] + columnWidth[size_t(d - 1)] + gapBefore[size_t(d)] +
                             laneRoom(m, lanes[size_t(d - 1)]);
    for (int d = 0; d < columns; ++d)
        columnRight[size_t(d)] = columnX[size_t(d)] + columnWidth[size_t(d)];

    std::vector<double> origin(count, 0);
    double top = 1e300, bottom = -1e300;
    for (int i = 0; i < n; ++i) {
        PlanBox& b = m_boxes[size_t(i)];
        if (b.parent >= 0) origin[size_t(i)] = origin[size_t(b.parent)] + offset[size_t(i)];
        b.y = origin[size_t(i)] + localY[size_t(i)];
        b.x = columnX[size_t(b.depth)];
        top = std::min(top, b.y);
        bottom = std::max(bottom, b.y + b.height);
    }
    for (PlanBox& b : m_boxes)
        b.y = std::round(b.y - top + m.margin);
    m_height = n ? std::ceil(bottom - top + 2 * m.margin) : 0;
    m_width = n ? std::ceil(columnRight.back() + laneRoom(m, lanes.back()) + m.margin) : 0;
    if (n) m_height += routeArrows(m_boxes, m_arrows, m, columnRight, lanes);
}

QString exitBoxId(int tree, int exit) {
    return QLatin1Char('A') + QString::number(tree) + QLatin1Char(':') +
           treeKeyNames()[TreeValue::exit_trf + exit - 1];
}

std::vector<FlowLayout> layoutTrees(const Configuration& config, const AppContext& ctx, int tree,
                                    const PlanMetrics& metrics) {
    std::vector<FlowLayout> out;
    for (int t = 1; t <= 5; ++t) {
        if (tree ? t != tree : t > ctx.Nb_arbre) continue;
        out.emplace_back(metrics);
        out.back().build(config, ctx, t);
    }
    return out;
}

} // namespace flow
