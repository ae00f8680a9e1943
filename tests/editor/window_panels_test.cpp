// The main window's detail panels, pop-ups and check command, driven as a user drives them.
#include "window_fixture.h"

#include "editor/frm_postes.h"
#include "model/action_value.h"

#include <optional>
#include <utility>

using namespace editor_testing;

namespace {

QString shownText(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentText();
    return qobject_cast<QLabel*>(w)->text();
}

class WindowPanels : public WindowTest {
protected:
    QComboBox* types() { return find<QComboBox>("cboTypesActions"); }
    // M1's key: "value|text|image" of its node, or of the sub-menu node standing for it.
    QString key(int digit, const QString& node = {}) {
        const QString shown = node.isEmpty() ? QStringLiteral("E-M1-%1").arg(digit) : node;
        return value("M1", MenuValue::forDigit(digit)) + '|' + nodeText(shown) + '|' + nodeImage(shown);
    }
    // The shown panel, the visible detail fields of the key panel, then "control=text" of the controls
    // expected names, all joined by '|'.
    QString shown(const QString& expected) {
        QStringList details;
        for (int i = 0; i < 3; ++i)
            if (auto* field = find<QLineEdit>(QStringLiteral("txtDetail_%1").arg(i)); field->isVisible())
                details << field->text();
        QStringList out = {QString::number(shownPanel()), details.join('|')};
        for (const QString& name : expected.split('|'))
            if (name.contains('='))
                out << name.section('=', 0, 0) + '=' + shownText(find(name.section('=', 0, 0)));
        return out.join('|');
    }
    void popupCommand(const char* item) {
        nodeMenu()->findChild<QAction*>(item)->trigger();
        nodeMenu()->hide();
    }
    int topIn(const char* name) { return find(name)->mapTo(find("picNoeud_2"), QPoint(0, 0)).y(); }
};

TEST_F(WindowPanels, ClickingANodeShowsThePanelOfItsKindWithItsValues) {
    // The node, then its panel, the key's details and "control=text" of the panel's controls.
    const std::pair<const char*, QString> cases[] = {
        {"A1",
         "0||txtLib_0=Reception|txtArbreAnnonces_1=10|cboActionsArbre_1=Announcement|txtActionsArbre_1=12"},
        {"M2", "1||txtLib_1=Service|cboHoraires=Schedule n°1|txtAnnonceMenu=13"},
        {"E-M1-3", "2|15|2|2|cboTypesActions=Announcement|lblLibDetail_1=Repeat :"},
        {"E-M1-1", "2|201|cboTypesActions=Transfer"},
        {"A2", "-1|"}, // a grey tree
    };
    frmMain& w = open();
    const QString title = w.windowTitle();
    std::optional<QPoint> tops; // of the key panel's heading and type list, wherever its fields end
    for (const auto& [node, expected] : cases) {
        clickNode(node);
        EXPECT_EQ(shown(expected), expected);
        if (shownPanel() != 2) continue;
        const QPoint now(topIn("lblDetails_2"), topIn("cboTypesActions"));
        EXPECT_EQ(now, tops.value_or(now)) << node;
        tops = now;
    }
    EXPECT_EQ(w.windowTitle() + ' ' + QString::number(journalItems().size()), title + " 1")
        << "showing changes nothing";
}

// A key's type choice is a journal step; typing or choosing its parameter folds into it.
TEST_F(WindowPanels, KeyTypeTreeAndMenuFieldsWriteTheirValuesAndRedrawTheNodes) {
    // The type chosen, a field typed into or a list chosen in (none: nullptr) and its input, then the key's
    // "value|text|image".
    const char* const cases[][4] = {
        {"Announcement", "txtDetail_2", "7", "ann;;2;27|4 - Announcement ()|Annonce"},
        {"Jump", "cboMenuSaut", "M2 - Service!", "sau;M2|4 - Jump (Service!)|Saut"},
        {"No action", nullptr, nullptr, "|4 - No action|NoAction"},
    };
    frmMain& w = open();
    const QString title = w.windowTitle();
    // Tree and menu fields: typing folds into the start's step; a tree exit's type is no step of its own, its
    // parameter is written with one repetition.
    clickNode("M2");
    QTest::keyClicks(find("txtLib_1"), "!");
    EXPECT_EQ(value("M2", MenuValue::lib) + '|' + nodeText("M2"), "Service!|2 - Service!");
    clickNode("A1");
    choose(find<QComboBox>("cboActionsArbre_0"), "Announcement");
    QTest::keyClicks(find("txtActionsArbre_0"), "abc");
    choose(find<QComboBox>("cboActionsArbre_2"), "Jump");
    choose(find<QComboBox>("cboSautArbre_2"), "M1 - Main menu");
    EXPECT_EQ(value("A1", TreeValue::exit_trf) + '|' + value("A1", TreeValue::exit_nac),
              "ann;abc;1;1|sau;M1");
    EXPECT_EQ(w.windowTitle() + ' ' + QString::number(journalItems().size()), title + "* 1");
    for (const auto& [type, field, input, expected] : cases) {
        SCOPED_TRACE(type);
        clickNode("E-M1-4");
        const int steps = journalItems().size();
        choose(types(), type);
        ASSERT_EQ(journalItems().size(), steps + 1);
        EXPECT_TRUE(journalItems().last().endsWith(" -> Action : " + nodeText("E-M1-4")));
        if (field && QString(field).startsWith("cbo"))
            choose(find<QComboBox>(field), input);
        else if (field)
            QTest::keyClicks(find(field), input);
        EXPECT_EQ(QStringList({key(4), QString::number(journalItems().size() - steps), w.windowTitle()}),
                  QStringList({expected, "1", title + '*'}));
    }
}

TEST_F(WindowPanels, PopUpItemsByNodeKindAndServerGeneration) {
    const QStringList items = {"mnuAction1", "mnuAction2", "mnuAction3", "mnuAction4", "mnuAction5",
                               "mnuAction6", "mnuAction7", "mnuVide2",   "mnuAddMenu"};
    for (const bool version500 : {true, false}) {
        SCOPED_TRACE(version500 ? "generation 500" : "older server");
        ctx.VERSION_500 = version500;
        ctx.Nb_arbre = 2;
        open();
        QStringList shown; // none on tree 1 with its start menu, nor on a grey tree
        for (const char* node : {"A1", "A3", "A2", "M1", "E-M1-4"})
            shown << popupItems(node).join(' ');
        const QStringList keyItems = version500 ? items : items.mid(0, 5) + items.mid(7);
        EXPECT_EQ(shown, QStringList({"", "", "mnuAddMenu", "mnuDelete", keyItems.join(' ')}));
        EXPECT_EQ(types()->count(), version500 ? 9 : 6) << "sub-menu and voice boxes need a 500";
        popupCommand("mnuAction2");
        EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "trf;");
        EXPECT_TRUE(journalItems().last().endsWith(" -> Action : 4 - Transfer ()"));
    }
}

TEST_F(WindowPanels, DeleteClearsAKeyActionOrDeletesAMenuAndThePopUpAddsAndDeletesMenus) {
    open();
    clickNode("A1");
    QTest::keyClick(treeV(), Qt::Key_Delete);
    EXPECT_FALSE(titleMarked()) << "a tree is not deleted";

    clickNode("E-M1-1");
    QTest::keyClick(treeV(), Qt::Key_Delete);
    EXPECT_EQ(key(1) + ' ' + QString::number(journalItems().size()), "|1 - No action|NoAction 2");

    clickNode("M2");
    QTest::keyClick(treeV(), Qt::Key_Delete);
    EXPECT_FALSE(indexOf("E-M2-0").isValid());
    EXPECT_EQ(value("M1", MenuValue::forDigit(2)), "");
    EXPECT_TRUE(journalItems().last().contains("Menu deleted '2 - Service'"));

    ASSERT_FALSE(popupItems("E-M1-7").isEmpty());
    popupCommand("mnuAddMenu");
    EXPECT_TRUE(treeV()->isExpanded(indexOf("M3"))) << "its keys are what is filled next";
    EXPECT_EQ(rowTexts(treeV()->model(), indexOf("M1")).value(7), "7 - New menu") << "in place of the key";
    EXPECT_EQ(key(7, "M3") + '|' + selectedKey(), "men;M3|7 - New menu|Menu|M3");
    EXPECT_EQ(rowTexts(treeV()->model(), indexOf("M3")).size(), 10);
    EXPECT_EQ(config().sections.sectionText("M3"),
              "[M3]\r\nlib=New menu\r\nhor=\r\nann=\r\nrep=2\r\nsil=2\r\n"
              "0=\r\n1=\r\n2=\r\n3=\r\n4=\r\n5=\r\n6=\r\n7=\r\n8=\r\n9=\r\n");
    EXPECT_TRUE(journalItems().last().endsWith(" -> Menu added : 7 - New menu"));

    ASSERT_FALSE(popupItems("M3").isEmpty());
    popupCommand("mnuDelete");
    EXPECT_EQ(indexOf("E-M1-7").row(), 7) << "in place of the menu";
    EXPECT_EQ(key(7) + '|' + selectedKey(), "|7 - |NoAction|A1");
    EXPECT_TRUE(journalItems().last().contains("Menu deleted '7 - New menu'"));
}

TEST_F(WindowPanels, PickersWithoutServerListsSayWhereTheListsComeFrom) {
    open();
    const std::pair<const char*, const char*> cases[] = {
        {"E-M1-1", "txtDetail_0"}, {"E-M1-3", "cmdPopup"}, {"A1", "txtArbreAnnonces_1"}};
    for (const auto& [node, control] : cases) {
        SCOPED_TRACE(control);
        clickNode(node);
        prompts.shown.clear();
        EXPECT_FALSE(onModal([&] {
            if (QString(control).startsWith("cmd"))
                QTest::mouseClick(find(control), Qt::LeftButton);
            else
                QTest::mouseDClick(find(control), Qt::LeftButton);
        })) << "no empty picker";
        EXPECT_EQ(QString::number(prompts.shown.size()) + ' ' + prompts.shown.value(0).kind + ": " +
                      lastMessage().left(55),
                  "1 information: The announcement and station lists come from the server");
    }

    ctx.Stations = {{"205", "Desk", 1, QString()}, {"206", "Hall", 1, QString()}};
    clickNode("E-M1-1");
    EXPECT_TRUE(onModal<frmPostes>([&] { QTest::mouseDClick(find("txtDetail_0"), Qt::LeftButton); },
                                   [](frmPostes& picker) {
                                       EXPECT_EQ(picker.windowTitle(), "Number ");
                                       picker.list()->setCurrentItem(picker.list()->topLevelItem(1));
                                       picker.choose();
                                   }));
    EXPECT_EQ(key(1), "trf;206|1 - Transfer (206)|Transfert");
}

TEST_F(WindowPanels, SmallWindowScrollsThePanelsBothWaysWithoutSqueezingFields) {
    frmMain& w = open();
    w.setMinimumSize(0, 0); // smaller than the window allows: the panels must cope on their own
    w.resize(400, 300);
    QApplication::processEvents();
    const int tenDigits = w.fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    for (const auto& [key, index] : {std::pair{"A1", 0}, {"M2", 1}, {"E-M1-3", 2}}) {
        SCOPED_TRACE(key);
        clickNode(key);
        QApplication::processEvents();
        auto* frame = find<QScrollArea>(QStringLiteral("picBlanc_%1").arg(index));
        QWidget* content = frame->widget();
        for (QWidget* field : content->findChildren<QWidget*>()) {
            if (!field->isVisible() || !(qobject_cast<QLineEdit*>(field) || qobject_cast<QComboBox*>(field)))
                continue;
            SCOPED_TRACE(field->objectName().toStdString());
            EXPECT_GE(field->width(), tenDigits) << "room for a station number";
            const QRect at(field->mapTo(content, QPoint(0, 0)), field->size());
            // Within what the scroll bars can bring into view, and a bar is there when needed.
            EXPECT_LE(at.right(), frame->viewport()->width() + frame->horizontalScrollBar()->maximum());
            EXPECT_LE(at.bottom(), frame->viewport()->height() + frame->verticalScrollBar()->maximum());
        }
        EXPECT_EQ(frame->horizontalScrollBar()->isVisible(), content->width() > frame->viewport()->width());
        EXPECT_EQ(frame->verticalScrollBar()->isVisible(), content->height() > frame->viewport()->height());
    }
}

TEST_F(WindowPanels, JumpListsNameEachTargetByKeyAndLabel) {
    // Key 9 jumps to another tree; M2 has an empty name, told apart from a missing one.
    open(
        workedExample("sau;A2").replace("lib=Service", "lib=").replace("8=\r\n9=\r\n", "8=sau;M2\r\n9=\r\n"));
    EXPECT_EQ(nodeText("E-M1-9") + '|' + nodeText("E-M2-8"), "9 - Jump (Tree 2)|8 - Jump ()");
    clickNode("E-M1-9");
    auto* jump = find<QComboBox>("cboMenuSaut");
    EXPECT_EQ(rowTexts(jump->model()) << jump->currentText(),
              (QStringList{"", "M1 - Main menu", "M2 - ", "A2 - Tree 2", "A2 - Tree 2"}));

    clickNode("E-M1-4");
    choose(types(), "Jump");
    for (const auto& [entry, text] : {std::pair{"M2 - ", "4 - Jump ()"}, {"", "4 - Jump"}}) {
        choose(jump, entry);
        EXPECT_EQ(nodeText("E-M1-4"), text);
    }
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "sau;");

    // A renamed menu shows under its new name in a list already filled with the same targets.
    clickNode("M2");
    QTest::keyClicks(find("txtLib_1"), "x");
    clickNode("E-M1-4");
    EXPECT_EQ(rowTexts(jump->model()), (QStringList{"", "M1 - Main menu", "M2 - x"}));
}

} // namespace
