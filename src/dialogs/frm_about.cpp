#include "dialogs/frm_about.h"

#include "core/translation.h"
#include "platform/paths.h"
#include "startup/settings.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

FrmAPropos::FrmAPropos(const Translation& translation, const QString& programDir, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAPropos"));

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    const QString logoFile = platform::joinPath(programDir, QStringLiteral("Logo.gif"));
    if (QFileInfo::exists(logoFile)) imgLogo->setPixmap(QPixmap(logoFile));
    imgLogo->setVisible(hasLogo());

    lblAPropos = new QLabel(translation.getLabel(QStringLiteral("Apropos")), this);
    lblAPropos->setObjectName(QStringLiteral("lblAPropos"));
    lblAPropos->setWordWrap(true);
    lbl_Copyright = new QLabel(translation.getLabel(QStringLiteral("Copyright")), this);
    lbl_Copyright->setObjectName(QStringLiteral("lbl_Copyright"));
    lbl_Copyright->setWordWrap(true);
    lbl_Version = new QLabel(getComponentVersion(programDir, QString()), this);
    lbl_Version->setObjectName(QStringLiteral("lbl_Version"));
    lbl_Version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdFermer = new QPushButton(QStringLiteral("OK"), this);
    cmdFermer->setObjectName(QStringLiteral("cmdFermer"));
    cmdFermer->setDefault(true);
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblAPropos);
    texts->addWidget(lbl_Version);
    texts->addStretch(1);
    texts->addWidget(lbl_Copyright);

    auto* body = new QHBoxLayout;
    body->addWidget(imgLogo, 0, Qt::AlignBottom);
    body->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFermer);

    auto* main = new QVBoxLayout(this);
    main->addLayout(body, 1);
    main->addLayout(buttons);
    setMinimumWidth(360);
}

bool FrmAPropos::hasLogo() const {
    return !imgLogo->pixmap().isNull();
}
