#pragma once

// The main window driven as a user drives it, each test in a folder of its own: the user's settings are
// redirected there so that the real ones are never touched.

#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/node_tree_model.h"
#include "editor/tree_document.h"
#include "model/example_tree.h"
#include "platform/pacing.h"
#include "support/online_context.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTest>
#include <QtWidgets>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace editor_testing {

constexpr int Black = 0;
constexpr int Red = 255;
constexpr int Orange = 33023;
constexpr int Grey = 8421504;

// The panels' labels and a few short window texts, after the call window's and the plan's as the program
// ships them; every other window label as shipped in English.
inline QString windowLabels() {
    const QString english = QString::fromLatin1(testing_support::readBytes(QAVO_RESOURCES "/qavo_lg01.txt"));
    const qsizetype labels = english.indexOf("[LABELS]") + 8;
    return "\r\n" + english.mid(english.indexOf("[FLOW]")) + example::labelsText() +
           QStringLiteral(
               "Titre=QAVO Editor\r\nDebugOpen=Opened\r\nDebugAnalyse=Checking\r\n"
               "DebugAnalyseFin=Checked\r\nDebugAnalyseErr=errors\r\nDebugAnalyseWar=warnings\r\n"
               "HistoDeb=Start\r\nOnLine=Connected to $IPSERVEUR$\r\nMsgNew=Discard the changes?\r\n"
               "MsgQuit=Quit anyway?\r\nMsgExiste=Replace it?\r\nErrSave=Could not save $FICHIER$."
               "\r\nHistoRecup=Recovered") +
           english.mid(labels, english.indexOf("[frmVoies900]") - labels);
}

// Tree 1 "Reception" with root menu M1 "Main menu" (key 1 transfers to 201, key 2 opens M2 "Service",
// key 3 plays announcement 15), M2 with the operator on key 0; the tree's exit when closed plays
// announcement 12 without repetitions; trees 2 to 5 have no menu.
inline QByteArray workedExample(const QString& m1Key9 = QString()) {
    QString s = "[general]\ncode_retour=*\ncode_dialing=#\ntp_inter_digit=10\n";
    for (int h = 1; h <= 10; ++h)
        s += QStringLiteral("[H%1]\nlun=\nmar=\nmer=\njeu=\nven=\nsam=\ndim=\n").arg(h);
    s += QStringLiteral("[A1]\nlib=Reception\nann1=10\nann2=\nrep2=2\nlangue=1\nmenu=M1\n"
                        "exit_trf=std\nexit_fer=ann;12;;\nexit_nac=std\n");
    s += QStringLiteral("[M1]\nlib=Main menu\nhor=\nann=11\nrep=2\nsil=2\n0=\n1=trf;201\n2=men;M2\n"
                        "3=ann;15;2;2\n4=\n5=\n6=\n7=\n8=\n9=%1\n")
             .arg(m1Key9);
    s += QStringLiteral("[M2]\nlib=Service\nhor=1\nann=13\nrep=2\nsil=2\n0=std\n1=\n2=\n3=\n4=\n5=\n6=\n"
                        "7=\n8=\n9=\n");
    for (int a = 2; a <= 5; ++a)
        s += QStringLiteral("[A%1]\nlib=Tree %1\nann1=\nann2=\nrep2=2\nlangue=1\nmenu=\nexit_trf=\n"
                            "exit_fer=\nexit_nac=\n")
                 .arg(a);
    s.replace(QLatin1Char('\n'), "\r\n");
    return s.toLatin1();
}

inline int colourNumber(const QColor& c) {
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

// The texts of the rows below parent.
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

// What a user's choice in a list does.
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
        ASSERT_TRUE(dir.isValid());
        ctx.translation.setText(windowLabels());
        ctx.Nb_arbre = 1;
        ctx.programDir = dir.path();
        testing_support::useDataFolder(ctx, dir.path() + "/A.A");
        const QString settingsDir = dir.filePath("settings");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir);
    }
    void TearDown() override {
        window.reset();
        document.reset();
        const QString testConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testConfig);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, testConfig);
    }

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
    // A right press on the node; true when the node's pop-up is open once the delay has run out.
    bool rightPress(const QString& key) {
        QMenu* menu = nodeMenu();
        menu->hide();
        QTest::mousePress(treeV()->viewport(), Qt::RightButton, {}, pointOf(key));
        QTimer* delay = find<QTimer>("tmrBoutonDroit");
        EXPECT_TRUE(delay->isActive()) << "the pop-up waits for the delay";
        for (int waited = 0; waited < 2000 && delay->isActive(); waited += 20)
            QTest::qWait(20);
        return menu->isVisible();
    }
    QMenu* nodeMenu() const { return window->findChild<QMenu*>("Menu"); }
    QStringList popupItems() const {
        QStringList names;
        for (QAction* a : nodeMenu()->actions())
            if (a->isVisible()) names << a->objectName();
        return names;
    }

    template <typename T = QWidget> T* panel(const QString& name) {
        T* w = window->findChild<QWidget*>("picInfos")->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // Which of the three panels is shown: -1 none, 99 more than one.
    int shownPanel() {
        int found = -1;
        for (int i = 0; i < 3; ++i)
            if (panel(QStringLiteral("picNoeud_%1").arg(i))->isVisible()) found = found == -1 ? i : 99;
        return found;
    }
    int captionColour(const QString& name) {
        return colourNumber(panel<QLabel>(name)->palette().color(QPalette::WindowText));
    }
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
    bool undoEnabled() const { return action("toolAnnuler")->isEnabled(); }
    bool redoEnabled() const { return action("toolRetablir")->isEnabled(); }
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
            seen = dialog != nullptr;
            if (!dialog) return;
            if (check) check(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        act();
        QApplication::processEvents();
        return seen;
    }

    QTemporaryDir dir;
    AppContext ctx;
    ScriptedPrompts prompts;
    platform::NoPacing noPacing;
    std::unique_ptr<TreeDocument> document;
    std::unique_ptr<frmMain> window;
};

} // namespace editor_testing
