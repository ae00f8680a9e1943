#pragma once

// The largest tree file the editor has to handle, shared by the benchmarks.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace bench {

// Appends one menu section whose keys either open the given sub-menus or hold ordinary actions.
inline void appendMenu(QString& text, int number, const QList<int>& subMenus) {
    text += QStringLiteral("[M%1]\r\nlib=Menu number %1\r\nhor=1\r\nann=%2\r\nrep=2\r\nsil=2\r\n")
                .arg(number)
                .arg(number % 97);
    for (int d = 0; d <= 9; ++d) {
        if (d < subMenus.size())
            text += QStringLiteral("%1=men;M%2\r\n").arg(d).arg(subMenus[d]);
        else
            text += QStringLiteral("%1=trf;2%2\r\n").arg(d).arg(number % 100, 2, 10, QLatin1Char('0'));
    }
}

// A tree file with five trees; the first menuTrees of them carry a full three-level menu tree
// (1 + 10 + 100 menus, every key of the third level an action).
inline QByteArray maximalTree(int menuTrees) {
    QString text = QStringLiteral("[general]\r\ncode_retour=*\r\ncode_dialing=#\r\ntp_inter_digit=10\r\n");
    for (int h = 1; h <= 10; ++h)
        text +=
            QStringLiteral(
                "[H%1]\r\nlun=08:00-12:00/14:00-18:00\r\nmar=\r\nmer=\r\njeu=\r\nven=\r\nsam=\r\ndim=\r\n")
                .arg(h);
    int next = 1;
    for (int t = 1; t <= 5; ++t) {
        const int root = t <= menuTrees ? next : 0;
        text +=
            QStringLiteral("[A%1]\r\nlib=Tree %1\r\nann1=1\r\nann2=\r\nrep2=2\r\nlangue=1;2\r\nmenu=%2\r\n"
                           "exit_trf=std\r\nexit_fer=ann;3;;\r\nexit_nac=std\r\n")
                .arg(t)
                .arg(root ? QStringLiteral("M%1").arg(root) : QString());
        if (!root) continue;
        ++next;
        QList<int> level2;
        for (int i = 0; i < 10; ++i)
            level2 << next++;
        appendMenu(text, root, level2);
        for (int m2 : level2) {
            QList<int> level3;
            for (int i = 0; i < 10; ++i)
                level3 << next++;
            appendMenu(text, m2, level3);
            for (int m3 : level3)
                appendMenu(text, m3, {});
        }
    }
    text += QStringLiteral("\r\n");
    return text.toLatin1();
}

// Writes that file at path; false when it cannot be written.
inline bool writeMaximalTree(const QString& path, int menuTrees = 5) {
    QFile file(path);
    const QByteArray bytes = maximalTree(menuTrees);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace bench
