#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_general.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FrmGeneralTest : public ::testing::Test {
protected:
    void SetUp() override {
        params = makeGeneralParams();
        params[0].value = QStringLiteral("*");
        params[1].value = QStringLiteral("#");
        params[2].value = QStringLiteral("10");
    }

    void open() {
        DialogHooks hooks{[this] { ++recorder.modifiedCalls; },
                          [this](const QString& key) { recorder.steps.append(key); }};
        dialog = std::make_unique<FrmGeneral>(translation, params, hooks);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    QLineEdit* field(int row) const {
        return dialog->findChild<QLineEdit*>(QStringLiteral("txtParam_") + QString::number(row));
    }

    // Replaces a field's text by typing, as a user does after the field selected its text.
    void type(int row, const QString& text) {
        QLineEdit* edit = field(row);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    void click(const char* name) { dialog->findChild<QPushButton*>(QLatin1String(name))->click(); }

    Translation translation = dialogLabels();
    GeneralParams params;
    HookRecorder recorder;
    std::unique_ptr<FrmGeneral> dialog;
};

TEST_F(FrmGeneralTest, OneCaptionAndFieldPerParameter) {
    open();
    const QStringList captions = {QStringLiteral("Touche retour : "),
                                  QStringLiteral("Touche numérotation : "),
                                  QStringLiteral("Temps inter-chiffre : ")};
    const QStringList values = {QStringLiteral("*"), QStringLiteral("#"), QStringLiteral("10")};
    for (int row = 1; row <= 3; ++row) {
        auto* caption = dialog->findChild<QLabel*>(QStringLiteral("lblCaption_") + QString::number(row));
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), captions[row - 1]);
        EXPECT_EQ(field(row)->text(), values[row - 1]);
        EXPECT_EQ(field(row)->property("tag").toString(),
                  row == 3 ? QStringLiteral("1") : QStringLiteral("0"));
    }
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("txtParam_4")), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), field(1));
}

struct Typed {
    int row;
    const char* typed;
    const char* afterFocusLeaves;
};

class FrmGeneralTyping : public FrmGeneralTest, public ::testing::WithParamInterface<Typed> {};

TEST_P(FrmGeneralTyping, FieldKeepsWhatItsParameterAllows) {
    const Typed& c = GetParam();
    open();
    type(c.row, QString::fromUtf8(c.typed));
    field(c.row == 1 ? 2 : 1)->setFocus();
    EXPECT_EQ(field(c.row)->text(), QString::fromUtf8(c.afterFocusLeaves));

    click("cmdFermer");
    EXPECT_EQ(params[size_t(c.row - 1)].value, QString::fromUtf8(c.afterFocusLeaves));
    EXPECT_EQ(recorder.modifiedCalls, 1);
    EXPECT_EQ(recorder.steps, QStringList{QStringLiteral("HistoParam")});
}

INSTANTIATE_TEST_SUITE_P(Fields, FrmGeneralTyping,
                         ::testing::Values(Typed{3, "1a5", "15"}, Typed{3, "abc", "0"}, Typed{3, "", "0"},
                                           Typed{3, " 2 0 ", "20"}, Typed{1, "**", "**"}, Typed{1, "", ""},
                                           Typed{2, "a1 b", "a1 b"}));

TEST_F(FrmGeneralTest, NumericValueIsReducedOnOkWithoutLeavingTheField) {
    open();
    type(3, QStringLiteral("7x"));
    click("cmdFermer");
    EXPECT_EQ(params[2].value, QStringLiteral("7"));
    EXPECT_EQ(params[0].value, QStringLiteral("*"));
}

TEST_F(FrmGeneralTest, OkWithoutTypingChangesNothing) {
    open();
    for (int row : {2, 3, 1})
        field(row)->setFocus();
    click("cmdFermer");
    EXPECT_EQ(params[0].value, QStringLiteral("*"));
    EXPECT_EQ(params[2].value, QStringLiteral("10"));
    EXPECT_EQ(recorder.modifiedCalls, 0);
    EXPECT_TRUE(recorder.steps.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FrmGeneralTest, LeavingANumericFieldHoldingLettersReducesItAndCounts) {
    params[2].value = QStringLiteral("x9");
    open();
    field(3)->setFocus();
    field(1)->setFocus();
    EXPECT_EQ(field(3)->text(), QStringLiteral("9"));
    click("cmdFermer");
    EXPECT_EQ(params[2].value, QStringLiteral("9"));
    EXPECT_EQ(recorder.steps.size(), 1);
}

TEST_F(FrmGeneralTest, CancelDropsTyping) {
    open();
    type(1, QStringLiteral("0"));
    click("cmdEchap");
    EXPECT_EQ(params[0].value, QStringLiteral("*"));
    EXPECT_TRUE(recorder.steps.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FrmGeneralTest, EnteringAFieldSelectsItsText) {
    open();
    field(2)->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(field(2)->selectedText(), QStringLiteral("#"));
}

} // namespace
