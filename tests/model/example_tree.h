#pragma once

// Configurations built by hand the way the tree file reader builds them, for model and window tests.

#include "core/app_context.h"
#include "model/action_value.h"
#include "model/configuration.h"

#include <QMap>
#include <QStringList>

namespace example {

// The labels the editor looks up, French-free so that tests read plainly.
inline QString labelsText() {
    return QStringLiteral(
        "\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\n"
        "actVide=No action\r\nactSaut=Jump\r\nactTransfert=Transfer\r\nactAnn=Announcement\r\n"
        "actStd=Operator\r\nactNum=Free dialling\r\nMenuChange=Sub-menu\r\nactBvn=Voice box\r\n"
        "actBvo=Station voice box\r\nNoeudArbre=Tree\r\nNoeudMenu=New menu\r\n"
        "MenuAdd=Add a menu\r\nMenuDel=Delete the menu\r\nMenuEffaceDebug=Clear the list\r\n"
        "HistoAction=Action\r\nHistoMenu=Menu added\r\nHistoDelMenu=Menu deleted\r\n"
        "LblTransfert=Number\r\nLblSautVers=Jump to\r\nLblDiffusion=Announcement number\r\n"
        "LblBVO=Voice box\r\nLblRepeat=Repeat\r\nLblSilences=Silences\r\n"
        "HorairePlage=Schedule\r\nLblTitre=Name\r\nLblLangues=Languages\r\n"
        "LblLangue1=French\r\nLblLangue2=English\r\nLblLangue3=German\r\nLblLangue4=Spanish\r\n"
        "LblAnnonceAccueil=Welcome\r\nLblAnnonceLangues=Language choice\r\n"
        "LblTypeAction=Action\r\nLblHoraires=Schedule\r\nLblAnnonceMenu=Menu announcement\r\n"
        "LblDetailsArbre=Tree\r\nLblDetailsMenu=Menu\r\nLblDetailsAction=Key\r\n"
        "lblErreurTransfert=Transfer failed\r\nlblFermeture=Closed\r\nlblNonReaction=No reaction\r\n");
}

inline void setUpContext(AppContext& ctx, int activeTrees = 1, bool version500 = true) {
    ctx.translation.setText(labelsText());
    ctx.Nb_arbre = activeTrees;
    ctx.VERSION_500 = version500;
}

// Values of a menu section in template order (lib, hor, ann, rep, sil, keys 0..9).
using MenuValues = QStringList;
using MenuMap = QMap<QString, MenuValues>;

// Loads a menu and its sub-menus below parentKey as the tree file reader does.
inline void loadMenu(Configuration& c, const QString& parentKey, const QString& name, int digit, int depth,
                     const MenuMap& menus) {
    if (c.nodes.noeudExiste(name) || !menus.contains(name) || depth > 3) {
        if (parentKey.startsWith(QLatin1Char('M'))) {
            c.nodes.CreerNoeud(QString::number(digit) + QStringLiteral(" - "),
                               action::keyNodeKey(parentKey, digit), parentKey, QStringLiteral("NoAction"));
            c.sections.setValue(parentKey, MenuValue::forDigit(digit), QString());
        }
        return;
    }
    c.maxNumMenu = std::max(c.maxNumMenu, name.mid(1).toInt());
    const int index = c.sections.ensureSection(name, digit, parentKey);
    const MenuValues& values = menus[name];
    for (int i = 1; i <= MenuValue::Count && i <= values.size(); ++i)
        c.sections.setValue(name, i, values[i - 1], index);
    const QString lib = c.sections.value(name, MenuValue::lib);
    c.nodes.CreerNoeud(QString::number(digit < 0 ? 1 : digit) + QStringLiteral(" - ") + lib, name, parentKey,
                       QStringLiteral("Menu"));
    for (int d = 0; d <= 9; ++d) {
        const QString v = c.sections.value(name, MenuValue::forDigit(d));
        if (action::code(v) == QLatin1String("men")) {
            loadMenu(c, name, action::param(v, 1), d, depth + 1, menus);
            continue;
        }
        const QString target = action::code(v) == QLatin1String("sau")
                                   ? c.sections.value(action::param(v, 1), MenuValue::lib)
                                   : QString();
        c.nodes.CreerNoeud(action::keyNodeText(d, v, c.actionTypes, target), action::keyNodeKey(name, d),
                           name, action::imageFor(action::code(v)));
    }
}

// Five trees; tree i's section values come from trees[i] when given (lib, ann1, ann2, rep2, langue, menu,
// exit_trf, exit_fer, exit_nac).
inline void build(Configuration& c, const AppContext& ctx, const QMap<int, QStringList>& trees,
                  const MenuMap& menus) {
    c.sections.clear();
    c.nodes.clear();
    c.maxNumMenu = 0;
    c.actionTypes = makeActionTypes(ctx.translation);
    for (int i = 1; i <= 5; ++i) {
        const QString key = QLatin1Char('A') + QString::number(i);
        const int index = c.sections.ensureSection(key, -1, QString());
        c.sections.setValue(key, TreeValue::lib, QStringLiteral("Tree ") + QString::number(i), index);
        c.sections.setValue(key, TreeValue::rep2, QStringLiteral("2"), index);
        c.nodes.CreerNoeud(QString::number(i) + QStringLiteral(" - Tree ") + QString::number(i), key,
                           QString(), QStringLiteral("Arbre"));
        if (i > ctx.Nb_arbre) {
            c.nodes.setColour(key, NodeColour::Grey);
            continue;
        }
        c.nodes.setExpanded(key, true);
        if (trees.contains(i)) {
            const QStringList& values = trees[i];
            for (int v = 1; v <= TreeValue::Count && v <= values.size(); ++v)
                c.sections.setValue(key, v, values[v - 1], index);
            c.nodes.setText(key, QString::number(i) + QStringLiteral(" - ") +
                                     c.sections.value(key, TreeValue::lib));
            const QString menu = c.sections.value(key, TreeValue::menu);
            if (!menu.isEmpty()) loadMenu(c, key, menu, -1, 1, menus);
        }
        if (c.sections.value(key, TreeValue::langue).isEmpty())
            c.sections.setValue(key, TreeValue::langue, QStringLiteral("1"), index);
    }
}

inline MenuValues menuValues(const QString& lib, const QString& hor, const QString& ann,
                             const QMap<int, QString>& keys) {
    MenuValues v = {lib, hor, ann, QStringLiteral("2"), QStringLiteral("2")};
    for (int d = 0; d <= 9; ++d)
        v << keys.value(d);
    return v;
}

// Every active tree has a root menu whose ten keys open sub-menus whose ten keys open sub-sub-menus:
// 111 menus per tree.
inline void maximalTrees(Configuration& c, const AppContext& ctx) {
    QMap<int, QStringList> trees;
    MenuMap menus;
    int next = 1;
    const auto name = [](int n) { return QLatin1Char('M') + QString::number(n); };
    for (int t = 1; t <= ctx.Nb_arbre; ++t) {
        const int root = next++;
        trees[t] = QStringList{QStringLiteral("Tree %1").arg(t),
                               "10",
                               "11",
                               "2",
                               "1;2",
                               name(root),
                               "std",
                               "ann;12;;",
                               "trf;300"};
        QMap<int, QString> rootKeys;
        for (int d = 0; d <= 9; ++d) {
            const int sub = next++;
            rootKeys[d] = QStringLiteral("men;") + name(sub);
            QMap<int, QString> subKeys;
            for (int e = 0; e <= 9; ++e) {
                const int leaf = next++;
                subKeys[e] = QStringLiteral("men;") + name(leaf);
                menus[name(leaf)] = menuValues(
                    QStringLiteral("Leaf %1").arg(leaf), "2", "20",
                    {{0, "trf;201"}, {1, "ann;15;2;2"}, {2, "sau;" + name(root)}, {3, "std"}, {4, "num"}});
            }
            menus[name(sub)] = menuValues(QStringLiteral("Sub %1").arg(sub), "1", "13", subKeys);
        }
        menus[name(root)] = menuValues(QStringLiteral("Root %1").arg(root), "", "11", rootKeys);
    }
    build(c, ctx, trees, menus);
}

} // namespace example
