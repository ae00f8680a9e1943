#include "editor/frm_annonces.h"

#include "core/app_context.h"

#include <QTreeWidget>

frmAnnonces::frmAnnonces(const AppContext& ctx, QLineEdit* target, QWidget* parent)
    : PickerDialog(ctx, target, QStringLiteral("lstAnnonces"), parent) {
    setObjectName(QStringLiteral("frmAnnonces"));
    QTreeWidget* lst = list();
    lst->setColumnCount(2);
    lst->setHeaderLabels(numberAndNameHeaders(ctx));
    lst->setColumnWidth(0, twips(1200));
    lst->setColumnWidth(1, twips(4000));
    lst->clear();
    for (const Announcement& announcement : ctx.Announcements)
        new QTreeWidgetItem(lst, {QString::number(announcement.number), announcement.name});
    resize(twips(6200), twips(5400));
}

QString frmAnnonces::valueOf(int row) const {
    return list()->topLevelItem(row)->text(0);
}

bool afficheListeAnnonces(const AppContext& ctx, Prompts& prompts, QLineEdit* target, const QString& title,
                          QWidget* parent) {
    if (ctx.NbAnnonces() <= 0) {
        sayListsComeFromServer(ctx, prompts);
        return false;
    }
    frmAnnonces picker(ctx, target, parent);
    picker.setWindowTitle(title);
    picker.exec();
    return true;
}
