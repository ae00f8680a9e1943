#pragma once

#include "editor/frm_main.h"
#include "startup/app_context.h"
#include "startup/prompts.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <memory>

namespace editor_testing {

// Labels used by the window, in the layout of a translation file.
inline QString translationText() {
    return QStringLiteral("\r\n[LANGID]\r\n1=1033\r\n[LABELS]\r\n"
                          "Titre=QAVO Editor\r\nTitreNew=New tree\r\nNoeudArbre=Tree\r\n"
                          "actVide=No action\r\nactSaut=Jump\r\nactTransfert=Transfer\r\n"
                          "actAnn=Announcement\r\nactStd=Operator\r\nactNum=Free dialling\r\n"
                          "MenuChange=Change\r\nactBvn=Voice box\r\nactBvo=Station box\r\n"
                          "DebugReady=Ready\r\nDebugOpen=Opened\r\nDebugSave=Saved\r\nDebugNew=New\r\n"
                          "HistoDeb=Start\r\nMenuEffaceDebug=Clear the list\r\n"
                          "OffLine=Offline\r\nOnLine=Connected to $IPSERVEUR$\r\n"
                          "MenuFichier=&File\r\nMenuNouveau=New\r\nMenuOuvrir=Open...\r\n"
                          "MenuFermer=Close\r\nMenuSave=Save\r\nMenuSaveAs=Save as...\r\n"
                          "MenuQuitter=Quit\r\nMenuServeur=Server\r\nMenuTransfert=Send\r\n"
                          "MenuRecup=Fetch\r\nMenuReset=Reset\r\nMenuValide=Check\r\n"
                          "MenuOptions=Options\r\nMenuParam=Parameters...\r\nMenuVoie=Lines...\r\n"
                          "MenuHoraires=Schedules...\r\nMenuAPropos=About...\r\nMenuAide=Help\r\n"
                          "MsgH=Enlarge\r\nMsgB=Shrink\r\n");
}

// The example tree: tree 1 with root menu M1 (key 1 transfers to 201, key 2 opens M2, key 3 plays
// announcement 15), M2 with the operator on key 0, trees 2 to 5 left at their defaults.
inline QByteArray workedExample(const QString& m1Key9 = QString()) {
    QString s = QStringLiteral("[general]\ncode_retour=*\ncode_dialing=#\ntp_inter_digit=10\n");
    for (int h = 1; h <= 10; ++h) {
        s += QStringLiteral("[H%1]\n").arg(h);
        for (const char* d : {"lun", "mar", "mer", "jeu", "ven", "sam", "dim"})
            s += QString::fromLatin1(d) + QStringLiteral("=\n");
    }
    s += QStringLiteral("[A1]\nlib=Reception\nann1=10\nann2=\nrep2=2\nlangue=1\nmenu=M1\n"
                        "exit_trf=std\nexit_fer=ann;12;;\nexit_nac=std\n");
    s += QStringLiteral("[M1]\nlib=Main menu\nhor=\nann=11\nrep=2\nsil=2\n0=\n1=trf;201\n2=men;M2\n"
                        "3=ann;15;2;2\n4=\n5=\n6=\n7=\n8=\n9=%1\n")
             .arg(m1Key9);
    s += QStringLiteral("[M2]\nlib=Service\nhor=1\nann=13\nrep=2\nsil=2\n0=std\n1=\n2=\n3=\n4=\n5=\n6=\n"
                        "7=\n8=\n9=\n");
    for (int a = 2; a <= 5; ++a)
        s += QStringLiteral("[A%1]\nlib=Tree %1\nann1=\nann2=\nrep2=2\nlangue=1\nmenu=\nexit_trf=\n"
                            "exit_fer=\nexit_nac=\n")
                 .arg(a);
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s.toLatin1();
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(dir.isValid());
        ctx.translation.setText(translationText());
        ctx.programDir = dir.path();
        ctx.RepData = dir.path() + QStringLiteral("/A.A/");
        ctx.repTMP = ctx.RepData + QStringLiteral("TMP/");
        QDir().mkpath(ctx.repTMP);
        ctx.fileServeur = ctx.repTMP + QStringLiteral("ArbreSERVEUR.maa");
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    // A loaded window, shown offscreen.
    frmMain& load(const QString& startFile) {
        ctx.fileAOuvrir = startFile;
        window = std::make_unique<frmMain>(ctx, prompts);
        window->Form_Load();
        window->show();
        return *window;
    }

    QTemporaryDir dir;
    AppContext ctx;
    ScriptedPrompts prompts;
    std::unique_ptr<frmMain> window;
};

} // namespace editor_testing
