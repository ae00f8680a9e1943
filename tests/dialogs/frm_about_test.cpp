#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_about.h"
#include "platform/paths.h"
#include "support/test_support.h"

#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString labelText(const FrmAPropos& box, const char* name) {
    const auto* label = box.findChild<QLabel*>(name);
    return label ? label->text() : "<missing>";
}

TEST(FrmAPropos, ShowsTextsVersionAndLogoOfTheProgramWhenPresent) {
    for (bool present : {true, false}) {
        QTemporaryDir programDir;
        if (present) {
            testing_support::writeBytes(programDir.filePath("config.ini"),
                                        "[Version]\r\nother.exe=1.0\r\n" +
                                            platform::programName().toLatin1() + ".exe=3.8.12\r\n");
            // A 1 x 1 GIF picture.
            testing_support::writeBytes(
                programDir.filePath("Logo.gif"),
                QByteArray::fromHex("47494638396101000100800000ffffff00000021f904010000"
                                    "00002c00000000010001000002024401003b"));
        }
        const Translation translation = dialogLabels();
        FrmAPropos box(translation, programDir.path());
        box.show();
        EXPECT_EQ(labelText(box, "lbl_Version"), present ? "3.8.12" : "");
        EXPECT_EQ(labelText(box, "lblAPropos"), "Éditeur de l'accueil vocal");
        EXPECT_EQ(box.hasLogo(), present);
    }
}

} // namespace
