// The main window's commands: New, Open, Close, Save, Save as, the recent-file list, help, the server
// information file of local mode, and the schedule, parameter and About windows.
#include "core/app_context.h"
#include "core/prompts.h"
#include "editor/frm_main.h"
#include "editor/frm_main_ui.h"
#include "editor/help_file.h"
#include "editor/option_windows.h"
#include "editor/recent_files_menu.h"
#include "editor/tree_document.h"
#include "model/undo_journal.h"
#include "startup/server_info.h"
#include "startup/settings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

namespace {

const QString treeFileFilter = QStringLiteral("*.maa (*.maa)");

// A menu caption as a window title: no "..." and no mnemonic mark.
QString titleOf(const QAction* item) {
    QString caption = item->text();
    caption.remove(QStringLiteral("..."));
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption.trimmed();
}

} // namespace

void frmMain::connectCommands() {
    connect(ui->mnuNew, &QAction::triggered, this, &frmMain::mnuNew_Click);
    connect(ui->toolNouveau, &QAction::triggered, this, &frmMain::mnuNew_Click);
    connect(ui->mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(ui->toolOuvrir, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(ui->mnuClose, &QAction::triggered, this, &frmMain::mnuClose_Click);
    connect(ui->mnuSave, &QAction::triggered, this, &frmMain::saveTree);
    connect(ui->toolEnregistrer, &QAction::triggered, this, &frmMain::saveTree);
    connect(ui->mnuSaveAs, &QAction::triggered, this, &frmMain::mnuSaveAs_Click);
    connect(ui->mnuQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui->mnuValide, &QAction::triggered, this, &frmMain::mnuValide_Click);
    connect(ui->mnuHelp, &QAction::triggered, this, &frmMain::mnuHelp_Click);
    connect(ui->toolAide, &QAction::triggered, this, &frmMain::mnuHelp_Click);
    connect(ui->mnuHoraires, &QAction::triggered, this, &frmMain::mnuHoraires_Click);
    connect(ui->mnuParam, &QAction::triggered, this, &frmMain::mnuParam_Click);
    connect(ui->mnuInfoServeur, &QAction::triggered, this, &frmMain::mnuInfoServeur_Click);
    connect(ui->mnuVersion, &QAction::triggered, this, &frmMain::mnuVersion_Click);
    connect(ui->picF, &QToolButton::clicked, this, &frmMain::picF_Click);
    connect(ui->lstDebug, &QAbstractItemView::clicked, this, &frmMain::lstDebug_ItemClick);

    m_recentFiles = new RecentFilesMenu(ui->mnuFileN, ui->mnuVide2, m_ctx.fileServeur, this);
    connect(m_recentFiles, &RecentFilesMenu::chosen, this, &frmMain::openRecentFile);
    connect(&m_document, &TreeDocument::fileUsed, m_recentFiles, &RecentFilesMenu::add);
}

// ---- open, new, close, save ------------------------------------------------------------------------

bool frmMain::confirmDiscard() {
    if (m_document.isVerifying()) return false;
    return !m_document.isModified() ||
           m_prompts.question(label("MsgNew"), label("Titre")) == Prompts::Answer::Yes;
}

void frmMain::OuvertureFichierArbre(const QString& path) {
    const OpenResult result = m_document.open(path);
    if (result == OpenResult::Opened) {
        treeV_NodeClick(QStringLiteral("A1"));
        return;
    }
    const QString refusal = openRefusal(result, QDir::toNativeSeparators(path));
    if (refusal.isEmpty()) return;
    m_prompts.critical(refusal,
                       result == OpenResult::RefusedVersion ? QStringLiteral("QAVO") : label("Titre"));
}

QString frmMain::openRefusal(OpenResult result, const QString& path) const {
    const char* refusal = nullptr;
    switch (result) {
    case OpenResult::Opened:
    case OpenResult::Missing:
        return {};
    case OpenResult::RefusedVersion:
        return QStringLiteral("ERROR - VERSION");
    case OpenResult::TooLarge:
        refusal = "ErrFichierTropGros";
        break;
    case OpenResult::Unreadable:
        refusal = "ErrFichierIllisible";
        break;
    case OpenResult::NotTreeFile:
        refusal = "ErrFichierPasArbre";
        break;
    }
    return label(refusal).replace(QStringLiteral("$FICHIER$"), path);
}

void frmMain::newTree() {
    m_document.newTree();
    treeV_NodeClick(QStringLiteral("A1"));
}

void frmMain::mnuNew_Click() {
    if (confirmDiscard()) newTree();
}

void frmMain::mnuOpen_Click() {
    if (!confirmDiscard()) return;
    const QString path = m_prompts.openFileName(titleOf(ui->mnuOpen), m_repCourant, treeFileFilter);
    if (path.isEmpty()) return;
    m_repCourant = QFileInfo(path).absolutePath();
    OuvertureFichierArbre(path);
}

void frmMain::mnuClose_Click() {
    if (!confirmDiscard()) return;
    m_document.close();
    ui->treeV->clearFocus();
}

bool frmMain::saveTree() {
    if (!m_document.isOpen()) return false;
    // A new tree has no name yet.
    if (m_document.fileName().isEmpty()) {
        mnuSaveAs_Click();
        return !m_document.isModified() && !m_document.fileName().isEmpty();
    }
    if (m_document.save()) return true;
    reportSaveFailure(m_document.fileName(), m_document.lastSaveError());
    return false;
}

void frmMain::mnuSaveAs_Click() {
    if (!m_document.isOpen()) return;
    const QString chosen = m_prompts.saveFileName(titleOf(ui->mnuSaveAs), m_repCourant, treeFileFilter);
    if (chosen.isEmpty()) return;
    // A name without extension would be hidden by the open dialog's filter.
    const QString path = TreeDocument::withTreeExtension(chosen);
    m_repCourant = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path) &&
        m_prompts.question(label("MsgExiste"), label("Titre")) != Prompts::Answer::Yes)
        return;
    // The save replaces the chosen file in one step, so a failure leaves it (and the current one) as it was.
    if (!m_document.saveAs(path)) reportSaveFailure(path, m_document.lastSaveError());
}

void frmMain::reportSaveFailure(const QString& path, const QString& cause) {
    QString text = label("ErrSave");
    text.replace(QStringLiteral("$FICHIER$"), QDir::toNativeSeparators(path));
    if (!cause.isEmpty()) text += QStringLiteral("\r\n(") + cause + u')';
    m_document.diagnostics().AjouteInfo(text, DiagnosticsSink::Error, QString());
    m_prompts.critical(text, label("Titre"));
}

// ---- recent files ----------------------------------------------------------------------------------

void frmMain::openRecentFile(const QString& path) {
    if (!confirmDiscard()) return;
    OuvertureFichierArbre(path);
    // A file deleted since it was listed is not opened; it leaves the list now.
    if (!QFileInfo(path).isFile()) m_recentFiles->refresh();
}

// ---- server information file in local mode ----------------------------------------------------------

void frmMain::mnuInfoServeur_Click() {
    const QString path = m_prompts.openFileName(titleOf(ui->mnuInfoServeur), m_repCourant,
                                                QStringLiteral("qavo_general.txt (*.txt)"));
    if (path.isEmpty()) return;
    loadServerInfoFile(path);
}

void frmMain::forgetServerInfoFile() {
    m_serverInfoFile.clear();
    saveConfigSetting(QStringLiteral("fileInfoServeur"), QString());
    applyModeDisplay();
}

void frmMain::loadServerInfoFile(const QString& path) {
    if (!loadServerLists(m_ctx, path)) {
        m_prompts.critical(
            label("ErrInfoServeur").replace(QStringLiteral("$FICHIER$"), QDir::toNativeSeparators(path)),
            label("Titre"));
        return;
    }
    m_serverInfoFile = path;
    saveConfigSetting(QStringLiteral("fileInfoServeur"), path);
    applyModeDisplay();
}

// ---- help and other windows ------------------------------------------------------------------------

void frmMain::mnuHelp_Click() {
    openHelpFile(m_ctx, m_helpOpener);
}

void frmMain::mnuHoraires_Click() {
    showScheduleWindow(m_document, m_prompts, m_repCourant, titleOf(ui->mnuHoraires), this);
}

void frmMain::mnuParam_Click() {
    showParameterWindow(m_document, titleOf(ui->mnuParam), this);
}

void frmMain::mnuVersion_Click() {
    showAboutWindow(m_ctx, titleOf(ui->mnuVersion), this);
}
