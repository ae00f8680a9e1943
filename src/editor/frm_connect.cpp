#include "editor/frm_connect.h"

#include "editor/node_icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frmConnect::frmConnect(const QString& caption, const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(caption);
    setModal(false);

    auto* logo = new QLabel(this);
    logo->setPixmap(NodeIcons().serverMode().pixmap(QSize(48, 48), devicePixelRatioF()));

    lblTitre = new QLabel(caption, this);
    lblTitre->setObjectName(QStringLiteral("lblTitre"));
    QFont big = lblTitre->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    lblTitre->setFont(big);

    lblConnect = new QLabel(text, this);
    lblConnect->setObjectName(QStringLiteral("lblConnect"));
    lblConnect->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitre);
    texts->addWidget(lblConnect);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 18, 18, 18);
    row->setSpacing(16);
    row->addWidget(logo, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    setMinimumWidth(380);
}
