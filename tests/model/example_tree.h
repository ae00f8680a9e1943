#pragma once

// Configurations for model, flow and window tests, and the labels they show.

#include "core/app_context.h"
#include "model/configuration.h"
#include "model/tree_file.h"
#include "platform/codepage.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>

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

// Five trees written as a tree file and loaded as the editor loads one; tree i's section values come from
// trees[i] when given (lib, ann1, ann2, rep2, langue, menu, exit_trf, exit_fer, exit_nac).
inline void build(Configuration& c, const AppContext& ctx, const QMap<int, QStringList>& trees,
                  const MenuMap& menus) {
    QString text;
    const auto section = [&text](const QString& name, const QStringList& keys, const QStringList& values) {
        text += QLatin1Char('[') + name + QStringLiteral("]\r\n");
        for (qsizetype i = 0; i < values.size(); ++i)
            text += keys[i] + QLatin1Char('=') + fileValue(values[i]) + QStringLiteral("\r\n");
    };
    for (int i = 1; i <= 5; ++i)
        section(QStringLiteral("A%1").arg(i), treeKeyNames(),
                trees.value(i, {QStringLiteral("Tree %1").arg(i), {}, {}, QStringLiteral("2")}));
    for (auto m = menus.begin(); m != menus.end(); ++m)
        section(m.key(), menuKeyNames(), *m);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("example.maa")));
    if (!file.open(QIODevice::WriteOnly) || file.write(platform::encodeAnsi(text)) < 0) std::abort();
    file.close();
    c.actionTypes = makeActionTypes(ctx.translation);
    ChargementArbres(c, file.fileName(), ctx);
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
        trees[t] =
            QStringLiteral("Tree %1|10|11|2|1;2|%2|std|ann;12;;|trf;300").arg(t).arg(name(root)).split('|');
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
