#pragma once

// The line window driven as a user drives it, against qavo-sim holding the server's line files.

#include "core/prompts.h"
#include "editor/window_fixture.h"
#include "lines/line_test_support.h"
#include "lines_gui/frm_voies900.h"
#include "platform/pacing.h"
#include "support/online_context.h"
#include "support/qt_print.h"
#include "support/sim_process.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace lines_gui_testing {

// Lines 1 and 4 editable (4 has a code without VP), 2 of application 300 and 3 transferring: greyed.
inline QByteArray serverLines() {
    return "/cli;ddi;code;app;trfOK;appKO;trfKO;planing;VP;trace;libelle\r\n"
           "201;;;451;;452;;;;0;Accueil\r\n"
           "202;;;300;;;;;;0;Fax\r\n"
           "203;;;;0601;;;;;0;Renvoi\r\n"
           ";;12;;;;;;;1;Code\r\n";
}

// Prompts that can look at the window while a message is shown.
struct WatchingPrompts : ScriptedPrompts {
    std::function<void()> onCritical;
    void critical(const QString& text, const QString& title) override {
        if (onCritical) onCritical();
        ScriptedPrompts::critical(text, title);
    }
};

class LinesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.emplace();
        ctx.VERSION_900 = true;
        testing_support::goOnline(ctx, sim->port(), 3000, 1500);
        testing_support::useDataFolder(ctx, work.path());
        ctx.translation = line_testing::englishLabels();
        serve("planning.cfg", line_testing::planningBytes());
        serve("rcm.txt", "P1=101;Dupont;1;2\r\nP2=102;Martin;1;2\r\n");
        serve("rcm.cfg", serverLines());
    }

    QString onServer(const char* name) const { return sim->root() + u'/' + QLatin1String(name); }
    void serve(const char* name, const QByteArray& bytes) {
        testing_support::writeBytes(onServer(name), bytes);
    }
    QByteArray served(const char* name) const { return testing_support::readBytes(onServer(name)); }

    // The window shown, once its first load has run.
    void open() {
        window = std::make_unique<FrmVoies900>(ctx, prompts, noPacing);
        window->setMenuShower([this](QMenu& menu, const QPoint&) {
            menuItems.clear();
            for (QAction* a : menu.actions())
                menuItems << a->objectName() + (a->isEnabled() ? QString() : QStringLiteral("(off)"));
            if (QAction* chosen = menu.findChild<QAction*>(menuChoice); chosen && chosen->isEnabled())
                chosen->trigger();
        });
        window->show();
        EXPECT_TRUE(QTest::qWaitFor(
            [this] {
                return find<QTimer>("Timer1") && !find<QTimer>("Timer1")->isActive() &&
                       !find("picLoad")->isVisible();
            },
            15000));
    }

    template <typename T = QWidget> T* find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTableView* grid() const { return find<QTableView>("Grille"); }
    int rows() const { return grid()->model()->rowCount(); }
    QModelIndex at(int row, int column) const { return grid()->model()->index(row - 1, column); }
    QString cell(int row, int column) const { return at(row, column).data().toString(); }
    QColor back(int row, int column) const {
        return at(row, column).data(Qt::BackgroundRole).value<QColor>();
    }
    // The row as shown: its cells joined by '|', each of a greyed cell after a '~'.
    QString line(int row) const {
        QStringList cells;
        for (int column = 0; column < grid()->model()->columnCount(); ++column)
            cells << (back(row, column) == QColor(224, 224, 224) ? "~" : "") + cell(row, column);
        return cells.join('|');
    }
    QLineEdit* editor() const { return find<QLineEdit>("txtNumCall"); }

    void enterCell(int row, int column) {
        grid()->setCurrentIndex(at(row, column));
        QTest::keyClick(grid(), Qt::Key_Return);
    }
    // Types text into the cell's editor (replacing what it shows) and ends with key.
    void type(int row, int column, const QString& text, Qt::Key key = Qt::Key_Return) {
        enterCell(row, column);
        ASSERT_TRUE(editor()->isVisible()) << row << "," << column;
        editor()->selectAll();
        QTest::keyClicks(editor(), text);
        QTest::keyClick(editor(), key);
    }
    // A right press on the line's number cell; the pop-up's item menuChoice is then chosen.
    void popup(int row, const QString& choice) {
        menuChoice = choice;
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, grid()->visualRect(at(row, 0)).center());
    }
    QStringList texts(const char* list) const {
        return editor_testing::rowTexts(find<QListWidget>(list)->model());
    }

    std::optional<testing_support::SimProcess> sim;
    QTemporaryDir work;
    AppContext ctx;
    WatchingPrompts prompts;
    platform::NoPacing noPacing;
    std::unique_ptr<FrmVoies900> window;
    QString menuChoice;
    QStringList menuItems;
};

} // namespace lines_gui_testing
