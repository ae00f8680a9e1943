// The line window's application table, CSV files and its place in the main window.
#include "lines_window_fixture.h"

#include "editor/window_fixture.h"
#include "lines/gui/frm_voies.h"
#include "lines/line_files.h"
#include "server/recording_gateway.h"

#include <QtEndian>

namespace {

using namespace lines_gui_testing;

// One page of the server's application table: status 0, records first..first+count.
QByteArray applicationPage(int first, const QList<std::pair<QByteArray, QByteArray>>& apps) {
    QByteArray page(512 + int(apps.size()) * 52, '\0');
    qToLittleEndian<quint32>(quint32(first), page.data() + 264);
    qToLittleEndian<quint32>(quint32(first + apps.size()), page.data() + 268);
    for (qsizetype k = 0; k < apps.size(); ++k) {
        page.replace(512 + k * 52, apps[k].first.size(), apps[k].first);
        page.replace(512 + k * 52 + 6, apps[k].second.size(), apps[k].second);
    }
    return page;
}

class LinesWindowScripted : public LinesWindowTest {
protected:
    // The files come from the simulator's folder; the application table from the script.
    void SetUp() override {
        LinesWindowTest::SetUp();
        auto owned = std::make_unique<RecordingGateway>();
        gateway = owned.get();
        gateway->onGet = [this](const QString& remote, const QString& local) {
            QFile::copy(sim->root() + QLatin1Char('/') + remote, local);
        };
        QList<std::pair<QByteArray, QByteArray>> full{{"451", "$ARBRE1"}, {"300", "Fax"}, {"452", "Nuit"}};
        while (full.size() < 157)
            full.append(std::pair<QByteArray, QByteArray>("495", "Hidden"));
        gateway->replies = {applicationPage(0, full), applicationPage(157, {{"453", "Soir"}})};
        passerelleOf(ctx).setGateway(std::move(owned));
    }
    RecordingGateway* gateway = nullptr;
};

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

TEST_F(LinesWindowScripted, ApplicationsOfTheServerAreNamedAndChosenByName) {
    open();
    ASSERT_EQ(gateway->requestsSeen.size(), 2);
    EXPECT_EQ(qFromLittleEndian<quint32>(gateway->requestsSeen[1].constData() + 32), 157u)
        << "a full page asks for the next one from its last index";
    EXPECT_EQ(texts(find<QListWidget>("lstInfosAppALL")),
              QStringList({"451|Auto-attendant - tree 1||", "300|Fax||", "452|Nuit||", "453|Soir||"}));
    EXPECT_EQ(texts(find<QListWidget>("lstInfosApp")),
              QStringList({"", "451|Auto-attendant - tree 1||", "452|Nuit||", "453|Soir||"}));
    EXPECT_EQ(cell(1, 6), "Auto-attendant - tree 1");
    EXPECT_EQ(cell(2, 6), "Fax");

    type(1, 7, QStringLiteral("nuit"));
    EXPECT_EQ(cell(1, 7), "Nuit") << "another case is not a name";
    type(1, 7, QStringLiteral("Soir"));
    EXPECT_EQ(cell(1, 7), "Soir");
    EXPECT_EQ(window->table().ligne(1).appKO, 453);

    // The picker offers the applications, then the stations, starting on what the cell holds.
    enterCell(1, 6);
    QTest::mouseClick(find<QToolButton>("cmdPostes"), Qt::LeftButton);
    auto* picker = find<QTreeWidget>("lstPostesAPP");
    ASSERT_TRUE(find("picPostes")->isVisible());
    ASSERT_EQ(picker->topLevelItemCount(), 5);
    EXPECT_EQ(picker->currentItem(), picker->topLevelItem(0));
    picker->setCurrentItem(picker->topLevelItem(3));
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_FALSE(find("picPostes")->isVisible());
    EXPECT_EQ(editor()->text(), "101");
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(window->table().ligne(1).trfOK, "101");

    // OK stores the table, has the server take it into account, and closes the window.
    const qsizetype before = gateway->calls.size();
    QTest::mouseClick(find<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    const QString local = ctx.repTMP + QStringLiteral("rcm.cfg");
    EXPECT_EQ(gateway->calls.mid(before).filter(QRegularExpression("^(Put|GetIhm)")),
              QStringList({"PutFileHTTP_QAVO(" + local + ", rcm.cfg)", "GetIhmInfo(8704)"}));
    EXPECT_EQ(qFromLittleEndian<quint32>(gateway->requestsSeen.last().constData() + 8), 105u);
    EXPECT_TRUE(testing_support::readBytes(local).contains("\r\n201;;;;101;453;;;;0;Accueil\r\n"));
}

TEST_F(LinesWindowTest, CsvExportAndImportGoThroughTheFileDialogs) {
    open();
    const QString csv = work.filePath(QStringLiteral("lines.csv"));
    const LineTable loaded = window->table();

    // Cancelled dialogs change nothing.
    QTest::mouseClick(find<QPushButton>("cmdExport"), Qt::LeftButton);
    QTest::mouseClick(find<QPushButton>("cmdImport"), Qt::LeftButton);
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].kind + prompts.shown[0].title, "saveExport");
    EXPECT_EQ(prompts.shown[1].kind + prompts.shown[1].title, "openImport");
    EXPECT_FALSE(QFile::exists(csv));

    // A blank line inserted before a greyed one, exported: the file gives back the same lines.
    popup(1, QStringLiteral("mnuInsert"));
    prompts.fileNames = {csv};
    QTest::mouseClick(find<QPushButton>("cmdExport"), Qt::LeftButton);
    type(6, 1, QStringLiteral("555"));
    // What the import changes is shown first; No keeps the table, Yes takes the file.
    for (const Prompts::Answer answer : {Prompts::Answer::No, Prompts::Answer::Yes}) {
        prompts.fileNames = {csv};
        prompts.answers = {answer};
        QTest::mouseClick(find<QPushButton>("cmdImport"), Qt::LeftButton);
        EXPECT_EQ(prompts.shown.last().text, "Replace the table by the lines of this file?");
        EXPECT_EQ(prompts.shown.last().remark, "Lines removed: 1 (555)\n"
                                               "Lines of other applications, kept as they are: 1");
        EXPECT_EQ(cell(6, 1), answer == Prompts::Answer::Yes ? "" : "555");
    }
    EXPECT_EQ(lineTableBytes(window->table()), lineTableBytes(loaded)) << "the exported table comes back";
    EXPECT_EQ(cell(2, 1), "202");
    EXPECT_EQ(back(2, 1), QColor(224, 224, 224));

    // A file that is not a line table is refused, naming the first line that does not fit.
    testing_support::writeBytes(csv, "a,b,c\r\n555,,\r\n");
    type(5, 1, QStringLiteral("555"));
    prompts.fileNames = {csv};
    QTest::mouseClick(find<QPushButton>("cmdImport"), Qt::LeftButton);
    EXPECT_EQ(prompts.shown.last().kind, "critical");
    EXPECT_TRUE(prompts.shown.last().text.contains("(line 2: 1 field, 11 expected)"));
    EXPECT_EQ(cell(5, 1), "555");
    const qsizetype told = prompts.shown.size();

    // A file that cannot be written or read is reported while the commands wait; the table stays.
    QStringList enabledDuring;
    prompts.onCritical = [&] {
        for (const char* b : {"cmdOK", "cmdAppliquer", "cmdExport", "cmdImport"})
            if (find(b)->isEnabled()) enabledDuring << QLatin1String(b);
    };
    type(5, 1, QStringLiteral("555"));
    const LineTable edited = window->table();
    prompts.fileNames = {work.filePath(QStringLiteral("missing/lines.csv")), work.path()};
    QTest::mouseClick(find<QPushButton>("cmdExport"), Qt::LeftButton);
    QTest::mouseClick(find<QPushButton>("cmdImport"), Qt::LeftButton);
    EXPECT_EQ(prompts.shown.size(), told + 4);
    EXPECT_EQ(prompts.shown.last().kind, "critical");
    EXPECT_EQ(prompts.shown[prompts.shown.size() - 3].kind, "critical");
    EXPECT_TRUE(enabledDuring.isEmpty()) << enabledDuring.join(',').toStdString();
    EXPECT_TRUE(find("cmdImport")->isEnabled());
    EXPECT_EQ(window->table(), edited);
}

class LineMenuTest : public editor_testing::WindowTest {};

TEST_F(LineMenuTest, OpensTheWindowOfTheServersGenerationModallyOnlyOnline) {
    ctx.translation.setText(
        editor_testing::windowLabels() +
        QStringLiteral("MenuVoie=Line configuration...\r\n[frmVoies900]\r\nTitre=Lines\r\n"));
    auto owned = std::make_unique<RecordingGateway>();
    owned->fileResults = {1, 1, 1, 1};
    passerelleOf(ctx).setGateway(std::move(owned));
    ctx.HADDR = QStringLiteral("10.0.0.9");
    const struct {
        bool local, version900;
        const char *window900, *window500;
    } cases[] = {
        {true, true, "", ""},
        {false, true, "Lines - 10.0.0.9", ""},
        {false, false, "", "Line configuration - 10.0.0.9"},
    };
    for (const auto& c : cases) {
        ctx.modeLocal = c.local;
        ctx.VERSION_900 = c.version900;
        open();
        EXPECT_EQ(action(QStringLiteral("mnuVoies"))->isEnabled(), !c.local);
        QString title900, title500;
        onModal<QDialog>([&] { action(QStringLiteral("mnuVoies"))->trigger(); },
                         [&](QDialog& w) {
                             if (qobject_cast<FrmVoies900*>(&w)) title900 = w.windowTitle();
                             if (qobject_cast<FrmVoies*>(&w)) title500 = w.windowTitle();
                         });
        EXPECT_EQ(title900, c.window900);
        EXPECT_EQ(title500, c.window500);
    }
}

} // namespace
