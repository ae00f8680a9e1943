#pragma once

// The main window driven as a user drives it, each test in a folder of its own: the user's settings are
// redirected there, and the history, so that the real ones are never touched. WindowServer puts it online on
// a qavo-sim.

#include "core/app_context.h"
#include "core/prompts.h"
#include "dialogs/frm_appel.h"
#include "editor/frm_main.h"
#include "editor/node_tree_model.h"
#include "editor/tree_document.h"
#include "model/example_tree.h"
#include "platform/pacing.h"
#include "startup/server_info.h"
#include "support/online_context.h"
#include "support/qt_print.h"
#include "support/sim_process.h"
#include "support/test_support.h"

#include <QTest>
#include <QtWidgets>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace editor_testing {

constexpr int Black = 0, Red = 255;

// The panels' labels, the window's title and a few short questions, after the call window's and the plan's
// as the program ships them; every other window label as shipped in English.
inline QString windowLabels() {
    const QString english = QString::fromLatin1(testing_support::readBytes(QAVO_RESOURCES "/qavo_lg01.txt"));
    const qsizetype labels = english.indexOf("[LABELS]") + 8;
    return "\r\n" + english.mid(english.indexOf("[FLOW]")) + example::labelsText() +
           QStringLiteral("Titre=QAVO Editor\r\nMsgNew=Discard the changes?\r\nMsgQuit=Quit anyway?\r\n"
                          "MsgExiste=Replace it?\r\nErrSave=Could not save $FICHIER$.\r\n") +
           english.mid(labels, english.indexOf("[frmVoies900]") - labels);
}

// Tree 1 "Reception" with root menu M1 "Main menu" (key 1 transfers to 201, key 2 opens M2 "Service",
// key 3 plays announcement 15), M2 with the operator on key 0; the tree's exit when closed plays
// announcement 12 without repetitions; trees 2 to 5 have no menu.
inline QByteArray workedExample(const QByteArray& m1Key9 = {}) {
    return testing_support::readBytes(testing_support::dataDir() + "/check_example.maa")
        .replace("9=\r\n[M2]", "9=" + m1Key9 + "\r\n[M2]");
}

// The worked example as the demonstration server holds it, with its closed exit made complete so
// that it passes the check.
inline QByteArray passingTree(const QString& m1Name = QStringLiteral("Main menu")) {
    return workedExample()
        .replace("exit_fer=ann;12;;", "exit_fer=ann;12;2;2")
        .replace("lib=Main menu", "lib=" + m1Name.toLatin1());
}

inline QStringList rowTexts(const QAbstractItemModel* m, const QModelIndex& parent = {}) {
    QStringList out;
    for (int r = 0; r < m->rowCount(parent); ++r)
        out << m->index(r, 0, parent).data().toString();
    return out;
}

inline void clickRow(QAbstractItemView* view, int row) {
    const QModelIndex i = view->model()->index(row, 0);
    view->scrollTo(i);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(i).center());
}

inline void choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        ctx.translation.setText(windowLabels());
        ctx.Nb_arbre = 1;
        ctx.programDir = dir.path();
        testing_support::useDataFolder(ctx, dir.path() + "/A.A");
        const QString settingsDir = dir.filePath("settings");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir);
        qputenv("QAVO_HISTORY_DIR", QFile::encodeName(dir.filePath("history")));
    }
    void TearDown() override {
        window.reset();
        document.reset();
        const QString testConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testConfig);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, testConfig);
        qputenv("QAVO_HISTORY_DIR", programHistory);
    }

    static int colourNumber(const QColor& c) { return c.red() + 256 * c.green() + 65536 * c.blue(); }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        testing_support::writeBytes(path, bytes);
        return path;
    }
    // A loaded window, shown offscreen, that checks without waiting.
    frmMain& load(const QString& startFile) {
        ctx.fileAOuvrir = startFile;
        window.reset();
        document = std::make_unique<TreeDocument>(ctx);
        document->setPacing(noPacing);
        window = std::make_unique<frmMain>(*document, prompts);
        window->Form_Load();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    frmMain& open(const QByteArray& bytes = workedExample()) { return load(writeFile("accueil.maa", bytes)); }

    template <typename T = QWidget> T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QAction* action(const QString& name) const { return find<QAction>(name); }
    QStringList enabledOf(const QStringList& names) const {
        QStringList out;
        for (const QString& name : names)
            if (action(name)->isEnabled()) out << name;
        return out;
    }
    QTreeView* treeV() const { return find<QTreeView>("treeV"); }
    Configuration& config() const { return document->config(); }

    QModelIndex indexOf(const QString& key) { return document->treeModel().indexForKey(key); }
    QString nodeText(const QString& key) { return indexOf(key).data().toString(); }
    QString nodeImage(const QString& key) { return indexOf(key).data(NodeTreeModel::ImageRole).toString(); }
    int nodeColour(const QString& key) {
        return colourNumber(indexOf(key).data(Qt::ForegroundRole).value<QColor>());
    }
    QString selectedKey() const { return document->treeModel().keyOf(treeV()->currentIndex()); }
    QString value(const QString& section, int index) const { return config().sections.value(section, index); }
    bool titleMarked() const { return window->windowTitle().endsWith(QLatin1Char('*')); }
    QPoint pointOf(const QString& key) {
        const QModelIndex index = indexOf(key);
        EXPECT_TRUE(index.isValid()) << key.toStdString();
        for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
            treeV()->expand(p);
        treeV()->scrollTo(index);
        return treeV()->visualRect(index).center();
    }
    void clickNode(const QString& key) {
        QTest::mouseClick(treeV()->viewport(), Qt::LeftButton, {}, pointOf(key));
    }
    QMenu* nodeMenu() const { return window->findChild<QMenu*>("Menu"); }
    // A right press on the node: the items of its pop-up once the delay has run out, none when none opens.
    QStringList popupItems(const QString& key) {
        nodeMenu()->hide();
        QTest::mousePress(treeV()->viewport(), Qt::RightButton, {}, pointOf(key));
        QTimer* delay = find<QTimer>("tmrBoutonDroit");
        EXPECT_TRUE(delay->isActive()) << "the pop-up waits for the delay";
        for (int waited = 0; waited < 2000 && delay->isActive(); waited += 20)
            QTest::qWait(20);
        QStringList names;
        for (QAction* a : nodeMenu()->actions())
            if (a->isVisible() && nodeMenu()->isVisible()) names << a->objectName();
        return names;
    }

    // Which of the three panels is shown: -1 none, 99 more than one.
    int shownPanel() {
        int found = -1;
        for (int i = 0; i < 3; ++i)
            if (find(QStringLiteral("picNoeud_%1").arg(i))->isVisible()) found = found == -1 ? i : 99;
        return found;
    }
    int captionColour(const QString& name) {
        return colourNumber(find<QLabel>(name)->palette().color(QPalette::WindowText));
    }
    QString lastMessage() const { return prompts.shown.isEmpty() ? QString() : prompts.shown.last().text; }
    QStringList debugLines() const { return rowTexts(find<QListView>("lstDebug")->model()); }

    QStringList journalItems() const { return rowTexts(find<QListView>("lstCancel")->model()); }
    QStringList journalFiles() const {
        return QDir(ctx.repTMP).entryList({"*.can"}, QDir::Files, QDir::Name);
    }
    // A journal file as undo would read it (a step waiting for typing to pause is written first).
    QByteArray journalFile(const QString& name) const {
        document->writePendingStep();
        return testing_support::readBytes(ctx.repTMP + name);
    }
    QString menuName() const { return value("M1", MenuValue::lib); }
    // A change recorded as a step of its own, as a changed key action records it.
    void changeAndRecord(const QString& name) {
        config().sections.setValue("M1", MenuValue::lib, name);
        document->setModified(true);
        document->recordStep("Action", true);
    }

    // The recent files, as stored and as the File menu shows them.
    static QSettings userSettings() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, "AA", "AA");
    }
    QStringList recentMenu() const {
        QStringList out;
        for (int n = 1; n <= 5; ++n)
            if (QAction* item = action(QStringLiteral("mnuFile%1").arg(n)); item->isVisible())
                out << item->text();
        return out;
    }

    // Runs check on the modal window of class Dialog that act opens, closes it if still open, and says
    // whether one opened.
    template <class Dialog = QDialog>
    bool onModal(const std::function<void()>& act, const std::function<void(Dialog&)>& check = {}) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if ((seen = dialog != nullptr) && check) check(*dialog);
            if (seen && dialog->isVisible()) dialog->reject();
        });
        act();
        QApplication::processEvents();
        return seen;
    }

    FrmAppel* callWindow() const { return window->findChild<FrmAppel*>(); }
    void press(const QStringList& captions) {
        for (const QString& caption : captions)
            for (auto* b : callWindow()->findChildren<QPushButton*>())
                if (b->text() == caption) QTest::mouseClick(b, Qt::LeftButton);
    }

    const QByteArray programHistory = qgetenv("QAVO_HISTORY_DIR");
    QTemporaryDir dir;
    AppContext ctx;
    ScriptedPrompts prompts;
    platform::NoPacing noPacing;
    std::unique_ptr<TreeDocument> document;
    std::unique_ptr<frmMain> window;
};

class WindowServer : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        sim.emplace();
        ASSERT_NE(sim->port(), 0) << "qavo-sim did not start";
        testing_support::goOnline(ctx, sim->port());
        // The check reads the server's lists.
        ctx.fileLecture = sim->root() + QStringLiteral("/qavo_general.txt");
        loadServerLists(ctx, ctx.fileLecture);
    }
    // The simulator's log since the last call: "METHOD PATH STATUS" per request.
    QStringList requests() {
        QStringList all = QString::fromUtf8(sim->log()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList fresh = all.mid(seen);
        seen = all.size();
        return fresh;
    }
    QByteArray serverTree() const { return testing_support::readBytes(sim->root() + "/arbre.maa"); }

    std::optional<testing_support::SimProcess> sim;
    qsizetype seen = 0;
};

} // namespace editor_testing
