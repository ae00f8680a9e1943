#include "editor/frm_annonces.h"
#include "editor/frm_postes.h"
#include "startup/app_context.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

AppContext contextWithLists() {
    AppContext ctx;
    ctx.translation.setText(
        QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nLblBoiteVocale=Boite vocale\r\n"
                       "BoutonOK=OK\r\nBoutonEchap=Echap\r\n"));
    ctx.Stations = {{QStringLiteral("201"), QStringLiteral("Accueil"), 1, QString()},
                    {QStringLiteral("202"), QStringLiteral("Compta; paie"), 1, QStringLiteral("8202")},
                    {QStringLiteral("203"), QStringLiteral("Atelier"), 2, QString()},
                    {QStringLiteral("204"), QStringLiteral("Direction"), 1, QStringLiteral("8204")}};
    Announcement hall;
    hall.number = 12;
    hall.name = QStringLiteral("Hall; east");
    Announcement closed;
    closed.number = 30;
    closed.name = QStringLiteral("Fermeture");
    ctx.Announcements = {hall, closed};
    return ctx;
}

QTreeWidget* listOf(QWidget& picker, const char* name) {
    return picker.findChild<QTreeWidget*>(QString::fromLatin1(name));
}

QStringList column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(col));
    return texts;
}

void doubleClickRow(QTreeWidget* list, int row) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    // A double click is the second press of a click, as the view receives it from a person.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

struct ModeCase {
    const char* code;
    QStringList numbers;
    QStringList voiceBoxes;
    bool voiceBoxShown;
    QString voiceBoxHeader;
};

TEST(StationPicker, ModeDecidesRowsAndVoiceBoxColumn) {
    const AppContext ctx = contextWithLists();
    const ModeCase cases[] = {
        {"trf", {"201", "202", "203", "204"}, {"", "8202", "", "8204"}, false, ""},
        {"bvo", {"202", "204"}, {"8202", "8204"}, true, "Boite vocale"},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.code);
        QLineEdit target;
        frmPostes picker(ctx, &target, QString::fromLatin1(c.code));
        picker.show();
        QTreeWidget* lst = listOf(picker, "lstPostes");
        ASSERT_NE(lst, nullptr);

        EXPECT_EQ(column(lst, 0), c.numbers);
        EXPECT_EQ(column(lst, 2), c.voiceBoxes);
        EXPECT_EQ(!lst->isColumnHidden(2), c.voiceBoxShown);
        EXPECT_EQ(lst->headerItem()->text(2), c.voiceBoxHeader);
        EXPECT_GT(lst->columnWidth(1), 0);
    }
}

TEST(Pickers, ColumnHeadersComeFromTheTranslationWhenItHasThem) {
    AppContext ctx = contextWithLists();
    const QStringList without{QStringLiteral("N°"), QString()};
    const QStringList with{QStringLiteral("Numero"), QStringLiteral("Nom")};
    for (const bool translated : {false, true}) {
        SCOPED_TRACE(translated ? "translated" : "not translated");
        if (translated)
            ctx.translation.setText(ctx.translation.text() +
                                    QStringLiteral("LblNumero=Numero\r\nLblNom=Nom\r\n"));
        QLineEdit target;
        frmPostes stations(ctx, &target, QStringLiteral("bvo"));
        frmAnnonces announcements(ctx, &target);
        const QStringList expected = translated ? with : without;
        for (PickerDialog* picker :
             {static_cast<PickerDialog*>(&stations), static_cast<PickerDialog*>(&announcements)}) {
            EXPECT_EQ(picker->list()->headerItem()->text(0), expected[0]);
            EXPECT_EQ(picker->list()->headerItem()->text(1), expected[1]);
        }
    }
}

TEST(StationPicker, NameWithSemicolonIsShownWhole) {
    const AppContext ctx = contextWithLists();
    QLineEdit target;
    frmPostes picker(ctx, &target, QStringLiteral("trf"));
    EXPECT_EQ(listOf(picker, "lstPostes")->topLevelItem(1)->text(1), QStringLiteral("Compta; paie"));
}

struct ChoiceCase {
    const char* code;
    int row;
    QString written;
};

TEST(StationPicker, DoubleClickWritesTheValueOfTheModeAndCloses) {
    const AppContext ctx = contextWithLists();
    const ChoiceCase cases[] = {
        {"trf", 0, "201"},
        {"trf", 3, "204"},
        {"bvo", 0, "8202"}, // the voice box, not the station number 202
        {"bvo", 1, "8204"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " row " + std::to_string(c.row));
        QLineEdit target(QStringLiteral("old"));
        QSignalSpy changed(&target, &QLineEdit::textChanged);
        frmPostes picker(ctx, &target, QString::fromLatin1(c.code));
        picker.show();

        doubleClickRow(listOf(picker, "lstPostes"), c.row);

        EXPECT_EQ(target.text(), c.written);
        EXPECT_EQ(changed.count(), 1); // the field's handler runs once, as for a typed value
        EXPECT_FALSE(picker.isVisible());
        EXPECT_EQ(picker.result(), QDialog::Accepted);
    }
}

TEST(StationPicker, OkWithoutSelectedRowDoesNothing) {
    const AppContext ctx = contextWithLists();
    QLineEdit target(QStringLiteral("old"));
    QSignalSpy changed(&target, &QLineEdit::textChanged);
    frmPostes picker(ctx, &target, QStringLiteral("trf"));
    picker.show();
    listOf(picker, "lstPostes")->clearSelection();

    QTest::mouseClick(picker.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);

    EXPECT_EQ(target.text(), QStringLiteral("old"));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(picker.isVisible());
}

TEST(StationPicker, OkWritesTheSelectedRow) {
    const AppContext ctx = contextWithLists();
    QLineEdit target;
    frmPostes picker(ctx, &target, QStringLiteral("trf"));
    picker.show();
    QTreeWidget* lst = listOf(picker, "lstPostes");
    lst->setCurrentItem(lst->topLevelItem(2));

    QTest::mouseClick(picker.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);

    EXPECT_EQ(target.text(), QStringLiteral("203"));
    EXPECT_FALSE(picker.isVisible());
}

TEST(AnnouncementPicker, EnterInTheListChoosesTheSelectedRow) {
    const AppContext ctx = contextWithLists();
    QLineEdit target;
    frmAnnonces picker(ctx, &target);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    QTreeWidget* lst = listOf(picker, "lstAnnonces");
    lst->setFocus();
    lst->setCurrentItem(lst->topLevelItem(1));

    QTest::keyClick(lst, Qt::Key_Return);

    EXPECT_EQ(target.text(), QStringLiteral("30"));
    EXPECT_FALSE(picker.isVisible());
}

TEST(Pickers, EscapeLeavesTheFieldUnchanged) {
    const AppContext ctx = contextWithLists();
    QLineEdit target(QStringLiteral("old"));
    QSignalSpy changed(&target, &QLineEdit::textChanged);
    frmPostes stations(ctx, &target, QStringLiteral("trf"));
    frmAnnonces announcements(ctx, &target);
    for (PickerDialog* picker :
         {static_cast<PickerDialog*>(&stations), static_cast<PickerDialog*>(&announcements)}) {
        SCOPED_TRACE(picker->objectName().toStdString());
        picker->show();
        picker->list()->setCurrentItem(picker->list()->topLevelItem(1));

        QTest::mouseClick(picker->findChild<QPushButton*>(QStringLiteral("cmdEchap")), Qt::LeftButton);

        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(picker->result(), QDialog::Rejected);
    }
    EXPECT_EQ(target.text(), QStringLiteral("old"));
    EXPECT_EQ(changed.count(), 0);
}

TEST(AnnouncementPicker, ListsEveryAnnouncementAndWritesItsNumber) {
    const AppContext ctx = contextWithLists();
    QLineEdit target;
    frmAnnonces picker(ctx, &target);
    picker.show();
    QTreeWidget* lst = listOf(picker, "lstAnnonces");
    ASSERT_NE(lst, nullptr);
    EXPECT_EQ(lst->columnCount(), 2);
    EXPECT_EQ(column(lst, 0), QStringList({"12", "30"}));
    EXPECT_EQ(column(lst, 1), QStringList({"Hall; east", "Fermeture"}));

    doubleClickRow(lst, 1);

    EXPECT_EQ(target.text(), QStringLiteral("30"));
    EXPECT_FALSE(picker.isVisible());
}

// Acts on the modal window once it is up, then lets the call that opened it return.
void whenModalOpens(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        act(modal);
        if (modal && modal->isVisible()) modal->close();
    });
}

TEST(Pickers, OpenModallyWithTheGivenTitle) {
    const AppContext ctx = contextWithLists();
    QLineEdit target;
    QString seenTitle, seenName;
    whenModalOpens([&](QWidget* modal) {
        ASSERT_NE(modal, nullptr);
        seenTitle = modal->windowTitle();
        seenName = modal->objectName();
        doubleClickRow(listOf(*modal, "lstPostes"), 1);
    });

    EXPECT_TRUE(afficheListePostes(ctx, &target, QStringLiteral("bvo"), QStringLiteral("Boite vocale")));

    EXPECT_EQ(seenName, QStringLiteral("frmPostes"));
    EXPECT_EQ(seenTitle, QStringLiteral("Boite vocale"));
    EXPECT_EQ(target.text(), QStringLiteral("8204"));

    whenModalOpens([&](QWidget* modal) {
        ASSERT_NE(modal, nullptr);
        seenTitle = modal->windowTitle();
        doubleClickRow(listOf(*modal, "lstAnnonces"), 0);
    });
    EXPECT_TRUE(afficheListeAnnonces(ctx, &target, captionWithoutColon(QStringLiteral("Annonce du menu :"))));
    EXPECT_EQ(seenTitle, QStringLiteral("Annonce du menu"));
    EXPECT_EQ(target.text(), QStringLiteral("12"));
}

TEST(Pickers, NothingOpensWhenTheListIsEmpty) {
    AppContext ctx; // no stations, no announcements
    QLineEdit target(QStringLiteral("old"));
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });

    EXPECT_FALSE(afficheListePostes(ctx, &target, QStringLiteral("trf"), QStringLiteral("T")));
    EXPECT_FALSE(afficheListeAnnonces(ctx, &target, QStringLiteral("T")));
    QApplication::processEvents();

    EXPECT_FALSE(opened);
    EXPECT_EQ(target.text(), QStringLiteral("old"));
}

} // namespace
