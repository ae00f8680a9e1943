#include "flow/tree_diff.h"

#include "core/app_context.h"
#include "model/action_value.h"
#include "model/configuration.h"
#include "model/tree_file.h"

#include <QHash>

namespace flow {

namespace {

// Where each menu of a configuration sits: "A1" for a tree's root menu, then "/" and the key digit for
// each level below ("A1/2/3"), and which menu each key of a menu opens.
struct MenuPaths {
    QHash<QString, QString> rootOf; // tree -> its root menu
    QHash<QString, QString> pathOf; // menu name -> path
    QHash<QString, std::array<QString, 10>> childrenOf;

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

    QString child(const QString& menu, int digit) const {
        const auto it = childrenOf.constFind(menu);
        return it == childrenOf.cend() ? QString() : (*it)[size_t(digit)];
    }
};

class Comparison {
public:
    Comparison(const Configuration& before, const Configuration& after, const FlowTexts& texts)
        : m_old(before), m_new(after), m_oldPaths(before), m_newPaths(after), m_texts(texts) {}

    Changes run() {
        for (size_t i = 0; i < m_new.general.size(); ++i)
            compareValue(m_texts.generalParam.arg(m_new.general[i].name), m_old.general[i].value,
                         m_new.general[i].value);
        for (size_t s = 0; s < m_new.schedules.size(); ++s)
            for (size_t d = 0; d < m_new.schedules[s].days.size(); ++d) {
                const QString a = openRanges(m_old.schedules[s].days[d].value);
                const QString b = openRanges(m_new.schedules[s].days[d].value);
                if (a != b)
                    changed(
                        m_texts.scheduleDay.arg(QString::number(s + 1), m_new.schedules[s].days[d].caption),
                        a.isEmpty() ? m_texts.dayClosed : a, b.isEmpty() ? m_texts.dayClosed : b);
            }
        for (int t = 1; t <= 5; ++t)
            compareTree(QLatin1Char('A') + QString::number(t));
        return std::move(m_changes);
    }

private:
    void changed(const QString& where, const QString& before, const QString& after) {
        m_changes.lines << m_texts.change.arg(where, before, after);
    }
    QString shown(const QString& v) const { return v.isEmpty() ? m_texts.none : v; }
    void compareValue(const QString& where, const QString& before, const QString& after) {
        if (before != after) changed(where, shown(before), shown(after));
    }
    // The place is only put into words when something changed: most values are the same.
    void compareField(const QString& where, const QString& name, const QString& before,
                      const QString& after) {
        if (before != after) changed(field(where, name), shown(before), shown(after));
    }
    static QString field(const QString& where, const QString& name) {
        return where + QStringLiteral(", ") + name;
    }

    // An action as the caller meets it: menus and trees it leads to by where they sit, not by number.
    static QString meaning(const QString& v, const Configuration& c, const MenuPaths& paths) {
        const QString code = action::code(v);
        if (code != action::Men && code != action::Sau) return v;
        const QString target = action::param(v, 1);
        if (target.startsWith(QLatin1Char('A')) && c.nodes.noeudExiste(target))
            return code + QLatin1Char('@') + target;
        const auto it = paths.pathOf.constFind(target);
        return it == paths.pathOf.cend() ? v : code + QLatin1Char('@') + *it;
    }
    QString describe(const QString& v, const Configuration& c) const {
        const QString target = action::param(v, 1);
        const bool known = c.nodes.noeudExiste(target);
        const int index = target.startsWith(QLatin1Char('A')) ? int(TreeValue::lib) : int(MenuValue::lib);
        return describeAction(v, m_texts, nullptr, known ? c.sections.value(target, index) : QString());
    }
    void compareAction(const QString& where, const QString& before, const QString& after) {
        if (meaning(before, m_old, m_oldPaths) != meaning(after, m_new, m_newPaths))
            changed(where, describe(before, m_old), describe(after, m_new));
    }
    QString oldTitle(const QString& menu) const {
        return quoted(menu, m_old.sections.value(menu, MenuValue::lib));
    }
    QString newTitle(const QString& menu) const {
        return quoted(menu, m_new.sections.value(menu, MenuValue::lib));
    }

    void compareTree(const QString& tree) {
        const QString where = m_texts.treeName.arg(tree.mid(1));
        const struct {
            int index;
            const QString& name;
        } fields[] = {{TreeValue::lib, m_texts.fieldName},
                      {TreeValue::ann1, m_texts.welcomeField},
                      {TreeValue::ann2, m_texts.languageField},
                      {TreeValue::rep2, m_texts.repetitionsField},
                      {TreeValue::langue, m_texts.languagesField}};
        for (const auto& f : fields)
            compareField(where, f.name, m_old.sections.value(tree, f.index),
                         m_new.sections.value(tree, f.index));
        for (int e = TreeValue::exit_trf; e <= TreeValue::exit_nac; ++e)
            compareAction(field(where, m_texts.exitNames[size_t(e - TreeValue::exit_trf)]),
                          m_old.sections.value(tree, e), m_new.sections.value(tree, e));
        const QString before = m_oldPaths.rootOf.value(tree), after = m_newPaths.rootOf.value(tree);
        if (!before.isEmpty() && !after.isEmpty())
            compareMenu(before, after,
                        where + QStringLiteral(" > ") + m_new.sections.value(after, MenuValue::lib));
        else if (!before.isEmpty())
            m_changes.lines << where + QStringLiteral(": ") + m_texts.rootRemoved.arg(oldTitle(before));
        else if (!after.isEmpty())
            m_changes.lines << where + QStringLiteral(": ") + m_texts.rootAdded.arg(newTitle(after));
    }

    void compareMenu(const QString& before, const QString& after, const QString& where) {
        // Each section is looked up once: a menu's fifteen values are read from both sides.
        const Section* oldSection = m_old.sections.find(before);
        const Section* newSection = m_new.sections.find(after);
        const auto value = [&](const Configuration& c, const QString& menu, int index) {
            const Section* s = &c == &m_old && menu == before  ? oldSection
                               : &c == &m_new && menu == after ? newSection
                                                               : c.sections.find(menu);
            return s ? s->value(index) : QString();
        };
        const auto schedule = [](const QString& hor) { return hor.isEmpty() ? hor : QLatin1Char('H') + hor; };
        compareField(where, m_texts.fieldName, value(m_old, before, MenuValue::lib),
                     value(m_new, after, MenuValue::lib));
        if (value(m_old, before, MenuValue::hor) != value(m_new, after, MenuValue::hor))
            changed(field(where, m_texts.scheduleField),
                    shown(schedule(value(m_old, before, MenuValue::hor))),
                    shown(schedule(value(m_new, after, MenuValue::hor))));
        const struct {
            int index;
            const QString& name;
        } fields[] = {{MenuValue::ann, m_texts.announcementField},
                      {MenuValue::rep, m_texts.repetitionsField},
                      {MenuValue::sil, m_texts.silencesField}};
        for (const auto& f : fields)
            compareField(where, f.name, value(m_old, before, f.index), value(m_new, after, f.index));
        for (int d = 0; d <= 9; ++d) {
            const QString oldSub = m_oldPaths.child(before, d), newSub = m_newPaths.child(after, d);
            const QString oldKey = value(m_old, before, MenuValue::forDigit(d));
            const QString newKey = value(m_new, after, MenuValue::forDigit(d));
            if (!oldSub.isEmpty() && !newSub.isEmpty())
                compareMenu(oldSub, newSub,
                            where + QStringLiteral(" > ") + value(m_new, newSub, MenuValue::lib));
            else if (!oldSub.isEmpty() && newKey.isEmpty())
                m_changes.lines << where + QStringLiteral(": ") +
                                       m_texts.menuRemoved.arg(oldTitle(oldSub), QString::number(d));
            else if (!newSub.isEmpty() && oldKey.isEmpty())
                m_changes.lines << where + QStringLiteral(": ") +
                                       m_texts.menuAdded.arg(newTitle(newSub), QString::number(d));
            else if (meaning(oldKey, m_old, m_oldPaths) != meaning(newKey, m_new, m_newPaths))
                changed(where + QStringLiteral(" > ") + m_texts.keyName.arg(d), describe(oldKey, m_old),
                        describe(newKey, m_new));
        }
    }

    const Configuration& m_old;
    const Configuration& m_new;
    const MenuPaths m_oldPaths, m_newPaths;
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

std::optional<Changes> compareTreeFiles(const QString& before, const QString& after, const AppContext& ctx,
                                        QString* failedPath) {
    Configuration a = makeConfiguration(ctx), b = makeConfiguration(ctx);
    for (const auto& [config, path] : {std::pair{&a, &before}, std::pair{&b, &after}}) {
        if (openTreeFile(*config, *path, ctx) == OpenResult::Opened) continue;
        if (failedPath) *failedPath = *path;
        return std::nullopt;
    }
    return compareConfigurations(a, b, ctx);
}

} // namespace flow
