// The station and announcement pickers on their own; the window's use of them is tested with the panels.
#include "core/app_context.h"
#include "editor/frm_annonces.h"
#include "editor/frm_postes.h"
#include "support/qt_print.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

AppContext contextWithLists() {
    AppContext ctx;
    ctx.translation.setText(
        QStringLiteral("\r\n[LANGID]\r\n1=1036\r\n[LABELS]\r\nLblBoiteVocale=Boite vocale\r\n"));
    ctx.Stations = {{"201", "Accueil", 1, QString()},
                    {"202", "Compta; paie", 1, "8202"},
                    {"203", "Atelier", 2, QString()},
                    {"204", "Direction", 1, "8204"}};
    Announcement hall;
    hall.number = 12;
    ctx.Announcements = {hall};
    return ctx;
}

// A picker of the given kind: "ann" for announcements, else the station picker's action code.
std::unique_ptr<PickerDialog> makePicker(const AppContext& ctx, QLineEdit& target, const std::string& kind) {
    if (kind == "ann") return std::make_unique<frmAnnonces>(ctx, &target);
    return std::make_unique<frmPostes>(ctx, &target, QString::fromStdString(kind));
}

TEST(Pickers, ChoosingARowWritesTheValueOfItsKindOnceAndEscapeNothing) {
    const AppContext ctx = contextWithLists();
    const struct {
        const char* kind;
        int rows;
        int row;
        const char* written;
    } cases[] = {
        {"trf", 4, 1, "202"},
        {"bvo", 2, 0, "8202"}, // stations with a voice box only, and the voice box is written
        {"ann", 1, 0, "12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        QLineEdit target(QStringLiteral("old"));
        QSignalSpy changed(&target, &QLineEdit::textChanged);
        for (const bool escape : {true, false}) {
            auto picker = makePicker(ctx, target, c.kind);
            picker->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(picker.get()));
            QTreeWidget* list = picker->list();
            ASSERT_EQ(list->topLevelItemCount(), c.rows);
            const QPoint at = list->visualItemRect(list->topLevelItem(c.row)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            if (escape)
                QTest::mouseClick(picker->escapeButton(), Qt::LeftButton);
            else
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            EXPECT_EQ(target.text(), escape ? "old" : c.written);
            EXPECT_EQ(changed.count(), escape ? 0 : 1); // the field's handler runs once, as for a typed value
            EXPECT_FALSE(picker->isVisible());
        }
    }
}

} // namespace
