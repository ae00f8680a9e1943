#include "dialogs/dialog_test_support.h"
#include "dialogs/frm_about.h"
#include "platform/paths.h"
#include "support/test_support.h"

#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FrmAPropos, ShowsTheProgramVersionFromConfigIniElsePkvIniAndTheLogoWhenPresent) {
    const QByteArray own = platform::programName().toLatin1() + ".exe";
    const struct {
        QByteArray configIni, pkvIni;
        const char* version;
    } cases[] = {
        {{}, "\r\n[Version]\r\nother.dll=2.0\r\n" + own + "=2.1\r\n", "2.1"},
        {"[version]\r\nother.exe=1.0\r\n" + own + "= 3.8.12 \r\n", "[Version]\r\n" + own + "=2.1\r\n",
         "3.8.12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        QTemporaryDir programDir;
        if (!c.configIni.isEmpty())
            testing_support::writeBytes(programDir.filePath("config.ini"), c.configIni);
        testing_support::writeBytes(programDir.filePath("pkv.ini"), c.pkvIni);
        const bool logo = *c.version != 0;
        if (logo) // a 1 x 1 GIF picture
            testing_support::writeBytes(
                programDir.filePath("Logo.gif"),
                QByteArray::fromHex("47494638396101000100800000ffffff00000021f904010000"
                                    "00002c00000000010001000002024401003b"));
        const Translation translation = dialogLabels();
        FrmAPropos box(translation, programDir.path());
        box.show();
        EXPECT_EQ(box.findChild<QLabel*>("lbl_Version")->text(), c.version);
        EXPECT_EQ(box.findChild<QLabel*>("lblAPropos")->text(), "Éditeur de l'accueil vocal");
        EXPECT_EQ(box.hasLogo(), logo);
    }
}

} // namespace
