#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_horaires.h"
#include "startup/prompts.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QStringList kListNames = {QStringLiteral("cboHeureDeb"),    QStringLiteral("cboMinuteDeb"),
                                QStringLiteral("cboHeureFin"),    QStringLiteral("cboMinuteFin"),
                                QStringLiteral("cboHeureDebBis"), QStringLiteral("cboMinuteDebBis"),
                                QStringLiteral("cboHeureFinBis"), QStringLiteral("cboMinuteFinBis")};

class FrmHorairesTest : public ::testing::Test {
protected:
    void SetUp() override {
        schedules = makeSchedules(translation);
        schedules[0].days[0].value = QStringLiteral("08:30-12:00/14:00-18:00");
        schedules[0].days[1].value = QStringLiteral("8:30-12:00");
        schedules[1].days[4].value = QStringLiteral("09:00-17:30");
    }

    FrmHoraires& open() {
        DialogHooks hooks{[this] { ++recorder.modifiedCalls; },
                          [this](const QString& key) { recorder.steps.append(key); }};
        dialog = std::make_unique<FrmHoraires>(translation, schedules, prompts, repCourant, hooks);
        dialog->show();
        return *dialog;
    }

    QComboBox* list(const QString& name, int day) const {
        auto* box = dialog->findChild<QComboBox*>(name + QLatin1Char('_') + QString::number(day));
        EXPECT_NE(box, nullptr) << name.toStdString() << day;
        return box;
    }

    // The eight fields of a day as shown ("  " blank, "" no selection).
    QStringList shownDay(int day) const {
        QStringList texts;
        for (const QString& name : kListNames)
            texts.append(list(name, day)->currentText());
        return texts;
    }

    // Picks the eight fields of a day the way a user does, by item text.
    void chooseDay(int day, const QStringList& fields) {
        for (int i = 0; i < 8; ++i) {
            QComboBox* box = list(kListNames[i], day);
            box->setCurrentIndex(box->findText(fields[i]));
        }
    }

    void click(const char* name) { dialog->findChild<QPushButton*>(QLatin1String(name))->click(); }
    void selectSchedule(int n) {
        dialog->findChild<QComboBox*>(QStringLiteral("cboHoraires"))->setCurrentIndex(n - 1);
    }

    Translation translation = dialogLabels();
    Schedules schedules;
    ScriptedPrompts prompts;
    QString repCourant = QStringLiteral("/start");
    HookRecorder recorder;
    std::unique_ptr<FrmHoraires> dialog;
};

const QString B = QStringLiteral("  ");

TEST_F(FrmHorairesTest, OpensOnFirstScheduleWithItsRanges) {
    open();
    EXPECT_EQ(dialog->currentSchedule(), 1);
    EXPECT_EQ(shownDay(0), QStringList({"08", "30", "12", "00", "14", "00", "18", "00"}));
    // Ten characters is not a day value: shown blank.
    EXPECT_EQ(shownDay(1), QStringList({B, B, B, B, B, B, B, B}));
    EXPECT_EQ(list("cboHeureDeb", 0)->count(), 25);
    EXPECT_EQ(list("cboMinuteFinBis", 6)->count(), 61);
    EXPECT_EQ(list("cboHeureDeb", 0)->itemText(24), QStringLiteral("23"));
    EXPECT_EQ(list("cboMinuteDeb", 0)->itemText(60), QStringLiteral("59"));
}

TEST_F(FrmHorairesTest, CaptionsComeFromTranslation) {
    open();
    auto* schedulesList = dialog->findChild<QComboBox*>(QStringLiteral("cboHoraires"));
    ASSERT_EQ(schedulesList->count(), 10);
    EXPECT_EQ(schedulesList->itemText(0), QStringLiteral("Plage n°1"));
    EXPECT_EQ(schedulesList->itemText(9), QStringLiteral("Plage n°10"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("lblHoraires"))->text(), QStringLiteral("Plage :"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("lblJour_6"))->text(), QStringLiteral("Dimanche"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("lblDebut_1"))->text(), QStringLiteral("Début"));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("cmdLoad"))->text(),
              QStringLiteral("Importer..."));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("cmdFermer"))->text(),
              QStringLiteral("Valider"));
}

struct DayEdit {
    const char* name;
    QStringList fields;
    const char* stored;
};

class FrmHorairesDayEdit : public FrmHorairesTest, public ::testing::WithParamInterface<DayEdit> {};

TEST_P(FrmHorairesDayEdit, OkStoresTheDayAsChosen) {
    open();
    chooseDay(2, GetParam().fields);
    click("cmdFermer");
    EXPECT_EQ(schedules[0].days[2].value, QString::fromUtf8(GetParam().stored));
    EXPECT_EQ(recorder.modifiedCalls, 1);
    EXPECT_EQ(recorder.steps, QStringList{QStringLiteral("HistoHoraires")});
    EXPECT_FALSE(dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Days, FrmHorairesDayEdit,
    ::testing::Values(
        DayEdit{"MorningOnly", {"08", "30", "12", "00", B, B, B, B}, "08:30-12:00"},
        DayEdit{"MorningAndAfternoon",
                {"08", "30", "12", "00", "14", "00", "18", "00"},
                "08:30-12:00/14:00-18:00"},
        DayEdit{"SecondRangeOfZeros",
                {"08", "30", "12", "00", "00", "00", "00", "00"},
                "08:30-12:00/00:00-00:00"},
        DayEdit{"OneSecondField", {"08", "30", "12", "00", B, B, "19", B}, "08:30-12:00/  :  -19:  "},
        DayEdit{"BlankDay", {B, B, B, "05", B, B, B, B}, "  :  -  :05"},
        DayEdit{"EndBeforeStart", {"18", "00", "08", "00", B, B, B, B}, "18:00-08:00"}),
    [](const ::testing::TestParamInfo<DayEdit>& info) { return std::string(info.param.name); });

TEST_F(FrmHorairesTest, OkRewritesShortValuesOfTheShownScheduleAsBlank) {
    open();
    chooseDay(6, {"10", "00", "11", "00", B, B, B, B});
    click("cmdFermer");
    EXPECT_EQ(schedules[0].days[1].value, QStringLiteral("  :  -  :  "));
    EXPECT_EQ(schedules[0].days[0].value, QStringLiteral("08:30-12:00/14:00-18:00"));
    EXPECT_EQ(schedules[0].days[6].value, QStringLiteral("10:00-11:00"));
    // Schedules never shown keep their values exactly.
    EXPECT_EQ(schedules[2].days[0].value, QString());
}

TEST_F(FrmHorairesTest, OkWithoutChangeWritesNothing) {
    open();
    selectSchedule(2);
    selectSchedule(1);
    click("cmdFermer");
    EXPECT_EQ(schedules[0].days[1].value, QStringLiteral("8:30-12:00"));
    EXPECT_EQ(recorder.modifiedCalls, 0);
    EXPECT_TRUE(recorder.steps.isEmpty());
}

TEST_F(FrmHorairesTest, CancelDropsChanges) {
    open();
    chooseDay(0, {"07", "00", "12", "00", B, B, B, B});
    click("cmdEchap");
    EXPECT_EQ(schedules[0].days[0].value, QStringLiteral("08:30-12:00/14:00-18:00"));
    EXPECT_EQ(recorder.modifiedCalls, 0);
    EXPECT_TRUE(recorder.steps.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FrmHorairesTest, EditsOfSeveralSchedulesMakeOneStep) {
    open();
    chooseDay(0, {"07", "00", "12", "00", B, B, B, B});
    selectSchedule(2);
    EXPECT_EQ(shownDay(4), QStringList({"09", "00", "17", "30", B, B, B, B}));
    chooseDay(4, {"09", "00", "17", "45", B, B, B, B});
    selectSchedule(1);
    EXPECT_EQ(shownDay(0), QStringList({"07", "00", "12", "00", B, B, B, B}));
    click("cmdFermer");
    EXPECT_EQ(schedules[0].days[0].value, QStringLiteral("07:00-12:00"));
    EXPECT_EQ(schedules[1].days[4].value, QStringLiteral("09:00-17:45"));
    EXPECT_EQ(recorder.steps.size(), 1);
}

TEST_F(FrmHorairesTest, ReopeningStartsFromTheWrittenSchedules) {
    open();
    chooseDay(0, {"07", "00", "12", "00", B, B, B, B});
    click("cmdEchap");
    dialog->show();
    EXPECT_EQ(dialog->currentSchedule(), 1);
    EXPECT_FALSE(dialog->isModified());
    EXPECT_EQ(shownDay(0), QStringList({"08", "30", "12", "00", "14", "00", "18", "00"}));
}

TEST_F(FrmHorairesTest, ImportReplacesAllSchedulesOnOk) {
    const QString folder = testing_support::dataDir() + QStringLiteral("/dialogs");
    prompts.fileNames = {folder + QStringLiteral("/horaires_source.maa")};
    open();
    selectSchedule(2);
    click("cmdLoad");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, QStringLiteral("open"));
    EXPECT_EQ(repCourant, folder);
    // The selected schedule is shown again, now with the imported values.
    EXPECT_EQ(dialog->currentSchedule(), 2);
    EXPECT_EQ(shownDay(0), QStringList({"07", "00", "19", "00", B, B, B, B}));
    EXPECT_EQ(shownDay(4), QStringList({B, B, B, B, B, B, B, B}));
    EXPECT_EQ(schedules[1].days[4].value, QStringLiteral("09:00-17:30")) << "written only on OK";

    click("cmdFermer");
    EXPECT_EQ(schedules[0].days[0].value, QStringLiteral("08:30-12:00/14:00-18:00"));
    EXPECT_EQ(schedules[0].days[4].value, QStringLiteral("08:30-12:00/14:00-17:00"));
    EXPECT_EQ(schedules[0].days[2].value, QString());
    EXPECT_EQ(schedules[1].days[0].value, QStringLiteral("07:00-19:00"));
    EXPECT_EQ(schedules[1].days[4].value, QStringLiteral("  :  -  :  "))
        << "shown, so stored as a blank range";
    EXPECT_EQ(schedules[3].days[6].value, QStringLiteral("10:00-11:00"));
    for (const ScheduleDay& day : schedules[2].days)
        EXPECT_EQ(day.value, QString()) << "no section H3 in the file";
    EXPECT_EQ(recorder.steps, QStringList{QStringLiteral("HistoHoraires")});
}

TEST_F(FrmHorairesTest, ImportCancelledOrMissingFileChangesNothing) {
    prompts.fileNames = {QString(), QStringLiteral("/nowhere/absent.maa")};
    open();
    click("cmdLoad");
    EXPECT_EQ(repCourant, QStringLiteral("/start"));
    click("cmdLoad");
    EXPECT_EQ(repCourant, QStringLiteral("/nowhere"));
    EXPECT_EQ(shownDay(0), QStringList({"08", "30", "12", "00", "14", "00", "18", "00"}));
    click("cmdFermer");
    EXPECT_EQ(schedules[1].days[4].value, QStringLiteral("09:00-17:30"));
    EXPECT_TRUE(recorder.steps.isEmpty());
}

TEST_F(FrmHorairesTest, HourOutsideTheListShowsNoSelection) {
    schedules[0].days[3].value = QStringLiteral("25:00-12:00");
    open();
    EXPECT_EQ(list("cboHeureDeb", 3)->currentIndex(), -1);
    EXPECT_EQ(list("cboMinuteDeb", 3)->currentText(), QStringLiteral("00"));
}

} // namespace
