#include "editor/detail_panel.h"

#include "core/app_context.h"
#include "editor/panel_context.h"
#include "editor/panel_host.h"
#include "editor/panel_support.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

using panel_support::indexed;
using panel_support::leadingDigits;
using panel_support::named;

DetailPanel::DetailPanel(PanelContext& shared, int index, const QString& detailsLabel, const QString& image,
                         QWidget* parent)
    : QWidget(parent), m_shared(shared) {
    setObjectName(indexed("picNoeud", index));
    m_layout = new QVBoxLayout(this);
    imgNoeud = named<QLabel>(this, indexed("imgNoeud", index));
    imgNoeud->setProperty("imageKey", image);
    lblDetails = named<QLabel>(this, indexed("lblDetails", index));
    lblDetails->setText(m_shared.ctx.getLabel(detailsLabel) + QStringLiteral(" :"));
    m_header = new QHBoxLayout;
    m_header->addWidget(imgNoeud);
    m_header->addWidget(lblDetails, 1);
    m_layout->addLayout(m_header);

    // The frame shows what fits; its scroll bars appear only when the content is taller or wider, so
    // that no field is out of reach in a small window.
    picBlanc = named<QScrollArea>(this, indexed("picBlanc", index));
    picBlanc->setWidgetResizable(true);
    picBlanc->setFrameShape(QFrame::NoFrame);
    picBlanc->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    picBlanc->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    picToScroll = named<QWidget>(nullptr, indexed("picToScroll", index));
    picBlanc->setWidget(picToScroll);
    VScrollInfo = picBlanc->verticalScrollBar();
    VScrollInfo->setObjectName(indexed("VScrollInfo", index));
}

void DetailPanel::addFrame(int stretch) {
    m_layout->addWidget(picBlanc, stretch);
}

void DetailPanel::refreshImage() {
    if (m_shared.icons)
        imgNoeud->setPixmap(m_shared.icons(imgNoeud->property("imageKey").toString()).pixmap(32, 32));
}

QLabel* DetailPanel::fieldCaption(const char* name, const char* labelKey) {
    QLabel* label = named<QLabel>(picToScroll, QString::fromLatin1(name));
    label->setText(m_shared.ctx.getLabel(QString::fromLatin1(labelKey)) + QStringLiteral(" :"));
    return label;
}

void DetailPanel::setImage(const QString& imageKey) {
    imgNoeud->setProperty("imageKey", imageKey);
    refreshImage();
}

void DetailPanel::showAtTop() {
    show();
    // The frame decides itself whether the scroll bar is needed; a new node starts at the top.
    VScrollInfo->setSingleStep(std::max(1, VScrollInfo->pageStep() / 10));
    VScrollInfo->setValue(VScrollInfo->minimum());
    QScrollBar* across = picBlanc->horizontalScrollBar();
    across->setValue(across->minimum());
}

void DetailPanel::fillJumpLists(const std::vector<QComboBox*>& lists) {
    if (m_jumpShown == m_shared.jumpLabels) {
        for (QComboBox* list : lists)
            list->setCurrentIndex(0);
        return;
    }
    for (QComboBox* list : lists) {
        list->clear();
        list->addItems(m_shared.jumpLabels);
    }
    m_jumpShown = m_shared.jumpLabels;
}

int DetailPanel::jumpIndex(const QString& target, const std::vector<QComboBox*>& lists) {
    const int index = m_shared.jumpIndex(target);
    for (qsizetype i = m_jumpShown.size(); i < m_shared.jumpLabels.size(); ++i)
        for (QComboBox* list : lists)
            list->addItem(m_shared.jumpLabels.at(i));
    m_jumpShown = m_shared.jumpLabels;
    return index;
}

void DetailPanel::onNameChanged(const QString& text) {
    const DisplayState& state = m_shared.state;
    if (state.displayBusy) return;
    m_shared.config.sections.setValue(QString(), MenuValue::lib, text, state.currentSectionIndex);
    const TreeNode* node = m_shared.config.nodes.nodeByKey(state.currentNodeKey);
    if (node) {
        const QString digits = leadingDigits(node->text);
        m_shared.config.nodes.setText(state.currentNodeKey,
                                      digits.isEmpty() ? text : digits + QStringLiteral(" - ") + text);
    }
    m_shared.record(UndoJournal::LastAction);
}

void DetailPanel::onSectionText(int valueIndex, const QString& text) {
    if (m_shared.state.displayBusy) return;
    m_shared.config.sections.setValue(QString(), valueIndex, text, m_shared.state.currentSectionIndex);
    m_shared.record(UndoJournal::LastAction);
}

void DetailPanel::openAnnouncementPicker(QLabel* caption, QLineEdit* target) {
    m_shared.host.openAnnouncementPicker(panel_support::withoutColons(caption->text()), target);
}
