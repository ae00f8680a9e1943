#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_general.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FrmGeneralTest : public ::testing::Test {
protected:
    void SetUp() override {
        params[0].value = "*";
        params[1].value = "#";
        params[2].value = "10";
    }
    void open() {
        DialogHooks hooks{[this] { ++modifiedCalls; }, [this](const QString& key) { steps << key; }};
        dialog = std::make_unique<FrmGeneral>(translation, params, hooks);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    QLineEdit* field(int row) const {
        return dialog->findChild<QLineEdit*>("txtParam_" + QString::number(row));
    }
    // Replaces a field's text by typing, as a user does after the field selected its text.
    void type(int row, const QString& text) {
        field(row)->setFocus();
        field(row)->selectAll();
        QTest::keyClick(field(row), Qt::Key_Delete);
        QTest::keyClicks(field(row), text);
    }
    void click(const char* name) { dialog->findChild<QPushButton*>(name)->click(); }
    QString values() const { return params[0].value + '|' + params[1].value + '|' + params[2].value; }

    Translation translation = dialogLabels();
    GeneralParams params = makeGeneralParams();
    // What the dialog reports back to the main window.
    int modifiedCalls = 0;
    QStringList steps;
    std::unique_ptr<FrmGeneral> dialog;
};

TEST_F(FrmGeneralTest, OkKeepsTheTypedTextsDigitsOnlyForTheNumericParameterAndCancelNothing) {
    open();
    type(3, "abc");
    type(1, "0");
    EXPECT_EQ(field(3)->text(), "0") << "no digit at all";
    click("cmdEchap");
    EXPECT_EQ(values(), "*|#|10");
    EXPECT_EQ(modifiedCalls, 0) << "Cancel reports no change";
    EXPECT_TRUE(steps.isEmpty());

    open();
    type(1, "**");
    type(3, "1a5");
    type(2, "a1 b");
    EXPECT_EQ(field(3)->text(), "15") << "corrected on leaving the field";
    type(3, "a2b"); // still in the field: corrected as it is stored
    click("cmdFermer");
    EXPECT_EQ(values(), "**|a1 b|2");
    EXPECT_EQ(modifiedCalls, 1);
    EXPECT_EQ(steps, QStringList{"HistoParam"});
}

} // namespace
