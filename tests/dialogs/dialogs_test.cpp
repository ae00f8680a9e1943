// The editor's small dialogs: about, general parameters and schedules.
#include "core/prompts.h"
#include "core/translation.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_general.h"
#include "dialogs/frm_horaires.h"
#include "platform/paths.h"
#include "support/qt_print.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

// The French captions the dialogs show.
Translation dialogLabels() {
    Translation t;
    t.setText(QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nHorairePlage=Plage\r\nJ7=Dimanche\r\n"
                             "Apropos=Éditeur de l'accueil vocal\r\n"));
    return t;
}

TEST(FrmAPropos, ShowsTheProgramVersionFromConfigIniElsePkvIniAndTheLogoWhenPresent) {
    const QByteArray own = platform::programName().toLatin1() + ".exe";
    const std::tuple<QByteArray, QByteArray, const char*> cases[] = {
        // config.ini, pkv.ini, the version
        {{}, "\r\n[Version]\r\nother.dll=2.0\r\n" + own + "=2.1\r\n", "2.1"},
        {"[version]\r\nother.exe=1.0\r\n" + own + "= 3.8.12 \r\n", "[Version]\r\n" + own + "=2.1\r\n",
         "3.8.12"},
    };
    for (const auto& [configIni, pkvIni, version] : cases) {
        SCOPED_TRACE(version);
        QTemporaryDir programDir;
        testing_support::writeBytes(programDir.filePath("pkv.ini"), pkvIni);
        if (!configIni.isEmpty()) { // and a logo, a 1 x 1 GIF picture
            testing_support::writeBytes(programDir.filePath("config.ini"), configIni);
            testing_support::writeBytes(
                programDir.filePath("Logo.gif"),
                QByteArray::fromHex("47494638396101000100800000ffffff00000021f904010000"
                                    "00002c00000000010001000002024401003b"));
        }
        const Translation translation = dialogLabels();
        FrmAPropos box(translation, programDir.path());
        box.show();
        EXPECT_EQ(box.findChild<QLabel*>("lbl_Version")->text(), version);
        EXPECT_EQ(box.findChild<QLabel*>("lblAPropos")->text(), "Éditeur de l'accueil vocal");
        EXPECT_EQ(box.hasLogo(), !configIni.isEmpty());
    }
}

TEST(FrmGeneral, OkKeepsTheTypedTextsDigitsOnlyForTheNumericParameterAndCancelNothing) {
    // Fields typed into in turn ("row=text", each selected and replaced as a user does), the button, then
    // "parameter 3 as shown before the button|the three values|changes reported|steps reported".
    const std::tuple<QString, const char*, QString> cases[] = {
        {"3=abc;1=0", "cmdEchap", "0|*|#|10|0|"}, // no digit at all
        {"1=**;3=1a5;2=x", "cmdEchap", "15|*|#|10|0|"},
        {"1=**;2=a1 b;3=a2b", "cmdFermer", "a2b|**|a1 b|2|1|HistoParam"}, // corrected as it is stored
    };
    const Translation translation = dialogLabels();
    for (const auto& [typed, button, expected] : cases) {
        GeneralParams params = makeGeneralParams();
        for (int i = 0; i < 3; ++i)
            params[i].value = QStringList({"*", "#", "10"})[i];
        int modified = 0;
        QStringList steps;
        FrmGeneral dialog(translation, params,
                          {[&] { ++modified; }, [&](const QString& key) { steps << key; }});
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        for (const QString& entry : typed.split(';')) {
            auto* f = dialog.findChild<QLineEdit*>("txtParam_" + entry.left(1));
            f->setFocus();
            f->selectAll();
            QTest::keyClick(f, Qt::Key_Delete);
            QTest::keyClicks(f, entry.mid(2));
        }
        const QString shown = dialog.findChild<QLineEdit*>("txtParam_3")->text();
        dialog.findChild<QPushButton*>(button)->click();
        EXPECT_EQ(QStringList({shown, params[0].value, params[1].value, params[2].value,
                               QString::number(modified), steps.join(' ')})
                      .join('|'),
                  expected);
    }
}

const QStringList kListNames = {"cboHeureDeb",    "cboMinuteDeb",    "cboHeureFin",    "cboMinuteFin",
                                "cboHeureDebBis", "cboMinuteDebBis", "cboHeureFinBis", "cboMinuteFinBis"};

class FrmHorairesTest : public ::testing::Test {
protected:
    void SetUp() override {
        schedules = makeSchedules(translation);
        schedules[0].days[0].value = "08:30-12:00/14:00-18:00";
        schedules[0].days[1].value = "8:30-12:00";
        schedules[1].days[4].value = "09:00-17:30";
    }
    void open() {
        // What OK reports to the main window is checked through the window.
        dialog = std::make_unique<FrmHoraires>(translation, schedules, prompts, repCourant, DialogHooks{});
        dialog->show();
    }
    QComboBox* list(const QString& name, int day) const {
        return dialog->findChild<QComboBox*>(name + '_' + QString::number(day));
    }
    // The eight fields of a day as shown ("" for no selection).
    QString shownDay(int day) const {
        QStringList texts;
        for (const QString& name : kListNames)
            texts << list(name, day)->currentText().replace("  ", "__");
        return texts.join(' ');
    }
    // Picks the eight fields of a day ("hh mm hh mm hh mm hh mm", "__" for blank) the way a user does.
    void chooseDay(int day, const char* text) {
        const QStringList fields = QString(text).split(' ').replaceInStrings("__", "  ");
        for (int i = 0; i < 8; ++i)
            list(kListNames[i], day)->setCurrentIndex(list(kListNames[i], day)->findText(fields[i]));
    }
    void click(const char* name) { dialog->findChild<QPushButton*>(name)->click(); }
    void selectSchedule(int n) { dialog->findChild<QComboBox*>("cboHoraires")->setCurrentIndex(n - 1); }

    Translation translation = dialogLabels();
    Schedules schedules;
    ScriptedPrompts prompts;
    QString repCourant = "/start";
    std::unique_ptr<FrmHoraires> dialog;
};

TEST_F(FrmHorairesTest, OpensOnTheFirstScheduleAndOkStoresWhatIsShownOnlyAfterAChange) {
    schedules[0].days[3].value = "25:00-12:00";
    open();
    // Ten characters is not a day value; an hour outside the list selects nothing.
    EXPECT_EQ(QStringList({shownDay(0), shownDay(1), shownDay(3)}),
              QStringList({"08 30 12 00 14 00 18 00", "__ __ __ __ __ __ __ __", " 00 12 00 __ __ __ __"}));
    EXPECT_EQ(dialog->findChild<QComboBox*>("cboHoraires")->itemText(9), "Plage n°10");

    selectSchedule(2);
    selectSchedule(1);
    click("cmdFermer");
    EXPECT_EQ(schedules[0].days[1].value, "8:30-12:00");
    dialog->show();
    chooseDay(0, "07 00 12 00 __ __ __ __");
    click("cmdEchap");
    EXPECT_EQ(schedules[0].days[0].value, "08:30-12:00/14:00-18:00");

    // After a change, every schedule shown is stored as chosen.
    dialog->show();
    chooseDay(2, "07 31 12 02 14 45 19 05");
    chooseDay(6, "10 00 11 00 __ __ __ __");
    selectSchedule(2);
    chooseDay(4, "__ __ 19 __ __ __ __ 05");
    click("cmdFermer");
    // A value it could not show is stored blank; schedules never shown keep their values exactly.
    EXPECT_EQ(QStringList({schedules[0].days[2].value, schedules[0].days[6].value, schedules[0].days[1].value,
                           schedules[1].days[4].value, schedules[2].days[0].value}),
              QStringList(
                  {"07:31-12:02/14:45-19:05", "10:00-11:00", "  :  -  :  ", "  :  -19:  /  :  -  :05", ""}));
}

TEST_F(FrmHorairesTest, ImportReplacesAllSchedulesOnOk) {
    const QString folder = testing_support::dataDir() + "/dialogs";
    prompts.fileNames = {folder + "/horaires_source.maa"};
    open();
    selectSchedule(2);
    click("cmdLoad");
    EXPECT_EQ(repCourant, folder);
    // The selected schedule is shown again, now with the imported values.
    EXPECT_EQ(shownDay(0), "07 00 19 00 __ __ __ __"); // "[h2]" and "LUN=" match without case
    EXPECT_EQ(schedules[1].days[4].value, "09:00-17:30") << "written only on OK";
    click("cmdFermer");
    // Schedule 2 was shown, so it is stored as a blank range.
    EXPECT_EQ(
        QStringList({schedules[0].days[4].value, schedules[1].days[4].value, schedules[3].days[6].value}),
        QStringList({"08:30-12:00/14:00-17:00", "  :  -  :  ", "10:00-11:00"}));
}

} // namespace
