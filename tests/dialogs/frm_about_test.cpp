#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_about.h"
#include "platform/paths.h"
#include "support/test_support.h"

#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A 1 x 1 GIF picture.
const QByteArray kTinyGif =
    QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c000000000100"
                        "01000002024401003b");

QString labelText(const FrmAPropos& box, const char* name) {
    const auto* label = box.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

TEST(FrmAPropos, ShowsTextsAndVersionOfTheProgram) {
    QTemporaryDir programDir;
    testing_support::writeBytes(programDir.filePath(QStringLiteral("config.ini")),
                                "[Version]\r\nother.exe=1.0\r\n" + platform::programName().toLatin1() +
                                    ".exe=3.8.12\r\n");
    const Translation translation = dialogLabels();
    FrmAPropos box(translation, programDir.path());
    box.show();
    EXPECT_EQ(labelText(box, "lbl_Version"), QStringLiteral("3.8.12"));
    EXPECT_EQ(labelText(box, "lblAPropos"), QStringLiteral("Éditeur de l'accueil vocal"));
    EXPECT_EQ(labelText(box, "lbl_Copyright"), QStringLiteral("(c) Exemple SA"));
    EXPECT_FALSE(box.hasLogo());
}

TEST(FrmAPropos, WithoutVersionFileTheVersionLineIsEmpty) {
    QTemporaryDir programDir;
    FrmAPropos box(dialogLabels(), programDir.path());
    box.show();
    EXPECT_EQ(labelText(box, "lbl_Version"), QString());
}

TEST(FrmAPropos, ShowsTheLogoBesideTheProgram) {
    QTemporaryDir programDir;
    testing_support::writeBytes(programDir.filePath(QStringLiteral("Logo.gif")), kTinyGif);
    FrmAPropos box(dialogLabels(), programDir.path());
    box.show();
    EXPECT_TRUE(box.hasLogo());
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("imgLogo"))->pixmap().size(), QSize(1, 1));
}

} // namespace
