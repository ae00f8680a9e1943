#include "dialogs/frm_changes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FrmChanges::FrmChanges(const QString& closeCaption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmChanges"));
    lblEntete = new QLabel(this);
    lblEntete->setObjectName(QStringLiteral("lblEntete"));
    lblEntete->setWordWrap(true);
    lblEntete->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lstChanges = new QListWidget(this);
    lstChanges->setObjectName(QStringLiteral("lstChanges"));
    lstChanges->setAlternatingRowColors(true);
    lstChanges->setWordWrap(true);
    // The lines go into reports and messages: they can be selected and copied.
    lstChanges->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdFermer = new QPushButton(closeCaption, this);
    cmdFermer->setObjectName(QStringLiteral("cmdFermer"));
    cmdFermer->setDefault(true);
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFermer);
    auto* main = new QVBoxLayout(this);
    main->addWidget(lblEntete);
    main->addWidget(lstChanges, 1);
    main->addLayout(buttons);
    resize(720, 420);
}

void FrmChanges::showChanges(const QString& title, const QString& heading, const QStringList& lines) {
    setWindowTitle(title);
    lblEntete->setText(heading);
    lstChanges->clear();
    lstChanges->addItems(lines);
    lstChanges->setVisible(!lines.isEmpty());
    if (lines.isEmpty()) resize(width(), minimumSizeHint().height());
    cmdFermer->setFocus();
}

QString FrmChanges::heading() const {
    return lblEntete->text();
}

QStringList FrmChanges::lines() const {
    QStringList out;
    for (int i = 0; i < lstChanges->count(); ++i)
        out << lstChanges->item(i)->text();
    return out;
}
