#include "core/prompts.h"
#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_horaires.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(shownDay(0), "08 30 12 00 14 00 18 00");
    EXPECT_EQ(shownDay(1), "__ __ __ __ __ __ __ __") << "ten characters is not a day value";
    EXPECT_EQ(shownDay(3), " 00 12 00 __ __ __ __") << "an hour outside the list selects nothing";
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
    EXPECT_EQ(schedules[0].days[2].value, "07:31-12:02/14:45-19:05");
    EXPECT_EQ(schedules[0].days[6].value, "10:00-11:00");
    EXPECT_EQ(schedules[0].days[1].value, "  :  -  :  ") << "a value it could not show is stored blank";
    EXPECT_EQ(schedules[1].days[4].value, "  :  -19:  /  :  -  :05");
    EXPECT_EQ(schedules[2].days[0].value, "") << "schedules never shown keep their values exactly";
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
    EXPECT_EQ(schedules[0].days[4].value, "08:30-12:00/14:00-17:00");
    EXPECT_EQ(schedules[1].days[4].value, "  :  -  :  ") << "shown, so stored as a blank range";
    EXPECT_EQ(schedules[3].days[6].value, "10:00-11:00");
}

} // namespace
