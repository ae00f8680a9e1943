#include "dialogs/frm_historique.h"

#include "core/app_context.h"
#include "editor/revision_trees.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum Column { ColDate, ColQui, ColQuoi, ColChangements, ColServeur, ColumnCount };

} // namespace

FrmHistorique::FrmHistorique(const AppContext& ctx, QString connectedServer, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_connectedServer(std::move(connectedServer)) {
    setObjectName(QStringLiteral("frmHistorique"));
    setWindowTitle(label("Titre"));

    cboServeur = new QComboBox(this);
    cboServeur->setObjectName(QStringLiteral("cboServeur"));
    cboServeur->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* lblServeur = new QLabel(label("Serveur"), this);
    lblServeur->setBuddy(cboServeur);

    lstRevisions = new QTreeWidget(this);
    lstRevisions->setObjectName(QStringLiteral("lstRevisions"));
    lstRevisions->setRootIsDecorated(false);
    lstRevisions->setAlternatingRowColors(true);
    lstRevisions->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstRevisions->setHeaderLabels(
        {label("ColDate"), label("ColQui"), label("ColQuoi"), label("ColChangements"), label("ColServeur")});
    lstRevisions->header()->setStretchLastSection(true);

    lblDetails = new QLabel(this);
    lblDetails->setObjectName(QStringLiteral("lblDetails"));
    lblDetails->setWordWrap(true);
    lblDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lstDetails = new QListWidget(this);
    lstDetails->setObjectName(QStringLiteral("lstDetails"));
    lstDetails->setWordWrap(true);
    lstDetails->setSelectionMode(QAbstractItemView::ExtendedSelection);

    cmdOuvrir = new QPushButton(label("Ouvrir"), this);
    cmdOuvrir->setObjectName(QStringLiteral("cmdOuvrir"));
    cmdRestaurer = new QPushButton(label("Restaurer"), this);
    cmdRestaurer->setObjectName(QStringLiteral("cmdRestaurer"));
    // Nothing is restored from local mode: the editor is connected to no server.
    cmdRestaurer->setVisible(!m_connectedServer.isEmpty());
    cmdFermer = new QPushButton(label("Fermer"), this);
    cmdFermer->setObjectName(QStringLiteral("cmdFermer"));

    auto* top = new QHBoxLayout;
    top->addWidget(lblServeur);
    top->addWidget(cboServeur);
    top->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOuvrir);
    buttons->addWidget(cmdRestaurer);
    buttons->addStretch(1);
    buttons->addWidget(cmdFermer);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(lstRevisions, 3);
    main->addWidget(lblDetails);
    main->addWidget(lstDetails, 2);
    main->addLayout(buttons);
    resize(820, 560);

    connect(cboServeur, &QComboBox::activated, this, &FrmHistorique::fillRevisions);
    connect(lstRevisions, &QTreeWidget::itemSelectionChanged, this, &FrmHistorique::showChoice);
    connect(lstRevisions, &QTreeWidget::itemDoubleClicked, this,
            [this] { emitForChosen(&FrmHistorique::openRequested); });
    connect(cmdOuvrir, &QPushButton::clicked, this, [this] { emitForChosen(&FrmHistorique::openRequested); });
    connect(cmdRestaurer, &QPushButton::clicked, this,
            [this] { emitForChosen(&FrmHistorique::restoreRequested); });
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::close);
    refresh();
}

QString FrmHistorique::label(const char* key) const {
    return m_ctx.translation.getLabel(QStringLiteral("HISTORIQUE"), QString::fromLatin1(key));
}

QString FrmHistorique::dateText(const QDateTime& when) const {
    return when.toString(label("FormatDate"));
}

// The words the history records, in the language of the captions.
QString FrmHistorique::whatText(const QString& what) const {
    static const QString restore = QStringLiteral("restore of ");
    if (what.startsWith(restore)) {
        const QDateTime when =
            QDateTime::fromString(what.mid(restore.size()), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return label("QuoiRestore").arg(when.isValid() ? dateText(when) : what.mid(restore.size()));
    }
    static const std::pair<const char*, const char*> words[] = {
        {"send", "QuoiSend"}, {"fetch", "QuoiFetch"}, {"reset", "QuoiReset"}, {"lines", "QuoiLines"}};
    for (const auto& [word, key] : words)
        if (what == QLatin1String(word)) return label(key);
    return what;
}

void FrmHistorique::refresh() {
    fillServers();
    fillRevisions();
}

void FrmHistorique::fillServers() {
    const QString chosen = cboServeur->count() > 0 ? cboServeur->currentData().toString() : m_connectedServer;
    QStringList servers = history::Repository(history::historyRoot(m_ctx)).servers();
    if (!m_connectedServer.isEmpty() && !servers.contains(m_connectedServer))
        servers.prepend(m_connectedServer);
    cboServeur->clear();
    cboServeur->addItem(label("TousServeurs"), QString());
    for (const QString& server : servers)
        cboServeur->addItem(server, server);
    cboServeur->setCurrentIndex(std::max(0, cboServeur->findData(chosen)));
}

void FrmHistorique::fillRevisions() {
    const QString server = cboServeur->currentData().toString();
    const history::Repository repository(history::historyRoot(m_ctx));
    QStringList chosen;
    for (int row : chosenRows())
        chosen << m_revisions[row].id;
    m_revisions = repository.revisions(server);
    const QSignalBlocker quiet(lstRevisions);
    lstRevisions->clear();
    lstRevisions->setColumnHidden(ColServeur, !server.isEmpty());
    QList<QTreeWidgetItem*> items;
    for (const history::Revision& r : m_revisions) {
        auto* item = new QTreeWidgetItem;
        item->setText(ColDate, dateText(r.when));
        item->setText(ColQui, r.author);
        item->setToolTip(ColQui, r.email);
        item->setText(ColQuoi, whatText(r.what));
        item->setText(ColChangements, QString::number(r.changes));
        item->setTextAlignment(ColChangements, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(ColServeur, r.server);
        items << item;
    }
    lstRevisions->addTopLevelItems(items);
    // Read again after a send or a fetch: what was chosen stays chosen.
    for (int row = 0; row < m_revisions.size(); ++row)
        items[row]->setSelected(chosen.contains(m_revisions[row].id));
    for (int c = 0; c < ColumnCount; ++c)
        lstRevisions->resizeColumnToContents(c);
    if (m_revisions.isEmpty() && !repository.error().isEmpty())
        setDetails(label("Illisible").arg(repository.error()), {});
    else
        showChoice();
}

QList<int> FrmHistorique::chosenRows() const {
    QList<int> rows;
    for (QTreeWidgetItem* item : lstRevisions->selectedItems())
        rows << lstRevisions->indexOfTopLevelItem(item);
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FrmHistorique::showChoice() {
    const QList<int> rows = chosenRows();
    const bool one = rows.size() == 1;
    cmdOuvrir->setEnabled(one);
    cmdRestaurer->setEnabled(one && m_revisions[rows[0]].server == m_connectedServer);
    if (one)
        showRevision(m_revisions[rows[0]]);
    else if (rows.size() == 2)
        // Newest first: the lower row is the older revision.
        showComparison(m_revisions[rows[1]], m_revisions[rows[0]]);
    else
        setDetails(label(m_revisions.isEmpty() ? "Aucune" : "Choix"), {});
}

// The change lines recorded with the revision: its message after the line that says what happened.
void FrmHistorique::showRevision(const history::Revision& revision) {
    QStringList lines = revision.message.split(QLatin1Char('\n'));
    lines.removeFirst();
    lines.removeIf([&](const QString& line) { return line.trimmed().isEmpty() || line == revision.server; });
    setDetails(label("Revision").arg(dateText(revision.when), revision.author, whatText(revision.what)),
               lines);
}

void FrmHistorique::showComparison(const history::Revision& older, const history::Revision& newer) {
    history::Revision missing;
    const std::optional<flow::Changes> changes = revision_trees::compare(
        history::Repository(history::historyRoot(m_ctx)), older, newer, m_ctx, &missing);
    if (!changes) {
        setDetails(label("SansArbre").arg(dateText(missing.when)), {});
        return;
    }
    const QString from = dateText(older.when);
    const QString to = dateText(newer.when);
    if (changes->isEmpty())
        setDetails(label("DiffSame").arg(from, to), {});
    else if (changes->count() == 1)
        setDetails(label("DiffOne").arg(from, to), changes->lines);
    else
        setDetails(label("DiffMany").arg(from, to).arg(changes->count()), changes->lines);
}

void FrmHistorique::setDetails(const QString& heading, const QStringList& lines) {
    lblDetails->setText(heading);
    lstDetails->clear();
    lstDetails->addItems(lines);
}

void FrmHistorique::emitForChosen(void (FrmHistorique::*signal)(const history::Revision&)) {
    const QList<int> rows = chosenRows();
    if (rows.size() != 1) return;
    if (signal == &FrmHistorique::restoreRequested && !cmdRestaurer->isEnabled()) return;
    // A copy: what the signal starts may read the history again, and the list with it.
    const history::Revision chosen = m_revisions[rows[0]];
    emit(this->*signal)(chosen);
}
