#pragma once

#include "history/history.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
struct AppContext;

// The revisions the history keeps of a server's trees, newest first (date, who, what, number of changes).
// One revision chosen: its recorded changes, and it can be opened or, for the server the editor is
// connected to, restored there; two chosen: what changed from the older to the newer. In local mode every
// server the history knows can be listed, and nothing is restored.
class FrmHistorique final : public QDialog {
    Q_OBJECT
public:
    // connectedServer: the history's folder name of the server the editor works with, "" in local mode.
    FrmHistorique(const AppContext& ctx, QString connectedServer, QWidget* parent = nullptr);

    // Reads the history again, the server chosen kept (the connected one at first, else all of them).
    void refresh();
    // The revisions listed, in their order.
    const QList<history::Revision>& revisions() const { return m_revisions; }

signals:
    void openRequested(const history::Revision& revision);
    void restoreRequested(const history::Revision& revision);

private:
    QString label(const char* key) const;
    QString dateText(const QDateTime& when) const;
    QString whatText(const QString& what) const;
    void fillServers();
    void fillRevisions();
    QList<int> chosenRows() const;
    void showChoice();
    void showRevision(const history::Revision& revision);
    void showComparison(const history::Revision& older, const history::Revision& newer);
    void setDetails(const QString& heading, const QStringList& lines);
    void emitForChosen(void (FrmHistorique::*signal)(const history::Revision&));

    const AppContext& m_ctx;
    const QString m_connectedServer;
    QList<history::Revision> m_revisions;

    QComboBox* cboServeur = nullptr; // first entry: every server
    QTreeWidget* lstRevisions = nullptr;
    QLabel* lblDetails = nullptr;
    QListWidget* lstDetails = nullptr;
    QPushButton* cmdOuvrir = nullptr;
    QPushButton* cmdRestaurer = nullptr;
    QPushButton* cmdFermer = nullptr;
};
