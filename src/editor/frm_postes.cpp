#include "editor/frm_postes.h"

#include "core/app_context.h"
#include "model/action_value.h"

#include <QTreeWidget>

namespace {

enum Column { ColNumber = 0, ColName = 1, ColVoiceBox = 2 };

bool isTransfer(const QString& code) {
    return code == action::Trf;
}

} // namespace

frmPostes::frmPostes(const AppContext& ctx, QLineEdit* target, const QString& actionCode, QWidget* parent)
    : PickerDialog(ctx, target, QStringLiteral("lstPostes"), parent), m_code(actionCode) {
    setObjectName(QStringLiteral("frmPostes"));
    setColumns(ctx);
    fill(ctx);
    resize(twips(6200), twips(5400));
}

void frmPostes::setColumns(const AppContext& ctx) {
    QTreeWidget* lst = list();
    lst->setColumnCount(3);
    const QString voiceBoxHeader =
        isTransfer(m_code) ? QString() : ctx.getLabel(QStringLiteral("LblBoiteVocale"));
    lst->setHeaderLabels(numberAndNameHeaders(ctx) << voiceBoxHeader);
    lst->setColumnWidth(ColNumber, twips(1200));
    if (isTransfer(m_code)) {
        lst->setColumnWidth(ColName, twips(4000));
        lst->setColumnHidden(ColVoiceBox, true);
    } else {
        lst->setColumnWidth(ColName, twips(2500));
        lst->setColumnWidth(ColVoiceBox, twips(1500));
    }
}

void frmPostes::fill(const AppContext& ctx) {
    QTreeWidget* lst = list();
    lst->clear();
    for (const Station& station : ctx.Stations) {
        if (!isTransfer(m_code) && station.voiceBox.isEmpty()) continue;
        new QTreeWidgetItem(lst, {station.number, station.name, station.voiceBox});
    }
}

QString frmPostes::valueOf(int row) const {
    const QTreeWidgetItem* item = list()->topLevelItem(row);
    return item->text(m_code == action::Bvo ? ColVoiceBox : ColNumber);
}

bool afficheListePostes(const AppContext& ctx, Prompts& prompts, QLineEdit* target, const QString& actionCode,
                        const QString& title, QWidget* parent) {
    if (ctx.NbPostes() <= 0) {
        sayListsComeFromServer(ctx, prompts);
        return false;
    }
    frmPostes picker(ctx, target, actionCode, parent);
    picker.setWindowTitle(title);
    picker.exec();
    return true;
}
