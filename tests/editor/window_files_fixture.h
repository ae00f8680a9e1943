#pragma once

// The main window with its journal, file commands and settings, each test in a folder of its own: the
// user's settings are redirected there so that the real ones are never touched.

#include "editor/node_tree_model.h"
#include "editor_fixture.h"
#include "model/section_store.h"
#include "support/test_support.h"

#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

namespace editor_testing {

inline QString fileLabels() {
    return QStringLiteral("MsgNew=Discard the changes?\r\nMsgQuit=Quit anyway?\r\nMsgExiste=Replace it?\r\n"
                          "ErrSave=Could not save $FICHIER$.\r\nHistoAction=Action\r\n"
                          "HistoHoraires=Schedules changed\r\nHistoParam=Parameters changed\r\n"
                          "MenuAnnuler=Undo\r\nMenuRetablir=Redo\r\nMenuOuvrirB=Open\r\n"
                          "BoutonOK=OK\r\nBoutonEchap=Cancel\r\nG1=Return key\r\nG2=Dial key\r\n"
                          "G3=Inter-digit time\r\nHorairePlage=Schedule\r\n");
}

class WindowFilesTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ctx.translation.setText(translationText() + fileLabels());
        const QString settingsDir = dir.filePath(QStringLiteral("settings"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir);
    }
    void TearDown() override {
        window.reset();
        const QString testConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testConfig);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, testConfig);
    }

    static QSettings userSettings() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("AA"),
                         QStringLiteral("AA"));
    }
    static QStringList recentEntries() {
        QStringList out;
        QSettings s = userSettings();
        for (int n = 1; n <= 5; ++n)
            out << s.value(QStringLiteral("Files/F%1").arg(n)).toString();
        return out;
    }
    static void setRecentEntries(const QStringList& paths) {
        QSettings s = userSettings();
        for (int n = 1; n <= 5; ++n)
            s.setValue(QStringLiteral("Files/F%1").arg(n), paths.value(n - 1));
    }
    // The recent files the File menu shows, in order.
    QStringList recentMenu() const {
        QStringList out;
        for (QAction* item : window->mnuFileN)
            if (item->isVisible()) out << item->text();
        return out;
    }

    QStringList journalItems() const {
        QStringList out;
        const QAbstractItemModel* m = window->lstCancel->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toString();
        return out;
    }
    QStringList journalFiles() const {
        return QDir(ctx.repTMP).entryList({QStringLiteral("*.can")}, QDir::Files, QDir::Name);
    }
    QByteArray journalFile(const QString& name) const {
        return testing_support::readBytes(ctx.repTMP + name);
    }
    int currentJournalRow() const { return window->lstCancel->currentIndex().row(); }
    void clickJournalItem(int row) {
        const QModelIndex item = window->lstCancel->model()->index(row, 0);
        QTest::mouseClick(window->lstCancel->viewport(), Qt::LeftButton, {},
                          window->lstCancel->visualRect(item).center());
    }

    // The name of menu M1, which the tests change as a user would in its panel.
    void setMenuName(const QString& name) {
        window->config().sections.setValue(QStringLiteral("M1"), MenuValue::lib, name);
    }
    QString menuName() const { return window->config().sections.value(QStringLiteral("M1"), MenuValue::lib); }
    // A change recorded as a step of its own, as a changed key action records it.
    void changeAndRecord(const QString& name) {
        setMenuName(name);
        window->setBoolSave(false);
        window->addCancel(QStringLiteral("Action"), true);
    }
    QString selectedKey() const {
        return window->treeV->currentIndex().data(NodeTreeModel::KeyRole).toString();
    }

    bool undoEnabled() const { return window->toolButton(QStringLiteral("Annuler"))->isEnabled(); }
    bool redoEnabled() const { return window->toolButton(QStringLiteral("Rétablir"))->isEnabled(); }

    // Runs check on the modal window that action opens, then closes it if check left it open.
    template <class Dialog> void onModal(QAction* action, const std::function<void(Dialog&)>& check) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            Dialog* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible()) dialog = d;
            seen = dialog != nullptr && dialog->isModal();
            if (!dialog) return;
            check(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        action->trigger();
        EXPECT_TRUE(seen) << "no modal window opened";
    }
};

} // namespace editor_testing
