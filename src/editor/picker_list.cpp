#include "editor/picker_list.h"

#include "core/app_context.h"
#include "core/prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

PickerDialog::PickerDialog(const AppContext& ctx, QLineEdit* target, const QString& listName, QWidget* parent)
    : QDialog(parent), m_target(target) {
    m_list = new QTreeWidget(this);
    m_list->setObjectName(listName);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setStretchLastSection(true); // the last shown column takes what is left
    m_list->header()->setSectionsMovable(false);

    m_cmdOK = new QPushButton(ctx.getLabel(QStringLiteral("BoutonOK")), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdEchap = new QPushButton(ctx.getLabel(QStringLiteral("BoutonEchap")), this);
    m_cmdEchap->setObjectName(QStringLiteral("cmdEchap"));
    m_cmdEchap->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdEchap);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { choose(); });
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { choose(); });
    connect(m_cmdEchap, &QPushButton::clicked, this, &QDialog::reject);
}

bool PickerDialog::choose() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return false;
    const int row = m_list->indexOfTopLevelItem(selected.first());
    if (m_target) m_target->setText(valueOf(row));
    accept();
    return true;
}

QStringList PickerDialog::numberAndNameHeaders(const AppContext& ctx) {
    return {optionalLabel(ctx, QStringLiteral("LblNumero"), QStringLiteral("N°")),
            optionalLabel(ctx, QStringLiteral("LblNom"), QString())};
}

int PickerDialog::twips(int value) const {
    return qRound(value * logicalDpiX() / 1440.0);
}

QString optionalLabel(const AppContext& ctx, const QString& key, const QString& fallback) {
    const QString label = ctx.getLabel(key);
    return label == QLatin1String("*") ? fallback : label;
}

void sayListsComeFromServer(const AppContext& ctx, Prompts& prompts) {
    prompts.information(ctx.getLabel(QStringLiteral("MsgListesServeur")),
                        ctx.getLabel(QStringLiteral("Titre")));
}

QString captionWithoutColon(const QString& caption) {
    QString text = caption;
    return text.remove(QLatin1Char(':')).trimmed();
}
