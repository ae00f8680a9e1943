#include "dialogs/frm_general.h"

#include "core/translation.h"
#include "startup/server_info.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The field's tag: "1" for a numeric parameter, "0" for free text.
const char* const kTag = "tag";

} // namespace

FrmGeneral::FrmGeneral(const Translation& translation, GeneralParams& params, DialogHooks hooks,
                       QWidget* parent)
    : QDialog(parent), m_params(params), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("frmGeneral"));
    cmdFermerButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                      translation.getLabel(QStringLiteral("BoutonOK")), this);
    cmdFermerButton->setObjectName(QStringLiteral("cmdFermer"));
    cmdFermerButton->setDefault(true);
    cmdEchapButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     translation.getLabel(QStringLiteral("BoutonEchap")), this);
    cmdEchapButton->setObjectName(QStringLiteral("cmdEchap"));
    cmdEchapButton->setAutoDefault(false);
    connect(cmdFermerButton, &QPushButton::clicked, this, &FrmGeneral::cmdFermer);
    connect(cmdEchapButton, &QPushButton::clicked, this, &FrmGeneral::cmdEchap);
    buildRows(translation);
}

void FrmGeneral::buildRows(const Translation& t) {
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    for (int i = 1; i <= int(m_params.size()); ++i) {
        const GeneralParam& param = m_params[size_t(i - 1)];
        auto* caption =
            new QLabel(t.getLabel(QStringLiteral("G") + QString::number(i)) + QStringLiteral(" : "), this);
        caption->setObjectName(QStringLiteral("lblCaption_") + QString::number(i));
        auto* field = new QLineEdit(param.value, this);
        field->setObjectName(QStringLiteral("txtParam_") + QString::number(i));
        field->setProperty(kTag, param.numeric ? QStringLiteral("1") : QStringLiteral("0"));
        field->setMinimumWidth(160);
        field->installEventFilter(this);
        caption->setBuddy(field);
        connect(field, &QLineEdit::textChanged, this, [this] { m_modified = true; });
        grid->addWidget(caption, i - 1, 0);
        grid->addWidget(field, i - 1, 1);
        lblCaption.append(caption);
        txtParam.append(field);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFermerButton);
    buttons->addWidget(cmdEchapButton);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addSpacing(16);
    main->addStretch(1);
    main->addLayout(buttons);
}

void FrmGeneral::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) activate();
}

void FrmGeneral::activate() {
    if (!txtParam.isEmpty()) txtParam.first()->setFocus();
    m_modified = false;
}

bool FrmGeneral::isNumericField(const QLineEdit* field) {
    return field->property(kTag).toString().toInt() == 1;
}

QString FrmGeneral::fieldValue(const QLineEdit* field) {
    return isNumericField(field) ? digitsOnly(field->text()) : field->text();
}

bool FrmGeneral::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        // Selected after the line edit's own focus handling, which would otherwise place the cursor.
        QTimer::singleShot(0, field, &QLineEdit::selectAll);
    } else if (field && event->type() == QEvent::FocusOut && isNumericField(field)) {
        const QString digits = digitsOnly(field->text());
        if (digits != field->text()) field->setText(digits);
    }
    return QDialog::eventFilter(watched, event);
}

void FrmGeneral::cmdFermer() {
    if (m_modified) {
        for (qsizetype i = 0; i < txtParam.size(); ++i)
            m_params[size_t(i)].value = fieldValue(txtParam[i]);
        m_hooks.changed(QStringLiteral("HistoParam"));
    }
    accept();
}

void FrmGeneral::cmdEchap() {
    reject();
}
