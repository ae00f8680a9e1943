// The main window's detail panels, pop-ups and check command, driven as a user drives them.
#include "window_fixture.h"

#include "editor/frm_annonces.h"
#include "editor/frm_postes.h"
#include "model/action_value.h"

#include <utility>
#include <vector>

using namespace editor_testing;

namespace {

// Calls back at the first pause of a verification, while the run is in progress.
class ProbePacing final : public platform::Pacing {
public:
    std::function<void()> atFirstPause;
    void pause(int) override {
        if (atFirstPause) std::exchange(atFirstPause, nullptr)();
    }
    void processEvents() override {}
};

// The text a user reads in a panel field, list or caption.
QString shownText(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentText();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    return QStringLiteral("<not a text>");
}

class WindowPanels : public WindowTest {
protected:
    QComboBox* types() { return window->panels().cboTypesActions; }
    QString key4() const { return value("M1", MenuValue::forDigit(4)); }
    // The visible detail fields of the key panel, in order.
    QStringList details() {
        QStringList out;
        for (QLineEdit* field : window->panels().txtDetail)
            if (field->isVisible()) out << field->text();
        return out;
    }
};

TEST_F(WindowPanels, ClickingANodeShowsThePanelOfItsKindWithItsValues) {
    const struct {
        const char* key;
        int panel;
        std::vector<std::pair<const char*, const char*>> fields;
        QStringList details;
    } cases[] = {
        {"A1",
         0,
         {{"txtLib_0", "Reception"},
          {"txtArbreAnnonces_1", "10"},
          {"txtRepeat", "2"},
          {"cboActionsArbre_0", "Operator"},
          {"cboActionsArbre_1", "Announcement"},
          {"lblCaptionInfo_1", "Announcement number"},
          {"txtActionsArbre_1", "12"}},
         {}},
        {"M2", 1, {{"txtLib_1", "Service"}, {"cboHoraires", "Schedule n°1"}, {"txtAnnonceMenu", "13"}}, {}},
        {"E-M1-0", 2, {{"cboTypesActions", "No action"}, {"lblNumTouche", "0"}}, {}},
        {"E-M1-1", 2, {{"cboTypesActions", "Transfer"}, {"lblLibDetail_0", "Number :"}}, {"201"}},
        {"E-M1-3",
         2,
         {{"cboTypesActions", "Announcement"}, {"lblLibDetail_1", "Repeat :"}},
         {"15", "2", "2"}},
        {"E-M2-0", 2, {{"cboTypesActions", "Operator"}, {"lblNumTouche", "0"}}, {}},
        {"A2", -1, {}, {}}, // a grey tree
    };
    frmMain& w = open();
    const QString title = w.windowTitle();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        clickNode(c.key);
        EXPECT_EQ(shownPanel(), c.panel);
        for (const auto& [name, text] : c.fields)
            EXPECT_EQ(shownText(panel(name)), text) << name;
        if (c.panel == 2) {
            EXPECT_EQ(details(), c.details);
        }
    }
    EXPECT_FALSE(panel("picInfoSup_0")->isVisible()) << "the operator exit has no parameter";
    EXPECT_EQ(w.windowTitle(), title) << "showing a node changes nothing";
    EXPECT_EQ(journalItems().size(), 1);

    // The keyboard moves the selection: from key 1 to sub-menu M2 on key 2.
    clickNode("E-M1-1");
    QTest::keyClick(w.treeV, Qt::Key_Down);
    EXPECT_EQ(selectedKey(), "M2");
    EXPECT_EQ(shownPanel(), 1);
}

TEST_F(WindowPanels, ChoosingAKeyTypeWritesItsDefaultAndRedrawsTheNode) {
    const struct {
        const char* type;
        const char* value;
        const char* text;
        const char* image;
    } cases[] = {
        {"Transfer", "trf;", "4 - Transfer ()", "Transfert"},
        {"Announcement", "ann;;2;2", "4 - Announcement ()", "Annonce"},
        {"Operator", "std", "4 - Operator", "Standard"},
        {"Free dialling", "num", "4 - Free dialling", "FreeDialing"},
        {"Jump", "sau;", "4 - Jump", "Saut"},
        {"Voice box", "bvn", "4 - Voice box", "BoiteVoc1"},
        {"Station voice box", "bvo;", "4 - Station voice box", "BoiteVoc2"},
        {"No action", "", "4 - No action", "NoAction"},
    };
    frmMain& w = open();
    const QString title = w.windowTitle();
    clickNode("E-M1-4");
    int steps = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        choose(types(), c.type);
        EXPECT_EQ(key4(), c.value);
        EXPECT_EQ(nodeText("E-M1-4"), c.text);
        EXPECT_EQ(nodeImage("E-M1-4"), c.image);
        EXPECT_EQ(panel("imgNoeud_2")->property("imageKey").toString(), c.image);
        ASSERT_EQ(journalItems().size(), ++steps);
        EXPECT_TRUE(journalItems().last().endsWith(QStringLiteral(" -> Action : ") + c.text));
        EXPECT_EQ(w.windowTitle(), title + '*');
    }
}

TEST_F(WindowPanels, KeyParametersWriteTheValueAndTheNodeTextWithoutANewStep) {
    const struct {
        const char* type;
        const char* field; // typed into, or chosen in a list
        const char* input;
        const char* value;
        const char* text;
    } cases[] = {
        {"Announcement", "txtDetail_0", "abc", "ann;abc;2;2", "4 - Announcement (abc)"},
        {"Announcement", "txtDetail_2", "7", "ann;;2;27", "4 - Announcement ()"},
        {"Transfer", "txtDetail_0", "12", "trf;12", "4 - Transfer (12)"},
        {"Station voice box", "txtDetail_0", "8204", "bvo;8204", "4 - Station voice box (8204)"},
        {"Jump", "cboMenuSaut", "Service", "sau;M2", "4 - Jump (Service)"},
        {"Jump", "cboMenuSaut", "", "sau;", "4 - Jump"},
    };
    frmMain& w = open();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.field);
        clickNode("E-M1-4");
        choose(types(), c.type);
        const int steps = journalItems().size();
        if (QString(c.field).startsWith("cbo"))
            choose(panel<QComboBox>(c.field), c.input);
        else
            QTest::keyClicks(panel(c.field), c.input);
        EXPECT_EQ(key4(), c.value);
        EXPECT_EQ(nodeText("E-M1-4"), c.text);
        EXPECT_EQ(journalItems().size(), steps);
        EXPECT_TRUE(w.mnuSave->isEnabled());
    }
}

TEST_F(WindowPanels, JumpTargetsAreTheMenusOfTheNodesOwnTree) {
    ctx.Nb_arbre = 2;
    open(workedExample(
        "sau;M2", "M9",
        "[M9]\nlib=Other\nhor=\nann=\nrep=2\nsil=2\n0=sau;M9\n1=\n2=\n3=\n4=\n5=\n6=\n7=\n8=\n9=\n"));
    clickNode("E-M1-9");
    QComboBox* targets = panel<QComboBox>("cboMenuSaut");
    EXPECT_EQ(rowTexts(targets->model()), (QStringList{"", "Main menu", "Service"}));
    EXPECT_EQ(targets->currentText(), "Service");
    EXPECT_EQ(panel<QComboBox>("cboSautArbre_2")->count(), 3);
    clickNode("E-M9-0");
    EXPECT_EQ(rowTexts(targets->model()), (QStringList{"", "Other"}));
    EXPECT_EQ(targets->currentText(), "Other");
}

TEST_F(WindowPanels, TreeAndMenuFieldsWriteTheirValues) {
    const struct {
        const char* node;
        const char* field;
        int index;
        const char* value;
        const char* text; // of the node, when the field names it
    } cases[] = {
        {"A1", "txtLib_0", TreeValue::lib, "Reception!", "1 - Reception!"},
        {"A1", "txtArbreAnnonces_2", TreeValue::ann2, "!", nullptr},
        {"A1", "txtRepeat", TreeValue::rep2, "2!", nullptr},
        {"M2", "txtLib_1", MenuValue::lib, "Service!", "2 - Service!"},
        {"M1", "txtAnnonceMenu", MenuValue::ann, "11!", nullptr},
        {"M1", "txtRepeatMenu", MenuValue::rep, "2!", nullptr},
        {"M1", "txtSilence", MenuValue::sil, "2!", nullptr},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        clickNode(c.node);
        QTest::keyClicks(panel(c.field), "!");
        EXPECT_EQ(value(c.node, c.index), c.value);
        if (c.text) {
            EXPECT_EQ(nodeText(c.node), c.text);
        }
    }
    EXPECT_TRUE(titleMarked());
    EXPECT_EQ(journalItems().size(), 1) << "typing folds into the current step";

    // A tree exit: its type is no step of its own, its parameter is written with one repetition.
    clickNode("A1");
    choose(panel<QComboBox>("cboActionsArbre_0"), "Announcement");
    EXPECT_EQ(value("A1", TreeValue::exit_trf), "ann;;;");
    EXPECT_TRUE(panel("picInfoSup_0")->isVisible());
    QTest::keyClicks(panel("txtActionsArbre_0"), "abc");
    EXPECT_EQ(value("A1", TreeValue::exit_trf), "ann;abc;1;1");
    choose(panel<QComboBox>("cboActionsArbre_1"), "Transfer"); // held ann;12;;
    EXPECT_EQ(value("A1", TreeValue::exit_fer), "trf;");
    EXPECT_EQ(panel<QLineEdit>("txtActionsArbre_1")->text(), "");
    choose(panel<QComboBox>("cboActionsArbre_2"), "Jump");
    EXPECT_TRUE(panel("picSaut_2")->isVisible());
    EXPECT_FALSE(panel("picInfoSup_2")->isVisible());
    choose(panel<QComboBox>("cboSautArbre_2"), "Main menu");
    EXPECT_EQ(value("A1", TreeValue::exit_nac), "sau;M1");
    EXPECT_EQ(journalItems().size(), 1);
}

TEST_F(WindowPanels, AtLeastOneLanguageStaysChosenAndSchedulesByPosition) {
    open();
    clickNode("A1");
    auto box = [&](int i) { return panel<QCheckBox>(QStringLiteral("chkLangues_%1").arg(i)); };
    box(2)->click();
    EXPECT_EQ(value("A1", TreeValue::langue), "1;3");
    box(0)->click();
    EXPECT_EQ(value("A1", TreeValue::langue), "3");
    box(2)->click();
    EXPECT_TRUE(box(2)->isChecked());
    EXPECT_EQ(value("A1", TreeValue::langue), "3");

    clickNode("M1");
    QComboBox* schedules = panel<QComboBox>("cboHoraires");
    ASSERT_EQ(schedules->count(), 11);
    EXPECT_EQ(schedules->itemText(0), "");
    EXPECT_EQ(schedules->itemText(10), "Schedule n°10");
    choose(schedules, "Schedule n°4");
    EXPECT_EQ(value("M1", MenuValue::hor), "4");
    choose(schedules, "");
    EXPECT_EQ(value("M1", MenuValue::hor), "");
    window->config().sections.setValue("M1", MenuValue::hor, "2.5");
    clickNode("M2");
    clickNode("M1");
    EXPECT_EQ(schedules->currentIndex(), 0) << "not a whole number: no schedule";
}

TEST_F(WindowPanels, CheckColoursNodesAndCaptionsAndFillsTheList) {
    frmMain& w = open();
    clickNode("E-M1-1");
    EXPECT_EQ(captionColour("lblLibDetail_0"), Black);
    ASSERT_TRUE(w.mnuValide->isEnabled());
    w.mnuValide->trigger();

    // No station and no announcement on this server: every number is unknown (warnings); the exit
    // when closed lacks its repetitions and silences (errors).
    const struct {
        const char* key;
        int colour;
    } nodes[] = {{"A1", Red},        {"M1", Orange}, {"E-M1-0", Black}, {"E-M1-1", Orange},
                 {"E-M1-3", Orange}, {"M2", Orange}, {"E-M2-0", Black}, {"A2", Grey}};
    for (const auto& n : nodes)
        EXPECT_EQ(nodeColour(n.key), n.colour) << n.key;
    const QStringList lines = debugLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().endsWith("Checked : 2 errors - 6 warnings")) << lines.last().toStdString();
    EXPECT_EQ(lines.filter("Checking").size(), 1) << "one start line";

    // The key shown before the check takes its colours without a new click.
    EXPECT_EQ(selectedKey(), "E-M1-1");
    EXPECT_EQ(captionColour("lblLibDetail_0"), Orange);
    EXPECT_FALSE(w.picProgress->isVisible());
    EXPECT_TRUE(w.mnuValide->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const struct {
        const char* key;
        const char* caption;
        int colour;
    } captions[] = {
        {"A1", "lblAnnonceAccueil", Orange}, {"A1", "lblCaptionInfo_1", Red},
        {"A1", "lblRepetition_0", Black},    {"M1", "lblAnnonceMenu", Orange},
        {"M1", "lblSilences", Black},        {"E-M1-3", "lblLibDetail_0", Orange},
        {"E-M1-3", "lblLibDetail_1", Black},
    };
    for (const auto& c : captions) {
        clickNode(c.key);
        EXPECT_EQ(captionColour(c.caption), c.colour) << c.key << " " << c.caption;
    }
}

TEST_F(WindowPanels, CheckInProgressShowsProgressAndRefusesASecondRun) {
    frmMain& w = open();
    ProbePacing probe;
    bool progressShown = false, menuEnabled = true, waitCursor = false;
    int secondRun = 0;
    probe.atFirstPause = [&] {
        progressShown = w.picProgress->isVisible() && w.picProgress->value() == 1;
        menuEnabled = w.mnuValide->isEnabled();
        waitCursor =
            QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        w.mnuValide_Click();
        secondRun = w.verifArbo();
    };
    w.setPacing(probe);
    w.mnuValide->trigger();

    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(menuEnabled);
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(secondRun, TreeVerifier::Aborted);
    EXPECT_EQ(debugLines().filter("Checked").size(), 1) << "one run only";
    EXPECT_FALSE(w.picProgress->isVisible());
    EXPECT_TRUE(w.mnuValide->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowPanels, PopUpItemsByNodeKindAndServerGeneration) {
    const QStringList five = {"mnuAction1", "mnuAction2", "mnuAction3", "mnuAction4",
                              "mnuAction5", "mnuVide2",   "mnuAddMenu"};
    QStringList seven = five;
    seven.insert(5, "mnuAction7");
    seven.insert(5, "mnuAction6");
    for (const bool version500 : {true, false}) {
        SCOPED_TRACE(version500 ? "generation 500" : "older server");
        ctx.VERSION_500 = version500;
        ctx.Nb_arbre = 2;
        frmMain& w = open();
        EXPECT_FALSE(rightPress("A1")) << "tree 1 has its start menu";
        ASSERT_TRUE(rightPress("A2"));
        EXPECT_EQ(popupItems(), QStringList{"mnuAddMenu"});
        EXPECT_EQ(w.nodePopup().mnuAddMenu->text(), "Add a menu");
        ASSERT_TRUE(rightPress("M1"));
        EXPECT_EQ(popupItems(), QStringList{"mnuDelete"});
        EXPECT_FALSE(rightPress("A3")) << "a grey tree has no pop-up";

        ASSERT_TRUE(rightPress("E-M1-4"));
        EXPECT_EQ(selectedKey(), "E-M1-4") << "the press selects the node first";
        EXPECT_EQ(popupItems(), version500 ? seven : five);
        EXPECT_EQ(types()->count(), version500 ? 9 : 6) << "sub-menu and voice boxes need a 500";
        EXPECT_EQ(w.nodePopup().mnuAddMenu->text(), "Sub-menu");
        w.nodePopup().mnuAction[1]->trigger();
        w.nodePopup().Menu->hide();
        EXPECT_EQ(key4(), "trf;");
        EXPECT_EQ(types()->currentText(), "Transfer");
        EXPECT_TRUE(journalItems().last().endsWith(" -> Action : 4 - Transfer ()"));
    }
}

TEST_F(WindowPanels, SubMenuAddedFromThePopUpAndDeletedAgain) {
    frmMain& w = open();
    ASSERT_EQ(w.config().maxNumMenu, 2);
    ASSERT_TRUE(rightPress("E-M1-7"));
    w.nodePopup().mnuAddMenu->trigger();
    w.nodePopup().Menu->hide();

    EXPECT_FALSE(indexOf("E-M1-7").isValid());
    ASSERT_TRUE(indexOf("M3").isValid());
    EXPECT_EQ(indexOf("M3").parent(), indexOf("M1"));
    EXPECT_EQ(indexOf("M3").row(), 7);
    EXPECT_EQ(nodeText("M3"), "7 - New menu");
    EXPECT_EQ(value("M1", MenuValue::forDigit(7)), "men;M3");
    EXPECT_EQ(rowTexts(w.treeV->model(), indexOf("M3")).size(), 10);
    EXPECT_EQ(nodeText("E-M3-9"), "9 - ");
    EXPECT_EQ(selectedKey(), "M3");
    EXPECT_EQ(shownPanel(), 1);
    EXPECT_EQ(w.panels().txtLib[1]->text(), "New menu");
    EXPECT_TRUE(journalItems().last().endsWith(" -> Menu added : 7 - New menu"));
    EXPECT_TRUE(titleMarked());

    ASSERT_TRUE(rightPress("M3"));
    w.nodePopup().mnuDelete->trigger();
    w.nodePopup().Menu->hide();

    EXPECT_FALSE(indexOf("M3").isValid());
    EXPECT_EQ(indexOf("E-M1-7").row(), 7);
    EXPECT_EQ(nodeText("E-M1-7"), "7 - ");
    EXPECT_EQ(value("M1", MenuValue::forDigit(7)), "");
    EXPECT_EQ(selectedKey(), "A1");
    EXPECT_EQ(shownPanel(), 0);
    EXPECT_TRUE(journalItems().last().contains("Menu deleted '7 - New menu'"));
    EXPECT_EQ(w.config().maxNumMenu, 3) << "the number of a deleted menu is not given again";

    // A start menu goes the same way, and the tree then offers a new one.
    ASSERT_TRUE(rightPress("M1"));
    w.nodePopup().mnuDelete->trigger();
    EXPECT_EQ(value("A1", TreeValue::menu), "");
    EXPECT_EQ(w.treeV->model()->rowCount(indexOf("A1")), 0);
    ASSERT_TRUE(rightPress("A1"));
    w.nodePopup().mnuAddMenu->trigger();
    w.nodePopup().Menu->hide();
    EXPECT_EQ(value("A1", TreeValue::menu), "M4");
    EXPECT_EQ(nodeText("M4"), "1 - New menu");
}

TEST_F(WindowPanels, NoMenuFourLevelsDown) {
    frmMain& w = open();
    clickNode("E-M2-5");
    choose(types(), " -> Sub-menu"); // M3 at depth 3
    clickNode("E-M3-5");
    choose(types(), " -> Sub-menu");
    EXPECT_EQ(w.config().maxNumMenu, 3);
    EXPECT_EQ(value("M3", MenuValue::forDigit(5)), "");
    EXPECT_EQ(types()->currentText(), "No action") << "the key is shown as it is";
}

TEST_F(WindowPanels, DeleteKeyClearsAKeyActionOrDeletesAMenu) {
    frmMain& w = open();
    const QString title = w.windowTitle();
    for (const char* untouched : {"E-M1-0", "A1"}) {
        clickNode(untouched);
        QTest::keyClick(w.treeV, Qt::Key_Delete);
        EXPECT_EQ(w.windowTitle(), title) << untouched;
        EXPECT_EQ(journalItems().size(), 1) << untouched;
    }

    clickNode("E-M1-1");
    QTest::keyClick(w.treeV, Qt::Key_Delete);
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "");
    EXPECT_EQ(nodeText("E-M1-1"), "1 - No action");
    EXPECT_EQ(nodeImage("E-M1-1"), "NoAction");
    EXPECT_EQ(types()->currentText(), "No action");
    EXPECT_EQ(w.windowTitle(), title + '*');
    EXPECT_EQ(journalItems().size(), 2);

    clickNode("M2");
    QTest::keyClick(w.treeV, Qt::Key_Delete);
    EXPECT_FALSE(indexOf("M2").isValid());
    EXPECT_FALSE(indexOf("E-M2-0").isValid());
    EXPECT_EQ(nodeText("E-M1-2"), "2 - ");
    EXPECT_EQ(value("M1", MenuValue::forDigit(2)), "");
    EXPECT_EQ(selectedKey(), "A1");
    EXPECT_TRUE(journalItems().last().contains("Menu deleted '2 - Service'"));
}

TEST_F(WindowPanels, PickersAreTitledWithTheFieldCaptionAndWriteTheChoice) {
    frmMain& w = open();
    auto doubleClick = [](QWidget* field) { return [field] { QTest::mouseDClick(field, Qt::LeftButton); }; };
    clickNode("E-M1-1");
    EXPECT_FALSE(onModal(doubleClick(w.panels().txtDetail[0]))) << "no station on this server";
    clickNode("M1");
    EXPECT_FALSE(onModal(doubleClick(w.panels().txtAnnonceMenu))) << "no announcement on this server";

    ctx.Stations = {{"205", "Desk", 1, QString()}, {"206", "Hall", 1, QString()}};
    Announcement hall;
    hall.number = 12;
    ctx.Announcements = {hall};
    const struct {
        const char* node;
        const char* field;
        const char* picker;
        const char* title;
    } cases[] = {
        {"E-M1-3", "cmdPopup", "frmAnnonces", "Announcement number "},
        {"M1", "txtAnnonceMenu", "frmAnnonces", "Menu announcement "},
        {"A1", "txtArbreAnnonces_1", "frmAnnonces", "Welcome "},
        {"E-M1-1", "txtDetail_0", "frmPostes", "Number "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        clickNode(c.node);
        QWidget* field = panel(c.field);
        auto act = c.field == std::string("cmdPopup")
                       ? std::function<void()>([field] { QTest::mouseClick(field, Qt::LeftButton); })
                       : doubleClick(field);
        QString picker, title;
        EXPECT_TRUE(onModal<QDialog>(act, [&](QDialog& d) {
            picker = d.objectName();
            title = d.windowTitle();
        }));
        EXPECT_EQ(picker, c.picker);
        EXPECT_EQ(title, c.title);
    }
    EXPECT_FALSE(titleMarked()) << "closing a picker writes nothing";

    EXPECT_TRUE(onModal<frmPostes>(doubleClick(w.panels().txtDetail[0]), [](frmPostes& picker) {
        picker.list()->setCurrentItem(picker.list()->topLevelItem(1));
        picker.choose();
    }));
    EXPECT_EQ(w.panels().txtDetail[0]->text(), "206");
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "trf;206");
    EXPECT_EQ(nodeText("E-M1-1"), "1 - Transfer (206)");
}

} // namespace
