#include "panel_fixture.h"

#include <QCheckBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

struct KeyCase {
    const char* key;
    const char* type;    // text of cboTypesActions
    const char* image;   // picture of the key panel
    QStringList details; // visible detail fields, in order
    bool jump;
};

TEST_F(PanelTest, KeyClickShowsItsActionInTheKeyPanel) {
    const QList<KeyCase> cases = {
        {"E-M1-0", "No action", "NoAction", {}, false},
        {"E-M1-1", "Transfer", "Transfert", {"201"}, false},
        {"E-M1-3", "Announcement", "Annonce", {"15", "2", "2"}, false},
        {"E-M2-0", "Operator", "Standard", {}, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.key);
        click(c.key);
        EXPECT_EQ(visiblePanel(), 2);
        EXPECT_EQ(combo("cboTypesActions")->currentText(), c.type);
        EXPECT_EQ(label("imgNoeud_2")->property("imageKey").toString(), c.image);
        EXPECT_EQ(label("lblNumTouche")->text(), QString(c.key).right(1));
        QStringList details;
        for (int i = 0; i < 3; ++i)
            if (shown(QStringLiteral("txtDetail_%1").arg(i)))
                details << edit(QStringLiteral("txtDetail_%1").arg(i))->text();
        EXPECT_EQ(details, c.details);
        EXPECT_EQ(shown("picBlanc_2"), !c.details.isEmpty());
    }
    EXPECT_EQ(label("lblLibDetail_1")->text(), "Repeat :");
    EXPECT_TRUE(host.steps.isEmpty()) << "showing a node writes nothing";
    EXPECT_TRUE(host.saveMarks.isEmpty());
}

TEST_F(PanelTest, ClickSetsTheDisplayState) {
    click("E-M2-0");
    const DisplayState& s = panels().display();
    EXPECT_EQ(s.currentNodeKey, "E-M2-0");
    EXPECT_EQ(s.currentSectionIndex, 0);
    EXPECT_EQ(s.parentNodeKey, "M2");
    EXPECT_EQ(s.parentSectionIndex, config.sections.findSection("M2"));
    EXPECT_EQ(s.currentKeyDigit, 0);
    EXPECT_EQ(s.nodeDepth, 3);
    click("A1");
    EXPECT_EQ(s.parentNodeKey, "");
    EXPECT_EQ(s.parentSectionIndex, config.sections.findSection("M2")) << "a tree click keeps it";
    EXPECT_EQ(s.currentKeyDigit, -1);
    EXPECT_EQ(s.nodeDepth, 0);
    EXPECT_FALSE(s.displayBusy);
}

TEST_F(PanelTest, TreeClickFillsTheTreePanel) {
    click("A1");
    EXPECT_EQ(visiblePanel(), 0);
    EXPECT_EQ(edit("txtLib_0")->text(), "Reception");
    EXPECT_EQ(edit("txtArbreAnnonces_1")->text(), "10");
    EXPECT_EQ(edit("txtRepeat")->text(), "2");
    EXPECT_TRUE(get<QCheckBox>("chkLangues_0")->isChecked());
    EXPECT_FALSE(get<QCheckBox>("chkLangues_1")->isChecked());
    EXPECT_EQ(combo("cboActionsArbre_0")->currentText(), "Operator");
    EXPECT_FALSE(shown("picInfoSup_0"));
    EXPECT_EQ(combo("cboActionsArbre_1")->currentText(), "Announcement");
    EXPECT_TRUE(shown("picInfoSup_1"));
    EXPECT_EQ(label("lblCaptionInfo_1")->text(), "Announcement number");
    EXPECT_EQ(edit("txtActionsArbre_1")->text(), "12");
    EXPECT_FALSE(shown("picSaut_1"));
}

TEST_F(PanelTest, MenuClickFillsTheMenuPanel) {
    click("M2");
    EXPECT_EQ(visiblePanel(), 1);
    EXPECT_EQ(edit("txtLib_1")->text(), "Service");
    EXPECT_EQ(combo("cboHoraires")->currentText(), "Schedule n°1");
    EXPECT_EQ(edit("txtAnnonceMenu")->text(), "13");
    EXPECT_EQ(edit("txtSilence")->text(), "2");
    config.sections.setValue("M2", MenuValue::hor, "2.5");
    click("M2");
    EXPECT_EQ(combo("cboHoraires")->currentIndex(), 0) << "not a whole number: no schedule";
}

TEST_F(PanelTest, CaptionsAreColouredFromTheLastVerification) {
    Section& m1 = *config.sections.find("M1");
    m1.errorFields = "09;1;";   // key 3: announcement number
    m1.warningFields = "09;2;"; // key 3: repetitions
    click("E-M1-3");
    EXPECT_EQ(colour("lblLibDetail_0"), 255);
    EXPECT_EQ(colour("lblLibDetail_1"), 33023);
    EXPECT_EQ(colour("lblLibDetail_2"), 0);
    click("E-M1-1");
    EXPECT_EQ(colour("lblLibDetail_0"), 0);

    m1.warningFields = "03;05;";
    click("M1");
    EXPECT_EQ(colour("lblAnnonceMenu"), 33023);
    EXPECT_EQ(colour("lblRepetition_1"), 0);
    EXPECT_EQ(colour("lblSilences"), 33023);

    Section& a1 = *config.sections.find("A1");
    a1.errorFields = "02;08;";
    click("A1");
    EXPECT_EQ(colour("lblAnnonceAccueil"), 255);
    EXPECT_EQ(colour("lblAnnonceLangues"), 0);
    EXPECT_EQ(colour("lblCaptionInfo_1"), 255);
}

TEST_F(PanelTest, JumpTargetsAreTheMenusOfTheNodesOwnTree) {
    example::setUpContext(ctx, 2);
    example::build(config, ctx, {{1, {"T1", "", "", "2", "1", "M1"}}, {2, {"T2", "", "", "2", "1", "M9"}}},
                   {{"M1", example::menuValues("Main", "", "", {{2, "men;M2"}, {4, "sau;M2"}})},
                    {"M2", example::menuValues("Service", "", "", {})},
                    {"M9", example::menuValues("Other", "", "", {{0, "sau;M9"}})}});
    click("E-M1-4");
    QStringList labels;
    for (int i = 0; i < combo("cboMenuSaut")->count(); ++i)
        labels << combo("cboMenuSaut")->itemText(i);
    EXPECT_EQ(labels, QStringList({"", "Main", "Service"}));
    EXPECT_EQ(panels().lstCleMenuSaut(), QStringList({"", "M1", "M2"}));
    EXPECT_EQ(combo("cboMenuSaut")->currentText(), "Service");
    EXPECT_EQ(combo("cboSautArbre_2")->count(), 3);
    click("E-M9-0");
    EXPECT_EQ(panels().lstCleMenuSaut(), QStringList({"", "M9"}));
}

TEST_F(PanelTest, GreyTreeShowsNoPanel) {
    click("A1");
    click("A3");
    EXPECT_EQ(visiblePanel(), -1);
}

struct TypeCase {
    const char* type;
    const char* value;
    const char* text;
    const char* image;
};

TEST_F(PanelTest, ChoosingAKeyTypeWritesItsDefaultAndRedrawsTheNode) {
    const QList<TypeCase> cases = {
        {"Transfer", "trf;", "4 - Transfer ()", "Transfert"},
        {"Announcement", "ann;;2;2", "4 - Announcement ()", "Annonce"},
        {"Operator", "std", "4 - Operator", "Standard"},
        {"Free dialling", "num", "4 - Free dialling", "FreeDialing"},
        {"Jump", "sau;", "4 - Jump", "Saut"},
        {"Voice box", "bvn", "4 - Voice box", "BoiteVoc1"},
        {"Station voice box", "bvo;", "4 - Station voice box", "BoiteVoc2"},
        {"No action", "", "4 - No action", "NoAction"},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.type);
        host.steps.clear();
        click("E-M1-4");
        choose(combo("cboTypesActions"), c.type);
        EXPECT_EQ(value("M1", MenuValue::forDigit(4)), c.value);
        EXPECT_EQ(nodeText("E-M1-4"), c.text);
        EXPECT_EQ(nodeImage("E-M1-4"), c.image);
        EXPECT_EQ(label("imgNoeud_2")->property("imageKey").toString(), c.image);
        EXPECT_EQ(host.steps, QStringList{"Action"});
        EXPECT_EQ(host.saveMarks.last(), false);
    }
}

TEST_F(PanelTest, TypingAParameterWritesTheValueAndTheNodeText) {
    click("E-M1-4");
    choose(combo("cboTypesActions"), "Announcement");
    QTest::keyClicks(edit("txtDetail_0"), "abc");
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "ann;abc;2;2");
    EXPECT_EQ(nodeText("E-M1-4"), "4 - Announcement (abc)");
    QTest::keyClicks(edit("txtDetail_2"), "7");
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "ann;abc;2;27");
    EXPECT_EQ(host.steps, QStringList({"Action", "$$LAST_ACTION$$", "$$LAST_ACTION$$", "$$LAST_ACTION$$",
                                       "$$LAST_ACTION$$"}));

    click("E-M1-1");
    choose(combo("cboTypesActions"), "Transfer");
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "trf;") << "choosing a type again resets it";
    QTest::keyClicks(edit("txtDetail_0"), "12");
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "trf;12");
    EXPECT_EQ(nodeText("E-M1-1"), "1 - Transfer (12)");
}

TEST_F(PanelTest, JumpTargetChoiceWritesTheMenuKey) {
    click("E-M1-4");
    choose(combo("cboTypesActions"), "Jump");
    choose(combo("cboMenuSaut"), "Service");
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "sau;M2");
    EXPECT_EQ(nodeText("E-M1-4"), "4 - Jump (Service)");
    chooseAt(combo("cboMenuSaut"), 0);
    EXPECT_EQ(value("M1", MenuValue::forDigit(4)), "sau;");
    EXPECT_EQ(nodeText("E-M1-4"), "4 - Jump");
}

TEST_F(PanelTest, TreeExitTypeAndParameter) {
    click("A1");
    host.steps.clear();
    choose(combo("cboActionsArbre_0"), "Announcement");
    EXPECT_EQ(value("A1", TreeValue::exit_trf), "ann;;;");
    EXPECT_TRUE(host.steps.isEmpty()) << "an exit type is no journal step";
    EXPECT_EQ(host.saveMarks.last(), false);
    EXPECT_TRUE(shown("picInfoSup_0"));
    QTest::keyClicks(edit("txtActionsArbre_0"), "abc");
    EXPECT_EQ(value("A1", TreeValue::exit_trf), "ann;abc;1;1");

    choose(combo("cboActionsArbre_1"), "Transfer"); // exit_fer held ann;12;;
    EXPECT_EQ(value("A1", TreeValue::exit_fer), "trf;");
    EXPECT_EQ(edit("txtActionsArbre_1")->text(), "");
    choose(combo("cboActionsArbre_2"), "Jump");
    EXPECT_TRUE(shown("picSaut_2"));
    EXPECT_FALSE(shown("picInfoSup_2"));
    choose(combo("cboSautArbre_2"), "Main menu");
    EXPECT_EQ(value("A1", TreeValue::exit_nac), "sau;M1");
}

TEST_F(PanelTest, LabelEditRenamesTheNode) {
    click("M2");
    QTest::keyClicks(edit("txtLib_1"), "X");
    EXPECT_EQ(value("M2", MenuValue::lib), "ServiceX");
    EXPECT_EQ(nodeText("M2"), "2 - ServiceX");
    click("A1");
    edit("txtLib_0")->setText("Hall");
    EXPECT_EQ(nodeText("A1"), "1 - Hall");
    EXPECT_EQ(host.steps, QStringList({"$$LAST_ACTION$$", "$$LAST_ACTION$$"}));
}

TEST_F(PanelTest, MenuAndTreeTextsWriteTheirValues) {
    click("M1");
    edit("txtAnnonceMenu")->setText("31");
    edit("txtRepeatMenu")->setText("3");
    edit("txtSilence")->setText("4");
    EXPECT_EQ(config.sections.sectionText("M1").section("\r\n", 3, 5), "ann=31\r\nrep=3\r\nsil=4");
    click("A1");
    edit("txtArbreAnnonces_2")->setText("17");
    edit("txtRepeat")->setText("5");
    EXPECT_EQ(value("A1", TreeValue::ann2), "17");
    EXPECT_EQ(value("A1", TreeValue::rep2), "5");
}

TEST_F(PanelTest, AtLeastOneLanguageStaysChosen) {
    click("A1");
    auto box = [&](int i) { return get<QCheckBox>(QStringLiteral("chkLangues_%1").arg(i)); };
    box(2)->click();
    EXPECT_EQ(value("A1", TreeValue::langue), "1;3");
    box(0)->click();
    EXPECT_EQ(value("A1", TreeValue::langue), "3");
    box(2)->click();
    EXPECT_TRUE(box(2)->isChecked());
    EXPECT_EQ(value("A1", TreeValue::langue), "3");
    EXPECT_EQ(host.steps.size(), 2);
}

TEST_F(PanelTest, ScheduleListPositions) {
    click("M1");
    QComboBox* schedules = combo("cboHoraires");
    ASSERT_EQ(schedules->count(), 11);
    EXPECT_EQ(schedules->itemText(0), "");
    EXPECT_EQ(schedules->itemText(10), "Schedule n°10");
    chooseAt(schedules, 4);
    EXPECT_EQ(value("M1", MenuValue::hor), "4");
    chooseAt(schedules, 0);
    EXPECT_EQ(value("M1", MenuValue::hor), "");
}

TEST_F(PanelTest, TypeListDependsOnTheServerGeneration) {
    ctx.VERSION_500 = false;
    EXPECT_EQ(combo("cboTypesActions")->count(), 6);
    EXPECT_EQ(combo("cboActionsArbre_0")->itemText(1), "Announcement");
    EXPECT_EQ(combo("cboActionsArbre_0")->itemText(4), "Jump");
}

TEST_F(PanelTest, SubMenuAddedUnderAKeyAndDeletedAgain) {
    click("E-M1-7");
    choose(combo("cboTypesActions"), " -> Sub-menu");
    EXPECT_EQ(value("M1", MenuValue::forDigit(7)), "men;M3");
    EXPECT_EQ(host.selected, QStringList{"M3"});
    EXPECT_EQ(visiblePanel(), 1);
    EXPECT_EQ(edit("txtLib_1")->text(), "New menu");
    EXPECT_EQ(panels().display().currentNodeKey, "M3");
    EXPECT_EQ(host.steps, QStringList{"Menu added"});

    panels().deleteKeyPressed("M3");
    EXPECT_EQ(nodeText("E-M1-7"), "7 - ");
    EXPECT_EQ(value("M1", MenuValue::forDigit(7)), "");
    EXPECT_EQ(host.selected.last(), "A1");
    EXPECT_EQ(visiblePanel(), 0);
    EXPECT_EQ(host.steps.last(), "Menu deleted '7 - New menu'");
}

TEST_F(PanelTest, DeleteKeyClearsAnActionButLeavesAnEmptyOneAlone) {
    panels().deleteKeyPressed("E-M1-0");
    EXPECT_TRUE(host.steps.isEmpty());
    EXPECT_TRUE(host.saveMarks.isEmpty());
    click("E-M1-1");
    panels().deleteKeyPressed("E-M1-1");
    EXPECT_EQ(value("M1", MenuValue::forDigit(1)), "");
    EXPECT_EQ(nodeText("E-M1-1"), "1 - No action");
    EXPECT_EQ(nodeImage("E-M1-1"), "NoAction");
    EXPECT_EQ(host.steps, QStringList{"Action"});
    EXPECT_EQ(combo("cboTypesActions")->currentText(), "No action");
    panels().deleteKeyPressed("A1");
    EXPECT_EQ(host.steps.size(), 1);
}

TEST_F(PanelTest, NoMenuFourLevelsDown) {
    click("E-M2-5");
    choose(combo("cboTypesActions"), " -> Sub-menu"); // M3 at depth 3
    click("E-M3-5");
    ASSERT_EQ(panels().display().nodeDepth, 4);
    choose(combo("cboTypesActions"), " -> Sub-menu");
    EXPECT_EQ(config.maxNumMenu, 3);
    EXPECT_EQ(value("M3", MenuValue::forDigit(5)), "");
    EXPECT_EQ(combo("cboTypesActions")->currentText(), "No action") << "the key is shown as it is";
}

TEST_F(PanelTest, PickersAreTitledWithTheFieldCaption) {
    click("E-M1-1");
    QTest::mouseDClick(edit("txtDetail_0"), Qt::LeftButton);
    click("E-M1-3");
    get<QWidget>("cmdPopup")->setFocus();
    QTest::mouseClick(get<QWidget>("cmdPopup"), Qt::LeftButton);
    click("M1");
    QTest::mouseDClick(edit("txtAnnonceMenu"), Qt::LeftButton);
    EXPECT_EQ(host.pickers, QStringList({"trf:Number ", "announcement:Announcement number ",
                                         "announcement:Menu announcement "}));
    host.pickerTarget->setText("44"); // the picker's choice is stored like typing
    EXPECT_EQ(value("M1", MenuValue::ann), "44");
}

TEST_F(PanelTest, ScrollBarOnlyWhenTheDetailsDoNotFit) {
    click("E-M1-3");
    auto* bar = get<QScrollBar>("VScrollInfo_2");
    panels().resize(520, 900);
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    panels().resize(520, 150);
    QApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    click("E-M1-0");
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
}

} // namespace
