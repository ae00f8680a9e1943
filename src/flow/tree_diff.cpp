#include "flow/tree_diff.h"

#include "core/app_context.h"
#include "model/action_value.h"
#include "model/configuration.h"

#include <QHash>
#include <QSet>

namespace flow {

namespace {

// Where each menu of a configuration sits: "A1" for a tree's root menu, then "/" and the key digit for
// each level below ("A1/2/3"); the menus under each menu's keys; every menu in reading order.
struct MenuPaths {
    QHash<QString, QString> rootOf; // tree -> its root menu
    QHash<QString, QString> pathOf; // menu name -> path
    QHash<QString, std::array<QString, 10>> childrenOf;
    QStringList order;

    explicit MenuPaths(const Configuration& c) {
        pathOf.reserve(c.sections.size());
        childrenOf.reserve(c.sections.size());
        for (int top : c.nodes.topLevel())
            for (int child : c.nodes.childrenOf(top)) {
                const TreeNode& n = c.nodes.node(child);
                if (!n.key.startsWith(QLatin1Char('M'))) continue;
                rootOf.insert(c.nodes.node(top).key, n.key);
                collect(c, child, c.nodes.node(top).key);
            }
    }

    void collect(const Configuration& c, int id, const QString& path) {
        const TreeNode& n = c.nodes.node(id);
        pathOf.insert(n.key, path);
        order << n.key;
        std::array<QString, 10> children;
        std::array<int, 10> ids{};
        for (int child : n.children) {
            const QString& key = c.nodes.node(child).key;
            const Section* s = key.startsWith(QLatin1Char('M')) ? c.sections.find(key) : nullptr;
            if (!s || s->parentDigit < 0 || s->parentDigit > 9) continue;
            children[size_t(s->parentDigit)] = key;
            ids[size_t(s->parentDigit)] = child;
        }
        childrenOf.insert(n.key, children);
        // Only after the insert: the recursion grows the table.
        for (size_t d = 0; d < children.size(); ++d)
            if (!children[d].isEmpty()) collect(c, ids[d], path + QLatin1Char('/') + QString::number(d));
    }
};

// Which menu of the new configuration is which menu of the old one. A menu keeps its identity through a
// new number, a new place or a new name, but not all three: the roots of a tree first, then the same
// number and name, the same name alone (when no other menu has it), the same place, the same number.
class MenuPairing {
public:
    MenuPairing(const Configuration& before, const Configuration& after, const MenuPaths& oldPaths,
                const MenuPaths& newPaths) {
        for (int t = 1; t <= 5; ++t) {
            const QString tree = QLatin1Char('A') + QString::number(t);
            pair(oldPaths.rootOf.value(tree), newPaths.rootOf.value(tree));
        }
        const auto lib = [](const Configuration& c, const QString& m) {
            return c.sections.value(m, MenuValue::lib);
        };
        for (const QString& m : oldPaths.order)
            if (newPaths.pathOf.contains(m) && lib(before, m) == lib(after, m)) pair(m, m);
        QHash<QString, QStringList> oldByName, newByName;
        for (const QString& m : oldPaths.order)
            if (!m_newOf.contains(m)) oldByName[lib(before, m)] << m;
        for (const QString& m : newPaths.order)
            if (!m_oldOf.contains(m)) newByName[lib(after, m)] << m;
        for (auto it = oldByName.cbegin(); it != oldByName.cend(); ++it)
            if (!it.key().isEmpty() && it->size() == 1 && newByName.value(it.key()).size() == 1)
                pair(it->first(), newByName.value(it.key()).first());
        QHash<QString, QString> newAt;
        for (auto it = newPaths.pathOf.cbegin(); it != newPaths.pathOf.cend(); ++it)
            newAt.insert(*it, it.key());
        for (const QString& m : oldPaths.order)
            pair(m, newAt.value(oldPaths.pathOf.value(m)));
        for (const QString& m : oldPaths.order)
            if (newPaths.pathOf.contains(m)) pair(m, m);
    }

    QString newOf(const QString& oldMenu) const { return m_newOf.value(oldMenu); }
    QString oldOf(const QString& newMenu) const { return m_oldOf.value(newMenu); }

private:
    // Pairs two menus that neither has a partner yet.
    void pair(const QString& a, const QString& b) {
        if (a.isEmpty() || b.isEmpty() || m_newOf.contains(a) || m_oldOf.contains(b)) return;
        m_newOf.insert(a, b);
        m_oldOf.insert(b, a);
    }

    QHash<QString, QString> m_newOf, m_oldOf;
};

// What a caller meets under a schedule number: its seven days' opening hours, "-" for no schedule.
QString scheduleMeaning(const Configuration& c, const QString& hor) {
    if (hor.isEmpty()) return QStringLiteral("-");
    bool ok = false;
    const int number = hor.toInt(&ok);
    if (!ok || number < 1 || number > int(c.schedules.size())) return QLatin1Char('?') + hor;
    QStringList days;
    for (const ScheduleDay& d : c.schedules[size_t(number - 1)].days)
        days << openRanges(d.value);
    return days.join(QLatin1Char('|'));
}

class Comparison {
public:
    Comparison(const Configuration& before, const Configuration& after, const FlowTexts& texts)
        : m_old(before), m_new(after), m_oldPaths(before), m_newPaths(after),
          m_pairs(before, after, m_oldPaths, m_newPaths), m_texts(texts) {}

    Changes run() {
        for (size_t i = 0; i < m_new.general.size(); ++i)
            compareValue(m_texts.generalParam.arg(m_new.general[i].name),
                         QStringLiteral("general/") + m_new.general[i].name, m_old.general[i].value,
                         m_new.general[i].value);
        compareSchedules();
        for (int t = 1; t <= 5; ++t)
            compareTree(QLatin1Char('A') + QString::number(t));
        return std::move(m_changes);
    }

private:
    void add(const QString& line, const QString& path, const QString& before, const QString& after) {
        m_changes.lines << line;
        m_changes.items.append({path, before, after});
    }
    void changed(const QString& where, const QString& path, const QString& before, const QString& after) {
        add(m_texts.change.arg(where, before, after), path, before, after);
    }
    QString shown(const QString& v) const { return v.isEmpty() ? m_texts.none : v; }
    void compareValue(const QString& where, const QString& path, const QString& before,
                      const QString& after) {
        if (before != after) changed(where, path, shown(before), shown(after));
    }
    static QString field(const QString& where, const QString& name) {
        return where + QStringLiteral(", ") + name;
    }

    // A schedule's days are told once, where the same schedule number serves a menu on both sides; a
    // menu that now uses another number with other hours says so itself, and a schedule no menu uses
    // changes nothing a caller meets.
    void compareSchedules() {
        QSet<int> used;
        for (const QString& menu : m_newPaths.order) {
            const QString old = m_pairs.oldOf(menu), hor = m_new.sections.value(menu, MenuValue::hor);
            if (!old.isEmpty() && m_old.sections.value(old, MenuValue::hor) == hor) used << hor.toInt();
        }
        for (size_t s = 0; s < m_new.schedules.size(); ++s) {
            if (!used.contains(int(s) + 1)) continue;
            for (size_t d = 0; d < m_new.schedules[s].days.size(); ++d) {
                const QString a = openRanges(m_old.schedules[s].days[d].value);
                const QString b = openRanges(m_new.schedules[s].days[d].value);
                if (a != b)
                    changed(
                        m_texts.scheduleDay.arg(QString::number(s + 1), m_new.schedules[s].days[d].caption),
                        QLatin1Char('H') + QString::number(s + 1) + QLatin1Char('/') +
                            m_new.schedules[s].days[d].code,
                        a.isEmpty() ? m_texts.dayClosed : a, b.isEmpty() ? m_texts.dayClosed : b);
            }
        }
    }

    // Two actions do the same when their values are the same, a jump or sub-menu leading to the same
    // menu, whatever its number now.
    bool sameAction(const action::Value& a, const action::Value& b) const {
        if (a.code != b.code) return false;
        if (a.code != action::Men && a.code != action::Sau) return a == b;
        const QString from = a.param(1), to = b.param(1);
        if (m_oldPaths.pathOf.contains(from)) {
            const QString now = m_pairs.newOf(from);
            return !now.isEmpty() && now == to;
        }
        return from == to && !m_newPaths.pathOf.contains(to);
    }
    QString describe(const QString& v, const Configuration& c, const MenuPaths& paths) const {
        const QString target = action::param(v, 1);
        const QString code = action::code(v);
        if (code != action::Men && code != action::Sau) return describeAction(v, m_texts, nullptr, QString());
        if (target.startsWith(QLatin1Char('A')) && c.nodes.noeudExiste(target))
            return describeAction(v, m_texts, nullptr, c.sections.value(target, TreeValue::lib));
        if (!paths.pathOf.contains(target))
            return m_texts.missing.arg(describeAction(v, m_texts, nullptr, QString()));
        return describeAction(v, m_texts, nullptr, c.sections.value(target, MenuValue::lib));
    }
    // Most actions are written the same on both sides; only a jump or a sub-menu then needs a closer look.
    static bool sameText(const QString& before, const QString& after) {
        if (before != after) return false;
        const QChar first = before.isEmpty() ? QChar() : before.front();
        return (first != u'm' && first != u's') ||
               (!before.startsWith(action::Men) && !before.startsWith(action::Sau));
    }
    void compareAction(const QString& where, const QString& path, const QString& before,
                       const QString& after) {
        if (sameText(before, after) || sameAction(action::Value::parse(before), action::Value::parse(after)))
            return;
        QString a = describe(before, m_old, m_oldPaths), b = describe(after, m_new, m_newPaths);
        // Two menus with the same number and name: where they sit tells them apart.
        if (a == b) {
            a = m_texts.named.arg(a, m_oldPaths.pathOf.value(action::param(before, 1)));
            b = m_texts.named.arg(b, m_newPaths.pathOf.value(action::param(after, 1)));
        }
        if (a != b) changed(where, path, a, b);
    }
    QString title(const Configuration& c, const QString& menu) const {
        return quoted(menu, c.sections.value(menu, MenuValue::lib));
    }

    void compareTree(const QString& tree) {
        const QString where = m_texts.treeName.arg(tree.mid(1));
        const struct {
            int index;
            const QString& name;
            const char* key;
        } fields[] = {{TreeValue::lib, m_texts.fieldName, "lib"},
                      {TreeValue::ann1, m_texts.welcomeField, "ann1"},
                      {TreeValue::ann2, m_texts.languageField, "ann2"},
                      {TreeValue::rep2, m_texts.repetitionsField, "rep2"},
                      {TreeValue::langue, m_texts.languagesField, "langue"}};
        const auto path = [&tree](const char* key) { return tree + QLatin1Char('/') + QLatin1String(key); };
        for (const auto& f : fields)
            compareValue(field(where, f.name), path(f.key), m_old.sections.value(tree, f.index),
                         m_new.sections.value(tree, f.index));
        const char* const exits[] = {"exit_trf", "exit_fer", "exit_nac"};
        for (int e = TreeValue::exit_trf; e <= TreeValue::exit_nac; ++e)
            compareAction(field(where, m_texts.exitNames[size_t(e - TreeValue::exit_trf)]),
                          path(exits[e - TreeValue::exit_trf]), m_old.sections.value(tree, e),
                          m_new.sections.value(tree, e));
        const QString before = m_oldPaths.rootOf.value(tree), after = m_newPaths.rootOf.value(tree);
        if (!before.isEmpty() && !after.isEmpty())
            compareMenu(after, where + QStringLiteral(" > ") + m_new.sections.value(after, MenuValue::lib));
        else if (!before.isEmpty())
            add(where + QStringLiteral(": ") + m_texts.rootRemoved.arg(title(m_old, before)), tree,
                title(m_old, before), QString());
        else if (!after.isEmpty())
            add(where + QStringLiteral(": ") + m_texts.rootAdded.arg(title(m_new, after)), tree, QString(),
                title(m_new, after));
    }

    // Compares a menu of the new configuration with the menu it was, then the menus under its keys.
    void compareMenu(const QString& menu, const QString& where) {
        const Section* oldSection = m_old.sections.find(m_pairs.oldOf(menu));
        const Section* newSection = m_new.sections.find(menu);
        if (!oldSection || !newSection) return;
        const auto path = [&menu](const char* key) { return menu + QLatin1Char('/') + QLatin1String(key); };
        compareValue(field(where, m_texts.fieldName), path("lib"), oldSection->value(MenuValue::lib),
                     newSection->value(MenuValue::lib));
        const QString oldHor = oldSection->value(MenuValue::hor), newHor = newSection->value(MenuValue::hor);
        if (oldHor != newHor && scheduleMeaning(m_old, oldHor) != scheduleMeaning(m_new, newHor)) {
            const auto schedule = [this](const QString& hor) {
                return hor.isEmpty() ? m_texts.none : QLatin1Char('H') + hor;
            };
            changed(field(where, m_texts.scheduleField), path("hor"), schedule(oldHor), schedule(newHor));
        }
        const struct {
            int index;
            const QString& name;
            const char* key;
        } fields[] = {{MenuValue::ann, m_texts.announcementField, "ann"},
                      {MenuValue::rep, m_texts.repetitionsField, "rep"},
                      {MenuValue::sil, m_texts.silencesField, "sil"}};
        for (const auto& f : fields)
            compareValue(field(where, f.name), path(f.key), oldSection->value(f.index),
                         newSection->value(f.index));
        for (int d = 0; d <= 9; ++d)
            compareKey(where, menu + QLatin1Char('/') + QString::number(d), d,
                       oldSection->value(MenuValue::forDigit(d)), newSection->value(MenuValue::forDigit(d)));
        const auto children = m_newPaths.childrenOf.constFind(menu);
        if (children == m_newPaths.childrenOf.cend()) return;
        for (const QString& child : *children)
            if (!child.isEmpty() && !m_pairs.oldOf(child).isEmpty())
                compareMenu(child,
                            where + QStringLiteral(" > ") + m_new.sections.value(child, MenuValue::lib));
    }

    void compareKey(const QString& where, const QString& path, int d, const QString& before,
                    const QString& after) {
        if (sameText(before, after)) return;
        const action::Value a = action::Value::parse(before), b = action::Value::parse(after);
        const bool oldMenu = a.code == action::Men && m_oldPaths.pathOf.contains(a.param(1));
        const bool newMenu = b.code == action::Men && m_newPaths.pathOf.contains(b.param(1));
        // A menu that appears or goes with its key is one line; a menu that moves is told by its keys.
        if (a.code.isEmpty() && newMenu && m_pairs.oldOf(b.param(1)).isEmpty())
            add(where + QStringLiteral(": ") +
                    m_texts.menuAdded.arg(title(m_new, b.param(1)), QString::number(d)),
                path, QString(), title(m_new, b.param(1)));
        else if (b.code.isEmpty() && oldMenu && m_pairs.newOf(a.param(1)).isEmpty())
            add(where + QStringLiteral(": ") +
                    m_texts.menuRemoved.arg(title(m_old, a.param(1)), QString::number(d)),
                path, title(m_old, a.param(1)), QString());
        else
            compareAction(where + QStringLiteral(" > ") + m_texts.keyName.arg(d), path, before, after);
    }

    const Configuration& m_old;
    const Configuration& m_new;
    const MenuPaths m_oldPaths, m_newPaths;
    const MenuPairing m_pairs;
    const FlowTexts& m_texts;
    Changes m_changes;
};

} // namespace

Changes compareConfigurations(const Configuration& before, const Configuration& after,
                              const FlowTexts& texts) {
    return Comparison(before, after, texts).run();
}

Changes compareConfigurations(const Configuration& before, const Configuration& after,
                              const AppContext& ctx) {
    return compareConfigurations(before, after, FlowTexts(ctx.translation));
}

} // namespace flow
