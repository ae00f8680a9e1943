// The station and announcement pickers on their own; the window's use of them is tested with the panels.
#include "editor/frm_annonces.h"
#include "editor/frm_postes.h"
#include "startup/app_context.h"
#include "support/qt_print.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

AppContext contextWithLists() {
    AppContext ctx;
    ctx.translation.setText(
        QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nLblBoiteVocale=Boite vocale\r\n"
                       "BoutonOK=OK\r\nBoutonEchap=Echap\r\n"));
    ctx.Stations = {{"201", "Accueil", 1, QString()},
                    {"202", "Compta; paie", 1, "8202"},
                    {"203", "Atelier", 2, QString()},
                    {"204", "Direction", 1, "8204"}};
    Announcement hall;
    hall.number = 12;
    hall.name = QStringLiteral("Hall; east");
    Announcement closed;
    closed.number = 30;
    closed.name = QStringLiteral("Fermeture");
    ctx.Announcements = {hall, closed};
    return ctx;
}

QStringList column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(col));
    return texts;
}

// A double click is the second press of a click, as the view receives it from a person.
void doubleClickRow(QTreeWidget* list, int row) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// A picker of the given kind: "ann" for announcements, else the station picker's action code.
std::unique_ptr<PickerDialog> makePicker(const AppContext& ctx, QLineEdit& target, const std::string& kind) {
    if (kind == "ann") return std::make_unique<frmAnnonces>(ctx, &target);
    return std::make_unique<frmPostes>(ctx, &target, QString::fromStdString(kind));
}

TEST(Pickers, ListsRowsAndColumnsByKind) {
    const AppContext ctx = contextWithLists();
    const struct {
        const char* kind;
        QStringList numbers, names, voiceBoxes;
        const char* thirdHeader; // nullptr: no third column shown
    } cases[] = {
        {"trf",
         {"201", "202", "203", "204"},
         {"Accueil", "Compta; paie", "Atelier", "Direction"},
         {"", "8202", "", "8204"},
         nullptr},
        {"bvo", {"202", "204"}, {"Compta; paie", "Direction"}, {"8202", "8204"}, "Boite vocale"},
        {"ann", {"12", "30"}, {"Hall; east", "Fermeture"}, {"", ""}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        QLineEdit target;
        auto picker = makePicker(ctx, target, c.kind);
        picker->show();
        QTreeWidget* list = picker->list();
        EXPECT_EQ(column(list, 0), c.numbers);
        EXPECT_EQ(column(list, 1), c.names);
        EXPECT_EQ(list->headerItem()->text(0), "N°");
        EXPECT_GT(list->columnWidth(1), 0);
        const bool third = list->columnCount() > 2 && !list->isColumnHidden(2);
        EXPECT_EQ(third, c.thirdHeader != nullptr);
        if (c.thirdHeader) {
            EXPECT_EQ(list->headerItem()->text(2), c.thirdHeader);
        }
        if (std::string(c.kind) != "ann") {
            EXPECT_EQ(column(list, 2), c.voiceBoxes);
        }
    }
}

TEST(Pickers, ColumnHeadersComeFromTheTranslationWhenItHasThem) {
    AppContext ctx = contextWithLists();
    ctx.translation.setText(ctx.translation.text() + QStringLiteral("LblNumero=Numero\r\nLblNom=Nom\r\n"));
    for (const char* kind : {"bvo", "ann"}) {
        QLineEdit target;
        auto picker = makePicker(ctx, target, kind);
        EXPECT_EQ(picker->list()->headerItem()->text(0), "Numero") << kind;
        EXPECT_EQ(picker->list()->headerItem()->text(1), "Nom") << kind;
    }
}

TEST(Pickers, ChoosingARowWritesTheValueOfItsKindOnceAndCloses) {
    const AppContext ctx = contextWithLists();
    const struct {
        const char* kind;
        const char* how;
        int row;
        const char* written;
    } cases[] = {
        {"trf", "double click", 0, "201"},  {"trf", "double click", 3, "204"},
        {"bvo", "double click", 0, "8202"}, // the voice box, not the station number 202
        {"bvo", "OK", 1, "8204"},           {"trf", "OK", 2, "203"},
        {"ann", "double click", 1, "30"},   {"ann", "Enter", 0, "12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.how + " row " + std::to_string(c.row));
        QLineEdit target(QStringLiteral("old"));
        QSignalSpy changed(&target, &QLineEdit::textChanged);
        auto picker = makePicker(ctx, target, c.kind);
        picker->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(picker.get()));
        QTreeWidget* list = picker->list();
        const std::string how = c.how;
        if (how == "double click") {
            doubleClickRow(list, c.row);
        } else {
            list->setFocus();
            list->setCurrentItem(list->topLevelItem(c.row));
            if (how == "OK")
                QTest::mouseClick(picker->okButton(), Qt::LeftButton);
            else
                QTest::keyClick(list, Qt::Key_Return);
        }
        EXPECT_EQ(target.text(), c.written);
        EXPECT_EQ(changed.count(), 1); // the field's handler runs once, as for a typed value
        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(picker->result(), QDialog::Accepted);
    }
}

TEST(Pickers, EscapeOrOkWithoutARowLeaveTheFieldUnchanged) {
    const AppContext ctx = contextWithLists();
    for (const char* kind : {"trf", "ann"}) {
        SCOPED_TRACE(kind);
        QLineEdit target(QStringLiteral("old"));
        QSignalSpy changed(&target, &QLineEdit::textChanged);
        auto picker = makePicker(ctx, target, kind);
        picker->show();
        picker->list()->clearSelection();
        QTest::mouseClick(picker->okButton(), Qt::LeftButton);
        EXPECT_TRUE(picker->isVisible()) << "OK without a row does nothing";

        picker->list()->setCurrentItem(picker->list()->topLevelItem(1));
        QTest::mouseClick(picker->escapeButton(), Qt::LeftButton);
        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(picker->result(), QDialog::Rejected);
        EXPECT_EQ(target.text(), "old");
        EXPECT_EQ(changed.count(), 0);
    }
}

} // namespace
