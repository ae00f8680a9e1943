// File commands of the main window that go beyond New, Open and Close: Save as, the recent-file list,
// help, and the schedule, parameter and About windows.
#include "core/app_context.h"
#include "core/prompts.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_general.h"
#include "dialogs/frm_horaires.h"
#include "editor/frm_main.h"
#include "editor/help_file.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
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

void frmMain::connectFileCommands() {
    connect(mnuSaveAs, &QAction::triggered, this, &frmMain::mnuSaveAs_Click);
    for (size_t i = 0; i < mnuFileN.size(); ++i)
        connect(mnuFileN[i], &QAction::triggered, this, [this, i] { mnuFileN_Click(int(i)); });
    connect(mnuHelp, &QAction::triggered, this, &frmMain::mnuHelp_Click);
    connect(mnuHoraires, &QAction::triggered, this, &frmMain::mnuHoraires_Click);
    connect(mnuParam, &QAction::triggered, this, &frmMain::mnuParam_Click);
    connect(mnuVersion, &QAction::triggered, this, &frmMain::mnuVersion_Click);

    m_recentFiles = std::make_unique<RecentFiles>(m_userSettings, m_ctx.fileServeur);
    m_recentFiles->setMenuListener([this](const QStringList& paths) { showRecentFiles(paths); });
    setRecentFileHook([this](const QString& path) { m_recentFiles->AjouteDernierFichierOuvert(path); });
    m_recentFiles->afficheMenuFichiersOuverts();
}

// ---- recent files ----------------------------------------------------------------------------------

void frmMain::showRecentFiles(const QStringList& paths) {
    mnuVide2->setVisible(!paths.isEmpty());
    for (size_t i = 0; i < mnuFileN.size(); ++i) {
        QAction* item = mnuFileN[i];
        const bool shown = qsizetype(i) < paths.size();
        const QString path = shown ? paths[qsizetype(i)] : QString();
        item->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setData(path);
        item->setVisible(shown);
    }
}

void frmMain::mnuFileN_Click(int n) {
    if (n < 0 || size_t(n) >= mnuFileN.size() || !mnuFileN[size_t(n)]->isVisible()) return;
    if (!confirmDiscard()) return;
    const QString path = mnuFileN[size_t(n)]->data().toString();
    OuvertureFichierArbre(path);
    // A file deleted since it was listed is not opened; it leaves the list now.
    if (!QFileInfo::exists(path)) m_recentFiles->afficheMenuFichiersOuverts();
}

// ---- save as -----------------------------------------------------------------------------------------

void frmMain::mnuSaveAs_Click() {
    const QString path = m_prompts.saveFileName(titleOf(mnuSaveAs), m_repCourant, treeFileFilter);
    if (path.isEmpty()) return;
    m_repCourant = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path) && m_prompts.question(m_ctx.getLabel(QStringLiteral("MsgExiste")),
                                                      label("Titre")) != Prompts::Answer::Yes)
        return;

    // The save replaces the chosen file in one step, so a failure leaves it (and the current one) as it was.
    const QString previousFile = m_config.fileCourant;
    const QString previousTitle = windowTitle();
    m_config.fileCourant = path;
    setTitle(path);
    if (!saveTree()) {
        m_config.fileCourant = previousFile;
        setWindowTitle(previousTitle);
    }
}

void frmMain::reportSaveFailure(const QString& path) {
    QString text = m_ctx.getLabel(QStringLiteral("ErrSave"));
    text.replace(QStringLiteral("$FICHIER$"), QDir::toNativeSeparators(path));
    m_prompts.critical(text, label("Titre"));
}

// ---- help and other windows ------------------------------------------------------------------------

void frmMain::mnuHelp_Click() {
    openHelpFile(m_ctx, m_helpOpener);
}

DialogHooks frmMain::dialogHooks() {
    DialogHooks hooks;
    hooks.markModified = [this] { setBoolSave(false); };
    hooks.addCancel = [this](const QString& labelKey) { m_journal->addCancel(labelKey, false); };
    return hooks;
}

void frmMain::mnuHoraires_Click() {
    FrmHoraires window(m_ctx.translation, m_config.schedules, m_prompts, m_repCourant, dialogHooks(), this);
    window.setWindowTitle(titleOf(mnuHoraires));
    window.exec();
}

void frmMain::mnuParam_Click() {
    FrmGeneral window(m_ctx.translation, m_config.general, dialogHooks(), this);
    window.setWindowTitle(titleOf(mnuParam));
    window.exec();
}

void frmMain::mnuVersion_Click() {
    FrmAPropos window(m_ctx.translation, m_ctx.programDir, this);
    window.setWindowTitle(titleOf(mnuVersion));
    window.exec();
}
