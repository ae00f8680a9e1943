#include "lines_gui/frm_voies.h"

#include "core/app_context.h"
#include "core/prompts.h"
#include "core/translation.h"
#include "lines/line_files.h"
#include "lines/line_table.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kColonnes = 4; // row number, first number, last number, application
const QColor kGrise(224, 224, 224);

QString label(const AppContext& ctx, const char* key) {
    return ctx.getLabel(QString::fromLatin1(key));
}

// The file dialogs' filter: the caption and the server tools' upper-case extension, plus the lower-case
// one for file systems that tell them apart.
QString filtreCsv(const AppContext& ctx) {
    return label(ctx, "Ficcsv") + QStringLiteral(" (*.CSV *.csv)");
}

bool estValidation(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// What an import would change, and the file's lines it leaves out.
QString apercu(const ImportVoies500& import, const Translation& traduction, int voies) {
    QString texte = lineChangesText(import.changements, traduction);
    const QString ignorees = csvSkippedText(import.rapport, traduction, kCsvChamps500, voies);
    return ignorees.isEmpty() ? texte : texte + QLatin1Char('\n') + ignorees;
}

} // namespace

FrmVoies::FrmVoies(AppContext& ctx, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_prompts(prompts), m_voies(ctx) {
    setObjectName(QStringLiteral("frmVoies"));
    QString titre = label(ctx, "MenuVoie");
    titre.remove(QStringLiteral("..."));
    setWindowTitle(titre + QStringLiteral(" - ") + ctx.HADDR);
    m_pourquoiGrise = ctx.translation.getLabel(QLatin1String(kLinesSection), QLatin1String("GriseAutre"));
    buildControls();
    layoutControls();
    activerBoutons(false); // nothing to write or export before a read
}

bool FrmVoies::ResetVoies(AppContext& ctx) {
    Voies500 voies(ctx);
    return voies.ResetVoies();
}

void FrmVoies::buildControls() {
    Grille = new QTableWidget(1, kColonnes, this);
    Grille->setObjectName(QStringLiteral("Grille"));
    Grille->horizontalHeader()->hide();
    Grille->verticalHeader()->hide();
    Grille->verticalHeader()->setDefaultSectionSize(Grille->fontMetrics().height() + 6);
    // The window's own editors open over a cell; the grid never edits by itself.
    Grille->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grille->setSelectionMode(QAbstractItemView::SingleSelection);
    Grille->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grille->setColumnWidth(0, 48);
    Grille->setColumnWidth(1, 150);
    Grille->setColumnWidth(2, 150);
    Grille->horizontalHeader()->setStretchLastSection(true);
    Grille->installEventFilter(this);
    Grille->viewport()->installEventFilter(this);
    connect(Grille, &QTableWidget::cellDoubleClicked, this, &FrmVoies::ouvrirEditeur);
    // An editor sits on the viewport and would stay behind while the cells scroll away.
    connect(Grille->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fermerEditeurs(true); });
    connect(Grille->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { fermerEditeurs(true); });

    txtNumCall = new QLineEdit(Grille->viewport());
    txtNumCall->setObjectName(QStringLiteral("txtNumCall"));
    txtNumCall->setMaxLength(VoieT2cs::TailleNumero);
    txtNumCall->hide();
    txtNumCall->installEventFilter(this);

    cboListeApp = new QComboBox(Grille->viewport());
    cboListeApp->setObjectName(QStringLiteral("cboListeApp"));
    cboListeApp->hide();
    cboListeApp->installEventFilter(this);
    connect(cboListeApp, &QComboBox::activated, this, &FrmVoies::choisirApplication);

    const auto liste = [this](const char* nom) {
        auto* l = new QListWidget(this);
        l->setObjectName(QString::fromLatin1(nom));
        l->hide();
        return l;
    };
    lstCodesVoies = liste("lstCodesVoies");
    lstLibVoies = liste("lstLibVoies");
    lstDATAServeur = liste("lstDATAServeur");
    lstInfosApp = liste("lstInfosApp");

    picLoad = new QFrame(this);
    picLoad->setObjectName(QStringLiteral("picLoad"));
    picLoad->setFrameShape(QFrame::Box);
    picLoad->setAutoFillBackground(true);
    lblLoad = new QLabel(windowTitle().section(QStringLiteral(" - "), 0, 0), picLoad);
    lblLoad->setObjectName(QStringLiteral("lblLoad"));
    lblLoad->setAlignment(Qt::AlignCenter);
    picSock = new QProgressBar(picLoad);
    picSock->setObjectName(QStringLiteral("picSock"));
    picSock->setTextVisible(false);
    picSock->setMinimumWidth(240);
    lblProgress = new QLabel(picLoad);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setAlignment(Qt::AlignCenter);
    auto* charge = new QVBoxLayout(picLoad);
    charge->setContentsMargins(16, 12, 16, 12);
    charge->addWidget(lblLoad);
    charge->addWidget(picSock);
    charge->addWidget(lblProgress);
    picLoad->hide();

    picErreur = new QFrame(this);
    picErreur->setObjectName(QStringLiteral("picErreur"));
    picErreur->setFrameShape(QFrame::Box);
    picErreur->setAutoFillBackground(true);
    auto* icone = new QLabel(picErreur);
    icone->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(48));
    icone->setAlignment(Qt::AlignCenter);
    lblErreur = new QLabel(label(m_ctx, "ErrLectureVoies"), picErreur);
    lblErreur->setObjectName(QStringLiteral("lblErreur"));
    lblErreur->setAlignment(Qt::AlignCenter);
    lblErreur->setWordWrap(true);
    auto* erreur = new QVBoxLayout(picErreur);
    erreur->setContentsMargins(24, 16, 24, 16);
    erreur->addWidget(icone);
    erreur->addWidget(lblErreur);
    picErreur->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(50); // lets the window paint before the read holds it
    connect(Timer1, &QTimer::timeout, this, &FrmVoies::chargerVoies);

    const auto bouton = [this](const char* nom, const char* cle) {
        auto* b = new QPushButton(label(m_ctx, cle), this);
        b->setObjectName(QString::fromLatin1(nom));
        b->setAutoDefault(false);
        return b;
    };
    cmdImportButton = bouton("cmdImport", "lblImport");
    cmdExportButton = bouton("cmdExport", "lblExport");
    cmdOKButton = bouton("cmdOK", "BoutonOK");
    cmdCancelButton = bouton("cmdCancel", "BoutonEchap");
    connect(cmdImportButton, &QPushButton::clicked, this, &FrmVoies::cmdImport);
    connect(cmdExportButton, &QPushButton::clicked, this, &FrmVoies::cmdExport);
    connect(cmdOKButton, &QPushButton::clicked, this, &FrmVoies::cmdOK);
    connect(cmdCancelButton, &QPushButton::clicked, this, &FrmVoies::cmdCancel);

    const QStyle::StandardPixmap icones[] = {QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton};
    for (int i = 0; i < 2; ++i) {
        auto* icone = new QToolButton(this);
        icone->setObjectName(QStringLiteral("picIcon_%1").arg(i));
        icone->setIcon(style()->standardIcon(icones[i]));
        icone->setAutoRaise(true);
        icone->setToolTip((i == 0 ? cmdOKButton : cmdCancelButton)->text());
        connect(icone, &QToolButton::clicked, this, i == 0 ? &FrmVoies::cmdOK : &FrmVoies::cmdCancel);
        picIcon[size_t(i)] = icone;
    }

    const QStringList titres = {QString(), label(m_ctx, "VoiesDeb"), label(m_ctx, "VoiesFin"),
                                label(m_ctx, "VoiesApp")};
    for (int c = 0; c < kColonnes; ++c) {
        auto* titre = new QTableWidgetItem(titres[c]);
        titre->setFlags(Qt::ItemIsEnabled);
        QFont gras = titre->font();
        gras.setBold(true);
        titre->setFont(gras);
        titre->setBackground(palette().button());
        Grille->setItem(0, c, titre);
    }
    // The titles stay in view while the lines scroll: the header shows them, their row stays hidden.
    Grille->setHorizontalHeaderLabels(titres);
    Grille->horizontalHeader()->show();
    Grille->setRowHidden(0, true);
}

void FrmVoies::layoutControls() {
    // The panels share the grid's cell and show in front of it when raised.
    auto* centre = new QGridLayout;
    centre->addWidget(Grille, 0, 0);
    centre->addWidget(picLoad, 0, 0, Qt::AlignCenter);
    centre->addWidget(picErreur, 0, 0, Qt::AlignCenter);

    auto* boutons = new QHBoxLayout;
    boutons->addWidget(cmdImportButton);
    boutons->addWidget(cmdExportButton);
    boutons->addStretch(1);
    boutons->addWidget(picIcon[0]);
    boutons->addWidget(cmdOKButton);
    boutons->addWidget(picIcon[1]);
    boutons->addWidget(cmdCancelButton);

    auto* principal = new QVBoxLayout(this);
    principal->addLayout(centre, 1);
    principal->addLayout(boutons);
    resize(700, 460);
}

void FrmVoies::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_premierAffichage && !event->spontaneous()) {
        m_premierAffichage = false;
        Timer1->start();
    }
}

void FrmVoies::chargerVoies() {
    Timer1->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    fermerEditeurs(false);
    picErreur->hide();
    picSock->setValue(0);
    lblProgress->clear();
    picLoad->show();
    picLoad->raise();
    m_pacing->processEvents();
    const bool lu = m_voies.lire([this](int lues, int total) {
        picSock->setRange(0, total);
        picSock->setValue(lues);
        lblProgress->setText(QStringLiteral("%1 / %2").arg(lues).arg(total));
        m_pacing->processEvents();
    });
    // A table that cannot be read whole leaves the application choice shorter, not the window unusable.
    if (lu) m_voies.chargerApplications();
    remplirListesApplications();
    remplirGrille();
    picLoad->hide();
    QApplication::restoreOverrideCursor();
    if (lu)
        activerBoutons(true);
    else
        afficherErreur();
}

void FrmVoies::remplirListesApplications() {
    lstInfosApp->clear();
    cboListeApp->clear();
    cboListeApp->addItem(QString()); // clears the row's application
    for (const ApplicationListe& app : m_voies.applicationsChoix()) {
        lstInfosApp->addItem(app.item());
        cboListeApp->addItem(Voies500::itemChoix(app));
    }
}

void FrmVoies::remplirGrille() {
    const QList<LigneVoie500>& lignes = m_voies.lignes();
    Grille->setRowCount(int(lignes.size()) + 1);
    lstCodesVoies->clear();
    lstLibVoies->clear();
    lstDATAServeur->clear();
    QStringList vus;
    for (int k = 0; k < lignes.size(); ++k) {
        lstCodesVoies->addItem(QString());
        lstLibVoies->addItem(QString());
        afficherLigne(k);
        const QString& code = lignes[k].code;
        if (!code.isEmpty() && !vus.contains(code)) {
            vus << code;
            lstDATAServeur->addItem(code + QLatin1Char('|') + lignes[k].nom);
        }
    }
}

void FrmVoies::afficherLigne(int ligne) {
    const LigneVoie500& l = m_voies.lignes().at(ligne);
    const int row = ligne + 1;
    const QString textes[kColonnes] = {QString::number(row), l.premier, l.dernier, l.texteApplication()};
    for (int c = 0; c < kColonnes; ++c) {
        QTableWidgetItem* item = Grille->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            Grille->setItem(row, c, item); // the grid owns it
        }
        item->setText(textes[c]);
        // A greyed row says why it does not take edits.
        item->setToolTip(!l.grise              ? QString()
                         : textes[c].isEmpty() ? m_pourquoiGrise
                                               : textes[c] + QLatin1Char('\n') + m_pourquoiGrise);
        item->setFlags(c == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (l.grise)
            item->setBackground(kGrise);
        else
            item->setBackground(c == 0 ? palette().button() : QBrush());
    }
    lstCodesVoies->item(ligne)->setText(l.code);
    lstLibVoies->item(ligne)->setText(l.nom);
}

void FrmVoies::afficherErreur() {
    activerBoutons(false);
    picErreur->show();
    picErreur->raise();
}

void FrmVoies::activerBoutons(bool actif) {
    cmdOKButton->setEnabled(actif);
    picIcon[0]->setEnabled(actif);
    cmdExportButton->setEnabled(actif);
    cmdImportButton->setEnabled(actif);
}

bool FrmVoies::estModifiable(int row) const {
    const QList<LigneVoie500>& lignes = m_voies.lignes();
    return row >= 1 && row <= lignes.size() && !lignes[row - 1].grise;
}

void FrmVoies::ouvrirEditeur(int row, int column) {
    fermerEditeurs(true);
    if (!estModifiable(row) || column < 1 || column >= kColonnes) return;
    m_editRow = row;
    m_editColumn = column;
    const QRect cellule = Grille->visualRect(Grille->model()->index(row, column));
    if (column == 3) {
        const QString code = m_voies.lignes()[row - 1].code;
        const QList<ApplicationListe>& choix = m_voies.applicationsChoix();
        int position = 0;
        for (int i = 0; i < choix.size() && !code.isEmpty(); ++i)
            if (valeurCode(choix[i].code) == valeurCode(code)) position = i + 1;
        cboListeApp->setCurrentIndex(position);
        cboListeApp->setGeometry(cellule.x(), cellule.y(), cellule.width(),
                                 qMax(cellule.height(), cboListeApp->sizeHint().height()));
        cboListeApp->show();
        cboListeApp->setFocus();
    } else {
        txtNumCall->setText(Grille->item(row, column)->text());
        txtNumCall->setGeometry(cellule);
        txtNumCall->show();
        txtNumCall->setFocus();
        txtNumCall->selectAll();
    }
}

void FrmVoies::validerNumero() {
    const int ligne = m_editRow - 1;
    // A refused text is dropped: the cell keeps its number.
    m_voies.setNumero(ligne, m_editColumn, txtNumCall->text());
    fermerEditeurs(false);
    afficherLigne(ligne);
}

void FrmVoies::choisirApplication(int index) {
    if (m_editRow < 1) return;
    const int ligne = m_editRow - 1;
    const QList<ApplicationListe>& choix = m_voies.applicationsChoix();
    m_voies.setApplication(ligne, index >= 1 && index <= choix.size() ? &choix[index - 1] : nullptr);
    fermerEditeurs(false);
    afficherLigne(ligne);
}

void FrmVoies::fermerEditeurs(bool valider) {
    if (m_editRow < 1) return;
    if (valider) {
        // Each commit comes back here without validation once the row is updated.
        if (txtNumCall->isVisible()) return validerNumero();
        if (cboListeApp->isVisible()) return choisirApplication(cboListeApp->currentIndex());
    }
    const bool avaitFocus = txtNumCall->hasFocus() || cboListeApp->hasFocus();
    m_editRow = m_editColumn = -1;
    // The grid takes the focus before the editor goes: a focused editor that hides hands the focus on as
    // Tab would, and the grid's current cell would move one column.
    if (avaitFocus) Grille->setFocus();
    txtNumCall->hide();
    cboListeApp->hide();
}

void FrmVoies::effacerCellule() {
    const int row = Grille->currentRow();
    const int column = Grille->currentColumn();
    if (row < 1 || column < 1) return;
    if (m_voies.effacer(row - 1, column)) afficherLigne(row - 1);
}

bool FrmVoies::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == Grille->viewport()) {
        fermerEditeurs(true); // and the click goes on to the grid
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter and Esc belong to the grid and its editors, not to the dialog's buttons.
    if (watched == Grille) {
        if (estValidation(key)) {
            ouvrirEditeur(Grille->currentRow(), Grille->currentColumn());
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            effacerCellule();
            return true;
        }
    } else if (watched == txtNumCall || watched == cboListeApp) {
        if (estValidation(key)) {
            fermerEditeurs(true);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            fermerEditeurs(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmVoies::cmdOK() {
    fermerEditeurs(true);
    if (!m_voies.estLu()) return;
    cmdOKButton->setEnabled(false);
    cmdCancelButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString refus = m_voies.ecrire();
    QApplication::restoreOverrideCursor();
    cmdCancelButton->setEnabled(true);
    cmdOKButton->setEnabled(true);
    if (!refus.isEmpty()) {
        // The window stays open on the edits: OK again, or Export to keep them in a file.
        m_prompts.critical(refus, windowTitle());
        return;
    }
    accept();
}

void FrmVoies::cmdCancel() {
    fermerEditeurs(false);
    reject();
}

void FrmVoies::keyPressEvent(QKeyEvent* event) {
    // Esc closes an editor, never the window: the edits would go without a word.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void FrmVoies::done(int result) {
    if (result == QDialog::Rejected) fermerEditeurs(true);
    if (result == QDialog::Rejected && m_voies.estModifie() &&
        m_prompts.question(label(m_ctx, "VoiesNonAppliquees"), windowTitle()) != Prompts::Answer::Yes)
        return;
    fermerEditeurs(false);
    QDialog::done(result);
}

void FrmVoies::cmdExport() {
    fermerEditeurs(true);
    const QString chemin =
        m_prompts.saveFileName(label(m_ctx, "Exportlst"), QStringLiteral("*.csv"), filtreCsv(m_ctx));
    if (chemin.isEmpty()) return;
    activerBoutons(false);
    const QString refus = writeLineFile(chemin, m_voies.exporterCsv(), m_ctx.translation);
    activerBoutons(true);
    if (!refus.isEmpty()) m_prompts.critical(refus, windowTitle());
}

void FrmVoies::cmdImport() {
    fermerEditeurs(true);
    const QString chemin =
        m_prompts.openFileName(label(m_ctx, "import"), QStringLiteral("*.csv"), filtreCsv(m_ctx));
    if (chemin.isEmpty() || !QFileInfo(chemin).isFile()) return;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) {
        m_prompts.critical(lineFileError(m_ctx.translation, "ErrFichierIllisible", chemin) +
                               QLatin1Char('\n') + fichier.errorString(),
                           windowTitle());
        return;
    }
    const ImportVoies500 import = m_voies.lireCsv(fichier.readAll());
    const Translation& traduction = m_ctx.translation;
    if (import.rapport.refused)
        return m_prompts.critical(csvRefusalText(import.rapport, chemin, traduction, kCsvChamps500),
                                  windowTitle());
    const QString question =
        traduction.getLabel(QLatin1String(kLinesSection), QLatin1String("ImportQuestion"));
    // What the file would change, before it changes anything.
    if (m_prompts.questionWithDetails(question, windowTitle(),
                                      apercu(import, traduction, m_voies.nombreVoies()),
                                      QString()) != Prompts::Answer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_voies.importer(import);
    remplirGrille();
    QApplication::restoreOverrideCursor();
}
